/// \file
/// The topology response: ResTopology with the server's community-cache answer and its list of
/// access points. Each ApRes opens with "checkCategory" and bundles eight answer elements; they
/// resemble the query elements of the request but differ in names, order and types.
#pragma once

/// \class kelo::cl::ResPartition
/// One partition of the server's community-cache answer: its name and URL; an item of
/// CommCacheRes::partitionElemRes. Java class `kelo.cl.ResPartition`.
#define KELO_ResPartition_MEMBERS(X) \
  X(CKeloHesString, pidName)         \
  X(CKeloHesString, url)

/// \class kelo::cl::CommCacheRes
/// The server's community-cache answer: the largest number of partitions and the partitions. Holds
/// a typed list, so it cannot be copied. Java class `kelo.cl.CommCacheRes`.
#define KELO_CommCacheRes_MEMBERS(X) \
  X(CKeloHesInt32, maxPartitions)    \
  X(CKeloHesArray<ResPartition>, partitionElemRes)

/// \class kelo::cl::ScanResInfo
/// The server's scan data of an access point: CNR identifier, BSSID (bytes) and system quality.
/// Java class `kelo.cl.ScanResInfo`.
#define KELO_ScanResInfo_MEMBERS(X) \
  X(CKeloHesInt64, cnrId)           \
  X(CKeloHesBinary, bssid)          \
  X(CKeloHesInt16, systemQuality)

/// \class kelo::cl::ConnectivityRes
/// The server's connectivity data of an access point: accessibility, DNS server, client address,
/// connection times, users, bandwidth and freshness. Java class `kelo.cl.ConnectivityRes`.
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

/// \class kelo::cl::ApCaptiveRes
/// The server's captive-portal data of an access point: service, login, payment and protocol types.
/// Java class `kelo.cl.ApCaptiveRes`.
#define KELO_ApCaptiveRes_MEMBERS(X) \
  X(CKeloHesInt8, serviceType)       \
  X(CKeloHesInt32, loginType)        \
  X(CKeloHesInt32, payType)          \
  X(CKeloHesInt32, protocolType)

/// \class kelo::cl::WispInfoRes
/// The server's hotspot data of an access point: its network. Java class `kelo.cl.WispInfoRes`.
#define KELO_WispInfoRes_MEMBERS(X) X(CKeloHesString, networkId)

/// \class kelo::cl::LocationRes
/// The server's location of an access point: latitude, longitude, map type and the mapper's CNU.
/// Java class `kelo.cl.LocationRes`.
#define KELO_LocationRes_MEMBERS(X) \
  X(CKeloHesDouble, lat)            \
  X(CKeloHesDouble, longt)          \
  X(CKeloHesInt32, mapType)         \
  X(CKeloHesInt32, mapperCnu)

/// \class kelo::cl::PublicInfoRes
/// The server's public information on an access point: category (a number), name and description.
/// Java class `kelo.cl.PublicInfoRes`.
#define KELO_PublicInfoRes_MEMBERS(X) \
  X(CKeloHesInt32, category)          \
  X(CKeloHesString, name)             \
  X(CKeloHesString, description)

/// \class kelo::cl::AddressRes
/// The server's postal address of an access point. Java class `kelo.cl.AddressRes`.
#define KELO_AddressRes_MEMBERS(X) \
  X(CKeloHesString, country)       \
  X(CKeloHesString, state)         \
  X(CKeloHesString, city)          \
  X(CKeloHesString, address)

/// \class kelo::cl::GeneralInfoRes
/// The server's general information on an access point: organization, external address and URL.
/// Java class `kelo.cl.GeneralInfoRes`.
#define KELO_GeneralInfoRes_MEMBERS(X) \
  X(CKeloHesString, organization)      \
  X(CKeloHesString, externalIp)        \
  X(CKeloHesString, url)

/// \class kelo::cl::ApRes
/// One access point of a topology response: its check category and eight answer elements; an item
/// of ResTopology::apList. Java class `kelo.cl.ApRes`.
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

/// \class kelo::cl::ResTopology
/// The topology response, the answer to ReqTopology: the community-cache answer and the access
/// points. Holds typed lists, so it cannot be copied. Java class `kelo.cl.ResTopology`.
#define KELO_ResTopology_MEMBERS(X)  \
  X(CommCacheRes, communityCacheRes) \
  X(CKeloHesArray<ApRes>, apList)
