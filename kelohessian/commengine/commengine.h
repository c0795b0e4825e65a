/// \file
/// The management protocol in one include: its information elements (namespace CommEngine) and
/// the service envelopes that carry them (namespace services). The member tables are in the
/// family headers beside this one; the class list below declares every class from them.
#pragma once

#include <kelohessian/commengine/ie_config.h>
#include <kelohessian/commengine/ie_handshake.h>
#include <kelohessian/commengine/ie_topology.h>
#include <kelohessian/commengine/services.h>
#include <kelohessian/schema/message.h>
#include <kelohessian/types/domain_types.h>

/// Every class of the management protocol, in declaration and catalogue order: the information
/// elements, then the service header, the two envelope bases and the ten envelopes. A row is
/// X(C++ namespace, class, base, wire namespace, shape) as KELO_DECLARE_LISTED takes it.
#define KELO_COMMENGINE_CLASSES(X)                                                 \
  X(CommEngine, VKAP_IE_ClientRegistrationReq, CKeloHesClass, "CommEngine", PLAIN) \
  X(CommEngine, VKAP_IE_ClientRegistrationRsp, CKeloHesClass, "CommEngine", PLAIN) \
  X(CommEngine, VKAP_IE_LoginReq, CKeloHesClass, "CommEngine", PLAIN)              \
  X(CommEngine, VKAP_IE_LoginRsp, CKeloHesClass, "CommEngine", PLAIN)              \
  X(CommEngine, VKAP_IE_ConnectReqV3, CKeloHesClass, "CommEngine", PLAIN)          \
  X(CommEngine, VKAP_IE_ConnectRsp, CKeloHesClass, "CommEngine", PLAIN)            \
  X(CommEngine, VKAP_IE_NetworkProfile, CKeloHesClass, "CommEngine", PLAIN)        \
  X(CommEngine, VKAP_IE_MeasurmentParamV3, CKeloHesClass, "CommEngine", PLAIN)     \
  X(CommEngine, VKAP_IE_LoggerProfileRspV3, CKeloHesClass, "CommEngine", PLAIN)    \
  X(CommEngine, VKAP_IE_VelkorParameters, CKeloHesClass, "CommEngine", PLAIN)      \
  X(CommEngine, VKAP_IE_StatisticFiles, CKeloHesClass, "CommEngine", PLAIN)        \
  X(CommEngine, VKAP_IE_StatisticInfo, CKeloHesClass, "CommEngine", PLAIN)         \
  X(CommEngine, VKAP_IE_VersionUpdate, CKeloHesClass, "CommEngine", PLAIN)         \
  X(CommEngine, VKAP_IE_ServerInfo, CKeloHesClass, "CommEngine", PLAIN)            \
  X(CommEngine, VKAP_IE_TopologyReqV3, CKeloHesClass, "CommEngine", ITEM)          \
  X(CommEngine, VKAP_IE_TopologyRspV3, CKeloHesClass, "CommEngine", ITEM)          \
  X(CommEngine, VKAP_IE_ConnectionReport, CKeloHesClass, "CommEngine", PLAIN)      \
  X(services, ServiceHeader, CKeloHesClass, "services", PLAIN)                     \
  X(services, ServiceRequest, CKeloHesClass, "services", PLAIN)                    \
  X(services, ServiceResponse, CKeloHesClass, "services", PLAIN)                   \
  X(services, RegistrationServiceRequest, ServiceRequest, "services", PLAIN)       \
  X(services, RegistrationServiceResponse, ServiceResponse, "services", PLAIN)     \
  X(services, LoginServiceRequest, ServiceRequest, "services", PLAIN)              \
  X(services, LoginServiceResponse, ServiceResponse, "services", PLAIN)            \
  X(services, ConnectServiceRequest, ServiceRequest, "services", PLAIN)            \
  X(services, ConnectServiceResponse, ServiceResponse, "services", PLAIN)          \
  X(services, ReportUpdateServiceRequest, ServiceRequest, "services", PLAIN)       \
  X(services, ReportUpdateServiceResponse, ServiceResponse, "services", PLAIN)     \
  X(services, TopologyServiceRequest, ServiceRequest, "services", PLAIN)           \
  X(services, TopologyServiceResponse, ServiceResponse, "services", PLAIN)

KELO_COMMENGINE_CLASSES(KELO_DECLARE_LISTED)
