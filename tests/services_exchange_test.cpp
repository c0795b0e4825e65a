// The five management services end to end: each request framed as a call, a reply built for it
// read back through the reply reader, including replies whose members come in another order, miss
// an element, carry members the reader does not know, or are of the wrong envelope class.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/filler.h"
#include "support/test_support.h"

namespace {

using kelotest::Hex;
using Object = std::unique_ptr<CKeloHesClass>;

struct Service {
  const char* method;
  const char* request;
  const char* response;
};

const Service kServices[] = {
    {"register", "services.RegistrationServiceRequest", "services.RegistrationServiceResponse"},
    {"login", "services.LoginServiceRequest", "services.LoginServiceResponse"},
    {"connect", "services.ConnectServiceRequest", "services.ConnectServiceResponse"},
    {"reportUpdate", "services.ReportUpdateServiceRequest", "services.ReportUpdateServiceResponse"},
    {"topology", "services.TopologyServiceRequest", "services.TopologyServiceResponse"},
};

std::string Reply(const std::string& body) {
  return Hex("'r' 01 00") + body + "z";
}

// The typed map of object with its members written in reverse order, plus extra (already encoded
// members) in front.
std::string Reordered(CKeloHesClass& object, const kelo::ClassInfo& info,
                      const std::string& extra = std::string()) {
  std::string body = kelotest::Encode(object).substr(0, 4 + info.typeNameLength) + extra;
  for (unsigned int i = kelo::CatalogueMemberCount(info); i-- > 0;) {
    const kelo::MemberInfo& m = *kelo::CatalogueMemberAt(info, i);
    body += Hex("'S' 00") + static_cast<char>(m.nameLength) + m.name +
            kelotest::Encode(m.access(object));
  }
  return body + "z";
}

kelotest::Decoded ReadReply(CKeloHesClass& response, const std::string& bytes) {
  CKeloInput in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  CKeloInputParse parse(in);
  kelotest::Decoded d;
  d.rc = KeloHessianReadResponse(response, parse);
  d.error = parse.GetError() ? parse.GetError() : "";
  d.consumed = in.GetNumExtracted();
  return d;
}

class EveryService : public ::testing::TestWithParam<Service> {};

TEST_P(EveryService, RequestFramesAndReplyReadsBack) {
  const Service& s = GetParam();
  const kelo::ClassInfo& reqInfo = *kelo::CatalogueFind(s.request);
  const kelo::ClassInfo& resInfo = *kelo::CatalogueFind(s.response);
  Object request(kelotest::NewFilled(reqInfo, 5, 3));
  CKeloOutput call(0);
  ASSERT_EQ(KeloHessianBuildRequest(s.method, static_cast<unsigned int>(strlen(s.method)), *request,
                                    call),
            0);
  const std::string bytes(call.Data(), call.DataSize());
  const std::string head = Hex("'c' 00 01 'm' 00") + static_cast<char>(strlen(s.method)) + s.method;
  ASSERT_EQ(bytes.substr(0, head.size()), head);
  EXPECT_EQ(bytes.substr(head.size(), bytes.size() - head.size() - 1), kelotest::Encode(*request));
  EXPECT_EQ(bytes.back(), 'z');

  Object answer(kelotest::NewFilled(resInfo, 9, 3));
  const std::string expected = kelotest::Encode(*answer);
  Object response(resInfo.create());
  const kelotest::Decoded d = ReadReply(*response, Reply(expected) + "next");
  ASSERT_EQ(d.rc, 0) << d.error;
  EXPECT_EQ(d.consumed, expected.size() + 4);  // right behind the closing 'z'
  EXPECT_EQ(kelotest::Encode(*response), expected);
}

TEST_P(EveryService, MembersInAnotherOrderAndUnknownMembers) {
  const kelo::ClassInfo& resInfo = *kelo::CatalogueFind(GetParam().response);
  Object answer(kelotest::NewFilled(resInfo, 21, 2));
  const std::string unknown = Hex(
      "'S' 00 07 'future1' 'Mt' 00 03 'x.y' 'S' 00 01 'l' 'Vt' 00 04 '[x.y' 'l' 00 00 00 01 'N' 'z'"
      "'z' 'S' 00 07 'future2' 'S' 00 01 c3 a9 'S' 00 07 'future3' 'L' 00 00 00 00 00 00 00 01");
  Object response(resInfo.create());
  const kelotest::Decoded d = ReadReply(*response, Reply(Reordered(*answer, resInfo, unknown)));
  ASSERT_EQ(d.rc, 0) << d.error;
  EXPECT_EQ(kelotest::Encode(*response), kelotest::Encode(*answer));
}

TEST_P(EveryService, MissingElementsStayNullAndNumbersKeepTheirValues) {
  const kelo::ClassInfo& resInfo = *kelo::CatalogueFind(GetParam().response);
  Object response(resInfo.create());
  CKeloHesInt32& rspID =
      static_cast<CKeloHesInt32&>(kelo::CatalogueMemberAt(resInfo, 1)->access(*response));
  rspID = 31;
  // Only the header arrives.
  const std::string body = std::string("Mt") + Hex("00") +
                           static_cast<char>(resInfo.typeNameLength) + resInfo.typeName +
                           Hex("'S' 00 0d 'serviceHeader' 'N' 'z'");
  ASSERT_EQ(ReadReply(*response, Reply(body)).rc, 0);
  EXPECT_EQ(static_cast<int>(rspID), 31);
  for (unsigned int i = 0; i < kelo::CatalogueMemberCount(resInfo); ++i) {
    const kelo::MemberInfo& m = *kelo::CatalogueMemberAt(resInfo, i);
    const bool nullable = m.kind == kelo::KELO_KIND_MESSAGE || m.kind == kelo::KELO_KIND_LIST;
    EXPECT_EQ(m.access(*response).IsNull(), nullable) << m.name;
  }
}

INSTANTIATE_TEST_SUITE_P(Management, EveryService, ::testing::ValuesIn(kServices),
                         [](const ::testing::TestParamInfo<Service>& p) {
                           return std::string(p.param.method);
                         });

TEST(ServiceReplies, WrongEnvelopeClassIsRefusedWithItsName) {
  services::ConnectServiceResponse connect;
  services::LoginServiceResponse login;
  const kelotest::Decoded d = ReadReply(login, Reply(kelotest::Encode(connect)));
  EXPECT_EQ(d.rc, KELO_E_FORMAT);
  EXPECT_EQ(d.error,
            "Expected class \"services.LoginServiceResponse\" but got "
            "\"services.ConnectServiceResponse\". Last chars read: 'tServiceResponse'");
}

TEST(ServiceReplies, TopologyReplyWithSeveralItems) {
  services::TopologyServiceResponse answer;
  answer.rspID = 8;
  for (int i = 0; i < 4; ++i) {
    CommEngine::VKAP_IE_TopologyRspV3* item = new CommEngine::VKAP_IE_TopologyRspV3();
    item->m_cnrId = 1000000000000ll + i;
    item->m_ssId.Copy("net", 3);
    answer.rsp.Add(*item);
  }
  services::TopologyServiceResponse response;
  ASSERT_EQ(ReadReply(response, Reply(kelotest::Encode(answer))).rc, 0);
  ASSERT_EQ(response.rsp.Count(), 4);
  EXPECT_EQ(static_cast<long long>(response.rsp.GetAt(3)->m_cnrId), 1000000000003ll);
  EXPECT_EQ(response.rsp.GetAt(4), nullptr);
  const char* ssid;
  ASSERT_EQ(response.rsp.GetAt(0)->m_ssId.Data(ssid), 3u);
  EXPECT_EQ(std::string(ssid, 3), "net");
}

TEST(ServiceReplies, AServiceHeaderSentAsAStringNamesEveryEnclosingMember) {
  services::LoginServiceResponse response;
  const std::string body =
      Hex("'Mt' 00 1d 'services.LoginServiceResponse' 'S' 00 0d 'serviceHeader' 'S' 00 01 'x' 'z'");
  const kelotest::Decoded d = ReadReply(response, Reply(body));
  EXPECT_EQ(d.rc, KELO_E_FORMAT);
  EXPECT_EQ(d.error,
            "Expected 'M' or 'N' but got something else. Last chars read: '..serviceHeaderS'. "
            "This happens in member \"serviceHeader\" of class \"services.LoginServiceResponse\"");
}

}  // namespace
