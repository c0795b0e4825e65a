// Round trips through the real peers: every catalogue class, default and filled, is written by
// the library, read by Caucho's Hessian for Java into its generated class (and by hessian.js
// with its types kept) and written back; the library reads the peer's bytes back to an object
// whose encoding is byte for byte the original. Also what the peers write differently: chunks
// of 32768, members in another order, 'r' 01 00 and 'c' 01 00 envelopes, and the peer-written
// files kept under interop/testdata/.
#include <gtest/gtest.h>

#include <dirent.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "peer_io.h"
#include "support/filler.h"
#include "support/test_support.h"

using namespace kelointerop;

namespace {

struct Case {
  std::string label;
  const kelo::ClassInfo* info;
  std::string bytes;  // our encoding
};

std::string EncodeOrDie(const CKeloHesClass& object) {
  int rc = 0;
  std::string bytes = kelotest::Encode(object, &rc);
  EXPECT_EQ(rc, 0);
  return bytes;
}

// Sets every string, blob, nested message and list member to null.
void NullMembers(CKeloHesClass& object, const kelo::ClassInfo& info) {
  for (unsigned int i = 0; i < kelo::CatalogueMemberCount(info); ++i) {
    const kelo::MemberInfo& m = *kelo::CatalogueMemberAt(info, i);
    if (m.kind == kelo::KELO_KIND_STRING || m.kind == kelo::KELO_KIND_BINARY ||
        m.kind == kelo::KELO_KIND_MESSAGE || m.kind == kelo::KELO_KIND_LIST)
      m.access(object).SetNull(true);
  }
}

// Every class: default; filled with seeds 1 to 7 (each string and blob member meets its null,
// empty and non-empty values) and lists of 0, 1 and 3 items; and filled with nulls where a
// member can be null.
std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (unsigned int c = 0; c < kelo::CatalogueSize(); ++c) {
    const kelo::ClassInfo& info = *kelo::CatalogueAt(c);
    std::unique_ptr<CKeloHesClass> object(info.create());
    cases.push_back({std::string(info.typeName) + " default", &info, EncodeOrDie(*object)});
    const int items[] = {0, 1, 3, 3, 3, 3, 3};
    for (unsigned int seed = 1; seed <= 7; ++seed) {
      object.reset(kelotest::NewFilled(info, seed, items[seed - 1]));
      cases.push_back({std::string(info.typeName) + " seed " + std::to_string(seed) + ", " +
                           std::to_string(items[seed - 1]) + " items",
                       &info, EncodeOrDie(*object)});
    }
    object.reset(kelotest::NewFilled(info, 8, 1));
    NullMembers(*object, info);
    cases.push_back({std::string(info.typeName) + " nulls", &info, EncodeOrDie(*object)});
  }
  return cases;
}

// Reads one object of class info from bytes (all of them) and writes it again.
::testing::AssertionResult ReadsBackTo(const kelo::ClassInfo& info, const std::string& peerBytes,
                                       const std::string& original) {
  std::unique_ptr<CKeloHesClass> object(info.create());
  const kelotest::Decoded d = kelotest::Decode(*object, peerBytes);
  if (d.rc != 0)
    return ::testing::AssertionFailure() << "read failed with " << d.rc << ": " << d.error
                                         << "\npeer bytes: " << kelotest::ToHex(peerBytes);
  if (d.consumed != peerBytes.size())
    return ::testing::AssertionFailure() << "read " << d.consumed << " of " << peerBytes.size();
  const std::string again = EncodeOrDie(*object);
  if (again != original)
    return ::testing::AssertionFailure()
           << "re-encoded differently\n  ours:  " << kelotest::ToHex(original)
           << "\n  again: " << kelotest::ToHex(again)
           << "\n  peer:  " << kelotest::ToHex(peerBytes);
  return ::testing::AssertionSuccess();
}

// ctest runs the cases as separate processes, possibly at once: each uses files of its own.
std::string WorkFile(const std::string& name) {
  return std::string(KELO_INTEROP_WORK_DIR) + "/" + name;
}

