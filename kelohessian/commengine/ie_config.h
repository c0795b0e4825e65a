/// \file
/// Configuration information elements that follow the connect response: network profile,
/// measurement parameters, logger profile, driver timing, statistics, version update and server
/// information. "m_alphahttp", "m_f2LongGroupWayHandshake" and "m_f4LongRefreshArpsTableTimeout"
/// are the protocol's own spellings.
#pragma once

/// \class CommEngine::VKAP_IE_NetworkProfile
/// Transaction, topology and scanning parameters; carried only by services::ConnectServiceResponse.
/// Java class `CommEngine.VKAP_IE_NetworkProfile`.
#define KELO_VKAP_IE_NetworkProfile_MEMBERS(X)      \
  X(CKeloHesInt16, m_ieId)                          \
  X(CKeloHesInt16, m_msgLength)                     \
  X(VarantoTypes::CT_Uint16, m_transactionRetries)  \
  X(VarantoTypes::CT_Uint16, m_transactionsTimeout) \
  X(VarantoTypes::CT_Uint16, m_topologyThreshold)   \
  X(VarantoTypes::CT_Uint32, m_topologyFreq)        \
  X(VarantoTypes::CT_Uint32, m_scanFreq)            \
  X(VarantoTypes::CT_Uint32, m_tripFreq)            \
  X(VarantoTypes::CT_Uint16, m_maxTopologyRes)      \
  X(CKeloHesInt8, m_keyEncryptionSchemeIdx)         \
  X(CKeloHesInt32, SIZE)

/// \class CommEngine::VKAP_IE_MeasurmentParamV3
/// Measurement and quality-filter parameters, with the addresses of the check servers; carried only
/// by services::ConnectServiceResponse. The class name's spelling is the protocol's. Java class
/// `CommEngine.VKAP_IE_MeasurmentParamV3`.
#define KELO_VKAP_IE_MeasurmentParamV3_MEMBERS(X)      \
  X(CKeloHesInt16, m_ieId)                             \
  X(CKeloHesInt16, m_msgLength)                        \
  X(VarantoTypes::CT_Uint16, m_alphaRssi)              \
  X(VarantoTypes::CT_Uint16, m_alphaPing)              \
  X(VarantoTypes::CT_Uint16, m_pingTTL)                \
  X(VarantoTypes::CT_Uint16, m_sysqSelect)             \
  X(VarantoTypes::CT_Uint16, m_sysqRoam)               \
  X(VarantoTypes::CT_Uint16, m_accessibilityInternet)  \
  X(VarantoTypes::CT_Uint16, m_accessibilitySignaling) \
  X(VarantoTypes::CT_Uint16, m_silenceInterval)        \
  X(VarantoTypes::CT_Uint16, m_pingInterval)           \
  X(VarantoTypes::CT_Uint16, m_silence)                \
  X(VarantoTypes::CT_Uint16, m_maxSelected)            \
  X(VarantoTypes::CT_Uint16, m_maxAging)               \
  X(VarantoTypes::CT_Uint16, m_constRssi)              \
  X(VarantoTypes::CT_Uint16, m_favBonus)               \
  X(VarantoTypes::CT_IPAddr, m_inetCheckAddr)          \
  X(VarantoTypes::CT_IPAddr, m_inetF45ServerAddr)      \
  X(VarantoTypes::CT_Uint16, m_inetF45Port)            \
  X(VarantoTypes::CT_Uint16, m_longShortThreshold)     \
  X(VarantoTypes::CT_Uint32, m_shortTripFreq)          \
  X(VarantoTypes::CT_Uint32, m_longTripFreq)           \
  X(VarantoTypes::CT_Uint16, m_localApCacheSize)       \
  X(VarantoTypes::CT_IPAddr, m_cacheServerAddr)        \
  X(VarantoTypes::CT_Uint16, m_NCache)                 \
  X(CKeloHesInt32, SIZE)

/// \class CommEngine::VKAP_IE_LoggerProfileRspV3
/// Logging limits: the log file size and the time of day; carried only by
/// services::ConnectServiceResponse. Java class `CommEngine.VKAP_IE_LoggerProfileRspV3`.
#define KELO_VKAP_IE_LoggerProfileRspV3_MEMBERS(X) \
  X(CKeloHesInt16, m_ieId)                         \
  X(CKeloHesInt16, m_msgLength)                    \
  X(CKeloHesInt32, m_logFileSize)                  \
  X(CKeloHesInt64, m_TOD)                          \
  X(CKeloHesInt32, SIZE)

