// Behaviour reports: ReqBehavior with its lists of measurement and event records, and its answer
// ResBehavior. MeasureReq has the one operation of the client messages beyond their schema,
// setBssid, which throws the exceptions of kllang on bad input or an exhausted heap.
#pragma once

#define KELO_ResBehavior_MEMBERS(X) \
  X(CKeloHesUInt8, status)          \
  X(CKeloHesString, desc)

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

// Stores a private copy of exactly 6 bytes in "bssid", freeing what it held. A null pointer or
// any other count throws kllang::IllegalArgumentException, an exhausted heap
// kllang::OutOfMemoryError; "bssid" is unchanged in both cases. Never returns a code.
#define KELO_MeasureReq_EXTRA void setBssid(const char* data, int length);

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

#define KELO_ReqBehavior_MEMBERS(X)         \
  X(CKeloHesArray<MeasureReq>, measureList) \
  X(CKeloHesArray<EventReq>, eventList)