struct Peer {
  const char* name;
  const char* command;
};
const Peer kJava = {"java", KELO_INTEROP_JAVA};
const Peer kJs = {"hessianjs", KELO_INTEROP_NODE};

void RoundTripEveryClass(const Peer& peer) {
  const std::vector<Case> cases = AllCases();
  std::vector<PeerRecord> records;
  for (const Case& c : cases) records.push_back({kPlainObject, c.info->typeName, c.bytes});
  std::vector<PeerAnswer> answers;
  std::string error;
  ASSERT_TRUE(
      RunPeer(peer.command, WorkFile(std::string(peer.name) + "-classes"), records, answers, error))
      << error;
  unsigned int reordered = 0;
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].label);
    ASSERT_TRUE(answers[i].ok) << peer.name << ": " << answers[i].bytes;
    EXPECT_TRUE(ReadsBackTo(*cases[i].info, answers[i].bytes, cases[i].bytes));
    if (answers[i].bytes != cases[i].bytes) ++reordered;
  }
  std::printf("%s: %zu objects of %u classes round-tripped, %u came back as other bytes\n",
              peer.name, cases.size(), kelo::CatalogueSize(), reordered);
}

TEST(JavaPeer, EveryClassRoundTrips) {
  RoundTripEveryClass(kJava);
}
TEST(HessianJsPeer, EveryClassRoundTrips) {
  RoundTripEveryClass(kJs);
}

// ---- envelopes, chunks and the kept peer-written files -----------------------------------------

