// Service envelopes of the management protocol: the header of four identifiers, the request and
// response bases that carry it with "reqID" or "rspID", and the five request and response pairs
// whose payloads are the information elements. The two topology envelopes hold typed lists and
// cannot be copied.
#pragma once

#define KELO_ServiceHeader_MEMBERS(X) \
  X(CKeloHesInt32, m_CNCID)           \
  X(CKeloHesInt32, m_CNUID)           \
  X(CKeloHesInt32, m_CNR)             \
  X(CKeloHesInt32, m_SessionID)

#define KELO_ServiceRequest_MEMBERS(X)      \
  X(services::ServiceHeader, serviceHeader) \
  X(CKeloHesInt32, reqID)

#define KELO_ServiceResponse_MEMBERS(X)     \
  X(services::ServiceHeader, serviceHeader) \
  X(CKeloHesInt32, rspID)

#define KELO_RegistrationServiceRequest_MEMBERS(X) X(CommEngine::VKAP_IE_ClientRegistrationReq, req)

#define KELO_RegistrationServiceResponse_MEMBERS(X) \
  X(CommEngine::VKAP_IE_ClientRegistrationRsp, rsp)

#define KELO_LoginServiceRequest_MEMBERS(X) X(CommEngine::VKAP_IE_LoginReq, req)

#define KELO_LoginServiceResponse_MEMBERS(X) X(CommEngine::VKAP_IE_LoginRsp, m_response)

#define KELO_ConnectServiceRequest_MEMBERS(X) X(CommEngine::VKAP_IE_ConnectReqV3, req)

#define KELO_ConnectServiceResponse_MEMBERS(X)                \
  X(CommEngine::VKAP_IE_ConnectRsp, m_connectRsp)             \
  X(CommEngine::VKAP_IE_NetworkProfile, m_networkProfile)     \
  X(CommEngine::VKAP_IE_MeasurmentParamV3, m_measurement)     \
  X(CommEngine::VKAP_IE_LoggerProfileRspV3, m_loggerProfile)  \
  X(CommEngine::VKAP_IE_VelkorParameters, m_velkorParameters) \
  X(CommEngine::VKAP_IE_StatisticFiles, m_StatisticsFiles)    \
  X(CommEngine::VKAP_IE_StatisticInfo, m_StatisticsInfo)      \
  X(CommEngine::VKAP_IE_VersionUpdate, m_versionUpdate)       \
  X(CommEngine::VKAP_IE_ServerInfo, m_serverInfo)

#define KELO_ReportUpdateServiceRequest_MEMBERS(X) \
  X(CommEngine::VKAP_IE_ConnectionReport, vkap_ie_connectionReport)

#define KELO_ReportUpdateServiceResponse_MEMBERS(X) X(CKeloHesBool, m_success)

#define KELO_TopologyServiceRequest_MEMBERS(X)             \
  X(CKeloHesArray<CommEngine::VKAP_IE_TopologyReqV3>, req) \
  X(CKeloHesString, clientIP)

#define KELO_TopologyServiceResponse_MEMBERS(X) \
  X(CKeloHesArray<CommEngine::VKAP_IE_TopologyRspV3>, rsp)
