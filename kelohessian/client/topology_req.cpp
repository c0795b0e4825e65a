// The topology request, its community-cache report, its access-point items and their eight
// query elements, and ConnDetailsReq.
#include <kelohessian/client/topology_req.h>
#include <kelohessian/commengine/detail/message_impl.h>

KELO_DEFINE_ARRAY(kelo::cl::ReqPartition)
KELO_DEFINE_ARRAY(kelo::cl::ApReq)

namespace kelo {
namespace cl {
KELO_MESSAGE_IMPL(GeneralReq, "kelo.cl", CKeloHesClass, KELO_GeneralReq_MEMBERS)
KELO_MESSAGE_IMPL(ReqPartition, "kelo.cl", CKeloHesClass, KELO_ReqPartition_MEMBERS)
KELO_MESSAGE_IMPL(CommCacheReq, "kelo.cl", CKeloHesClass, KELO_CommCacheReq_MEMBERS)
KELO_MESSAGE_IMPL(ScanReqInfo, "kelo.cl", CKeloHesClass, KELO_ScanReqInfo_MEMBERS)
KELO_MESSAGE_IMPL(ConnectivityReq, "kelo.cl", CKeloHesClass, KELO_ConnectivityReq_MEMBERS)
KELO_MESSAGE_IMPL(CaptiveReq, "kelo.cl", CKeloHesClass, KELO_CaptiveReq_MEMBERS)
KELO_MESSAGE_IMPL(WispInfoReq, "kelo.cl", CKeloHesClass, KELO_WispInfoReq_MEMBERS)
KELO_MESSAGE_IMPL(LocationReq, "kelo.cl", CKeloHesClass, KELO_LocationReq_MEMBERS)
KELO_MESSAGE_IMPL(PublicInfoReq, "kelo.cl", CKeloHesClass, KELO_PublicInfoReq_MEMBERS)
KELO_MESSAGE_IMPL(AddressReq, "kelo.cl", CKeloHesClass, KELO_AddressReq_MEMBERS)
KELO_MESSAGE_IMPL(GeneralInfoReq, "kelo.cl", CKeloHesClass, KELO_GeneralInfoReq_MEMBERS)
KELO_MESSAGE_IMPL(ApReq, "kelo.cl", CKeloHesClass, KELO_ApReq_MEMBERS)
KELO_MESSAGE_IMPL(ConnDetailsReq, "kelo.cl", CKeloHesClass, KELO_ConnDetailsReq_MEMBERS)
KELO_MESSAGE_IMPL(ReqTopology, "kelo.cl", Request, KELO_ReqTopology_MEMBERS)
}  // namespace cl
}  // namespace kelo
