/// \file
/// Topology and connection-report information elements: one access point as the client reports
/// it, one as the server describes it (both carried in typed lists), and the client's current
/// connection. "m_measurmentMask", "m_accessability" and "m_roamingReson" are the protocol's own
/// spellings.
#pragma once

/// \class CommEngine::VKAP_IE_TopologyReqV3
/// One access point as the client reports it: identity, security, addressing and service type, then
/// the client's signal and ping measurements; an item of the "req" list of
/// services::TopologyServiceRequest. Java class `CommEngine.VKAP_IE_TopologyReqV3`.
#define KELO_VKAP_IE_TopologyReqV3_MEMBERS(X)           \
  X(CKeloHesInt32, m_ieId)                              \
  X(CKeloHesInt32, m_msgLength)                         \
  X(VarantoTypes::CT_CnrID, m_cnrId)                    \
  X(VarantoTypes::CT_SSID, m_ssId)                      \
  X(VarantoTypes::CT_MacAddr, m_macAddr)                \
  X(VarantoTypes::CT_MeasurementType, m_measurmentMask) \
  X(VarantoTypes::CT_NetworkType, m_apBand)             \
  X(VarantoTypes::CT_Cipher, m_encType)                 \
  X(CKeloHesInt8, m_keyEncIdx)                          \
  X(VarantoTypes::CT_Accessibility, m_accessability)    \
  X(VarantoTypes::CT_IPAddr, m_defaultGw)               \
  X(VarantoTypes::CT_IPAddr, m_dns)                     \
  X(VarantoTypes::CT_IPAddr, m_subnetMask)              \
  X(VarantoTypes::CT_MacAddr, m_routerMacAddr)          \
  X(VarantoTypes::CT_ApServiceType, m_apServiceType)    \
  X(VarantoTypes::CT_Uint32, m_topologyBasicVer)        \
  X(VarantoTypes::CT_Uint32, m_reserved2)               \
  X(VarantoTypes::CT_Uint32, m_reserved3)               \
  X(VarantoTypes::CT_Uint32, m_reserved4)               \
  X(VarantoTypes::CT_Uint32, m_avgRssi)                 \
  X(VarantoTypes::CT_Uint32, m_rssiVariance)            \
  X(VarantoTypes::CT_Uint16, m_avgModulation)           \
  X(VarantoTypes::CT_Uint16, m_avgRetrans)              \
  X(VarantoTypes::CT_Uint16, m_pingAvgDelay)            \
  X(VarantoTypes::CT_Uint16, m_pingVariance)            \
  X(CKeloHesInt32, SIZE)

/// \class CommEngine::VKAP_IE_TopologyRspV3
/// One access point as the server describes it: the same identity, security and addressing, then
/// the server's service data; an item of the "rsp" list of services::TopologyServiceResponse. Java
/// class `CommEngine.VKAP_IE_TopologyRspV3`.
#define KELO_VKAP_IE_TopologyRspV3_MEMBERS(X)           \
  X(CKeloHesInt32, m_ieId)                              \
  X(CKeloHesInt32, m_msgLength)                         \
  X(VarantoTypes::CT_CnrID, m_cnrId)                    \
  X(VarantoTypes::CT_SSID, m_ssId)                      \
  X(VarantoTypes::CT_MacAddr, m_macAddr)                \
  X(VarantoTypes::CT_MeasurementType, m_measurmentMask) \
  X(VarantoTypes::CT_NetworkType, m_networkType)        \
  X(VarantoTypes::CT_Cipher, m_encType)                 \
  X(CKeloHesInt8, m_keyEncIdx)                          \
  X(VarantoTypes::CT_Uint16, m_accessability)           \
  X(VarantoTypes::CT_IPAddr, m_defaultGw)               \
  X(VarantoTypes::CT_IPAddr, m_dns)                     \
  X(VarantoTypes::CT_IPAddr, m_subnetMask)              \
  X(VarantoTypes::CT_MacAddr, m_routerMacAddr)          \
  X(VarantoTypes::CT_ApServiceType, m_apServiceType)    \
  X(VarantoTypes::CT_Uint32, m_topologyBasicVer)        \
  X(VarantoTypes::CT_Uint32, m_reserved2)               \
  X(VarantoTypes::CT_Uint32, m_reserved3)               \
  X(VarantoTypes::CT_Uint32, m_reserved4)               \
  X(VarantoTypes::CT_Uint16, m_tcpPort)                 \
  X(VarantoTypes::CT_IPAddr, m_clientIPAddr)            \
  X(VarantoTypes::CT_Uint32, m_TxBw)                    \
  X(VarantoTypes::CT_Uint32, m_RxBw)                    \
  X(CKeloHesInt8, m_firewallCfg)                        \
  X(VarantoTypes::CT_Uint16, m_systemQuality)           \
  X(VarantoTypes::CT_Uint16, m_connectedUsers)          \
  X(VarantoTypes::CT_Uint16, m_stability)               \
  X(VarantoTypes::CT_IPAddr, m_externalIP)              \
  X(CKeloHesInt32, SIZE)

/// \class CommEngine::VKAP_IE_ConnectionReport
/// The client's current connection: its CNR identifier, MAC address, connection quality, roaming
/// reason and addresses; carried by services::ReportUpdateServiceRequest. Java class
/// `CommEngine.VKAP_IE_ConnectionReport`.
#define KELO_VKAP_IE_ConnectionReport_MEMBERS(X)  \
  X(CKeloHesInt32, m_ieId)                        \
  X(CKeloHesInt32, m_msgLength)                   \
  X(VarantoTypes::CT_CnrID, m_cnr)                \
  X(VarantoTypes::CT_MacAddr, m_macAddr)          \
  X(VarantoTypes::CT_ConntectionQuality, m_connQ) \
  X(CKeloHesInt8, m_roamingReson)                 \
  X(VarantoTypes::CT_IPAddr, m_ipAddr)            \
  X(VarantoTypes::CT_IPAddr, m_subnet)
