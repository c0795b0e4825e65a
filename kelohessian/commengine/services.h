/// \file
/// Service envelopes of the management protocol: the header of four identifiers, the request and
/// response bases that carry it with "reqID" or "rspID", and the five request and response pairs
/// whose payloads are the information elements. The two topology envelopes hold typed lists and
/// cannot be copied.
#pragma once

/// \class services::ServiceHeader
/// The four identifiers that every service envelope carries first, as its "serviceHeader". Java
/// class `services.ServiceHeader`.
#define KELO_ServiceHeader_MEMBERS(X) \
  X(CKeloHesInt32, m_CNCID)           \
  X(CKeloHesInt32, m_CNUID)           \
  X(CKeloHesInt32, m_CNR)             \
  X(CKeloHesInt32, m_SessionID)

/// \class services::ServiceRequest
/// The base of the request envelopes: "serviceHeader" and "reqID" come first on the wire, before
/// the payload of the derived envelope. Java class `services.ServiceRequest`.
#define KELO_ServiceRequest_MEMBERS(X)      \
  X(services::ServiceHeader, serviceHeader) \
  X(CKeloHesInt32, reqID)

/// \class services::ServiceResponse
/// The base of the response envelopes: "serviceHeader" and "rspID" come first on the wire, before
/// the payload of the derived envelope. Java class `services.ServiceResponse`.
#define KELO_ServiceResponse_MEMBERS(X)     \
  X(services::ServiceHeader, serviceHeader) \
  X(CKeloHesInt32, rspID)

/// \class services::RegistrationServiceRequest
/// The registration service's request envelope, carrying a
/// CommEngine::VKAP_IE_ClientRegistrationReq. Java class `services.RegistrationServiceRequest`.
#define KELO_RegistrationServiceRequest_MEMBERS(X) X(CommEngine::VKAP_IE_ClientRegistrationReq, req)

/// \class services::RegistrationServiceResponse
/// The registration service's response envelope, carrying a
/// CommEngine::VKAP_IE_ClientRegistrationRsp. Java class `services.RegistrationServiceResponse`.
#define KELO_RegistrationServiceResponse_MEMBERS(X) \
  X(CommEngine::VKAP_IE_ClientRegistrationRsp, rsp)

/// \class services::LoginServiceRequest
/// The login service's request envelope, carrying a CommEngine::VKAP_IE_LoginReq. Java class
/// `services.LoginServiceRequest`.
#define KELO_LoginServiceRequest_MEMBERS(X) X(CommEngine::VKAP_IE_LoginReq, req)

/// \class services::LoginServiceResponse
/// The login service's response envelope, carrying a CommEngine::VKAP_IE_LoginRsp. Java class
/// `services.LoginServiceResponse`.
#define KELO_LoginServiceResponse_MEMBERS(X) X(CommEngine::VKAP_IE_LoginRsp, m_response)

/// \class services::ConnectServiceRequest
/// The connect service's request envelope, carrying a CommEngine::VKAP_IE_ConnectReqV3. Java class
/// `services.ConnectServiceRequest`.
#define KELO_ConnectServiceRequest_MEMBERS(X) X(CommEngine::VKAP_IE_ConnectReqV3, req)

/// \class services::ConnectServiceResponse
/// The connect service's response envelope: a CommEngine::VKAP_IE_ConnectRsp and the eight
/// configuration elements. Java class `services.ConnectServiceResponse`.
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

/// \class services::ReportUpdateServiceRequest
/// The report-update service's request envelope, carrying a CommEngine::VKAP_IE_ConnectionReport.
/// Java class `services.ReportUpdateServiceRequest`.
#define KELO_ReportUpdateServiceRequest_MEMBERS(X) \
  X(CommEngine::VKAP_IE_ConnectionReport, vkap_ie_connectionReport)

/// \class services::ReportUpdateServiceResponse
/// The report-update service's response envelope: its success flag. Java class
/// `services.ReportUpdateServiceResponse`.
#define KELO_ReportUpdateServiceResponse_MEMBERS(X) X(CKeloHesBool, m_success)

/// \class services::TopologyServiceRequest
/// The topology service's request envelope: a list of CommEngine::VKAP_IE_TopologyReqV3 and the
/// client's address. Holds a typed list, so it cannot be copied. Java class
/// `services.TopologyServiceRequest`.
#define KELO_TopologyServiceRequest_MEMBERS(X)             \
  X(CKeloHesArray<CommEngine::VKAP_IE_TopologyReqV3>, req) \
  X(CKeloHesString, clientIP)

/// \class services::TopologyServiceResponse
/// The topology service's response envelope: a list of CommEngine::VKAP_IE_TopologyRspV3. Holds a
/// typed list, so it cannot be copied. Java class `services.TopologyServiceResponse`.
#define KELO_TopologyServiceResponse_MEMBERS(X) \
  X(CKeloHesArray<CommEngine::VKAP_IE_TopologyRspV3>, rsp)
