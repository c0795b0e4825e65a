// Every client message class, in catalogue order: the envelopes, then the topology request and
// response, connect and register, and behaviour, each group in the order its schemas are given.
// Not installed.
#pragma once

#include <kelohessian/client/client.h>

#define KELO_CLIENT_CLASSES(X) \
  X(kelo::cl::Header)          \
  X(kelo::cl::Request)         \
  X(kelo::cl::Response)        \
  X(kelo::cl::ReqTopology)     \
  X(kelo::cl::GeneralReq)      \
  X(kelo::cl::CommCacheReq)    \
  X(kelo::cl::ReqPartition)    \
  X(kelo::cl::ApReq)           \
  X(kelo::cl::ScanReqInfo)     \
  X(kelo::cl::ConnectivityReq) \
  X(kelo::cl::CaptiveReq)      \
  X(kelo::cl::WispInfoReq)     \
  X(kelo::cl::LocationReq)     \
  X(kelo::cl::PublicInfoReq)   \
  X(kelo::cl::AddressReq)      \
  X(kelo::cl::GeneralInfoReq)  \
  X(kelo::cl::ConnDetailsReq)  \
  X(kelo::cl::ResTopology)     \
  X(kelo::cl::CommCacheRes)    \
  X(kelo::cl::ResPartition)    \
  X(kelo::cl::ApRes)           \
  X(kelo::cl::ScanResInfo)     \
  X(kelo::cl::ConnectivityRes) \
  X(kelo::cl::ApCaptiveRes)    \
  X(kelo::cl::WispInfoRes)     \
  X(kelo::cl::LocationRes)     \
  X(kelo::cl::PublicInfoRes)   \
  X(kelo::cl::AddressRes)      \
  X(kelo::cl::GeneralInfoRes)  \
  X(kelo::cl::ReqConnect)      \
  X(kelo::cl::OneTouchBtnData) \
  X(kelo::cl::OsInfo)          \
  X(kelo::cl::ResConnectV2)    \
  X(kelo::cl::PcNetwork)       \
  X(kelo::cl::MobileNetwork)   \
  X(kelo::cl::VerSite)         \
  X(kelo::cl::Log)             \
  X(kelo::cl::Update)          \
  X(kelo::cl::ReqRegister)     \
  X(kelo::cl::Cmpgn)           \
  X(kelo::cl::ResRegister)     \
  X(kelo::cl::ReqBehavior)     \
  X(kelo::cl::MeasureReq)      \
  X(kelo::cl::EventReq)        \
  X(kelo::cl::ResBehavior)
