// Topology and connection-report information elements, and the typed lists of the two topology
// elements.
#include <kelohessian/commengine/ie_topology.h>

#include <kelohessian/commengine/detail/message_impl.h>

namespace CommEngine {
KELO_MESSAGE_IMPL(VKAP_IE_TopologyReqV3, "CommEngine", CKeloHesClass,
                  KELO_VKAP_IE_TopologyReqV3_MEMBERS)
KELO_MESSAGE_IMPL(VKAP_IE_TopologyRspV3, "CommEngine", CKeloHesClass,
                  KELO_VKAP_IE_TopologyRspV3_MEMBERS)
KELO_MESSAGE_IMPL(VKAP_IE_ConnectionReport, "CommEngine", CKeloHesClass,
                  KELO_VKAP_IE_ConnectionReport_MEMBERS)
}  // namespace CommEngine

KELO_DEFINE_ARRAY(CommEngine::VKAP_IE_TopologyReqV3)
KELO_DEFINE_ARRAY(CommEngine::VKAP_IE_TopologyRspV3)
