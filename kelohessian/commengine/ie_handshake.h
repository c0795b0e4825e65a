/// \file
/// Handshake information elements: client registration, login and connect, each a request and a
/// response. Note the header members "m_ieId" and "m_msgLength" are 32-bit in some elements and
/// 16-bit in others. "m_featurereMap" and "m_connStatues" are the protocol's own spellings.
#pragma once

/// \class CommEngine::VKAP_IE_ClientRegistrationReq
/// The registration request element: the client's software version, feature map, MAC address and
/// operating-system version; the "req" of services::RegistrationServiceRequest. Java class
/// `CommEngine.VKAP_IE_ClientRegistrationReq`.
#define KELO_VKAP_IE_ClientRegistrationReq_MEMBERS(X) \
  X(CKeloHesInt32, m_ieId)                            \
  X(CKeloHesInt32, m_msgLength)                       \
  X(VarantoTypes::CT_Uint32, m_swVersion)             \
  X(VarantoTypes::CT_Uint32, m_featurereMap)          \
  X(VarantoTypes::CT_MacAddr, m_macAddr)              \
  X(VarantoTypes::CT_Uint32, m_osMajor)               \
  X(VarantoTypes::CT_Uint32, m_osMinor)               \
  X(VarantoTypes::CT_Uint16, m_osServicePack)

/// \class CommEngine::VKAP_IE_ClientRegistrationRsp
/// The registration answer element: a registration status and the CNC identifier; the "rsp" of
/// services::RegistrationServiceResponse. Java class `CommEngine.VKAP_IE_ClientRegistrationRsp`.
#define KELO_VKAP_IE_ClientRegistrationRsp_MEMBERS(X)          \
  X(CKeloHesInt16, m_ieId)                                     \
  X(CKeloHesInt16, m_msgLength)                                \
  X(VarantoTypes::CT_RegistrationStatus, m_registrationStatus) \
  X(VarantoTypes::CT_CncId, m_cncId)

/// \class CommEngine::VKAP_IE_LoginReq
/// The login request element: the client's identifiers, MAC address, SSID, user name and password;
/// the "req" of services::LoginServiceRequest. Java class `CommEngine.VKAP_IE_LoginReq`.
#define KELO_VKAP_IE_LoginReq_MEMBERS(X) \
  X(CKeloHesInt32, m_ieId)               \
  X(CKeloHesInt32, m_msgLength)          \
  X(VarantoTypes::CT_CncId, m_cncId)     \
  X(VarantoTypes::CT_CnuId, m_cnuId)     \
  X(VarantoTypes::CT_MacAddr, m_macAddr) \
  X(VarantoTypes::CT_SSID, m_ssId)       \
  X(CKeloHesBinary, m_userName)          \
  X(CKeloHesBinary, m_password)

/// \class CommEngine::VKAP_IE_LoginRsp
/// The login answer element: a status, the communication and application server addresses, a cookie
/// and the CNU identifier; the "m_response" of services::LoginServiceResponse. Java class
/// `CommEngine.VKAP_IE_LoginRsp`.
#define KELO_VKAP_IE_LoginRsp_MEMBERS(X)     \
  X(CKeloHesInt32, m_ieId)                   \
  X(CKeloHesInt32, m_msgLength)              \
  X(CKeloHesInt8, m_connStatues)             \
  X(VarantoTypes::CT_IPAddr, m_commServerIP) \
  X(VarantoTypes::CT_IPAddr, m_appServerIP)  \
  X(CKeloHesInt32, m_cookie)                 \
  X(VarantoTypes::CT_CnuId, m_cnuId)         \
  X(CKeloHesInt32, COOKIE_SIZE)              \
  X(CKeloHesInt32, SIZE)

/// \class CommEngine::VKAP_IE_ConnectReqV3
/// The connect request element: a cookie, the feature bit map, the client's identifiers and
/// addresses, and the software versions; the "req" of services::ConnectServiceRequest. Java class
/// `CommEngine.VKAP_IE_ConnectReqV3`.
#define KELO_VKAP_IE_ConnectReqV3_MEMBERS(X)  \
  X(CKeloHesInt16, m_ieId)                    \
  X(CKeloHesInt16, m_msgLength)               \
  X(CKeloHesBinary, m_cookie)                 \
  X(VarantoTypes::CT_Uint32, m_featureBitMap) \
  X(VarantoTypes::CT_CnuId, m_cnuId)          \
  X(VarantoTypes::CT_CnrID, m_cnrId)          \
  X(VarantoTypes::CT_MacAddr, m_macAddr)      \
  X(VarantoTypes::CT_SSID, m_ssid)            \
  X(VarantoTypes::CT_IPAddr, m_ipAddr)        \
  X(VarantoTypes::CT_Uint32, m_clientSwVer)   \
  X(VarantoTypes::CT_Uint32, m_velkorSwVer)   \
  X(CKeloHesInt32, SIZE)

/// \class CommEngine::VKAP_IE_ConnectRsp
/// The connect answer element: a status and the feature bit map; the first element of
/// services::ConnectServiceResponse, before the configuration elements. Java class
/// `CommEngine.VKAP_IE_ConnectRsp`.
#define KELO_VKAP_IE_ConnectRsp_MEMBERS(X)    \
  X(CKeloHesInt16, m_ieId)                    \
  X(CKeloHesInt16, m_msgLength)               \
  X(CKeloHesInt8, m_connStatues)              \
  X(VarantoTypes::CT_Uint32, m_featureBitMap) \
  X(CKeloHesInt32, SIZE)
