// The connect and register requests and responses and the classes nested in them.
#include <kelohessian/client/connect_register.h>
#include <kelohessian/commengine/detail/message_impl.h>

KELO_DEFINE_ARRAY(kelo::cl::OneTouchBtnData)
KELO_DEFINE_ARRAY(kelo::cl::VerSite)

namespace kelo {
namespace cl {
KELO_MESSAGE_IMPL(OsInfo, "kelo.cl", CKeloHesClass, KELO_OsInfo_MEMBERS)
KELO_MESSAGE_IMPL(OneTouchBtnData, "kelo.cl", CKeloHesClass, KELO_OneTouchBtnData_MEMBERS)
KELO_MESSAGE_IMPL(ReqConnect, "kelo.cl", Request, KELO_ReqConnect_MEMBERS)
KELO_MESSAGE_IMPL(PcNetwork, "kelo.cl", CKeloHesClass, KELO_PcNetwork_MEMBERS)
KELO_MESSAGE_IMPL(MobileNetwork, "kelo.cl", CKeloHesClass, KELO_MobileNetwork_MEMBERS)
KELO_MESSAGE_IMPL(VerSite, "kelo.cl", CKeloHesClass, KELO_VerSite_MEMBERS)
KELO_MESSAGE_IMPL(Log, "kelo.cl", CKeloHesClass, KELO_Log_MEMBERS)
KELO_MESSAGE_IMPL(Update, "kelo.cl", CKeloHesClass, KELO_Update_MEMBERS)
KELO_MESSAGE_IMPL(ResConnectV2, "kelo.cl", Response, KELO_ResConnectV2_MEMBERS)
KELO_MESSAGE_IMPL(Cmpgn, "kelo.cl", CKeloHesClass, KELO_Cmpgn_MEMBERS)
KELO_MESSAGE_IMPL(ReqRegister, "kelo.cl", Request, KELO_ReqRegister_MEMBERS)
KELO_MESSAGE_IMPL(ResRegister, "kelo.cl", Response, KELO_ResRegister_MEMBERS)
}  // namespace cl
}  // namespace kelo
