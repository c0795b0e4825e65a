// The topology response, its community-cache answer, its access-point items and their eight
// answer elements.
#include <kelohessian/client/topology_res.h>
#include <kelohessian/commengine/detail/message_impl.h>

KELO_DEFINE_ARRAY(kelo::cl::ResPartition)
KELO_DEFINE_ARRAY(kelo::cl::ApRes)

namespace kelo {
namespace cl {
KELO_MESSAGE_IMPL(ResPartition, "kelo.cl", CKeloHesClass, KELO_ResPartition_MEMBERS)
KELO_MESSAGE_IMPL(CommCacheRes, "kelo.cl", CKeloHesClass, KELO_CommCacheRes_MEMBERS)
KELO_MESSAGE_IMPL(ScanResInfo, "kelo.cl", CKeloHesClass, KELO_ScanResInfo_MEMBERS)
KELO_MESSAGE_IMPL(ConnectivityRes, "kelo.cl", CKeloHesClass, KELO_ConnectivityRes_MEMBERS)
KELO_MESSAGE_IMPL(ApCaptiveRes, "kelo.cl", CKeloHesClass, KELO_ApCaptiveRes_MEMBERS)
KELO_MESSAGE_IMPL(WispInfoRes, "kelo.cl", CKeloHesClass, KELO_WispInfoRes_MEMBERS)
KELO_MESSAGE_IMPL(LocationRes, "kelo.cl", CKeloHesClass, KELO_LocationRes_MEMBERS)
KELO_MESSAGE_IMPL(PublicInfoRes, "kelo.cl", CKeloHesClass, KELO_PublicInfoRes_MEMBERS)
KELO_MESSAGE_IMPL(AddressRes, "kelo.cl", CKeloHesClass, KELO_AddressRes_MEMBERS)
KELO_MESSAGE_IMPL(GeneralInfoRes, "kelo.cl", CKeloHesClass, KELO_GeneralInfoRes_MEMBERS)
KELO_MESSAGE_IMPL(ApRes, "kelo.cl", CKeloHesClass, KELO_ApRes_MEMBERS)
KELO_MESSAGE_IMPL(ResTopology, "kelo.cl", Response, KELO_ResTopology_MEMBERS)
}  // namespace cl
}  // namespace kelo
