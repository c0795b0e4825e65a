/// \file
/// Behaviour reports: ReqBehavior with its lists of measurement and event records, and its answer
/// ResBehavior. MeasureReq has the one operation of the client messages beyond their schema,
/// setBssid, which throws the exceptions of kllang on bad input or an exhausted heap.
#pragma once

/// \class kelo::cl::ResBehavior
/// The behaviour response, the answer to ReqBehavior: a status and a text. Java class
/// `kelo.cl.ResBehavior`.
#define KELO_ResBehavior_MEMBERS(X) \
  X(CKeloHesUInt8, status)          \
  X(CKeloHesString, desc)

/// \class kelo::cl::MeasureReq
/// One measurement record: record and session types, identifiers, BSSID, times, Wi-Fi and cellular
/// traffic, connection times, bandwidth and connected devices; an item of ReqBehavior::measureList.
/// Java class `kelo.cl.MeasureReq`.
#define KELO_MeasureReq_MEMBERS(X) \
  X(CKeloHesInt32, recType)        \
  X(CKeloHesInt64, cnu)            \
  X(CKeloHesInt64, cnr)            \
  X(CKeloHesBinary, bssid)         \
  X(CKeloHesInt64, crTmSrvr)       \
  X(CKeloHesInt64, crTmLcl)        \
  X(CKeloHesInt64, duration)       \
  X(CKeloHesInt32, sessType)       \
  X(CKeloHesInt64, wifiRx)         \
  X(CKeloHesInt64, wifiTx)         \
  X(CKeloHesInt64, cellRx)         \
  X(CKeloHesInt64, cellTx)         \
  X(CKeloHesInt64, totalConnTm)    \
  X(CKeloHesInt64, apConnTm)       \
  X(CKeloHesInt32, bw)             \
  X(CKeloHesInt32, connDev)        \
  X(CKeloHesInt64, connDevBitmask)

/// \fn void kelo::cl::MeasureReq::setBssid(const char* data, int length)
/// Stores a private copy of exactly 6 bytes in "bssid", freeing what it held. A null pointer or
/// any other count throws kllang::IllegalArgumentException, an exhausted heap
/// kllang::OutOfMemoryError; "bssid" is unchanged in both cases. Never returns a code. "bssid" may
/// also be set directly, with any length.
#define KELO_MeasureReq_EXTRA void setBssid(const char* data, int length);

/// \class kelo::cl::EventReq
/// One event record: record type, identifiers, times, duration, client version, SSID (a text) and
/// failure reason; an item of ReqBehavior::eventList. Java class `kelo.cl.EventReq`.
#define KELO_EventReq_MEMBERS(X) \
  X(CKeloHesInt32, recType)      \
  X(CKeloHesInt64, cnu)          \
  X(CKeloHesInt64, evTmSrvr)     \
  X(CKeloHesInt64, evTmLcl)      \
  X(CKeloHesInt64, duration)     \
  X(CKeloHesInt64, clVer)        \
  X(CKeloHesInt64, cnr)          \
  X(CKeloHesString, ssid)        \
  X(CKeloHesInt32, failReason)

/// \class kelo::cl::ReqBehavior
/// The behaviour report (the argument of the server's reportBehavior): measurement and event
/// records. Answered by ResBehavior. Holds typed lists, so it cannot be copied. Java class
/// `kelo.cl.ReqBehavior`.
#define KELO_ReqBehavior_MEMBERS(X)         \
  X(CKeloHesArray<MeasureReq>, measureList) \
  X(CKeloHesArray<EventReq>, eventList)