// Reads 'c' <2 version bytes> 'm' <2-byte length> <method> <object> 'z'; the method name goes to
// method. The library itself only writes calls; tools that serve them read them like this.
::testing::AssertionResult ReadCall(const std::string& bytes, CKeloHesClass& request,
                                    std::string& method) {
  if (bytes.size() < 6 || bytes[0] != 'c' || bytes[3] != 'm')
    return ::testing::AssertionFailure() << "no call head: " << kelotest::ToHex(bytes);
  const size_t n =
      static_cast<unsigned char>(bytes[4]) * 256u + static_cast<unsigned char>(bytes[5]);
  if (bytes.size() < 6 + n + 1) return ::testing::AssertionFailure() << "short call";
  method = bytes.substr(6, n);
  const std::string body = bytes.substr(6 + n);
  CKeloInput in(body.data(), static_cast<unsigned int>(body.size()));
  CKeloInputParse parse(in);
  CKeloHesObject& target = request;
  if (int rc = target.Deserialize(parse); rc != 0)
    return ::testing::AssertionFailure()
           << rc << ": " << (parse.GetError() ? parse.GetError() : "");
  if (in.GetNumExtracted() + 1 != body.size() || body.back() != 'z')
    return ::testing::AssertionFailure() << "no closing 'z' right after the argument";
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult ReadReply(const std::string& bytes, CKeloHesClass& response) {
  CKeloInput in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  CKeloInputParse parse(in);
  if (int rc = KeloHessianReadResponse(response, parse); rc != 0)
    return ::testing::AssertionFailure()
           << rc << ": " << (parse.GetError() ? parse.GetError() : "") << "\n"
           << kelotest::ToHex(bytes);
  if (in.GetNumExtracted() != bytes.size())
    return ::testing::AssertionFailure() << "bytes left after the reply";
  return ::testing::AssertionSuccess();
}

// A VerSite whose name is 40000 units of text (mostly ASCII, some of it BMP beyond Latin-1) and
// whose body is 40000 bytes: one chunk for us (up to 65535), two for the Java peer (32768 each).
std::unique_ptr<CKeloHesClass> LongVerSite() {
  const kelo::ClassInfo& info = *kelo::CatalogueFind("kelo.cl.VerSite");
  std::unique_ptr<CKeloHesClass> object(kelotest::NewFilled(info, 1, 1));
  std::u16string text;
  for (int i = 0; i < 40000; ++i)
    text.push_back(static_cast<char16_t>(i % 97 == 0 ? 0x4e00 + i % 500 : 0x20 + i % 90));
  std::string blob;
  for (int i = 0; i < 40000; ++i) blob.push_back(static_cast<char>(i * 13));
  kelo::cl::VerSite& site = static_cast<kelo::cl::VerSite&>(*object);
  site.name.Copy(reinterpret_cast<const short*>(text.data()),
                 static_cast<unsigned int>(text.size()));
  site.body.Copy(blob.data(), static_cast<unsigned int>(blob.size()));
  return object;
}

// The object a kept file holds: "s<seed>n<items>" filled, or "long" for LongVerSite.
std::unique_ptr<CKeloHesClass> MakeVariant(const kelo::ClassInfo& info,
                                           const std::string& variant) {
  if (variant == "long") return LongVerSite();
  unsigned int seed = 0;
  int items = 0;
  if (std::sscanf(variant.c_str(), "s%un%d", &seed, &items) != 2) return nullptr;
  return std::unique_ptr<CKeloHesClass>(kelotest::NewFilled(info, seed, items));
}

// When KELO_INTEROP_WRITE_TESTDATA names a folder, the peers' answers below are kept there as
// <peer>-<reply|call|object>-<type>-<variant>.bin (how interop/testdata/ was made).
void Keep(const char* peer, const PeerRecord& record, const std::string& variant,
          const std::string& bytes) {
  const char* dir = std::getenv("KELO_INTEROP_WRITE_TESTDATA");
  // hessian.js writes what we write, byte for byte; only the Java peer's bytes are worth keeping.
  if (!dir || std::string(peer) != "java") return;
  const char* frame = record.frame == kReply ? "reply" : record.frame == kCall ? "call" : "object";
  WriteFile(
      std::string(dir) + "/" + peer + "-" + frame + "-" + record.type + "-" + variant + ".bin",
      bytes);
}

void CheckEnvelopes(const Peer& peer) {
  struct Item {
    PeerFrame frame;
    const char* type;
    std::string variant;
  };
  const std::vector<Item> items = {
      {kReply, "services.TopologyServiceResponse", "s1450n3"},
      {kReply, "services.ConnectServiceResponse", "s1250n3"},
      {kReply, "kelo.cl.ResTopology", "s1550n3"},
      {kReply, "kelo.cl.ResConnectV2", "s1650n2"},
      {kCall, "services.LoginServiceRequest", "s1100n3"},
      {kCall, "kelo.cl.ReqBehavior", "s1800n3"},
      {kReply, "kelo.cl.VerSite", "long"},
  };
  std::vector<PeerRecord> records;
  std::vector<std::string> ours;
  for (const Item& item : items) {
    std::unique_ptr<CKeloHesClass> object =
        MakeVariant(*kelo::CatalogueFind(item.type), item.variant);
    ours.push_back(EncodeOrDie(*object));
    records.push_back({item.frame, item.type, ours.back()});
  }
  std::vector<PeerAnswer> answers;
  std::string error;
  ASSERT_TRUE(RunPeer(peer.command, WorkFile(std::string(peer.name) + "-envelopes"), records,
                      answers, error))
      << error;
  for (size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(std::string(items[i].type) + " " + items[i].variant);
    ASSERT_TRUE(answers[i].ok) << answers[i].bytes;
    const std::string& got = answers[i].bytes;
    const kelo::ClassInfo& info = *kelo::CatalogueFind(items[i].type);
    std::unique_ptr<CKeloHesClass> object(info.create());
    if (items[i].frame == kReply) {
      EXPECT_EQ(got.substr(0, 3), std::string("r\x01\x00", 3));
      ASSERT_TRUE(ReadReply(got, *object));
    } else {
      EXPECT_EQ(got.substr(0, 3), std::string("c\x01\x00", 3));
      std::string method;
      ASSERT_TRUE(ReadCall(got, *object, method));
      EXPECT_EQ(method, "roundtrip");
    }
    EXPECT_EQ(EncodeOrDie(*object), ours[i]);
    if (items[i].variant == "long") {
      // More than one chunk each way: the peer's chunk marker and size tell its chunking.
      const size_t strChunk = got.find(std::string("s\x80\x00", 3));
      const size_t blobChunk = got.find(std::string("b\x80\x00", 3));
      std::printf("%s: 40000-unit string in chunks of %s, 40000-byte blob in chunks of %s\n",
                  peer.name, strChunk != std::string::npos ? "32768" : "another size",
                  blobChunk != std::string::npos ? "32768" : "another size");
      if (std::string(peer.name) == "java") {
        EXPECT_NE(strChunk, std::string::npos);
        EXPECT_NE(blobChunk, std::string::npos);
      }
    }
    Keep(peer.name, records[i], items[i].variant, got);
  }
}

TEST(JavaPeer, RepliesCallsAndChunksAreRead) {
  CheckEnvelopes(kJava);
}
TEST(HessianJsPeer, RepliesCallsAndChunksAreRead) {
  CheckEnvelopes(kJs);
}

// Our fault replies, read by Caucho's HessianInput as a Java client reads them: the same code and
// message, and nothing left over after its completeReply.
TEST(JavaPeer, ReadsOurFaults) {
  const std::pair<const char*, const char*> faults[] = {
      {"NotFound", "no such access point: 00:11:22:33:44:55"},
      {"ServiceException", "Z\xC3\xBCrich \xE2\x82\xAC, \"quoted\""},
      {"", ""},
  };
  std::vector<PeerRecord> records;
  std::vector<std::string> expected;
  const std::string longMessage(70000, 'x');  // two string chunks
  for (int i = 0; i < 4; ++i) {
    const std::string code = i < 3 ? faults[i].first : "Long";
    const std::string message = i < 3 ? std::string(faults[i].second) : longMessage;
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(kelo::EncodeFault(code, message, bytes));
    records.push_back({kFault, "", std::string(bytes.begin(), bytes.end())});
    expected.push_back(code + "\n" + message);
  }
  std::vector<PeerAnswer> answers;
  std::string error;
  ASSERT_TRUE(RunPeer(kJava.command, WorkFile("java-faults"), records, answers, error)) << error;
  ASSERT_EQ(answers.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    ASSERT_TRUE(answers[i].ok) << answers[i].bytes;
    EXPECT_EQ(answers[i].bytes, expected[i]);
  }
}

// Every kept peer-written file reads into the object it was written from.
TEST(PeerFiles, KeptFilesAreRead) {
  DIR* dir = opendir(KELO_INTEROP_TESTDATA_DIR);
  ASSERT_NE(dir, nullptr);
  unsigned int files = 0;
  while (dirent* e = readdir(dir)) {
    const std::string name = e->d_name;
    if (name.size() < 5 || name.substr(name.size() - 4) != ".bin") continue;
    SCOPED_TRACE(name);
    // <peer>-<frame>-<type>-<variant>.bin; the type holds dots but no dash.
    const size_t a = name.find('-'), b = name.find('-', a + 1), c = name.rfind('-');
    ASSERT_TRUE(a != std::string::npos && b != std::string::npos && c > b);
    const std::string frame = name.substr(a + 1, b - a - 1);
    const std::string type = name.substr(b + 1, c - b - 1);
    const std::string variant = name.substr(c + 1, name.size() - 4 - c - 1);
    const kelo::ClassInfo* info = kelo::CatalogueFind(type.c_str());
    ASSERT_NE(info, nullptr);
    std::unique_ptr<CKeloHesClass> expected = MakeVariant(*info, variant);
    ASSERT_NE(expected, nullptr);
    std::string bytes;
    ASSERT_TRUE(ReadFile(std::string(KELO_INTEROP_TESTDATA_DIR) + "/" + name, bytes));
    std::unique_ptr<CKeloHesClass> object(info->create());
    if (frame == "reply") {
      ASSERT_TRUE(ReadReply(bytes, *object));
    } else if (frame == "call") {
      std::string method;
      ASSERT_TRUE(ReadCall(bytes, *object, method));
    } else {
      ASSERT_TRUE(ReadsBackTo(*info, bytes, EncodeOrDie(*expected)));
    }
    EXPECT_EQ(EncodeOrDie(*object), EncodeOrDie(*expected));
    ++files;
  }
  closedir(dir);
  EXPECT_GE(files, 6u);
}

}  // namespace

