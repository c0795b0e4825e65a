/// \file
/// Every client message of namespace kelo::cl (wire namespace "kelo.cl") in one include: the
/// envelopes and the topology, connect, register and behaviour exchanges. The member tables are
/// in the family headers beside this one; the class list below declares every class from them.
#pragma once

#include <kelohessian/client/behavior.h>
#include <kelohessian/client/connect_register.h>
#include <kelohessian/client/header.h>
#include <kelohessian/client/topology_req.h>
#include <kelohessian/client/topology_res.h>
#include <kelohessian/schema/message.h>
#include <kelohessian/types/domain_types.h>

/// Every client message class, in declaration and catalogue order: the envelopes, then the
/// topology request and response, connect and register, and behaviour, each group in the order of
/// its family header. A row is X(C++ namespace, class, base, wire namespace, shape) as
/// KELO_DECLARE_LISTED takes it.
#define KELO_CLIENT_CLASSES(X)                                  \
  X(kelo::cl, Header, CKeloHesClass, "kelo.cl", PLAIN)          \
  X(kelo::cl, Request, CKeloHesClass, "kelo.cl", PLAIN)         \
  X(kelo::cl, Response, CKeloHesClass, "kelo.cl", PLAIN)        \
  X(kelo::cl, GeneralReq, CKeloHesClass, "kelo.cl", PLAIN)      \
  X(kelo::cl, ReqPartition, CKeloHesClass, "kelo.cl", ITEM)     \
  X(kelo::cl, CommCacheReq, CKeloHesClass, "kelo.cl", PLAIN)    \
  X(kelo::cl, ScanReqInfo, CKeloHesClass, "kelo.cl", PLAIN)     \
  X(kelo::cl, ConnectivityReq, CKeloHesClass, "kelo.cl", PLAIN) \
  X(kelo::cl, CaptiveReq, CKeloHesClass, "kelo.cl", PLAIN)      \
  X(kelo::cl, WispInfoReq, CKeloHesClass, "kelo.cl", PLAIN)     \
  X(kelo::cl, LocationReq, CKeloHesClass, "kelo.cl", PLAIN)     \
  X(kelo::cl, PublicInfoReq, CKeloHesClass, "kelo.cl", PLAIN)   \
  X(kelo::cl, AddressReq, CKeloHesClass, "kelo.cl", PLAIN)      \
  X(kelo::cl, GeneralInfoReq, CKeloHesClass, "kelo.cl", PLAIN)  \
  X(kelo::cl, ApReq, CKeloHesClass, "kelo.cl", ITEM)            \
  X(kelo::cl, ConnDetailsReq, CKeloHesClass, "kelo.cl", PLAIN)  \
  X(kelo::cl, ReqTopology, Request, "kelo.cl", PLAIN)           \
  X(kelo::cl, ResPartition, CKeloHesClass, "kelo.cl", ITEM)     \
  X(kelo::cl, CommCacheRes, CKeloHesClass, "kelo.cl", PLAIN)    \
  X(kelo::cl, ScanResInfo, CKeloHesClass, "kelo.cl", PLAIN)     \
  X(kelo::cl, ConnectivityRes, CKeloHesClass, "kelo.cl", PLAIN) \
  X(kelo::cl, ApCaptiveRes, CKeloHesClass, "kelo.cl", PLAIN)    \
  X(kelo::cl, WispInfoRes, CKeloHesClass, "kelo.cl", PLAIN)     \
  X(kelo::cl, LocationRes, CKeloHesClass, "kelo.cl", PLAIN)     \
  X(kelo::cl, PublicInfoRes, CKeloHesClass, "kelo.cl", PLAIN)   \
  X(kelo::cl, AddressRes, CKeloHesClass, "kelo.cl", PLAIN)      \
  X(kelo::cl, GeneralInfoRes, CKeloHesClass, "kelo.cl", PLAIN)  \
  X(kelo::cl, ApRes, CKeloHesClass, "kelo.cl", ITEM)            \
  X(kelo::cl, ResTopology, Response, "kelo.cl", PLAIN)          \
  X(kelo::cl, OsInfo, CKeloHesClass, "kelo.cl", PLAIN)          \
  X(kelo::cl, OneTouchBtnData, CKeloHesClass, "kelo.cl", ITEM)  \
  X(kelo::cl, ReqConnect, Request, "kelo.cl", PLAIN)            \
  X(kelo::cl, PcNetwork, CKeloHesClass, "kelo.cl", PLAIN)       \
  X(kelo::cl, MobileNetwork, CKeloHesClass, "kelo.cl", PLAIN)   \
  X(kelo::cl, VerSite, CKeloHesClass, "kelo.cl", ITEM)          \
  X(kelo::cl, Log, CKeloHesClass, "kelo.cl", PLAIN)             \
  X(kelo::cl, Update, CKeloHesClass, "kelo.cl", PLAIN)          \
  X(kelo::cl, ResConnectV2, Response, "kelo.cl", PLAIN)         \
  X(kelo::cl, Cmpgn, CKeloHesClass, "kelo.cl", PLAIN)           \
  X(kelo::cl, ReqRegister, Request, "kelo.cl", PLAIN)           \
  X(kelo::cl, ResRegister, Response, "kelo.cl", PLAIN)          \
  X(kelo::cl, ResBehavior, Response, "kelo.cl", PLAIN)          \
  X(kelo::cl, MeasureReq, CKeloHesClass, "kelo.cl", ITEM_EXTRA) \
  X(kelo::cl, EventReq, CKeloHesClass, "kelo.cl", ITEM)         \
  X(kelo::cl, ReqBehavior, Request, "kelo.cl", PLAIN)

KELO_CLIENT_CLASSES(KELO_DECLARE_LISTED)
