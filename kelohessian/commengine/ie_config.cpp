// Configuration information elements that follow the connect response.
#include <kelohessian/commengine/ie_config.h>

#include <kelohessian/commengine/detail/message_impl.h>

namespace CommEngine {
KELO_MESSAGE_IMPL(VKAP_IE_NetworkProfile, "CommEngine", CKeloHesClass,
                  KELO_VKAP_IE_NetworkProfile_MEMBERS)
KELO_MESSAGE_IMPL(VKAP_IE_MeasurmentParamV3, "CommEngine", CKeloHesClass,
                  KELO_VKAP_IE_MeasurmentParamV3_MEMBERS)
KELO_MESSAGE_IMPL(VKAP_IE_LoggerProfileRspV3, "CommEngine", CKeloHesClass,
                  KELO_VKAP_IE_LoggerProfileRspV3_MEMBERS)
KELO_MESSAGE_IMPL(VKAP_IE_VelkorParameters, "CommEngine", CKeloHesClass,
                  KELO_VKAP_IE_VelkorParameters_MEMBERS)
KELO_MESSAGE_IMPL(VKAP_IE_StatisticFiles, "CommEngine", CKeloHesClass,
                  KELO_VKAP_IE_StatisticFiles_MEMBERS)
KELO_MESSAGE_IMPL(VKAP_IE_StatisticInfo, "CommEngine", CKeloHesClass,
                  KELO_VKAP_IE_StatisticInfo_MEMBERS)
KELO_MESSAGE_IMPL(VKAP_IE_VersionUpdate, "CommEngine", CKeloHesClass,
                  KELO_VKAP_IE_VersionUpdate_MEMBERS)
KELO_MESSAGE_IMPL(VKAP_IE_ServerInfo, "CommEngine", CKeloHesClass, KELO_VKAP_IE_ServerInfo_MEMBERS)
}  // namespace CommEngine