// ---- where the peers and the library part ways -------------------------------------------------

// One row per behaviour listed in interop/README.md: the same bytes given to the library and to
// both peers, and what each does with them. A peer "reads" the bytes when it takes them into the
// class of the row and writes an object back; the written bytes are checked where they show the
// difference (a value changed, a member dropped or kept).
struct Disagreement {
  const char* what;
  const char* type;
  const char* hex;
  int oursRead;   // our Deserialize result
  int oursWrite;  // our Serialize of what we read, when the read succeeded
  bool javaReads;
  const char* javaWrites;  // annotated hex found in the Java peer's bytes, or null
  bool jsReads;
  const char* jsWrites;  // the same for hessian.js
};

#define KELO_PART "4d 74 00 14 'kelo.cl.ResPartition' 53 00 07 'pidName' "
#define KELO_URL_NULL "53 00 03 'url' 4e 7a"
#define KELO_CACHE                                                                       \
  "4d 74 00 14 'kelo.cl.CommCacheRes' 53 00 0d 'maxPartitions' 49 00 00 00 01 53 00 10 " \
  "'partitionElemRes' "
#define KELO_ITEMS "56 74 00 15 '[kelo.cl.ResPartition' "
#define KELO_MAXP "4d 74 00 14 'kelo.cl.CommCacheRes' 53 00 0d 'maxPartitions' "
#define KELO_MAXP_END " 53 00 10 'partitionElemRes' 4e 7a"
#define KELO_SCAN "4d 74 00 13 'kelo.cl.ScanResInfo' 53 00 05 'cnrId' "
#define KELO_SCAN_END " 53 00 05 'bssid' 4e 53 00 0d 'systemQuality' 49 00 00 00 01 7a"
#define KELO_CONNRSP "4d 74 00 1d 'CommEngine.VKAP_IE_ConnectRsp' 53 00 0f 'm_featureBitMap' "

