// The topology request: ReqTopology with its general flag, its community-cache report and its
// list of access points. Each ApReq bundles eight query elements, each a nested message of its
// own; ConnDetailsReq stands beside them, nested in no class.
#pragma once

#define KELO_GeneralReq_MEMBERS(X) X(CKeloHesInt8, isLan)

#define KELO_ReqPartition_MEMBERS(X) \
  X(CKeloHesString, pidName)         \
  X(CKeloHesInt64, timeStamp)        \
  X(CKeloHesUInt32, errIndication)

#define KELO_CommCacheReq_MEMBERS(X) \
  X(CKeloHesString, error)           \
  X(CKeloHesArray<ReqPartition>, partitionElemReq)

#define KELO_ScanReqInfo_MEMBERS(X) \
  X(CKeloHesInt64, cnrId)           \
  X(CKeloHesBinary, bssid)          \
  X(CKeloHesBinary, ssid)           \
  X(CKeloHesInt8, apType)           \
  X(CKeloHesInt8, encType)          \
  X(CKeloHesInt16, rssi)

#define KELO_ConnectivityReq_MEMBERS(X) \
  X(CKeloHesInt8, isConnected)          \
  X(CKeloHesInt16, accessibility)       \
  X(CKeloHesString, dns)                \
  X(CKeloHesString, clientIpAddr)

#define KELO_CaptiveReq_MEMBERS(X)      \
  X(CKeloHesInt8, serviceType)          \
  X(CKeloHesInt32, loginType)           \
  X(CKeloHesInt32, payType)             \
  X(CKeloHesInt32, protocolType)        \
  X(CKeloHesString, redirectlinkDomain) \
  X(CKeloHesString, redirectlinkParam)

#define KELO_WispInfoReq_MEMBERS(X) \
  X(CKeloHesString, networkId)      \
  X(CKeloHesString, locName)        \
  X(CKeloHesString, loginUrl)       \
  X(CKeloHesString, abortLoginUrl)  \
  X(CKeloHesInt32, proxy)           \
  X(CKeloHesString, logOffUrl)

#define KELO_LocationReq_MEMBERS(X) \
  X(CKeloHesInt32, mapErrorFlag)    \
  X(CKeloHesInt32, mapType)         \
  X(CKeloHesDouble, lat)            \
  X(CKeloHesDouble, longt)

#define KELO_PublicInfoReq_MEMBERS(X) \
  X(CKeloHesInt32, infoType)          \
  X(CKeloHesString, title)            \
  X(CKeloHesString, category)         \
  X(CKeloHesString, description)

#define KELO_AddressReq_MEMBERS(X) \
  X(CKeloHesString, country)       \
  X(CKeloHesString, state)         \
  X(CKeloHesString, city)          \
  X(CKeloHesString, address)

#define KELO_GeneralInfoReq_MEMBERS(X) X(CKeloHesString, organization)

#define KELO_ApReq_MEMBERS(X)         \
  X(ScanReqInfo, scanReq)             \
  X(ConnectivityReq, connectivityReq) \
  X(CaptiveReq, captiveReq)           \
  X(WispInfoReq, wispInfoReq)         \
  X(LocationReq, locationReq)         \
  X(PublicInfoReq, publicInfoReq)     \
  X(AddressReq, addressReq)           \
  X(GeneralInfoReq, generalInfoReq)

#define KELO_ConnDetailsReq_MEMBERS(X) \
  X(CKeloHesInt32, purpose)            \
  X(CKeloHesInt32, initiatorUid)       \
  X(CKeloHesString, initiatorName)

#define KELO_ReqTopology_MEMBERS(X) \
  X(GeneralReq, generalReq)         \
  X(CommCacheReq, commCacheReq)     \
  X(CKeloHesArray<ApReq>, apList)
