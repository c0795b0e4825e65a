// The session over libcurl against the reference server (Caucho's HessianServlet in an embedded
// Jetty, started once for all cases with an HTTP and an HTTPS listener): the nine exchanges over
// one connection and one over HTTPS, a service method that throws, the one-line reports of what
// keeps a reply from the codec, and `kelohes call`.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <thread>
#include <utility>

#include <kelohessian/json/json.h>
#include <kelohessian/kelohessian.h>

#include "exchanges.h"
#include "peer_io.h"
#include "session.h"
#include "support/run.h"

extern char** environ;

namespace {

using kelo::http::Connection;
using kelo::http::Options;
using kelo::http::Reply;
using namespace kelointerop;

const std::string kWork = KELO_INTEROP_WORK_DIR;
std::string http, https;  // the server's base URLs
const std::string kCert = kWork + "/http_test.crt", kLog = kWork + "/http_test.server.log";

// kelo-java-peer server --https CERT PORTFILE, for the whole program.
class ServerEnvironment : public ::testing::Environment {
  pid_t pid_ = -1;

 public:
  void SetUp() override {
    const std::string portFile = kWork + "/http_test.port";
    std::remove(portFile.c_str());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, kLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::string args[] = {KELO_INTEROP_JAVA, "server", "--https", kCert, portFile};
    char* argv[] = {&args[0][0], &args[1][0], &args[2][0], &args[3][0], &args[4][0], nullptr};
    const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ASSERT_EQ(rc, 0) << "could not start " << argv[0];
    // A JVM and Jetty start in one to three seconds here; allow for a loaded machine.
    for (int i = 0; i < 600; ++i) {
      std::istringstream urls(kelotest::ReadFile(portFile));
      if (std::getline(urls, http) && std::getline(urls, https)) return;
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        FAIL() << "the reference server stopped:\n" << kelotest::ReadFile(kLog);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    FAIL() << "the reference server wrote no " << portFile << ":\n" << kelotest::ReadFile(kLog);
  }

  void TearDown() override {
    if (pid_ <= 0) return;
    Connection connection;
    Reply reply;
    std::string error;
    // The server exits once it has answered /stop.
    if (!connection.Post(http + "/stop", std::string(), reply, error)) kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
};
[[maybe_unused]] const ::testing::Environment* const kServer =
    ::testing::AddGlobalTestEnvironment(new ServerEnvironment);

// All nine exchanges through one connection (libcurl keeps it open), then one over HTTPS trusting
// the server's self-signed certificate.
TEST(ReferenceServer, ExchangesOverOneConnectionAndOverHttps) {
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
}

// Caucho's skeleton catches what the service method throws and writes it as a fault with status
// 200: the transport hands it to the codec like any reply. The fault the servlet wrote once is
// kept in testdata/servlet/ (written again when KELO_INTEROP_WRITE_TESTDATA names a folder) and
// reads the same.
TEST(ReferenceServer, ThrowingServiceMethodAnswersWithAFault) {
  const std::string call = BuildCall(1, RequestSeed(1) + 1);  // not the login it expects
  ASSERT_FALSE(call.empty());
  Connection connection;
  Reply reply;
  std::string error;
  ASSERT_TRUE(connection.Post(http + "/services", call, reply, error)) << error;
  EXPECT_EQ(reply.status, 200);
  EXPECT_EQ(reply.contentType, "x-application/hessian");
  EXPECT_TRUE(reply.fault);
  if (const char* dir = std::getenv("KELO_INTEROP_WRITE_TESTDATA"))
    WriteFile(std::string(dir) + "/java-fault-servlet.bin", reply.body);
  const std::string kept = kelotest::ReadFile(KELO_INTEROP_TESTDATA_DIR
                                              "/servlet/"
                                              "java-fault-servlet.bin");
  for (const std::string* body : {&std::as_const(reply.body), &kept}) {
    SCOPED_TRACE(body == &kept ? "kept" : "received");
    CKeloHesSkipClass anyClass;  // the class asked for does not matter for a fault
    const kelo::Status s = kelo::DecodeReply(body->data(), body->size(), anyClass);
    EXPECT_TRUE(s.is_fault()) << s.name() << " " << s.message();
    EXPECT_EQ(s.fault_code(), "ServiceException");
    EXPECT_EQ(s.fault_message().rfind("mismatch: expected request.", 0), 0u) << s.fault_message();
  }
}

// What keeps a reply of the reference server from the codec, each one line naming the URL and
// what happened (kelohessian/http/tests has the failures that need no server).
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
      {"not a Hessian call", http + "/services", "xyz", 500,
       "HTTP 500 Server Error: Error 500 javax.servlet.ServletException: java.io.IOException:"},
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

// `kelohes call` against the server: the reply as the JSON of the library's own read of the same
// exchange, its dump, a fault, and a path without a service, each failure one line on stderr.
TEST(ReferenceServer, KelohesCall) {
  const unsigned int getTopology = 5;
  Connection connection;
  Reply reply;
  std::string error;
  ASSERT_TRUE(connection.Post(http + "/client", BuildCall(getTopology, RequestSeed(getTopology)),
                              reply, error))
      << error;
  kelo::cl::ResTopology expected;
  ASSERT_TRUE(kelo::DecodeReply(reply.body.data(), reply.body.size(), expected).ok());

  const std::string topology = " getTopology --as ReqTopology --reply-as ResTopology -";
  const std::string good = RequestJson(getTopology, RequestSeed(getTopology));
  const struct {
    std::string args, input;
    int rc;
    std::string out;  // all of stdout, or for a failure the start of the one line on stderr
  } rows[] = {
      {"call " + http + "/client" + topology, good, 0, kelo::ToJson(expected) + "\n"},
      {"call --dump " + http + "/client" + topology, good, 0, "r 01 00\n"},
      {"call " + http + "/services login --as services.LoginServiceRequest " +
           "--reply-as services.LoginServiceResponse -",
       RequestJson(1, RequestSeed(1) + 1), 1,
       "kelohes: fault: ServiceException: mismatch: expected request."},
      {"call " + http + "/nothing" + topology, good, 1,
       "kelohes: POST " + http + "/nothing: HTTP 405"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args);
    ASSERT_FALSE(row.input.empty());
    const kelotest::Ran r = kelotest::Run(KELO_INTEROP_KELOHES, row.args, row.input);
    EXPECT_EQ(r.rc, row.rc) << r.err;
    const std::string& got = row.rc == 0 ? r.out : r.err;
    EXPECT_EQ(got.rfind(row.out, 0), 0u) << got;
    if (row.rc != 0) {
      EXPECT_TRUE(r.out.empty());
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    } else if (row.out.size() > 10) {  // the dump is checked by its first line only
      EXPECT_EQ(r.out, row.out);
    }
  }
}

}  // namespace
