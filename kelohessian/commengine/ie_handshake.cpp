// Handshake information elements: client registration, login and connect.
#include <kelohessian/commengine/ie_handshake.h>

#include <kelohessian/commengine/detail/message_impl.h>

namespace CommEngine {
KELO_MESSAGE_IMPL(VKAP_IE_ClientRegistrationReq, "CommEngine", CKeloHesClass,
                  KELO_VKAP_IE_ClientRegistrationReq_MEMBERS)
KELO_MESSAGE_IMPL(VKAP_IE_ClientRegistrationRsp, "CommEngine", CKeloHesClass,
                  KELO_VKAP_IE_ClientRegistrationRsp_MEMBERS)
KELO_MESSAGE_IMPL(VKAP_IE_LoginReq, "CommEngine", CKeloHesClass, KELO_VKAP_IE_LoginReq_MEMBERS)
KELO_MESSAGE_IMPL(VKAP_IE_LoginRsp, "CommEngine", CKeloHesClass, KELO_VKAP_IE_LoginRsp_MEMBERS)
KELO_MESSAGE_IMPL(VKAP_IE_ConnectReqV3, "CommEngine", CKeloHesClass,
                  KELO_VKAP_IE_ConnectReqV3_MEMBERS)
KELO_MESSAGE_IMPL(VKAP_IE_ConnectRsp, "CommEngine", CKeloHesClass, KELO_VKAP_IE_ConnectRsp_MEMBERS)
}  // namespace CommEngine
