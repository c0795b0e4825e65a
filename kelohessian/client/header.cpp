// The client-message envelopes Header, Request and Response.
#include <kelohessian/client/header.h>
#include <kelohessian/commengine/detail/message_impl.h>

namespace kelo {
namespace cl {
KELO_MESSAGE_IMPL(Header, "kelo.cl", CKeloHesClass, KELO_Header_MEMBERS)
KELO_MESSAGE_IMPL(Request, "kelo.cl", CKeloHesClass, KELO_Request_MEMBERS)
KELO_MESSAGE_IMPL(Response, "kelo.cl", CKeloHesClass, KELO_Response_MEMBERS)
}  // namespace cl
}  // namespace kelo