/// \class CommEngine::VKAP_IE_VelkorParameters
/// Association, handshake, address-allocation and silence-detection timing for the client's driver;
/// carried only by services::ConnectServiceResponse. Java class
/// `CommEngine.VKAP_IE_VelkorParameters`.
#define KELO_VKAP_IE_VelkorParameters_MEMBERS(X)               \
  X(CKeloHesInt16, m_ieId)                                     \
  X(CKeloHesInt16, m_msgLength)                                \
  X(VarantoTypes::CT_Uint32, m_f1AssociationTime)              \
  X(VarantoTypes::CT_Uint32, m_f2FourWayHandshakeTimeMsg1)     \
  X(VarantoTypes::CT_Uint32, m_f2FourWayHandshakeTimeMsg3)     \
  X(VarantoTypes::CT_Uint32, m_f2GroupWayHandshakeTime)        \
  X(VarantoTypes::CT_Uint32, m_f3VarantoDhcpTimeout)           \
  X(VarantoTypes::CT_Uint32, m_f4IpCollisionArpsTimeout)       \
  X(VarantoTypes::CT_Uint32, m_f4RefreshArpTableTimeout)       \
  X(VarantoTypes::CT_Uint32, m_shortSilenceMeasureCycle)       \
  X(VarantoTypes::CT_Uint32, m_shortSilencePeriod)             \
  X(VarantoTypes::CT_Uint32, m_shortSilencePacketThreshold)    \
  X(VarantoTypes::CT_Uint32, m_f1LongAssociationTime)          \
  X(VarantoTypes::CT_Uint32, m_f2LongFourWayHandshakeTimeMsg1) \
  X(VarantoTypes::CT_Uint32, m_f2LongFourWayHandshakeTimeMsg3) \
  X(VarantoTypes::CT_Uint32, m_f2LongGroupWayHandshake)        \
  X(VarantoTypes::CT_Uint32, m_f3LongVarantoDhcpTimeout)       \
  X(VarantoTypes::CT_Uint32, m_f4LongIpCollisionArpsTimeout)   \
  X(VarantoTypes::CT_Uint32, m_f4LongRefreshArpsTableTimeout)  \
  X(VarantoTypes::CT_Uint32, m_longSilenceMeasureCycle)        \
  X(VarantoTypes::CT_Uint32, m_longSilencePeriod)              \
  X(VarantoTypes::CT_Uint32, m_longSilencePacketThreshold)     \
  X(CKeloHesInt8, m_syslogEnable)                              \
  X(VarantoTypes::CT_Uint32, m_staticIpAllocationTrailsNo)     \
  X(VarantoTypes::CT_Uint32, m_timeBetweenDriverMonitoring)    \
  X(VarantoTypes::CT_Uint32, m_driverDebugLevel)               \
  X(CKeloHesInt32, SIZE)

/// \class CommEngine::VKAP_IE_StatisticFiles
/// The statistics file: its type, size and update frequency; carried only by
/// services::ConnectServiceResponse. Java class `CommEngine.VKAP_IE_StatisticFiles`.
#define KELO_VKAP_IE_StatisticFiles_MEMBERS(X)                \
  X(CKeloHesInt16, m_ieId)                                    \
  X(CKeloHesInt16, m_msgLength)                               \
  X(VarantoTypes::CT_Uint32, m_statisticsFileType)            \
  X(VarantoTypes::CT_Uint32, m_statisticsFileSize)            \
  X(VarantoTypes::CT_Uint32, m_statisticsFileUpdateFrequency) \
  X(CKeloHesInt32, SIZE)

/// \class CommEngine::VKAP_IE_StatisticInfo
/// Statistics collection: frequencies, smoothing factors and failure counters; carried only by
/// services::ConnectServiceResponse. Java class `CommEngine.VKAP_IE_StatisticInfo`.
#define KELO_VKAP_IE_StatisticInfo_MEMBERS(X)                        \
  X(CKeloHesInt16, m_ieId)                                           \
  X(CKeloHesInt16, m_msgLength)                                      \
  X(VarantoTypes::CT_Uint16, m_periodicStatisticsFreqTime)           \
  X(VarantoTypes::CT_Uint16, m_consecutiveTransactionFailureCounter) \
  X(VarantoTypes::CT_Uint16, m_alphaRssi)                            \
  X(VarantoTypes::CT_Uint16, m_alphaF1)                              \
  X(VarantoTypes::CT_Uint16, m_alphaF2)                              \
  X(VarantoTypes::CT_Uint16, m_alphaF3)                              \
  X(VarantoTypes::CT_Uint16, m_alphaF45)                             \
  X(VarantoTypes::CT_Uint16, m_alphahttp)                            \
  X(VarantoTypes::CT_Uint16, m_f1ConsecutiveFailures)                \
  X(VarantoTypes::CT_Uint16, m_f2ConsecutiveFailures)                \
  X(VarantoTypes::CT_Uint16, m_f3ConsecutiveFailures)                \
  X(VarantoTypes::CT_Uint16, m_f45ConsecutiveFailures)               \
  X(VarantoTypes::CT_Uint16, m_f45HttpConsecutiveFailures)           \
  X(VarantoTypes::CT_Uint16, m_numOfErrorKB)                         \
  X(CKeloHesInt32, SIZE)

/// \class CommEngine::VKAP_IE_VersionUpdate
/// An offered software update: versions, and its title, description and download host and path as
/// bytes; carried only by services::ConnectServiceResponse. Java class
/// `CommEngine.VKAP_IE_VersionUpdate`.
#define KELO_VKAP_IE_VersionUpdate_MEMBERS(X)      \
  X(CKeloHesInt16, m_ieId)                         \
  X(CKeloHesInt16, m_msgLength)                    \
  X(VarantoTypes::CT_Uint32, m_criticalIndication) \
  X(VarantoTypes::CT_Uint32, m_clientSwVersion)    \
  X(VarantoTypes::CT_Uint32, m_velkorSwVersion)    \
  X(CKeloHesBinary, m_versionTitle)                \
  X(CKeloHesBinary, m_versionDescription)          \
  X(CKeloHesBinary, m_downloadHost)                \
  X(CKeloHesBinary, m_downloadPath)                \
  X(VarantoTypes::CT_Uint16, m_downloadPort)       \
  X(CKeloHesInt32, SIZE)

/// \class CommEngine::VKAP_IE_ServerInfo
/// The server's version (bytes) and the network profile version; carried only by
/// services::ConnectServiceResponse. Java class `CommEngine.VKAP_IE_ServerInfo`.
#define KELO_VKAP_IE_ServerInfo_MEMBERS(X)            \
  X(CKeloHesInt16, m_ieId)                            \
  X(CKeloHesInt16, m_msgLength)                       \
  X(CKeloHesBinary, m_serverVersion)                  \
  X(VarantoTypes::CT_Uint32, m_networkProfileVersion) \
  X(CKeloHesInt32, SIZE)
