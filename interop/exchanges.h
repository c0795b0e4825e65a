// The nine exchanges of a session against the Java reference server: the five management
// services and the four client exchanges, each with its URL path, method name, request and
// response classes. Both sides fill their objects with the seeded rule of tests/support/filler,
// so the seeds below are all either side needs to know what the other sends. The Java server
// gets this table through the generator (kelo/interop/Exchanges.java), never by hand.
#pragma once

// X(path, method, request type name, response type name)
#define KELO_INTEROP_EXCHANGES(X)                                                                \
  X("/services", "register", "services.RegistrationServiceRequest",                              \
    "services.RegistrationServiceResponse")                                                      \
  X("/services", "login", "services.LoginServiceRequest", "services.LoginServiceResponse")       \
  X("/services", "connect", "services.ConnectServiceRequest", "services.ConnectServiceResponse") \
  X("/services", "reportUpdate", "services.ReportUpdateServiceRequest",                          \
    "services.ReportUpdateServiceResponse")                                                      \
  X("/services", "topology", "services.TopologyServiceRequest",                                  \
    "services.TopologyServiceResponse")                                                          \
  X("/client", "getTopology", "kelo.cl.ReqTopology", "kelo.cl.ResTopology")                      \
  X("/client", "connect", "kelo.cl.ReqConnect", "kelo.cl.ResConnectV2")                          \
  X("/client", "register", "kelo.cl.ReqRegister", "kelo.cl.ResRegister")                         \
  X("/client", "reportBehavior", "kelo.cl.ReqBehavior", "kelo.cl.ResBehavior")

namespace kelointerop {

struct Exchange {
  const char* path;
  const char* method;
  const char* request;
  const char* response;
};

#define KELO_INTEROP_EXCHANGE_ROW(path, method, request, response) \
  {path, method, request, response},
constexpr Exchange kExchanges[] = {KELO_INTEROP_EXCHANGES(KELO_INTEROP_EXCHANGE_ROW)};
#undef KELO_INTEROP_EXCHANGE_ROW
constexpr unsigned int kExchangeCount = sizeof kExchanges / sizeof kExchanges[0];

// The seeds of exchange number index (0-based) and the number of items of each of its lists.
constexpr unsigned int RequestSeed(unsigned int index) {
  return 1000 + 100 * index;
}
constexpr unsigned int ResponseSeed(unsigned int index) {
  return 1050 + 100 * index;
}
constexpr int kSessionListItems = 3;

}  // namespace kelointerop