const Disagreement kDisagreements[] = {
    {"4-byte UTF-8 (U+1F600)", "kelo.cl.ResPartition",
     KELO_PART "53 00 01 f0 9f 98 80" KELO_URL_NULL, KELO_E_FORMAT, 0, false, nullptr, false,
     nullptr},
    {"surrogate pair as two 3-byte sequences", "kelo.cl.ResPartition",
     KELO_PART "53 00 02 ed a0 bd ed b8 80" KELO_URL_NULL, 0, KELO_E_NOT_SUPPORTED, true,
     "53 00 02 ed a0 bd ed b8 80", true, "53 00 02 ed a0 bd ed b8 80"},
    {"list count below the items", "kelo.cl.CommCacheRes",
     KELO_CACHE KELO_ITEMS "6c 00 00 00 02 4e 4e 4e 7a 7a", KELO_E_FORMAT, 0, false, nullptr, false,
     nullptr},
    {"list without a count", "kelo.cl.CommCacheRes", KELO_CACHE KELO_ITEMS "4e 4e 7a 7a",
     KELO_E_FORMAT, 0, true, "6c 00 00 00 02 4e 4e 7a", true, "6c 00 00 00 02 4e 4e 7a"},
    {"list count -1", "kelo.cl.CommCacheRes", KELO_CACHE KELO_ITEMS "6c ff ff ff ff 4e 7a 7a",
     KELO_E_NOT_SUPPORTED, 0, true, "6c 00 00 00 01 4e 7a", false, nullptr},
    {"list without a type", "kelo.cl.CommCacheRes", KELO_CACHE "56 6c 00 00 00 01 4e 7a 7a",
     KELO_E_FORMAT, 0, true, "'[kelo.cl.ResPartition'", true, "56 6c 00 00 00 01"},
    {"list typed java.util.List", "kelo.cl.CommCacheRes",
     KELO_CACHE "56 74 00 0e 'java.util.List' 6c 00 00 00 01 4e 7a 7a", KELO_E_FORMAT, 0, true,
     "'[kelo.cl.ResPartition'", true, "'java.util.List'"},
    {"'R' back-reference", "kelo.cl.CommCacheRes",
     KELO_CACHE KELO_ITEMS "6c 00 00 00 02 " KELO_PART "53 00 01 'a'" KELO_URL_NULL
                           " 52 00 00 00 02 7a 7a",
     KELO_E_FORMAT, 0, true, "52 00 00 00 02", true, "52 00 00 00 02"},
    {"untyped map", "kelo.cl.ResPartition", "4d 53 00 07 'pidName' 53 00 01 'a'" KELO_URL_NULL,
     KELO_E_FORMAT, 0, true, "'kelo.cl.ResPartition'", true, "'[object Object]'"},
    {"map of another type", "kelo.cl.ResPartition",
     "4d 74 00 08 'x.Other1' 53 00 07 'pidName' 53 00 01 'a'" KELO_URL_NULL, KELO_E_FORMAT, 0, true,
     "4d 74 00 00", true, "'x.Other1'"},
    {"unknown member", "kelo.cl.ResPartition",
     KELO_PART "53 00 01 'a' 53 00 05 'extra' 49 00 00 00 05" KELO_URL_NULL, 0, 0, true, nullptr,
     true, "'extra'"},
    {"missing member", "kelo.cl.ResPartition",
     "4d 74 00 14 'kelo.cl.ResPartition' 53 00 03 'url' 4e 7a", 0, 0, true, "'pidName' 4e", true,
     nullptr},
    {"member name in an 's' chunk", "kelo.cl.ResPartition",
     "4d 74 00 14 'kelo.cl.ResPartition' 73 00 03 'pid' 53 00 04 'Name' 53 00 01 'a'" KELO_URL_NULL,
     KELO_E_FORMAT, 0, true, "'pidName' 53 00 01 'a'", true, "'pidName' 53 00 01 'a'"},
    {"'L' for a 32-bit member", "kelo.cl.CommCacheRes",
     KELO_MAXP "4c 00 00 00 00 00 00 00 05" KELO_MAXP_END, KELO_E_FORMAT, 0, true, "49 00 00 00 05",
     true, "4c 00 00 00 00 00 00 00 05"},
    {"'D' for a 32-bit member", "kelo.cl.CommCacheRes",
     KELO_MAXP "44 40 14 00 00 00 00 00 00" KELO_MAXP_END, KELO_E_FORMAT, 0, true, "49 00 00 00 05",
     true, "44 40 14"},
    {"'T' for a 32-bit member", "kelo.cl.CommCacheRes", KELO_MAXP "54" KELO_MAXP_END, KELO_E_FORMAT,
     0, true, "49 00 00 00 01", true, "'maxPartitions' 54"},
    {"'N' for a 32-bit member", "kelo.cl.CommCacheRes", KELO_MAXP "4e" KELO_MAXP_END, KELO_E_FORMAT,
     0, false, nullptr, true, "'maxPartitions' 4e"},
    {"'I' for a 64-bit member", "kelo.cl.ScanResInfo", KELO_SCAN "49 00 00 00 05" KELO_SCAN_END,
     KELO_E_FORMAT, 0, true, "4c 00 00 00 00 00 00 00 05", true, "'cnrId' 49 00 00 00 05"},
    {"'d' for a 64-bit member", "kelo.cl.ScanResInfo",
     KELO_SCAN "64 00 00 00 00 00 00 00 05" KELO_SCAN_END, KELO_E_FORMAT, 0, false, nullptr, true,
     "'cnrId' 64"},
    {"'I' 300 for an 8-bit member", "kelo.cl.GeneralReq",
     "4d 74 00 12 'kelo.cl.GeneralReq' 53 00 05 'isLan' 49 00 00 01 2c 7a", 0, 0, true,
     "49 00 00 01 2c", true, "49 00 00 01 2c"},
    {"'I' 1 for a boolean member", "services.ReportUpdateServiceResponse",
     "4d 74 00 24 'services.ReportUpdateServiceResponse' 53 00 09 'm_success' 49 00 00 00 01 7a",
     KELO_E_FORMAT, 0, true, "'m_success' 46", true, "'m_success' 49 00 00 00 01"},
    {"'B' for a string member", "kelo.cl.ResPartition", KELO_PART "42 00 01 'a'" KELO_URL_NULL,
     KELO_E_FORMAT, 0, false, nullptr, true, "'pidName' 42"},
    {"'X' (XML) for a string member", "kelo.cl.ResPartition",
     KELO_PART "58 00 01 'a'" KELO_URL_NULL, KELO_E_FORMAT, 0, true, "'pidName' 53 00 01 'a'",
     false, nullptr},
    {"'N' for a value class", "CommEngine.VKAP_IE_ConnectRsp", KELO_CONNRSP "4e 7a", 0, 0, true,
     "'m_featureBitMap' 4e", true, "'m_featureBitMap' 4e"},
    {"untyped map for a value class", "CommEngine.VKAP_IE_ConnectRsp",
     KELO_CONNRSP "4d 53 00 05 'value' 49 00 00 00 07 7a 7a", KELO_E_FORMAT, 0, true,
     "'VarantoTypes.CT_Uint32' 53 00 05 'value' 49 00 00 00 07", true, "'[object Object]'"},
    {"value class with another member first", "CommEngine.VKAP_IE_ConnectRsp",
     KELO_CONNRSP
     "4d 74 00 16 'VarantoTypes.CT_Uint32' 53 00 01 'x' 4e 53 00 05 'value' 49 00 00 00 07 7a 7a",
     KELO_E_FORMAT, 0, true, "53 00 05 'value' 49 00 00 00 07", true, "53 00 01 'x'"},
    {"input ends inside a string", "kelo.cl.ResPartition", KELO_PART "53 00 05 'ab'",
     KELO_E_EXHAUSTED, 0, false, nullptr, false, nullptr},
};

