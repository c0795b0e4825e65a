// Every class of the management protocol, in catalogue order: the information elements, then the
// service header, the two envelope bases and the ten envelopes. Not installed.
#pragma once

#include <kelohessian/commengine/services.h>

#define KELO_COMMENGINE_CLASSES(X)             \
  X(CommEngine::VKAP_IE_ClientRegistrationReq) \
  X(CommEngine::VKAP_IE_ClientRegistrationRsp) \
  X(CommEngine::VKAP_IE_LoginReq)              \
  X(CommEngine::VKAP_IE_LoginRsp)              \
  X(CommEngine::VKAP_IE_ConnectReqV3)          \
  X(CommEngine::VKAP_IE_ConnectRsp)            \
  X(CommEngine::VKAP_IE_NetworkProfile)        \
  X(CommEngine::VKAP_IE_MeasurmentParamV3)     \
  X(CommEngine::VKAP_IE_LoggerProfileRspV3)    \
  X(CommEngine::VKAP_IE_VelkorParameters)      \
  X(CommEngine::VKAP_IE_StatisticFiles)        \
  X(CommEngine::VKAP_IE_StatisticInfo)         \
  X(CommEngine::VKAP_IE_VersionUpdate)         \
  X(CommEngine::VKAP_IE_ServerInfo)            \
  X(CommEngine::VKAP_IE_TopologyReqV3)         \
  X(CommEngine::VKAP_IE_TopologyRspV3)         \
  X(CommEngine::VKAP_IE_ConnectionReport)      \
  X(services::ServiceHeader)                   \
  X(services::ServiceRequest)                  \
  X(services::ServiceResponse)                 \
  X(services::RegistrationServiceRequest)      \
  X(services::RegistrationServiceResponse)     \
  X(services::LoginServiceRequest)             \
  X(services::LoginServiceResponse)            \
  X(services::ConnectServiceRequest)           \
  X(services::ConnectServiceResponse)          \
  X(services::ReportUpdateServiceRequest)      \
  X(services::ReportUpdateServiceResponse)     \
  X(services::TopologyServiceRequest)          \
  X(services::TopologyServiceResponse)
