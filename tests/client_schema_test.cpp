// The client messages of namespace kelo::cl: the envelopes' bytes, replies read through the reply
// framing (lists, skipped and missing members, the class-name check and the failure text), the
// widths that set like-named members apart, copies with nested messages, and the validation and
// exceptions of MeasureReq::setBssid. Its out-of-memory path is tested in kllang_test.cpp, which
// replaces the heap.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <type_traits>

#include <kelohessian/client/client.h>

#include "support/test_support.h"

namespace {

using kelotest::Decode;
using kelotest::Encode;
using kelotest::Hex;
using kelotest::StringUnits;
using kelotest::Units;

// A default Header: 81 bytes.
const char kDefaultHeader[] =
    "'Mt' 00 0e 'kelo.cl.Header'"
    "'S' 00 03 'cnc'     'I' 00 00 00 00"
    "'S' 00 03 'cnu'     'I' 00 00 00 00"
    "'S' 00 03 'cnr'     'L' 00 00 00 00 00 00 00 00"
    "'S' 00 07 'session' 'I' 00 00 00 00"
    "'S' 00 02 'os'      'I' 00 00 00 00"
    "'z'";

// Reads one reply ('r', two version bytes, the response, 'z') into response.
kelotest::Decoded ReadReply(CKeloHesClass& response, const std::string& bytes) {
  CKeloInput in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  CKeloInputParse parse(in);
  kelotest::Decoded d;
  d.rc = KeloHessianReadResponse(response, parse);
  d.error = parse.GetError() ? std::string(parse.GetError(), parse.GetErrorLength()) : "";
  d.consumed = in.GetNumExtracted();
  return d;
}

std::string Reply(const std::string& response) {
  return Hex("'r' 01 00") + response + "z";
}

std::string BinaryBytes(const CKeloHesBinary& b) {
  const char* data;
  const unsigned int n = b.Data(data);
  return data ? std::string(data, n) : std::string();
}

// The value written after a member name, assuming fixed-size scalars of 9 bytes.
std::string ScalarAfter(const std::string& encoded, const char* member) {
  const std::string key = std::string("S") + '\0' + static_cast<char>(strlen(member)) + member;
  const size_t at = encoded.find(key);
  return at == std::string::npos ? std::string() : encoded.substr(at + key.size(), 9);
}

TEST(ClientEnvelopes, DefaultHeaderIs81Bytes) {
  kelo::cl::Header header;
  const std::string expected = Hex(kDefaultHeader);
  ASSERT_EQ(expected.size(), 81u);
  EXPECT_EQ(Encode(header), expected);
}

TEST(ClientEnvelopes, RequestWritesReqIdThenHeader) {
  kelo::cl::Request request;
  EXPECT_EQ(Encode(request), Hex("'Mt' 00 0f 'kelo.cl.Request' 'S' 00 05 'reqID' 'I' 00 00 00 00"
                                 "'S' 00 06 'header'") +
                                 Hex(kDefaultHeader) + "z");
}

TEST(ClientEnvelopes, DerivedRequestWritesBaseMembersFirstAndReadsAnyOrder) {
  kelo::cl::ReqBehavior request;
  EXPECT_EQ(Encode(request),
            Hex("'Mt' 00 13 'kelo.cl.ReqBehavior' 'S' 00 05 'reqID' 'I' 00 00 00 00"
                "'S' 00 06 'header'") +
                Hex(kDefaultHeader) +
                Hex("'S' 00 0b 'measureList' 'Vt' 00 13 '[kelo.cl.MeasureReq' 'l' 00 00 00 00 'z'"
                    "'S' 00 09 'eventList' 'Vt' 00 11 '[kelo.cl.EventReq' 'l' 00 00 00 00 'z'"
                    "'z'"));

  // The same members in reverse order, with the header only partly sent.
  const std::string wire =
      Hex("'Mt' 00 13 'kelo.cl.ReqBehavior'"
          "'S' 00 09 'eventList' 'Vt' 00 11 '[kelo.cl.EventReq' 'l' 00 00 00 01"
          "  'Mt' 00 10 'kelo.cl.EventReq' 'S' 00 04 'ssid' 'S' 00 04 'home'"
          "  'S' 00 03 'cnu' 'L' 00 00 00 01 00 00 00 00 'z'"
          "'z'"
          "'S' 00 0b 'measureList' 'Vt' 00 13 '[kelo.cl.MeasureReq' 'l' 00 00 00 00 'z'"
          "'S' 00 06 'header' 'Mt' 00 0e 'kelo.cl.Header' 'S' 00 02 'os' 'I' 00 00 00 0a 'z'"
          "'S' 00 05 'reqID' 'I' 00 00 00 07"
          "'z'");
  kelo::cl::ReqBehavior read;
  const kelotest::Decoded d = Decode(read, wire);
  ASSERT_EQ(d.rc, 0) << d.error;
  EXPECT_EQ(d.consumed, wire.size());
  EXPECT_EQ(static_cast<int>(read.reqID), 7);
  EXPECT_EQ(static_cast<int>(read.header.os), 10);
  EXPECT_EQ(read.measureList.Count(), 0);
  EXPECT_FALSE(read.measureList.IsNull());
  ASSERT_EQ(read.eventList.Count(), 1);
  EXPECT_EQ(StringUnits(read.eventList.GetAt(0)->ssid), u"home");
  EXPECT_EQ(static_cast<long long>(read.eventList.GetAt(0)->cnu), 0x100000000LL);
}

TEST(ClientEnvelopes, ResponseRefusesADerivedResponsesBytes) {
  kelo::cl::ResTopology written;
  const std::string reply = Reply(Encode(written));

  kelo::cl::Response base;
  const kelotest::Decoded d = ReadReply(base, reply);
  EXPECT_EQ(d.rc, KELO_E_FORMAT);
  EXPECT_EQ(d.error,
            "Expected class \"kelo.cl.Response\" but got \"kelo.cl.ResTopology\". Last chars read: "
            "'o.cl.ResTopology'");

  kelo::cl::ResTopology derived;
  const kelotest::Decoded ok = ReadReply(derived, reply);
  EXPECT_EQ(ok.rc, 0) << ok.error;
  EXPECT_EQ(ok.consumed, reply.size());
}

// A topology reply with three partitions and two access points. The first access point sends only
// three of its nine members; the second sends its public information under a name that ApRes does
// not register, so that value is skipped.
const char kTopologyReply[] =
    "'r' 01 00 'Mt' 00 13 'kelo.cl.ResTopology'"
    "'S' 00 05 'resID' 'I' 00 00 00 2a"
    "'S' 00 06 'header' 'Mt' 00 0e 'kelo.cl.Header'"
    "  'S' 00 03 'cnr' 'L' 00 00 00 01 00 00 00 02"
    "  'S' 00 03 'cnu' 'I' ff ff ff fe"
    "'z'"
    "'S' 00 11 'communityCacheRes' 'Mt' 00 14 'kelo.cl.CommCacheRes'"
    "  'S' 00 0d 'maxPartitions' 'I' 00 00 00 05"
    "  'S' 00 10 'partitionElemRes' 'Vt' 00 15 '[kelo.cl.ResPartition' 'l' 00 00 00 03"
    "    'Mt' 00 14 'kelo.cl.ResPartition' 'S' 00 07 'pidName' 'S' 00 02 'p0'"
    "      'S' 00 03 'url' 'S' 00 08 'http://a' 'z'"
    "    'Mt' 00 14 'kelo.cl.ResPartition' 'S' 00 07 'pidName' 'S' 00 02 'p1' 'z'"
    "    'Mt' 00 14 'kelo.cl.ResPartition' 'z'"
    "  'z'"
    "'z'"
    "'S' 00 06 'apList' 'Vt' 00 0e '[kelo.cl.ApRes' 'l' 00 00 00 02"
    "  'Mt' 00 0d 'kelo.cl.ApRes'"
    "    'S' 00 0d 'checkCategory' 'I' 00 00 00 07"
    "    'S' 00 0b 'locationRes' 'Mt' 00 13 'kelo.cl.LocationRes'"
    "      'S' 00 03 'lat'   'D' 40 45 00 00 00 00 00 00  # 42.0\n"
    "      'S' 00 05 'longt' 'D' c0 5e 40 00 00 00 00 00  # -121.0\n"
    "    'z'"
    "    'S' 00 0a 'publicInfo' 'Mt' 00 15 'kelo.cl.PublicInfoRes'"
    "      'S' 00 08 'category' 'I' 00 00 00 03"
    "      'S' 00 04 'name' 'S' 00 04 'Cafe'"
    "    'z'"
    "  'z'"
    "  'Mt' 00 0d 'kelo.cl.ApRes'"
    "    'S' 00 0d 'checkCategory' 'I' ff ff ff ff"
    "    'S' 00 0d 'publicInfoRes' 'Mt' 00 15 'kelo.cl.PublicInfoRes'"
    "      'S' 00 08 'category' 'I' 00 00 00 09"
    "    'z'"
    "    'S' 00 0a 'captiveRes' 'Mt' 00 14 'kelo.cl.ApCaptiveRes'"
    "      'S' 00 0b 'serviceType' 'I' ff ff ff ff"
    "    'z'"
    "  'z'"
    "'z'"
    "'z'"
    "'z'";

TEST(TopologyReply, ListsFillAndNestedMembersFollowTheWire) {
  const std::string reply = Hex(kTopologyReply);
  kelo::cl::ResTopology res;
  res.header.session = 77;  // not sent: keeps its value
  const kelotest::Decoded d = ReadReply(res, reply);
  ASSERT_EQ(d.rc, 0) << d.error;
  EXPECT_EQ(d.consumed, reply.size());

  EXPECT_EQ(static_cast<int>(res.resID), 42);
  EXPECT_EQ(static_cast<long long>(res.header.cnr), 0x100000002LL);
  EXPECT_EQ(static_cast<int>(res.header.cnu), -2);
  EXPECT_EQ(static_cast<int>(res.header.session), 77);

  const kelo::cl::CommCacheRes& cache = res.communityCacheRes;
  EXPECT_EQ(static_cast<int>(cache.maxPartitions), 5);
  ASSERT_EQ(cache.partitionElemRes.Count(), 3);
  EXPECT_EQ(StringUnits(cache.partitionElemRes.GetAt(0)->pidName), u"p0");
  EXPECT_EQ(StringUnits(cache.partitionElemRes.GetAt(0)->url), u"http://a");
  EXPECT_EQ(StringUnits(cache.partitionElemRes.GetAt(1)->pidName), u"p1");
  EXPECT_TRUE(cache.partitionElemRes.GetAt(1)->url.IsNull());
  EXPECT_TRUE(cache.partitionElemRes.GetAt(2)->pidName.IsNull());
  EXPECT_EQ(cache.partitionElemRes.GetAt(3), nullptr);
  EXPECT_EQ(cache.partitionElemRes.GetAt(-1), nullptr);

  ASSERT_EQ(res.apList.Count(), 2);
  EXPECT_EQ(res.apList.GetAt(2), nullptr);
  EXPECT_EQ(res.apList.GetAt(-1), nullptr);

  const kelo::cl::ApRes& first = *res.apList.GetAt(0);
  EXPECT_EQ(static_cast<int>(first.checkCategory), 7);
  EXPECT_EQ(static_cast<double>(first.locationRes.lat), 42.0);
  EXPECT_EQ(static_cast<double>(first.locationRes.longt), -121.0);
  EXPECT_EQ(static_cast<int>(first.locationRes.mapType), 0);
  EXPECT_EQ(static_cast<int>(first.publicInfo.category), 3);
  EXPECT_EQ(StringUnits(first.publicInfo.name), u"Cafe");
  EXPECT_TRUE(first.publicInfo.description.IsNull());
  // The six elements the reply left out are null structures.
  EXPECT_TRUE(first.scanRes.IsNull());
  EXPECT_TRUE(first.connectivityRes.IsNull());
  EXPECT_TRUE(first.captiveRes.IsNull());
  EXPECT_TRUE(first.wispInfoRes.IsNull());
  EXPECT_TRUE(first.addressRes.IsNull());
  EXPECT_TRUE(first.generalInfoRes.IsNull());

  const kelo::cl::ApRes& second = *res.apList.GetAt(1);
  EXPECT_EQ(static_cast<int>(second.checkCategory), -1);
  EXPECT_TRUE(second.publicInfo.IsNull());  // "publicInfoRes" was skipped
  EXPECT_EQ(static_cast<int>(second.publicInfo.category), 0);
  EXPECT_FALSE(second.captiveRes.IsNull());
  // char is unsigned on some targets (s390x): compare the 8 bits as signed.
  EXPECT_EQ(static_cast<signed char>(static_cast<char>(second.captiveRes.serviceType)), -1);
}

TEST(TopologyReply, LeftOutMembersAreNullAndNumbersKeepTheirValues) {
  kelo::cl::ResTopology res;
  res.resID = 99;
  res.communityCacheRes.maxPartitions = 4;
  const kelotest::Decoded d = ReadReply(
      res, Hex("'r' 01 00 'Mt' 00 13 'kelo.cl.ResTopology' 'S' 00 06 'apList' 'N' 'z' 'z'"));
  ASSERT_EQ(d.rc, 0) << d.error;
  EXPECT_EQ(static_cast<int>(res.resID), 99);
  EXPECT_TRUE(res.header.IsNull());
  EXPECT_TRUE(res.communityCacheRes.IsNull());
  EXPECT_EQ(static_cast<int>(res.communityCacheRes.maxPartitions), 4);
  EXPECT_TRUE(res.apList.IsNull());
  EXPECT_EQ(res.apList.Count(), 0);
}

TEST(TopologyReply, CategoryAsStringFailsTheIntegerRead) {
  kelo::cl::ResTopology res;
  const kelotest::Decoded d =
      ReadReply(res, Hex("'r' 01 00 'Mt' 00 13 'kelo.cl.ResTopology'"
                         "'S' 00 06 'apList' 'Vt' 00 0e '[kelo.cl.ApRes' 'l' 00 00 00 01"
                         "  'Mt' 00 0d 'kelo.cl.ApRes'"
                         "    'S' 00 0a 'publicInfo' 'Mt' 00 15 'kelo.cl.PublicInfoRes'"
                         "      'S' 00 08 'category' 'S' 00 01 '5'"
                         "    'z'"
                         "  'z'"
                         "'z' 'z' 'z'"));
  EXPECT_EQ(d.rc, KELO_E_FORMAT);
  EXPECT_EQ(d.error,
            "Expected integer ('I'), but got something else. Last chars read: 'S..categoryS..5z'"
            ". This happens in member \"category\" of class \"kelo.cl.PublicInfoRes\""
            ". This happens in member \"publicInfo\" of class \"kelo.cl.ApRes\""
            ". This happens in member \"apList\" of class \"kelo.cl.ResTopology\"");
  EXPECT_EQ(res.apList.Count(), 0);  // a failed item empties the list
}

TEST(ClientWidths, KeloVerMinusOneAndAllOnesWriteTheSameNineBytes) {
  const std::string allOnes = Hex("'L' ff ff ff ff ff ff ff ff");

  kelo::cl::Update update;
  update.keloVer = ~0ULL;
  update.flags = 0xFF;   // 8-bit unsigned, written zero-extended as 'I'
  update.port = 0xFFFF;  // 16-bit unsigned
  EXPECT_EQ(Encode(update), Hex("'Mt' 00 0e 'kelo.cl.Update'"
                                "'S' 00 05 'flags'   'I' 00 00 00 ff"
                                "'S' 00 07 'keloVer' 'L' ff ff ff ff ff ff ff ff"
                                "'S' 00 05 'title'   'N'"
                                "'S' 00 05 'descr'   'N'"
                                "'S' 00 04 'host'    'N'"
                                "'S' 00 04 'path'    'N'"
                                "'S' 00 04 'port'    'I' 00 00 ff ff"
                                "'S' 00 06 'kbytes'  'I' 00 00 00 00"
                                "'z'"));

  kelo::cl::ReqConnect connect;
  connect.keloVer = -1;
  const std::string encoded = Encode(connect);
  EXPECT_EQ(ScalarAfter(encoded, "keloVer"), allOnes);
  EXPECT_EQ(ScalarAfter(encoded, "flags"), Hex("'L' 00 00 00 00 00 00 00 00"));

  kelo::cl::ReqRegister reg;
  reg.keloVer = -1;
  EXPECT_EQ(ScalarAfter(Encode(reg), "keloVer"), allOnes);
}

TEST(ClientCopies, ReqRegisterCopiesItsOsInfoAndCampaign) {
  kelo::cl::ReqRegister original;
  original.reqID = 3;
  original.keloVer = 0x0001000200030004LL;
  ASSERT_EQ(original.mac.Copy("\x00\x1a\x2b\x3c\x4d\x5e", 6), 0);
  original.osInfo.osMaj = 10;
  original.osInfo.osBuild = 19045;
  ASSERT_EQ(original.osInfo.osEdit.Copy("Pro"), 0);
  original.osInfo.language = 1033;
  original.campaign.channel = 4;
  original.campaign.id = 5;
  ASSERT_EQ(original.campaign.referringUrl.Copy("http://r"), 0);
  original.campaign.downloadDate = 1700000000000LL;
  ASSERT_EQ(original.campaign.cookie.Copy("c=1"), 0);
  const std::string bytes = Encode(original);  // the original is registered now

  kelo::cl::ReqRegister copy(original);
  kelo::cl::ReqRegister assigned;
  Encode(assigned);  // registered before the assignment
  assigned = original;

  // The copies own their own strings: changing the original afterwards leaves them alone.
  ASSERT_EQ(original.osInfo.osEdit.Copy("Home"), 0);
  ASSERT_EQ(original.campaign.cookie.Copy("c=2"), 0);
  original.campaign.id = 6;
  original.osInfo.osMaj = 11;

  for (const kelo::cl::ReqRegister* r : {&copy, &assigned}) {
    EXPECT_EQ(Encode(*r), bytes);
    EXPECT_EQ(StringUnits(r->osInfo.osEdit), u"Pro");
    EXPECT_EQ(StringUnits(r->campaign.cookie), u"c=1");
    EXPECT_EQ(static_cast<int>(r->campaign.id), 5);
    EXPECT_EQ(static_cast<long long>(r->campaign.downloadDate), 1700000000000LL);
    EXPECT_EQ(static_cast<int>(r->osInfo.language), 1033);
  }
  EXPECT_NE(Encode(original), bytes);
}

// The seven classes holding a list, directly or nested, cannot be copied.
#define KELO_EXPECT_NOT_COPYABLE(Cls)                                     \
  static_assert(!std::is_copy_constructible<kelo::cl::Cls>::value, #Cls); \
  static_assert(!std::is_copy_assignable<kelo::cl::Cls>::value, #Cls);
KELO_EXPECT_NOT_COPYABLE(CommCacheReq)
KELO_EXPECT_NOT_COPYABLE(CommCacheRes)
KELO_EXPECT_NOT_COPYABLE(ReqTopology)
KELO_EXPECT_NOT_COPYABLE(ResTopology)
KELO_EXPECT_NOT_COPYABLE(ReqConnect)
KELO_EXPECT_NOT_COPYABLE(ResConnectV2)
KELO_EXPECT_NOT_COPYABLE(ReqBehavior)
#undef KELO_EXPECT_NOT_COPYABLE

// Whether a call throws something that a handler for Handler catches.
template <class Handler, class Call>
bool CaughtBy(Call call) {
  try {
    try {
      call();
    } catch (const Handler&) {
      return true;
    }
  } catch (...) {
  }
  return false;
}

const char kBssid[] = "\x00\x1a\x2b\x3c\x4d\xff";
const char kOtherBssid[] = "\xa0\xb1\xc2\xd3\xe4\xf5";

TEST(SetBssid, StoresAPrivateCopyOfSixBytes) {
  kelo::cl::MeasureReq record;
  record.cnu = 0x100000002LL;
  char source[6];
  memcpy(source, kBssid, 6);
  record.setBssid(source, 6);
  source[0] = 'x';  // the record holds its own copy
  EXPECT_EQ(BinaryBytes(record.bssid), std::string(kBssid, 6));
  EXPECT_EQ(Encode(record), Hex("'Mt' 00 12 'kelo.cl.MeasureReq'"
                                "'S' 00 07 'recType'        'I' 00 00 00 00"
                                "'S' 00 03 'cnu'            'L' 00 00 00 01 00 00 00 02"
                                "'S' 00 03 'cnr'            'L' 00 00 00 00 00 00 00 00"
                                "'S' 00 05 'bssid'          'B' 00 06 00 1a 2b 3c 4d ff"
                                "'S' 00 08 'crTmSrvr'       'L' 00 00 00 00 00 00 00 00"
                                "'S' 00 07 'crTmLcl'        'L' 00 00 00 00 00 00 00 00"
                                "'S' 00 08 'duration'       'L' 00 00 00 00 00 00 00 00"
                                "'S' 00 08 'sessType'       'I' 00 00 00 00"
                                "'S' 00 06 'wifiRx'         'L' 00 00 00 00 00 00 00 00"
                                "'S' 00 06 'wifiTx'         'L' 00 00 00 00 00 00 00 00"
                                "'S' 00 06 'cellRx'         'L' 00 00 00 00 00 00 00 00"
                                "'S' 00 06 'cellTx'         'L' 00 00 00 00 00 00 00 00"
                                "'S' 00 0b 'totalConnTm'    'L' 00 00 00 00 00 00 00 00"
                                "'S' 00 08 'apConnTm'       'L' 00 00 00 00 00 00 00 00"
                                "'S' 00 02 'bw'             'I' 00 00 00 00"
                                "'S' 00 07 'connDev'        'I' 00 00 00 00"
                                "'S' 00 0e 'connDevBitmask' 'L' 00 00 00 00 00 00 00 00"
                                "'z'"));

  record.setBssid(kOtherBssid, 6);
  EXPECT_EQ(BinaryBytes(record.bssid), std::string(kOtherBssid, 6));
  EXPECT_EQ(record.bssid.Length(), 6u);
}

TEST(SetBssid, BadInputThrowsIllegalArgumentAndChangesNothing) {
  const std::wstring text = L"MeasureReq::setBssid() : either input is Null or has illegal length";
  struct Case {
    const char* data;
    int length;
  } cases[] = {{kBssid, 5}, {kBssid, 7}, {nullptr, 6}, {kBssid, 0}, {kBssid, -6}, {nullptr, 0}};

  for (const Case& c : cases) {
    kelo::cl::MeasureReq fresh;
    try {
      fresh.setBssid(c.data, c.length);
      ADD_FAILURE() << "no exception for length " << c.length;
    } catch (const kllang::IllegalArgumentException& e) {
      EXPECT_EQ(std::wstring(e.GetMessage()), text);
    }
    EXPECT_TRUE(fresh.bssid.IsNull());
    EXPECT_NE(Encode(fresh).find(Hex("'S' 00 05 'bssid' 'N'")), std::string::npos);

    kelo::cl::MeasureReq set;
    set.setBssid(kBssid, 6);
    EXPECT_THROW(set.setBssid(c.data, c.length), kllang::IllegalArgumentException);
    EXPECT_EQ(BinaryBytes(set.bssid), std::string(kBssid, 6));
  }

  kelo::cl::MeasureReq record;
  const auto bad = [&record] { record.setBssid(kBssid, 5); };
  EXPECT_TRUE(CaughtBy<kllang::IllegalArgumentException>(bad));
  EXPECT_TRUE(CaughtBy<kllang::RuntimeException>(bad));
  EXPECT_TRUE(CaughtBy<kllang::Exception>(bad));
  EXPECT_TRUE(CaughtBy<kllang::Throwable>(bad));
  EXPECT_FALSE(CaughtBy<kllang::OutOfMemoryError>(bad));
}

}  // namespace