TEST(PeerDisagreements, AsListedInTheReadme) {
  std::vector<PeerRecord> records;
  for (const Disagreement& d : kDisagreements)
    records.push_back({kPlainObject, d.type, kelotest::Hex(d.hex)});
  std::vector<PeerAnswer> java, js;
  std::string error;
  ASSERT_TRUE(RunPeer(kJava.command, WorkFile("java-disagreements"), records, java, error))
      << error;
  ASSERT_TRUE(RunPeer(kJs.command, WorkFile("js-disagreements"), records, js, error)) << error;
  for (size_t i = 0; i < records.size(); ++i) {
    const Disagreement& d = kDisagreements[i];
    SCOPED_TRACE(d.what);
    std::unique_ptr<CKeloHesClass> object(kelo::CatalogueFind(d.type)->create());
    EXPECT_EQ(kelotest::Decode(*object, records[i].bytes).rc, d.oursRead);
    if (d.oursRead == 0) {
      int rc = 0;
      kelotest::Encode(*object, &rc);
      EXPECT_EQ(rc, d.oursWrite);
    }
    EXPECT_EQ(java[i].ok, d.javaReads) << java[i].bytes;
    if (d.javaWrites && java[i].ok) {
      EXPECT_NE(java[i].bytes.find(kelotest::Hex(d.javaWrites)), std::string::npos)
          << kelotest::ToHex(java[i].bytes);
    }
    EXPECT_EQ(js[i].ok, d.jsReads) << js[i].bytes;
    if (d.jsWrites && js[i].ok) {
      EXPECT_NE(js[i].bytes.find(kelotest::Hex(d.jsWrites)), std::string::npos)
          << kelotest::ToHex(js[i].bytes);
    }
  }
}
