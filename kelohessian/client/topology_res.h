// The topology response: ResTopology with the server's community-cache answer and its list of
// access points. Each ApRes opens with "checkCategory" and bundles eight answer elements; they
// resemble the query elements of the request but differ in names, order and types.
#pragma once

#define KELO_ResPartition_MEMBERS(X) \
  X(CKeloHesString, pidName)         \
  X(CKeloHesString, url)

#define KELO_CommCacheRes_MEMBERS(X) \
  X(CKeloHesInt32, maxPartitions)    \
  X(CKeloHesArray<ResPartition>, partitionElemRes)

#define KELO_ScanResInfo_MEMBERS(X) \
  X(CKeloHesInt64, cnrId)           \
  X(CKeloHesBinary, bssid)          \
  X(CKeloHesInt16, systemQuality)

#define KELO_ConnectivityRes_MEMBERS(X) \
  X(CKeloHesInt16, accessibility)       \
  X(CKeloHesString, dns)                \
  X(CKeloHesString, clientIpAddr)       \
  X(CKeloHesInt32, wifiDevConnected)    \
  X(CKeloHesInt32, connectTimeIp)       \
  X(CKeloHesInt32, connectTimeInet)     \
  X(CKeloHesInt32, connectedUsers)      \
  X(CKeloHesInt32, bw)                  \
  X(CKeloHesInt64, freshness)

#define KELO_ApCaptiveRes_MEMBERS(X) \
  X(CKeloHesInt8, serviceType)       \
  X(CKeloHesInt32, loginType)        \
  X(CKeloHesInt32, payType)          \
  X(CKeloHesInt32, protocolType)

#define KELO_WispInfoRes_MEMBERS(X) X(CKeloHesString, networkId)

#define KELO_LocationRes_MEMBERS(X) \
  X(CKeloHesDouble, lat)            \
  X(CKeloHesDouble, longt)          \
  X(CKeloHesInt32, mapType)         \
  X(CKeloHesInt32, mapperCnu)

#define KELO_PublicInfoRes_MEMBERS(X) \
  X(CKeloHesInt32, category)          \
  X(CKeloHesString, name)             \
  X(CKeloHesString, description)

#define KELO_AddressRes_MEMBERS(X) \
  X(CKeloHesString, country)       \
  X(CKeloHesString, state)         \
  X(CKeloHesString, city)          \
  X(CKeloHesString, address)

#define KELO_GeneralInfoRes_MEMBERS(X) \
  X(CKeloHesString, organization)      \
  X(CKeloHesString, externalIp)        \
  X(CKeloHesString, url)

#define KELO_ApRes_MEMBERS(X)         \
  X(CKeloHesInt32, checkCategory)     \
  X(ScanResInfo, scanRes)             \
  X(ConnectivityRes, connectivityRes) \
  X(ApCaptiveRes, captiveRes)         \
  X(WispInfoRes, wispInfoRes)         \
  X(LocationRes, locationRes)         \
  X(PublicInfoRes, publicInfo)        \
  X(AddressRes, addressRes)           \
  X(GeneralInfoRes, generalInfoRes)

#define KELO_ResTopology_MEMBERS(X)  \
  X(CommCacheRes, communityCacheRes) \
  X(CKeloHesArray<ApRes>, apList)
