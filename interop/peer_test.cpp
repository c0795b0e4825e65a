// Our bytes against two independent Hessian peers, Caucho's Hessian for Java and hessian.js: what
// we write, read by a peer and written back, reads to an object that encodes byte for byte as the
// original; and the bytes on which the three part ways (the table of interop/README.md).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "peer_io.h"
#include "support/filler.h"
#include "support/run.h"
#include "support/test_support.h"

using namespace kelointerop;

namespace {

using Object = std::unique_ptr<CKeloHesClass>;

std::string Ours(const CKeloHesClass& object) {
  int rc = 0;
  const std::string bytes = kelotest::Encode(object, &rc);
  EXPECT_EQ(rc, 0);
  return bytes;
}

struct Peer {
  std::string name, command;
};
const Peer kPeers[] = {{"java", KELO_INTEROP_JAVA}, {"hessianjs", KELO_INTEROP_NODE}};

// One peer start for a whole batch, one answer per record. ctest runs the cases side by side, so
// each batch has record files of its own.
std::vector<PeerAnswer> RunBatch(const Peer& peer, const std::string& batch,
                                 const std::vector<PeerRecord>& records) {
  std::vector<PeerAnswer> answers;
  std::string error;
  const std::string work = KELO_INTEROP_WORK_DIR "/" + peer.name + "-" + batch;
  EXPECT_TRUE(RunPeer(peer.command, work, records, answers, error)) << error;
  answers.resize(records.size(), PeerAnswer{false, "no answer"});
  return answers;
}

// Reads all a peer wrote (the object alone, as the reply holding it; a reply 'r' 01 00 ... 'z'; or
// a call 'c' 01 00 of "roundtrip" with one argument) into a new object that encodes as expected.
void ExpectReadsAs(PeerFrame frame, const kelo::ClassInfo& info, const std::string& peer,
                   const std::string& expected) {
  const std::string bytes = frame == kPlainObject ? kelotest::Reply(peer) : peer;
  EXPECT_EQ(bytes.substr(0, 3), std::string(1, frame == kCall ? 'c' : 'r') + '\1' + '\0');
  Object object(info.create());
  kelo::Status s;
  if (frame != kCall) {
    s = kelo::DecodeReply(bytes.data(), bytes.size(), *object);
  } else {
    kelo::CallReader call(peer.data(), peer.size());
    std::string method;
    s = call.ReadMethod(method);
    EXPECT_EQ(method, "roundtrip");
    if (s.ok()) s = call.ReadArg(*object);
    if (s.ok()) s = call.Finish();
  }
  ASSERT_TRUE(s.ok()) << s.name() << ": " << s.message() << "\npeer: " << kelotest::ToHex(peer);
  EXPECT_EQ(kelotest::ToHex(Ours(*object)), kelotest::ToHex(expected))
      << "re-encoded differently; peer: " << kelotest::ToHex(peer);
}

// A kept file's object: "s<seed>n<items>" filled, or "long": a VerSite whose name is 40000 units
// (some beyond Latin-1) and whose body 40000 bytes, one chunk for us and two for the peers.
Object MakeVariant(const kelo::ClassInfo& info, const std::string& variant) {
  unsigned int seed = 1;
  int items = 1;
  (void)std::sscanf(variant.c_str(), "s%un%d", &seed, &items);
  Object object(kelotest::NewFilled(info, seed, items));
  if (variant == "long") {
    std::u16string text;
    std::string blob;
    for (int i = 0; i < 40000; ++i) {
      text.push_back(static_cast<char16_t>(i % 97 == 0 ? 0x4e00 + i % 500 : 0x20 + i % 90));
      blob.push_back(static_cast<char>(i * 13));
    }
    auto& site = static_cast<kelo::cl::VerSite&>(*object);
    site.name.Copy(reinterpret_cast<const short*>(text.data()), 40000);
    site.body.Copy(blob.data(), 40000);
  }
  return object;
}

// Our bytes read by each peer into its class and written back: every class default, filled with
// seeds 1 to 7 (each string and blob member meets null, empty and filled) with lists of 0, 1 and 3
// items, and filled with every nullable member null; replies and calls, and a string and a blob
// long enough to be chunked, framed by the peer; Java alone: our faults as Caucho's HessianInput
// reads them (same code and message, nothing left after completeReply), and the replies and calls
// it wrote once, kept in interop/testdata/ (rewritten if KELO_INTEROP_WRITE_TESTDATA is a folder).
TEST(Peers, ReadOurBytesAndWriteThemBack) {
  std::vector<PeerRecord> records;
  std::vector<std::string> names;  // the trace of each record; for the envelopes, the kept file
  for (unsigned int c = 0; c < kelo::CatalogueSize(); ++c) {
    const kelo::ClassInfo& info = *kelo::CatalogueAt(c);
    for (unsigned int seed = 0; seed <= 8; ++seed) {
      const int items = seed == 1 ? 0 : seed == 2 || seed == 8 ? 1 : 3;
      Object object(seed == 0 ? info.create() : kelotest::NewFilled(info, seed, items));
      for (unsigned int i = 0; seed == 8 && i < kelo::CatalogueMemberCount(info); ++i) {
        const kelo::MemberInfo& m = *kelo::CatalogueMemberAt(info, i);
        if (m.kind == kelo::KELO_KIND_STRING || m.kind == kelo::KELO_KIND_BINARY ||
            m.kind == kelo::KELO_KIND_MESSAGE || m.kind == kelo::KELO_KIND_LIST)
          m.access(*object).SetNull(true);
      }
      records.push_back({kPlainObject, info.typeName, Ours(*object)});
      names.push_back(std::string(info.typeName) + " seed " + std::to_string(seed));
    }
  }
  const char* envelopes[][2] = {
      {"r services.TopologyServiceResponse", "s1450n3"},
      {"r services.ConnectServiceResponse", "s1250n3"},
      {"r kelo.cl.ResTopology", "s1550n3"},
      {"r kelo.cl.ResConnectV2", "s1650n2"},
      {"c services.LoginServiceRequest", "s1100n3"},
      {"c kelo.cl.ReqBehavior", "s1800n3"},
      {"r kelo.cl.VerSite", "long"},
  };
  for (const auto& [item, variant] : envelopes) {
    const std::string type = item + 2;
    records.push_back({PeerFrame(item[0]), type,
                       Ours(*MakeVariant(*kelo::CatalogueFind(type.c_str()), variant))});
    names.push_back(std::string("java-") + (item[0] == kReply ? "reply-" : "call-") + type + "-" +
                    variant + ".bin");
  }
  const size_t firstFault = records.size();
  const std::string faults[][2] = {
      {"NotFound", "no such access point: 00:11:22:33:44:55"},
      {"ServiceException", "Z\xC3\xBCrich \xE2\x82\xAC, \"quoted\""},
      {"", ""},
      {"Long", std::string(70000, 'x')},  // two string chunks
  };
  for (const auto& [code, message] : faults) {
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(kelo::EncodeFault(code, message, bytes).ok());
    records.push_back({kFault, "", std::string(bytes.begin(), bytes.end())});
    names.push_back("fault " + code);
  }
  for (const Peer& peer : kPeers) {
    const bool java = peer.name == "java";
    const std::vector<PeerAnswer> answers = RunBatch(
        peer, "objects", {records.begin(), records.begin() + (java ? records.size() : firstFault)});
    for (size_t i = 0; i < answers.size(); ++i) {
      const PeerRecord& r = records[i];
      const std::string& got = answers[i].bytes;
      SCOPED_TRACE(peer.name + ": " + names[i]);
      ASSERT_TRUE(answers[i].ok) << got;
      if (r.frame == kFault) {
        EXPECT_EQ(got, faults[i - firstFault][0] + "\n" + faults[i - firstFault][1]);
        continue;
      }
      const kelo::ClassInfo& info = *kelo::CatalogueFind(r.type.c_str());
      ExpectReadsAs(r.frame, info, got, r.bytes);
      if (r.frame == kPlainObject || !java) continue;
      // Java chunks both at 32768: 's' 80 00 and 'b' 80 00 before the last chunk.
      if (r.type == "kelo.cl.VerSite") {
        EXPECT_NE(got.find(std::string("s\x80\x00", 3)), std::string::npos);
        EXPECT_NE(got.find(std::string("b\x80\x00", 3)), std::string::npos);
      }
      if (const char* dir = std::getenv("KELO_INTEROP_WRITE_TESTDATA"))
        WriteFile(std::string(dir) + "/" + names[i], got);
      const std::string kept = kelotest::ReadFile(KELO_INTEROP_TESTDATA_DIR "/" + names[i]);
      ExpectReadsAs(r.frame, info, kept, r.bytes);
    }
  }
}

// One row per behaviour of the table in interop/README.md, the same bytes to us and both peers. A
// peer's column is null when it refuses them, else annotated hex its written object must hold
// where it shows the difference (a value changed, a member dropped or kept), or "" if none.
struct Disagreement {
  const char *what, *type, *hex;
  int oursRead;   // our Deserialize result
  int oursWrite;  // our Serialize of what we read, when the read succeeded
  const char *java, *js;
};

#define KELO_PART "4d 74 00 14 'kelo.cl.ResPartition' 53 00 07 'pidName' "
#define KELO_URL_NULL "53 00 03 'url' 4e 7a"
#define KELO_ITEMS "56 74 00 15 '[kelo.cl.ResPartition' "
#define KELO_MAXP "4d 74 00 14 'kelo.cl.CommCacheRes' 53 00 0d 'maxPartitions' "
#define KELO_CACHE KELO_MAXP "49 00 00 00 01 53 00 10 'partitionElemRes' "
#define KELO_MAXP_END " 53 00 10 'partitionElemRes' 4e 7a"
#define KELO_SCAN "4d 74 00 13 'kelo.cl.ScanResInfo' 53 00 05 'cnrId' "
#define KELO_SCAN_END " 53 00 05 'bssid' 4e 53 00 0d 'systemQuality' 49 00 00 00 01 7a"
#define KELO_CONNRSP "4d 74 00 1d 'CommEngine.VKAP_IE_ConnectRsp' 53 00 0f 'm_featureBitMap' "

const Disagreement kDisagreements[] = {
    {"4-byte UTF-8 (U+1F600)", "kelo.cl.ResPartition",
     KELO_PART "53 00 01 f0 9f 98 80" KELO_URL_NULL, KELO_E_FORMAT, 0, nullptr, nullptr},
    {"surrogate pair as two 3-byte sequences", "kelo.cl.ResPartition",
     KELO_PART "53 00 02 ed a0 bd ed b8 80" KELO_URL_NULL, 0, KELO_E_NOT_SUPPORTED,
     "53 00 02 ed a0 bd ed b8 80", "53 00 02 ed a0 bd ed b8 80"},
    {"list count below the items", "kelo.cl.CommCacheRes",
     KELO_CACHE KELO_ITEMS "6c 00 00 00 02 4e 4e 4e 7a 7a", KELO_E_FORMAT, 0, nullptr, nullptr},
    {"list without a count", "kelo.cl.CommCacheRes", KELO_CACHE KELO_ITEMS "4e 4e 7a 7a",
     KELO_E_FORMAT, 0, "6c 00 00 00 02 4e 4e 7a", "6c 00 00 00 02 4e 4e 7a"},
    {"list count -1", "kelo.cl.CommCacheRes", KELO_CACHE KELO_ITEMS "6c ff ff ff ff 4e 7a 7a",
     KELO_E_NOT_SUPPORTED, 0, "6c 00 00 00 01 4e 7a", nullptr},
    {"list without a type", "kelo.cl.CommCacheRes", KELO_CACHE "56 6c 00 00 00 01 4e 7a 7a",
     KELO_E_FORMAT, 0, "'[kelo.cl.ResPartition'", "56 6c 00 00 00 01"},
    {"list typed java.util.List", "kelo.cl.CommCacheRes",
     KELO_CACHE "56 74 00 0e 'java.util.List' 6c 00 00 00 01 4e 7a 7a", KELO_E_FORMAT, 0,
     "'[kelo.cl.ResPartition'", "'java.util.List'"},
    {"'R' back-reference", "kelo.cl.CommCacheRes",
     KELO_CACHE KELO_ITEMS "6c 00 00 00 02 " KELO_PART "53 00 01 'a'" KELO_URL_NULL
                           " 52 00 00 00 02 7a 7a",
     KELO_E_FORMAT, 0, "52 00 00 00 02", "52 00 00 00 02"},
    {"untyped map", "kelo.cl.ResPartition", "4d 53 00 07 'pidName' 53 00 01 'a'" KELO_URL_NULL,
     KELO_E_FORMAT, 0, "'kelo.cl.ResPartition'", "'[object Object]'"},
    {"map of another type", "kelo.cl.ResPartition",
     "4d 74 00 08 'x.Other1' 53 00 07 'pidName' 53 00 01 'a'" KELO_URL_NULL, KELO_E_FORMAT, 0,
     "4d 74 00 00", "'x.Other1'"},
    {"unknown member", "kelo.cl.ResPartition",
     KELO_PART "53 00 01 'a' 53 00 05 'extra' 49 00 00 00 05" KELO_URL_NULL, 0, 0, "", "'extra'"},
    {"missing member", "kelo.cl.ResPartition",
     "4d 74 00 14 'kelo.cl.ResPartition' 53 00 03 'url' 4e 7a", 0, 0, "'pidName' 4e", ""},
    {"member name beyond ASCII, its length in 16-bit units", "kelo.cl.ResPartition",
     KELO_PART "53 00 01 'a' 53 00 04 'caf' c3 a9 49 00 00 00 05" KELO_URL_NULL, KELO_E_FORMAT, 0,
     "'pidName' 53 00 01 'a' 53 00 03 'url'", "53 00 04 'caf' c3 a9 49"},
    {"member name in an 's' chunk", "kelo.cl.ResPartition",
     "4d 74 00 14 'kelo.cl.ResPartition' 73 00 03 'pid' 53 00 04 'Name' 53 00 01 'a'" KELO_URL_NULL,
     KELO_E_FORMAT, 0, "'pidName' 53 00 01 'a'", "'pidName' 53 00 01 'a'"},
    {"'L' for a 32-bit member", "kelo.cl.CommCacheRes",
     KELO_MAXP "4c 00 00 00 00 00 00 00 05" KELO_MAXP_END, KELO_E_FORMAT, 0, "49 00 00 00 05",
     "4c 00 00 00 00 00 00 00 05"},
    {"'D' for a 32-bit member", "kelo.cl.CommCacheRes",
     KELO_MAXP "44 40 14 00 00 00 00 00 00" KELO_MAXP_END, KELO_E_FORMAT, 0, "49 00 00 00 05",
     "44 40 14"},
    {"'T' for a 32-bit member", "kelo.cl.CommCacheRes", KELO_MAXP "54" KELO_MAXP_END, KELO_E_FORMAT,
     0, "49 00 00 00 01", "'maxPartitions' 54"},
    {"'N' for a 32-bit member", "kelo.cl.CommCacheRes", KELO_MAXP "4e" KELO_MAXP_END, KELO_E_FORMAT,
     0, nullptr, "'maxPartitions' 4e"},
    {"'I' for a 64-bit member", "kelo.cl.ScanResInfo", KELO_SCAN "49 00 00 00 05" KELO_SCAN_END,
     KELO_E_FORMAT, 0, "4c 00 00 00 00 00 00 00 05", "'cnrId' 49 00 00 00 05"},
    {"'d' for a 64-bit member", "kelo.cl.ScanResInfo",
     KELO_SCAN "64 00 00 00 00 00 00 00 05" KELO_SCAN_END, KELO_E_FORMAT, 0, nullptr, "'cnrId' 64"},
    {"'I' 300 for an 8-bit member", "kelo.cl.GeneralReq",
     "4d 74 00 12 'kelo.cl.GeneralReq' 53 00 05 'isLan' 49 00 00 01 2c 7a", 0, 0, "49 00 00 01 2c",
     "49 00 00 01 2c"},
    {"'I' 1 for a boolean member", "services.ReportUpdateServiceResponse",
     "4d 74 00 24 'services.ReportUpdateServiceResponse' 53 00 09 'm_success' 49 00 00 00 01 7a",
     KELO_E_FORMAT, 0, "'m_success' 46", "'m_success' 49 00 00 00 01"},
    {"'B' for a string member", "kelo.cl.ResPartition", KELO_PART "42 00 01 'a'" KELO_URL_NULL,
     KELO_E_FORMAT, 0, nullptr, "'pidName' 42"},
    {"'X' (XML) for a string member", "kelo.cl.ResPartition",
     KELO_PART "58 00 01 'a'" KELO_URL_NULL, KELO_E_FORMAT, 0, "'pidName' 53 00 01 'a'", nullptr},
    {"'N' for a value class", "CommEngine.VKAP_IE_ConnectRsp", KELO_CONNRSP "4e 7a", 0, 0,
     "'m_featureBitMap' 4e", "'m_featureBitMap' 4e"},
    {"untyped map for a value class", "CommEngine.VKAP_IE_ConnectRsp",
     KELO_CONNRSP "4d 53 00 05 'value' 49 00 00 00 07 7a 7a", KELO_E_FORMAT, 0,
     "'VarantoTypes.CT_Uint32' 53 00 05 'value' 49 00 00 00 07", "'[object Object]'"},
    {"value class with another member first", "CommEngine.VKAP_IE_ConnectRsp",
     KELO_CONNRSP
     "4d 74 00 16 'VarantoTypes.CT_Uint32' 53 00 01 'x' 4e 53 00 05 'value' 49 00 00 00 07 7a 7a",
     KELO_E_FORMAT, 0, "53 00 05 'value' 49 00 00 00 07", "53 00 01 'x'"},
    {"input ends inside a string", "kelo.cl.ResPartition", KELO_PART "53 00 05 'ab'",
     KELO_E_EXHAUSTED, 0, nullptr, nullptr},
};

TEST(PeerDisagreements, AsListedInTheReadme) {
  std::vector<PeerRecord> records;
  for (const Disagreement& d : kDisagreements)
    records.push_back({kPlainObject, d.type, kelotest::Hex(d.hex)});
  const std::vector<PeerAnswer> java = RunBatch(kPeers[0], "disagreements", records);
  const std::vector<PeerAnswer> js = RunBatch(kPeers[1], "disagreements", records);
  for (size_t i = 0; i < records.size(); ++i) {
    const Disagreement& d = kDisagreements[i];
    SCOPED_TRACE(d.what);
    Object object(kelo::CatalogueFind(d.type)->create());
    EXPECT_EQ(kelotest::Decode(*object, records[i].bytes).rc, d.oursRead);
    int rc = 0;
    if (d.oursRead == 0) kelotest::Encode(*object, &rc);
    EXPECT_EQ(rc, d.oursWrite);
    const std::pair<const PeerAnswer&, const char*> peers[] = {{java[i], d.java}, {js[i], d.js}};
    for (const auto& [answer, writes] : peers) {
      EXPECT_EQ(answer.ok, writes != nullptr) << answer.bytes;
      if (answer.ok && writes) {
        EXPECT_NE(answer.bytes.find(kelotest::Hex(writes)), std::string::npos)
            << kelotest::ToHex(answer.bytes);
      }
    }
  }
}

}  // namespace
