// The session over libcurl against the reference server (Caucho's HessianServlet in an embedded
// Jetty, started once for all cases with an HTTP and an HTTPS listener): the nine exchanges over
// one connection and one over HTTPS, a service method that throws, the one-line reports of what
// keeps a reply from the codec, and `kelohes call`.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include <kelohessian/json/json.h>
#include <kelohessian/kelohessian.h>

#include "exchanges.h"
#include "peer_io.h"
#include "reference_server.h"
#include "session.h"
#include "support/filler.h"
#include "support/run.h"

namespace {

using kelo::http::Connection;
using kelo::http::Options;
using kelo::http::Reply;
using namespace kelointerop;

const kelointerop::ServerEnvironment& kServer =
    *static_cast<ServerEnvironment*>(::testing::AddGlobalTestEnvironment(
        new ServerEnvironment(KELO_INTEROP_WORK_DIR, "http_test", true)));
const std::string &http = kServer.http, &https = kServer.https, &kCert = kServer.cert;

// All nine exchanges through one connection (libcurl keeps it open), then one over HTTPS trusting
// the server's self-signed certificate. And a service method that throws (a login request other
// than the one expected): Caucho's skeleton writes a fault with status 200, which the transport
// hands to the codec like any reply.
// The fault the servlet wrote once is kept in testdata/servlet/ (written again when
// KELO_INTEROP_WRITE_TESTDATA names a folder) and reads the same.
TEST(ReferenceServer, ExchangesHttpsAndAFault) {
  Connection connection;
  long opened = 0;
  std::string failure;
  for (unsigned int i = 0; i < kExchangeCount; ++i) {
    SCOPED_TRACE(kExchanges[i].method);
    EXPECT_TRUE(RunExchange(connection, http, i, nullptr, failure)) << failure;
    opened += connection.NewConnections();
  }
  EXPECT_EQ(opened, 1) << "the connection was not kept from one exchange to the next";
  Options options;
  options.caFile = kCert;
  Connection secure(options);
  EXPECT_TRUE(RunExchange(secure, https, 5, nullptr, failure)) << failure;

  Reply reply;
  ASSERT_TRUE(connection.Post(http + "/services", BuildCall(1, RequestSeed(1) + 1), reply, failure))
      << failure;
  EXPECT_EQ(reply.status, 200);
  EXPECT_EQ(reply.contentType, "x-application/hessian");
  EXPECT_TRUE(reply.fault);
  if (const char* dir = std::getenv("KELO_INTEROP_WRITE_TESTDATA"))
    WriteFile(std::string(dir) + "/java-fault-servlet.bin", reply.body);
  for (const std::string& body :
       {reply.body,
        kelotest::ReadFile(KELO_INTEROP_TESTDATA_DIR "/servlet/java-fault-servlet.bin")}) {
    CKeloHesSkipClass anyClass;  // the class asked for does not matter for a fault
    const kelo::Status s = kelo::DecodeReply(body.data(), body.size(), anyClass);
    EXPECT_EQ(s.fault_code(), "ServiceException") << s.name() << " " << s.message();
    EXPECT_EQ(s.fault_message().rfind("mismatch: expected request.", 0), 0u) << s.fault_message();
  }
}

// What keeps a reply of the reference server from the codec, each one line naming the URL and
// what happened (tests/http_test.cpp has the failures that need no server).
TEST(ReferenceServer, TransportFailuresAreOneClearLine) {
  const std::string login = BuildCall(1, RequestSeed(1));
  const struct {
    const char* what;
    std::string url, call;
    long status;
    std::string message;  // what the error line must hold
    long long maxReplyBytes = 1 << 20;
  } rows[] = {
      {"https, the self-signed certificate not trusted", https + "/services", login, 0,
       "SSL certificate problem: self-signed certificate"},
      {"no servlet at the path", http + "/nothing", login, 405,
       "HTTP 405 Method Not Allowed: Error 405 HTTP method POST is not supported by this URL"},
      // The skeleton has sent the head of its reply when it finds the call cut short.
      {"a call cut short", http + "/services", login.substr(0, 40), 200,
       "Transferred a partial file"},
      {"a reply longer than allowed (it has 3392 bytes)", http + "/client",
       BuildCall(5, RequestSeed(5)), 200, "the reply is longer than the 3391 bytes allowed", 3391},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Options options;
    options.maxReplyBytes = row.maxReplyBytes;
    Connection connection(options);
    Reply reply;
    std::string error;
    EXPECT_FALSE(connection.Post(row.url, row.call, reply, error));
    EXPECT_EQ(reply.status, row.status);
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_EQ(error.rfind("POST " + row.url + ": ", 0), 0u) << error;
    EXPECT_NE(error.find(row.message), std::string::npos) << error;
  }
}

// `kelohes call` against the server: the reply as the JSON of the response the server fills
// from its seed, its dump, and a fault as one line on stderr.
TEST(ReferenceServer, KelohesCall) {
  const unsigned int getTopology = 5;
  const std::unique_ptr<CKeloHesClass> expected(
      kelotest::NewFilled(*kelo::CatalogueFind(kExchanges[getTopology].response),
                          ResponseSeed(getTopology), kSessionListItems));
  const std::string args = http + "/client getTopology --as ReqTopology --reply-as ResTopology -";
  const std::string request = RequestJson(getTopology, RequestSeed(getTopology));
  const kelotest::Ran json = kelotest::Run(KELO_INTEROP_KELOHES, "call " + args, request);
  EXPECT_EQ(json.rc, 0) << json.err;
  EXPECT_EQ(json.out, kelo::ToJson(*expected) + "\n");
  const kelotest::Ran dump = kelotest::Run(KELO_INTEROP_KELOHES, "call --dump " + args, request);
  EXPECT_EQ(dump.rc, 0) << dump.err;
  EXPECT_EQ(dump.out.rfind("r 01 00\n", 0), 0u) << dump.out;
  const kelotest::Ran fault = kelotest::Run(
      KELO_INTEROP_KELOHES,
      "call " + http + "/services login --as LoginServiceRequest --reply-as LoginServiceResponse -",
      RequestJson(1, RequestSeed(1) + 1));
  EXPECT_EQ(fault.rc, 1);
  EXPECT_EQ(fault.out, "");
  EXPECT_EQ(fault.err.rfind("kelohes: fault: ServiceException: mismatch: expected request.", 0), 0u)
      << fault.err;
  EXPECT_EQ(std::count(fault.err.begin(), fault.err.end(), '\n'), 1) << fault.err;
}

}  // namespace
