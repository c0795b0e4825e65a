// The session over libcurl against the reference server (Caucho's HessianServlet in an embedded
// Jetty, started once for all cases with HTTP and HTTPS listeners): the nine exchanges over one
// connection, one over HTTPS, a service method that throws, and how the transport reports the
// server's answers that do not reach the codec.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include <kelohessian/json/json.h>
#include <kelohessian/kelohessian.h>

#include "exchanges.h"
#include "session.h"
#include "support/run.h"

extern char** environ;

namespace {

using kelo::http::Connection;
using kelo::http::Options;
using kelo::http::Reply;

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// The reference server, shared by every case: kelo-java-peer server --https CERT PORTFILE.
class ServerEnvironment : public ::testing::Environment {
 public:
  static std::string httpUrl, httpsUrl, certFile, log;

  void SetUp() override {
    const std::string work = KELO_INTEROP_WORK_DIR;
    const std::string portFile = work + "/http_test.port";
    certFile = work + "/http_test.crt";
    log = work + "/http_test.server.log";
    std::remove(portFile.c_str());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::string peer = KELO_INTEROP_JAVA, server = "server", https = "--https";
    char* argv[] = {
        &peer[0], &server[0], &https[0], &certFile[0], const_cast<char*>(portFile.c_str()),
        nullptr};
    const int rc = posix_spawn(&pid_, peer.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ASSERT_EQ(rc, 0) << "could not start " << peer;
    // A JVM and Jetty start in one to three seconds here; allow for a loaded machine.
    for (int i = 0; i < 600; ++i) {
      std::istringstream urls(ReadText(portFile));
      if (std::getline(urls, httpUrl) && std::getline(urls, httpsUrl)) return;
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
        FAIL() << "the reference server stopped:\n" << ReadText(log);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    FAIL() << "the reference server did not write " << portFile << ":\n" << ReadText(log);
  }

  void TearDown() override {
    if (pid_ <= 0) return;
    Connection connection;
    Reply reply;
    std::string error;
    if (connection.Post(httpUrl + "/stop", std::string(), reply, error)) {
      for (int i = 0; i < 100; ++i) {
        if (waitpid(pid_, nullptr, WNOHANG) == pid_) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }

 private:
  pid_t pid_ = -1;
};
std::string ServerEnvironment::httpUrl, ServerEnvironment::httpsUrl, ServerEnvironment::certFile,
    ServerEnvironment::log;

[[maybe_unused]] const ::testing::Environment* const kServer =
    ::testing::AddGlobalTestEnvironment(new ServerEnvironment);

// Whether body is a fault reply holding this code and a message that begins with messageStart,
// as the library reads it (the class asked for does not matter for a fault).
::testing::AssertionResult IsFaultWith(const std::string& body, const std::string& code,
                                       const std::string& messageStart) {
  CKeloHesSkipClass anyClass;
  const kelo::Status status = kelo::DecodeReply(body.data(), body.size(), anyClass);
  if (!status.is_fault())
    return ::testing::AssertionFailure()
           << "not a fault: " << status.name() << " " << status.message();
  if (status.fault_code() != code)
    return ::testing::AssertionFailure() << "code " << status.fault_code();
  if (status.fault_message().rfind(messageStart, 0) != 0)
    return ::testing::AssertionFailure() << "message " << status.fault_message();
  return ::testing::AssertionSuccess();
}

TEST(ReferenceServer, NineExchangesOverOneConnection) {
  Connection connection;
  long opened = 0;
  for (unsigned int i = 0; i < kelointerop::kExchangeCount; ++i) {
    SCOPED_TRACE(kelointerop::kExchanges[i].method);
    std::string failure;
    EXPECT_TRUE(
        kelointerop::RunExchange(connection, ServerEnvironment::httpUrl, i, nullptr, failure))
        << failure;
    opened += connection.NewConnections();
  }
  EXPECT_EQ(opened, 1) << "the connection was not kept from one exchange to the next";
}

TEST(ReferenceServer, ExchangeOverHttpsTrustingTheServersCertificate) {
  Options options;
  options.caFile = ServerEnvironment::certFile;
  Connection connection(options);
  std::string failure;
  EXPECT_TRUE(
      kelointerop::RunExchange(connection, ServerEnvironment::httpsUrl, 5, nullptr, failure))
      << failure;
}

// Caucho's skeleton catches what the service method throws and writes it as a fault, with status
// 200: the transport hands it to the codec like any reply. The fault the servlet wrote once is
// kept in testdata/servlet/ and must read the same.
TEST(ReferenceServer, ThrowingServiceMethodAnswersWithAFault) {
  const unsigned int login = 1;
  const std::string call =
      kelointerop::BuildCall(login, kelointerop::RequestSeed(login) + 1);  // not what it expects
  ASSERT_FALSE(call.empty());
  Connection connection;
  Reply reply;
  std::string error;
  ASSERT_TRUE(connection.Post(ServerEnvironment::httpUrl + "/services", call, reply, error))
      << error;
  EXPECT_EQ(reply.status, 200);
  EXPECT_EQ(reply.contentType, "x-application/hessian");
  EXPECT_TRUE(reply.fault);
  // Kept when asked: how testdata/servlet/java-fault-servlet.bin was made.
  if (const char* dir = std::getenv("KELO_INTEROP_WRITE_TESTDATA"))
    std::ofstream(std::string(dir) + "/java-fault-servlet.bin", std::ios::binary) << reply.body;
  const std::string kept = ReadText(KELO_INTEROP_TESTDATA_DIR "/servlet/java-fault-servlet.bin");
  const std::string* bodies[] = {&reply.body, &kept};
  for (const std::string* body : bodies) {
    SCOPED_TRACE(body == &kept ? "kept" : "received");
    EXPECT_TRUE(IsFaultWith(*body, "ServiceException", "mismatch: expected request."));
  }
}

// What keeps a reply of the reference server from the codec, each as one line that says what
// happened (kelohessian/http/tests has the failures that need no server).
TEST(ReferenceServer, TransportFailuresAreOneClearLine) {
  const std::string login = kelointerop::BuildCall(1, kelointerop::RequestSeed(1));
  struct Row {
    const char* what;
    std::string url;
    std::string call;
    long status;
    std::string message;  // what the error line must hold
    long long maxReplyBytes = 1 << 20;
  };
  const std::string http = ServerEnvironment::httpUrl, https = ServerEnvironment::httpsUrl;
  const Row rows[] = {
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
       kelointerop::BuildCall(5, kelointerop::RequestSeed(5)), 200,
       "the reply is longer than the 3391 bytes allowed", 3391},
  };
  for (const Row& row : rows) {
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

// `kelohes call` against the server: the reply as JSON (the same JSON as the library's own read
// of the same exchange), its dump, a fault, and a path without a service, each failure in one line.
TEST(ReferenceServer, KelohesCall) {
  const unsigned int getTopology = 5, login = 1;
  const std::string http = ServerEnvironment::httpUrl;
  // The reply that the library reads for the request the server expects.
  Connection connection;
  Reply reply;
  std::string error;
  ASSERT_TRUE(connection.Post(
      http + "/client", kelointerop::BuildCall(getTopology, kelointerop::RequestSeed(getTopology)),
      reply, error))
      << error;
  kelo::cl::ResTopology expected;
  ASSERT_TRUE(kelo::DecodeReply(reply.body.data(), reply.body.size(), expected).ok());

  struct Row {
    const char* what;
    std::string args;
    std::string input;
    int rc;
    std::string out;  // exact, or for a failure the start of the one line on stderr
  };
  const std::string topology = " getTopology --as ReqTopology --reply-as ResTopology -";
  const std::string good =
      kelointerop::RequestJson(getTopology, kelointerop::RequestSeed(getTopology));
  const Row rows[] = {
      {"success", "call " + http + "/client" + topology, good, 0, kelo::ToJson(expected) + "\n"},
      {"success, dumped", "call --dump " + http + "/client" + topology, good, 0, "r 01 00\n"},
      {"a service method that throws",
       "call " + http +
           "/services login --as services.LoginServiceRequest "
           "--reply-as services.LoginServiceResponse -",
       kelointerop::RequestJson(login, kelointerop::RequestSeed(login) + 1), 1,
       "kelohes: fault: ServiceException: mismatch: expected request."},
      {"no service at the path", "call " + http + "/nothing" + topology, good, 1,
       "kelohes: POST " + http + "/nothing: HTTP 405"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    ASSERT_FALSE(row.input.empty());
    const kelotest::Ran r = kelotest::Run(KELO_INTEROP_KELOHES, row.args, row.input);
    EXPECT_EQ(r.rc, row.rc) << r.err;
    if (row.rc == 0) {
      EXPECT_EQ(r.out.rfind(row.out, 0), 0u) << r.out;
      if (row.out.size() > 10) {
        EXPECT_EQ(r.out, row.out);
      }
    } else {
      EXPECT_TRUE(r.out.empty());
      EXPECT_EQ(r.err.rfind(row.out, 0), 0u) << r.err;
      EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    }
  }
}

}  // namespace
