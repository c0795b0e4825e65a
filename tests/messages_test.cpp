// The real messages: golden bytes of defaults and envelopes worked out from the wire rules, the
// widths that set like-named members apart, the reply reader's failure texts through nested real
// messages, and MeasureReq::setBssid. Every class's round trips, in wire order and
// reordered among unknown members, are in the catalogue walk.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <type_traits>

#include <kelohessian/client/client.h>
#include <kelohessian/commengine/commengine.h>

#include "support/test_support.h"

namespace {

using kelotest::Encode;
using kelotest::Hex;
using kelotest::ReadReply;
using kelotest::Reply;
using Object = std::unique_ptr<CKeloHesClass>;

#define HEADER                                      \
  "'Mt' 00 0e 'kelo.cl.Header'"                     \
  "'S' 00 03 'cnc'     'I' 00 00 00 00"             \
  "'S' 00 03 'cnu'     'I' 00 00 00 00"             \
  "'S' 00 03 'cnr'     'L' 00 00 00 00 00 00 00 00" \
  "'S' 00 07 'session' 'I' 00 00 00 00"             \
  "'S' 00 02 'os'      'I' 00 00 00 00 'z'"
#define SERVICE_HEADER                      \
  "'Mt' 00 16 'services.ServiceHeader'"     \
  "'S' 00 07 'm_CNCID'     'I' 00 00 00 00" \
  "'S' 00 07 'm_CNUID'     'I' 00 00 00 00" \
  "'S' 00 05 'm_CNR'       'I' 00 00 00 00" \
  "'S' 00 0b 'm_SessionID' 'I' 00 00 00 00 'z'"
#define LOGIN_REQ                                                                                  \
  "'Mt' 00 1b 'CommEngine.VKAP_IE_LoginReq'"                                                       \
  "'S' 00 06 'm_ieId' 'I' 00 00 00 00 'S' 00 0b 'm_msgLength' 'I' 00 00 00 00"                     \
  "'S' 00 07 'm_cncId'   'Mt' 00 15 'VarantoTypes.CT_CncId' 'S' 00 05 'value' 'I' 00 00 00 00 'z'" \
  "'S' 00 07 'm_cnuId'   'Mt' 00 15 'VarantoTypes.CT_CnuId' 'S' 00 05 'value' 'I' 00 00 00 00 'z'" \
  "'S' 00 09 'm_macAddr' 'Mt' 00 17 'VarantoTypes.CT_MacAddr' 'S' 00 05 'value' 'N' 'z'"           \
  "'S' 00 06 'm_ssId'    'Mt' 00 14 'VarantoTypes.CT_SSID' 'S' 00 05 'value' 'N' 'z'"              \
  "'S' 00 0a 'm_userName' 'N' 'S' 00 0a 'm_password' 'N' 'z'"

// Default objects of the catalogue and their bytes. Integers of every width write 'I', 64-bit
// ones 'L'; lists are empty typed lists, messages full maps, strings and blobs null.
TEST(Messages, DefaultsWriteTheirGoldenBytes) {
  const struct {
    const char* cls;
    const char* hex;
  } rows[] = {
      {"kelo.cl.Header", HEADER},
      {"kelo.cl.ReqBehavior",
       "'Mt' 00 13 'kelo.cl.ReqBehavior' 'S' 00 05 'reqID' 'I' 00 00 00 00 'S' 00 06 "
       "'header'" HEADER
       "'S' 00 0b 'measureList' 'Vt' 00 13 '[kelo.cl.MeasureReq' 'l' 00 00 00 00 'z'"
       "'S' 00 09 'eventList' 'Vt' 00 11 '[kelo.cl.EventReq' 'l' 00 00 00 00 'z' 'z'"},
      {"services.ServiceHeader", SERVICE_HEADER},
      {"CommEngine.VKAP_IE_LoginReq", LOGIN_REQ},
      {"CommEngine.VKAP_IE_ConnectRsp",
       "4d 74 00 1d 'CommEngine.VKAP_IE_ConnectRsp'"
       "53 00 06 'm_ieId' 49 00 00 00 00  53 00 0b 'm_msgLength' 49 00 00 00 00"
       "53 00 0d 'm_connStatues' 49 00 00 00 00  # 8-bit, written as an int\n"
       "53 00 0f 'm_featureBitMap'"
       "  4d 74 00 16 'VarantoTypes.CT_Uint32' 53 00 05 'value' 49 00 00 00 00 7a"
       "53 00 04 'SIZE' 49 00 00 00 00 7a"},
      {"services.LoginServiceRequest",
       "'Mt' 00 1c 'services.LoginServiceRequest' 'S' 00 0d 'serviceHeader'" SERVICE_HEADER
       "'S' 00 05 'reqID' 'I' 00 00 00 00 'S' 00 03 'req'" LOGIN_REQ "'z'"},
      {"services.TopologyServiceRequest",
       "'Mt' 00 1f 'services.TopologyServiceRequest' 'S' 00 0d 'serviceHeader'" SERVICE_HEADER
       "'S' 00 05 'reqID' 'I' 00 00 00 00"
       "'S' 00 03 'req' 'Vt' 00 21 '[CommEngine.VKAP_IE_TopologyReqV3' 'l' 00 00 00 00 'z'"
       "'S' 00 08 'clientIP' 'N' 'z'"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.cls);
    Object object(kelo::CatalogueFind(row.cls)->create());
    EXPECT_EQ(Encode(*object), Hex(row.hex));
  }
}

TEST(Messages, WidthsOfLikeNamedMembers) {
  kelo::cl::Update update;
  update.keloVer = ~0ULL;
  update.flags = 0xFF;   // 8-bit unsigned, written zero-extended as 'I'
  update.port = 0xFFFF;  // 16-bit unsigned
  EXPECT_EQ(Encode(update),
            Hex("'Mt' 00 0e 'kelo.cl.Update' 'S' 00 05 'flags' 'I' 00 00 00 ff"
                "'S' 00 07 'keloVer' 'L' ff ff ff ff ff ff ff ff"
                "'S' 00 05 'title' 'N' 'S' 00 05 'descr' 'N'"
                "'S' 00 04 'host' 'N' 'S' 00 04 'path' 'N'"
                "'S' 00 04 'port' 'I' 00 00 ff ff 'S' 00 06 'kbytes' 'I' 00 00 00 00"
                "'z'"));
}

// A map that leaves members out: strings, blobs, value classes, messages and lists it does not
// name become null; numbers keep what they held.
TEST(Messages, MembersAMapLeavesOutBecomeNullNumbersKeepTheirValue) {
  CommEngine::VKAP_IE_LoginReq login;
  login.m_ieId = 7;
  login.m_cncId = 5;
  ASSERT_EQ(login.m_userName.Copy("u", 1), 0);
  ASSERT_EQ(kelotest::Decode(login, Hex("'Mt' 00 1b 'CommEngine.VKAP_IE_LoginReq' 'z'")).rc, 0);
  EXPECT_EQ(static_cast<int>(login.m_ieId), 7);
  EXPECT_TRUE(login.m_cncId.IsNull());
  EXPECT_TRUE(login.m_userName.IsNull());
  kelo::cl::ReqTopology topology;
  ASSERT_NE(topology.apList.Emplace(), nullptr);
  ASSERT_EQ(kelotest::Decode(topology, Hex("'Mt' 00 13 'kelo.cl.ReqTopology' 'z'")).rc, 0);
  EXPECT_TRUE(topology.generalReq.IsNull());
  EXPECT_TRUE(topology.apList.IsNull());  // its items stay: SetNull only marks it
}

TEST(Messages, ReplyFailureTexts) {
  const struct {
    const char* cls;
    std::string reply;
    const char* text;
  } rows[] = {
      {"services.LoginServiceResponse", Reply(Encode(services::ConnectServiceResponse())),
       "Expected class \"services.LoginServiceResponse\" but got "
       "\"services.ConnectServiceResponse\". Last chars read: 'tServiceResponse'"},
      {"kelo.cl.Response", Reply(Encode(kelo::cl::ResTopology())),
       "Expected class \"kelo.cl.Response\" but got \"kelo.cl.ResTopology\". Last chars read: "
       "'o.cl.ResTopology'"},
      {"kelo.cl.ResTopology",
       Reply(Hex("'Mt' 00 13 'kelo.cl.ResTopology'"
                 "'S' 00 06 'apList' 'Vt' 00 0e '[kelo.cl.ApRes' 'l' 00 00 00 01"
                 "  'Mt' 00 0d 'kelo.cl.ApRes' 'S' 00 0a 'publicInfo'"
                 "    'Mt' 00 15 'kelo.cl.PublicInfoRes' 'S' 00 08 'category' 'S' 00 01 '5'"
                 "'z' 'z' 'z' 'z'")),
       "Expected integer ('I'), but got something else. Last chars read: 'S..categoryS..5z'"
       ". This happens in member \"category\" of class \"kelo.cl.PublicInfoRes\""
       ". This happens in member \"publicInfo\" of class \"kelo.cl.ApRes\""
       ". This happens in member \"apList\" of class \"kelo.cl.ResTopology\""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.cls);
    Object response(kelo::CatalogueFind(row.cls)->create());
    const kelotest::Decoded d = ReadReply(*response, row.reply);
    EXPECT_EQ(d.rc, KELO_E_FORMAT);
    EXPECT_EQ(d.error, row.text);
  }
  kelo::cl::ResTopology derived;  // the derived class reads what its base refused
  EXPECT_EQ(ReadReply(derived, rows[1].reply).rc, 0);
}

// Classes holding a list, directly or nested, cannot be copied.
template <class... T>
constexpr bool kNoneCopyable = (... && (!std::is_copy_constructible<T>::value &&
                                        !std::is_copy_assignable<T>::value));
static_assert(kNoneCopyable<kelo::cl::CommCacheReq, kelo::cl::CommCacheRes, kelo::cl::ReqTopology,
                            kelo::cl::ResTopology, kelo::cl::ReqConnect, kelo::cl::ResConnectV2,
                            kelo::cl::ReqBehavior>);

TEST(Messages, SetBssidKeepsAPrivateCopyOrThrowsAndChangesNothing) {
  const char bssid[] = "\x00\x1a\x2b\x3c\x4d\xff";
  kelo::cl::MeasureReq record;
  char source[6];
  memcpy(source, bssid, 6);
  record.setBssid(source, 6);
  source[0] = 'x';  // the record holds its own copy
  EXPECT_EQ(kelotest::BlobBytes(record.bssid), std::string(bssid, 6));

  const std::wstring text = L"MeasureReq::setBssid() : either input is Null or has illegal length";
  const struct {
    const char* data;
    int length;
  } bad[] = {{bssid, 5}, {bssid, 7}, {nullptr, 6}, {bssid, 0}, {bssid, -6}, {nullptr, 0}};
  for (const auto& c : bad) {
    SCOPED_TRACE(c.length);
    kelo::cl::MeasureReq fresh;
    EXPECT_EQ(kelotest::Caught<kllang::IllegalArgumentException>(
                  [&] { fresh.setBssid(c.data, c.length); }),
              text);
    EXPECT_TRUE(fresh.bssid.IsNull());
    EXPECT_EQ(
        kelotest::Caught<kllang::RuntimeException>([&] { record.setBssid(c.data, c.length); }),
        text);
    EXPECT_EQ(kelotest::BlobBytes(record.bssid), std::string(bssid, 6));
  }
}

}  // namespace
