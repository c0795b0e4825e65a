/// \file
/// The topology request: ReqTopology with its general flag, its community-cache report and its
/// list of access points. Each ApReq bundles eight query elements, each a nested message of its
/// own; ConnDetailsReq stands beside them, nested in no class.
#pragma once

/// \class kelo::cl::GeneralReq
/// The general flag of a topology request: whether the client is on a LAN. Java class
/// `kelo.cl.GeneralReq`.
#define KELO_GeneralReq_MEMBERS(X) X(CKeloHesInt8, isLan)

/// \class kelo::cl::ReqPartition
/// One partition of the client's community cache: its name, time stamp and error indication; an
/// item of CommCacheReq::partitionElemReq. Java class `kelo.cl.ReqPartition`.
#define KELO_ReqPartition_MEMBERS(X) \
  X(CKeloHesString, pidName)         \
  X(CKeloHesInt64, timeStamp)        \
  X(CKeloHesUInt32, errIndication)

/// \class kelo::cl::CommCacheReq
/// The client's community-cache report: an error text and its partitions. Holds a typed list, so it
/// cannot be copied. Java class `kelo.cl.CommCacheReq`.
#define KELO_CommCacheReq_MEMBERS(X) \
  X(CKeloHesString, error)           \
  X(CKeloHesArray<ReqPartition>, partitionElemReq)

/// \class kelo::cl::ScanReqInfo
/// What a scan saw of an access point: CNR identifier, BSSID and SSID (bytes), type, encryption and
/// signal strength. Java class `kelo.cl.ScanReqInfo`.
#define KELO_ScanReqInfo_MEMBERS(X) \
  X(CKeloHesInt64, cnrId)           \
  X(CKeloHesBinary, bssid)          \
  X(CKeloHesBinary, ssid)           \
  X(CKeloHesInt8, apType)           \
  X(CKeloHesInt8, encType)          \
  X(CKeloHesInt16, rssi)

/// \class kelo::cl::ConnectivityReq
/// The client's connectivity through an access point: connected or not, accessibility, DNS server
/// and client address. Java class `kelo.cl.ConnectivityReq`.
#define KELO_ConnectivityReq_MEMBERS(X) \
  X(CKeloHesInt8, isConnected)          \
  X(CKeloHesInt16, accessibility)       \
  X(CKeloHesString, dns)                \
  X(CKeloHesString, clientIpAddr)

/// \class kelo::cl::CaptiveReq
/// Captive-portal data of an access point: service, login, payment and protocol types, and the
/// redirect link's domain and parameter. Java class `kelo.cl.CaptiveReq`.
#define KELO_CaptiveReq_MEMBERS(X)      \
  X(CKeloHesInt8, serviceType)          \
  X(CKeloHesInt32, loginType)           \
  X(CKeloHesInt32, payType)             \
  X(CKeloHesInt32, protocolType)        \
  X(CKeloHesString, redirectlinkDomain) \
  X(CKeloHesString, redirectlinkParam)

/// \class kelo::cl::WispInfoReq
/// Hotspot login data of an access point: network, location name, login, abort and log-off URLs,
/// and proxy. Java class `kelo.cl.WispInfoReq`.
#define KELO_WispInfoReq_MEMBERS(X) \
  X(CKeloHesString, networkId)      \
  X(CKeloHesString, locName)        \
  X(CKeloHesString, loginUrl)       \
  X(CKeloHesString, abortLoginUrl)  \
  X(CKeloHesInt32, proxy)           \
  X(CKeloHesString, logOffUrl)

/// \class kelo::cl::LocationReq
/// Where an access point is: map error flag, map type, latitude and longitude. Java class
/// `kelo.cl.LocationReq`.
#define KELO_LocationReq_MEMBERS(X) \
  X(CKeloHesInt32, mapErrorFlag)    \
  X(CKeloHesInt32, mapType)         \
  X(CKeloHesDouble, lat)            \
  X(CKeloHesDouble, longt)

/// \class kelo::cl::PublicInfoReq
/// Public information on an access point: its type, title, category (a text) and description. Java
/// class `kelo.cl.PublicInfoReq`.
#define KELO_PublicInfoReq_MEMBERS(X) \
  X(CKeloHesInt32, infoType)          \
  X(CKeloHesString, title)            \
  X(CKeloHesString, category)         \
  X(CKeloHesString, description)

/// \class kelo::cl::AddressReq
/// The postal address of an access point. Java class `kelo.cl.AddressReq`.
#define KELO_AddressReq_MEMBERS(X) \
  X(CKeloHesString, country)       \
  X(CKeloHesString, state)         \
  X(CKeloHesString, city)          \
  X(CKeloHesString, address)

/// \class kelo::cl::GeneralInfoReq
/// General information on an access point: its organization. Java class `kelo.cl.GeneralInfoReq`.
#define KELO_GeneralInfoReq_MEMBERS(X) X(CKeloHesString, organization)

/// \class kelo::cl::ApReq
/// One access point of a topology request, as eight query elements; an item of ReqTopology::apList.
/// Java class `kelo.cl.ApReq`.
#define KELO_ApReq_MEMBERS(X)         \
  X(ScanReqInfo, scanReq)             \
  X(ConnectivityReq, connectivityReq) \
  X(CaptiveReq, captiveReq)           \
  X(WispInfoReq, wispInfoReq)         \
  X(LocationReq, locationReq)         \
  X(PublicInfoReq, publicInfoReq)     \
  X(AddressReq, addressReq)           \
  X(GeneralInfoReq, generalInfoReq)

/// \class kelo::cl::ConnDetailsReq
/// Connection details: purpose and initiator. No class of the protocol nests it; it can be sent on
/// its own. Java class `kelo.cl.ConnDetailsReq`.
#define KELO_ConnDetailsReq_MEMBERS(X) \
  X(CKeloHesInt32, purpose)            \
  X(CKeloHesInt32, initiatorUid)       \
  X(CKeloHesString, initiatorName)

/// \class kelo::cl::ReqTopology
/// The topology request (the argument of the server's getTopology): the general flag, the
/// community-cache report and the access points seen. Answered by ResTopology. Holds typed lists,
/// so it cannot be copied. Java class `kelo.cl.ReqTopology`.
#define KELO_ReqTopology_MEMBERS(X) \
  X(GeneralReq, generalReq)         \
  X(CommCacheReq, commCacheReq)     \
  X(CKeloHesArray<ApReq>, apList)
