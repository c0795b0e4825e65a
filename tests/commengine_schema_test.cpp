// Management-protocol schemas: golden bytes of default elements and envelopes worked out from the
// wire rules, the order of envelope members, and the member rows where similar elements differ in
// width, name or position (integers of every width write 'I', so those are checked by type).
#include <gtest/gtest.h>

#include <string>

#include <kelohessian/commengine/commengine.h>

#include "support/test_support.h"

namespace {

using kelotest::Encode;
using kelotest::Hex;

// 89 bytes: four 32-bit identifiers.
const char kServiceHeader[] =
    "'Mt' 00 16 'services.ServiceHeader'"
    "'S' 00 07 'm_CNCID'     'I' 00 00 00 00"
    "'S' 00 07 'm_CNUID'     'I' 00 00 00 00"
    "'S' 00 05 'm_CNR'       'I' 00 00 00 00"
    "'S' 00 0b 'm_SessionID' 'I' 00 00 00 00"
    "'z'";

const char kLoginReq[] =
    "'Mt' 00 1b 'CommEngine.VKAP_IE_LoginReq'"
    "'S' 00 06 'm_ieId'      'I' 00 00 00 00"
    "'S' 00 0b 'm_msgLength' 'I' 00 00 00 00"
    "'S' 00 07 'm_cncId'   'Mt' 00 15 'VarantoTypes.CT_CncId'"
    "                      'S' 00 05 'value' 'I' 00 00 00 00 'z'"
    "'S' 00 07 'm_cnuId'   'Mt' 00 15 'VarantoTypes.CT_CnuId'"
    "                      'S' 00 05 'value' 'I' 00 00 00 00 'z'"
    "'S' 00 09 'm_macAddr' 'Mt' 00 17 'VarantoTypes.CT_MacAddr' 'S' 00 05 'value' 'N' 'z'"
    "'S' 00 06 'm_ssId'    'Mt' 00 14 'VarantoTypes.CT_SSID'    'S' 00 05 'value' 'N' 'z'"
    "'S' 00 0a 'm_userName' 'N'"
    "'S' 00 0a 'm_password' 'N'"
    "'z'";

TEST(CommEngineSchema, DefaultConnectRspIs158Bytes) {
  const std::string expected =
      Hex("4d 74 00 1d 'CommEngine.VKAP_IE_ConnectRsp'"
          "53 00 06 'm_ieId'        49 00 00 00 00   # 16-bit, written as an int\n"
          "53 00 0b 'm_msgLength'   49 00 00 00 00"
          "53 00 0d 'm_connStatues' 49 00 00 00 00   # 8-bit, written as an int\n"
          "53 00 0f 'm_featureBitMap'"
          "  4d 74 00 16 'VarantoTypes.CT_Uint32' 53 00 05 'value' 49 00 00 00 00 7a"
          "53 00 04 'SIZE'          49 00 00 00 00"
          "7a");
  ASSERT_EQ(expected.size(), 158u);
  EXPECT_EQ(Encode(CommEngine::VKAP_IE_ConnectRsp()), expected);
}

TEST(CommEngineSchema, DefaultServiceHeaderIs89Bytes) {
  ASSERT_EQ(Hex(kServiceHeader).size(), 89u);
  EXPECT_EQ(Encode(services::ServiceHeader()), Hex(kServiceHeader));
}

TEST(CommEngineSchema, DefaultLoginReqWritesItsEightMembersInOrder) {
  EXPECT_EQ(Encode(CommEngine::VKAP_IE_LoginReq()), Hex(kLoginReq));
}

TEST(CommEngineSchema, LoginRspEndsWithCookieSizeThenSize) {
  CommEngine::VKAP_IE_LoginRsp rsp;
  const std::string tail =
      Hex("'S' 00 0b 'COOKIE_SIZE' 'I' 00 00 00 00 'S' 00 04 'SIZE' 'I' 00 00 00 00 'z'");
  const std::string bytes = Encode(rsp);
  ASSERT_GT(bytes.size(), tail.size());
  EXPECT_EQ(bytes.substr(bytes.size() - tail.size()), tail);
  rsp.COOKIE_SIZE = 7;
  rsp.SIZE = -2;
  EXPECT_EQ(Encode(rsp).substr(bytes.size() - tail.size()),
            Hex("'S' 00 0b 'COOKIE_SIZE' 'I' 00 00 00 07 'S' 00 04 'SIZE' 'I' ff ff ff fe 'z'"));
}

TEST(CommEngineSchema, EnvelopesWriteHeaderThenIdThenPayload) {
  services::LoginServiceRequest login;
  login.reqID = 0x0102;
  EXPECT_EQ(Encode(login),
            Hex("'Mt' 00 1c 'services.LoginServiceRequest' 'S' 00 0d 'serviceHeader'") +
                Hex(kServiceHeader) + Hex("'S' 00 05 'reqID' 'I' 00 00 01 02 'S' 00 03 'req'") +
                Hex(kLoginReq) + "z");

  EXPECT_EQ(Encode(services::ReportUpdateServiceResponse()),
            Hex("'Mt' 00 24 'services.ReportUpdateServiceResponse' 'S' 00 0d 'serviceHeader'") +
                Hex(kServiceHeader) +
                Hex("'S' 00 05 'rspID' 'I' 00 00 00 00 'S' 00 09 'm_success' 'F' 'z'"));

  EXPECT_EQ(Encode(services::TopologyServiceRequest()),
            Hex("'Mt' 00 1f 'services.TopologyServiceRequest' 'S' 00 0d 'serviceHeader'") +
                Hex(kServiceHeader) +
                Hex("'S' 00 05 'reqID' 'I' 00 00 00 00"
                    "'S' 00 03 'req' 'Vt' 00 21 '[CommEngine.VKAP_IE_TopologyReqV3'"
                    "                'l' 00 00 00 00 'z'"
                    "'S' 00 08 'clientIP' 'N' 'z'"));
}

TEST(CommEngineSchema, ConnectServiceResponseCarriesTheConfigurationInOrder) {
  const kelo::ClassInfo* info = kelo::CatalogueFind("services.ConnectServiceResponse");
  ASSERT_NE(info, nullptr);
  const char* const names[] = {
      "serviceHeader",    "rspID",           "m_connectRsp",       "m_networkProfile",
      "m_measurement",    "m_loggerProfile", "m_velkorParameters", "m_StatisticsFiles",
      "m_StatisticsInfo", "m_versionUpdate", "m_serverInfo"};
  ASSERT_EQ(kelo::CatalogueMemberCount(*info), 11u);
  for (unsigned int i = 0; i < 11; ++i)
    EXPECT_STREQ(kelo::CatalogueMemberAt(*info, i)->name, names[i]);
}

// Every element: the width of its two header members, its member count and its last member.
TEST(CommEngineSchema, ElementHeadersCountsAndTrailers) {
  struct Row {
    const char* cls;
    const char* header;
    unsigned int count;
    const char* last;
  } const rows[] = {
      {"VKAP_IE_ClientRegistrationReq", "CKeloHesInt32", 8, "m_osServicePack"},
      {"VKAP_IE_ClientRegistrationRsp", "CKeloHesInt16", 4, "m_cncId"},
      {"VKAP_IE_LoginReq", "CKeloHesInt32", 8, "m_password"},
      {"VKAP_IE_LoginRsp", "CKeloHesInt32", 9, "SIZE"},
      {"VKAP_IE_ConnectReqV3", "CKeloHesInt16", 12, "SIZE"},
      {"VKAP_IE_ConnectRsp", "CKeloHesInt16", 5, "SIZE"},
      {"VKAP_IE_NetworkProfile", "CKeloHesInt16", 11, "SIZE"},
      {"VKAP_IE_MeasurmentParamV3", "CKeloHesInt16", 26, "SIZE"},
      {"VKAP_IE_LoggerProfileRspV3", "CKeloHesInt16", 5, "SIZE"},
      {"VKAP_IE_VelkorParameters", "CKeloHesInt16", 27, "SIZE"},
      {"VKAP_IE_StatisticFiles", "CKeloHesInt16", 6, "SIZE"},
      {"VKAP_IE_StatisticInfo", "CKeloHesInt16", 17, "SIZE"},
      {"VKAP_IE_VersionUpdate", "CKeloHesInt16", 11, "SIZE"},
      {"VKAP_IE_ServerInfo", "CKeloHesInt16", 5, "SIZE"},
      {"VKAP_IE_TopologyReqV3", "CKeloHesInt32", 26, "SIZE"},
      {"VKAP_IE_TopologyRspV3", "CKeloHesInt32", 29, "SIZE"},
      {"VKAP_IE_ConnectionReport", "CKeloHesInt32", 8, "m_subnet"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.cls);
    const kelo::ClassInfo* info =
        kelo::CatalogueFind((std::string("CommEngine.") + row.cls).c_str());
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(kelo::CatalogueMemberCount(*info), row.count);
    EXPECT_STREQ(kelo::CatalogueMemberAt(*info, 0)->name, "m_ieId");
    EXPECT_STREQ(kelo::CatalogueMemberAt(*info, 1)->name, "m_msgLength");
    EXPECT_STREQ(kelo::CatalogueMemberAt(*info, 0)->cppType, row.header);
    EXPECT_STREQ(kelo::CatalogueMemberAt(*info, 1)->cppType, row.header);
    EXPECT_STREQ(kelo::CatalogueMemberAt(*info, row.count - 1)->name, row.last);
    if (std::string(row.last) == "SIZE") {
      EXPECT_STREQ(kelo::CatalogueMemberAt(*info, row.count - 1)->cppType, "CKeloHesInt32");
    }
  }
}

// The rows where one schema differs from a similar one: position, wire name and C++ type.
TEST(CommEngineSchema, RowsThatDifferBetweenSimilarSchemas) {
  struct Row {
    const char* cls;
    unsigned int index;
    const char* name;
    const char* type;
  } const rows[] = {
      {"CommEngine.VKAP_IE_ClientRegistrationRsp", 2, "m_registrationStatus",
       "VarantoTypes::CT_RegistrationStatus"},
      {"CommEngine.VKAP_IE_LoginReq", 5, "m_ssId", "VarantoTypes::CT_SSID"},
      {"CommEngine.VKAP_IE_LoginRsp", 2, "m_connStatues", "CKeloHesInt8"},
      {"CommEngine.VKAP_IE_LoginRsp", 5, "m_cookie", "CKeloHesInt32"},
      {"CommEngine.VKAP_IE_LoginRsp", 7, "COOKIE_SIZE", "CKeloHesInt32"},
      {"CommEngine.VKAP_IE_ConnectReqV3", 2, "m_cookie", "CKeloHesBinary"},
      {"CommEngine.VKAP_IE_ConnectReqV3", 7, "m_ssid", "VarantoTypes::CT_SSID"},
      {"CommEngine.VKAP_IE_ConnectRsp", 2, "m_connStatues", "CKeloHesInt8"},
      {"CommEngine.VKAP_IE_LoggerProfileRspV3", 2, "m_logFileSize", "CKeloHesInt32"},
      {"CommEngine.VKAP_IE_LoggerProfileRspV3", 3, "m_TOD", "CKeloHesInt64"},
      {"CommEngine.VKAP_IE_VelkorParameters", 5, "m_f2GroupWayHandshakeTime",
       "VarantoTypes::CT_Uint32"},
      {"CommEngine.VKAP_IE_VelkorParameters", 8, "m_f4RefreshArpTableTimeout",
       "VarantoTypes::CT_Uint32"},
      {"CommEngine.VKAP_IE_VelkorParameters", 15, "m_f2LongGroupWayHandshake",
       "VarantoTypes::CT_Uint32"},
      {"CommEngine.VKAP_IE_VelkorParameters", 18, "m_f4LongRefreshArpsTableTimeout",
       "VarantoTypes::CT_Uint32"},
      {"CommEngine.VKAP_IE_VelkorParameters", 22, "m_syslogEnable", "CKeloHesInt8"},
      {"CommEngine.VKAP_IE_MeasurmentParamV3", 16, "m_inetCheckAddr", "VarantoTypes::CT_IPAddr"},
      {"CommEngine.VKAP_IE_MeasurmentParamV3", 17, "m_inetF45ServerAddr",
       "VarantoTypes::CT_IPAddr"},
      {"CommEngine.VKAP_IE_MeasurmentParamV3", 20, "m_shortTripFreq", "VarantoTypes::CT_Uint32"},
      {"CommEngine.VKAP_IE_MeasurmentParamV3", 21, "m_longTripFreq", "VarantoTypes::CT_Uint32"},
      {"CommEngine.VKAP_IE_MeasurmentParamV3", 23, "m_cacheServerAddr", "VarantoTypes::CT_IPAddr"},
      {"CommEngine.VKAP_IE_StatisticInfo", 9, "m_alphahttp", "VarantoTypes::CT_Uint16"},
      {"CommEngine.VKAP_IE_VersionUpdate", 5, "m_versionTitle", "CKeloHesBinary"},
      {"CommEngine.VKAP_IE_VersionUpdate", 6, "m_versionDescription", "CKeloHesBinary"},
      {"CommEngine.VKAP_IE_VersionUpdate", 7, "m_downloadHost", "CKeloHesBinary"},
      {"CommEngine.VKAP_IE_VersionUpdate", 8, "m_downloadPath", "CKeloHesBinary"},
      {"CommEngine.VKAP_IE_ServerInfo", 2, "m_serverVersion", "CKeloHesBinary"},
      {"CommEngine.VKAP_IE_TopologyReqV3", 2, "m_cnrId", "VarantoTypes::CT_CnrID"},
      {"CommEngine.VKAP_IE_TopologyReqV3", 5, "m_measurmentMask",
       "VarantoTypes::CT_MeasurementType"},
      {"CommEngine.VKAP_IE_TopologyReqV3", 6, "m_apBand", "VarantoTypes::CT_NetworkType"},
      {"CommEngine.VKAP_IE_TopologyReqV3", 8, "m_keyEncIdx", "CKeloHesInt8"},
      {"CommEngine.VKAP_IE_TopologyReqV3", 9, "m_accessability", "VarantoTypes::CT_Accessibility"},
      {"CommEngine.VKAP_IE_TopologyRspV3", 5, "m_measurmentMask",
       "VarantoTypes::CT_MeasurementType"},
      {"CommEngine.VKAP_IE_TopologyRspV3", 6, "m_networkType", "VarantoTypes::CT_NetworkType"},
      {"CommEngine.VKAP_IE_TopologyRspV3", 8, "m_keyEncIdx", "CKeloHesInt8"},
      {"CommEngine.VKAP_IE_TopologyRspV3", 9, "m_accessability", "VarantoTypes::CT_Uint16"},
      {"CommEngine.VKAP_IE_TopologyRspV3", 23, "m_firewallCfg", "CKeloHesInt8"},
      {"CommEngine.VKAP_IE_ConnectionReport", 2, "m_cnr", "VarantoTypes::CT_CnrID"},
      {"services.ServiceRequest", 1, "reqID", "CKeloHesInt32"},
      {"services.ServiceResponse", 1, "rspID", "CKeloHesInt32"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.cls) + " " + row.name);
    const kelo::ClassInfo* info = kelo::CatalogueFind(row.cls);
    ASSERT_NE(info, nullptr);
    const kelo::MemberInfo* member = kelo::CatalogueMemberAt(*info, row.index);
    ASSERT_NE(member, nullptr);
    EXPECT_STREQ(member->name, row.name);
    EXPECT_STREQ(member->cppType, row.type);
  }

  // Measurement parameters: every number between the header and "SIZE" is 16-bit except the two
  // trip frequencies.
  const kelo::ClassInfo& measurement = *kelo::CatalogueFind("CommEngine.VKAP_IE_MeasurmentParamV3");
  int uint16s = 0;
  for (unsigned int i = 2; i + 1 < measurement.memberCount; ++i)
    uint16s += std::string(measurement.members[i].cppType) == "VarantoTypes::CT_Uint16";
  EXPECT_EQ(uint16s, 26 - 3 - 2 - 3);
}

}  // namespace
