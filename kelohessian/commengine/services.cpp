// Service envelopes of the management protocol: header, request and response bases, and the
// five request and response pairs.
#include <kelohessian/commengine/services.h>

#include <kelohessian/commengine/detail/message_impl.h>

namespace services {
KELO_MESSAGE_IMPL(ServiceHeader, "services", CKeloHesClass, KELO_ServiceHeader_MEMBERS)
KELO_MESSAGE_IMPL(ServiceRequest, "services", CKeloHesClass, KELO_ServiceRequest_MEMBERS)
KELO_MESSAGE_IMPL(ServiceResponse, "services", CKeloHesClass, KELO_ServiceResponse_MEMBERS)

KELO_MESSAGE_IMPL(RegistrationServiceRequest, "services", ServiceRequest,
                  KELO_RegistrationServiceRequest_MEMBERS)
KELO_MESSAGE_IMPL(RegistrationServiceResponse, "services", ServiceResponse,
                  KELO_RegistrationServiceResponse_MEMBERS)
KELO_MESSAGE_IMPL(LoginServiceRequest, "services", ServiceRequest, KELO_LoginServiceRequest_MEMBERS)
KELO_MESSAGE_IMPL(LoginServiceResponse, "services", ServiceResponse,
                  KELO_LoginServiceResponse_MEMBERS)
KELO_MESSAGE_IMPL(ConnectServiceRequest, "services", ServiceRequest,
                  KELO_ConnectServiceRequest_MEMBERS)
KELO_MESSAGE_IMPL(ConnectServiceResponse, "services", ServiceResponse,
                  KELO_ConnectServiceResponse_MEMBERS)
KELO_MESSAGE_IMPL(ReportUpdateServiceRequest, "services", ServiceRequest,
                  KELO_ReportUpdateServiceRequest_MEMBERS)
KELO_MESSAGE_IMPL(ReportUpdateServiceResponse, "services", ServiceResponse,
                  KELO_ReportUpdateServiceResponse_MEMBERS)
KELO_MESSAGE_IMPL(TopologyServiceRequest, "services", ServiceRequest,
                  KELO_TopologyServiceRequest_MEMBERS)
KELO_MESSAGE_IMPL(TopologyServiceResponse, "services", ServiceResponse,
                  KELO_TopologyServiceResponse_MEMBERS)
}  // namespace services
