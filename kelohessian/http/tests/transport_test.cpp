// kelo::http without a server: which responses reach the codec and what the others say, and the
// failures of the connection itself (nothing listening, nobody answering, a scheme other than
// HTTP). The exchanges with a real server are in interop/http_test.cpp.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <kelohessian/http/transport.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

namespace {

using kelo::http::Connection;
using kelo::http::Options;
using kelo::http::Reply;

TEST(IsFault, TheFourthByteOfAReply) {
  struct Row {
    std::string body;
    bool fault;
  };
  const Row rows[] = {
      {std::string("r\1\0f", 4), true},   // the fault of Hessian 1.0
      {std::string("r\2\0fS", 5), true},  // whatever the version bytes say
      {std::string("r\1\0M", 4), false},  // a reply holding a map
      {std::string("c\1\0f", 4), false},  // not a reply
      {std::string("r\1\0", 3), false},   // too short to tell
      {"", false},                        // no body at all
  };
  for (const Row& row : rows) EXPECT_EQ(kelo::http::IsFault(row.body), row.fault) << row.body;
}

// The decision itself, for statuses and bodies the reference server does not send.
TEST(ResponseError, WhichResponsesReachTheCodec) {
  const std::string fault("r\1\0f", 4), reply("r\1\0M", 4);
  struct Row {
    long status;
    const char* statusLine;
    std::string body;
    std::string error;  // empty when the body goes to the codec
  };
  const Row rows[] = {
      {200, "HTTP/1.1 200 OK", reply, ""},
      {200, "HTTP/1.1 200 OK", fault, ""},
      {200, "HTTP/1.1 200 OK", "<html>not Hessian</html>", ""},  // the codec says what it is
      {500, "HTTP/1.1 500 Server Error", fault, ""},
      {500, "HTTP/1.1 500 Server Error", reply, "HTTP 500 Server Error: 4 bytes of binary data"},
      {500, "HTTP/1.1 500 Server Error", std::string("r\1", 2),
       "HTTP 500 Server Error: 2 bytes of binary data"},
      {404, "HTTP/1.1 404 Not Found",
       "<html><head><title>Error 404</title></head>\n<body>\t<h2>no  such\r\nservice</h2>",
       "HTTP 404 Not Found: Error 404 no such service"},
      {503, "HTTP/2 503", "", "HTTP 503"},
      {302, "HTTP/1.1 302 Found", std::string(400, 'x'),
       "HTTP 302 Found: " + std::string(160, 'x') + "..."},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.statusLine + std::string(" ") + row.body);
    EXPECT_EQ(kelo::http::ResponseError(row.status, row.statusLine, row.body), row.error);
  }
}

// A loopback port with nothing behind it: bound, then closed again.
std::string ClosedPortUrl() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  close(fd);
  return "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
}

// A loopback server that accepts connections (the kernel does, through the backlog) and never
// answers. Closed with the test.
struct SilentServer {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  std::string url;
  SilentServer() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(fd, 4);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  }
  ~SilentServer() { close(fd); }
};

TEST(Connection, FailuresWithoutAnAnswerAreOneClearLine) {
  SilentServer silent;
  struct Row {
    const char* what;
    std::string url;
    long timeoutMs;
    std::string message;  // what the error line must hold
  };
  const Row rows[] = {
      {"nothing listening", ClosedPortUrl() + "/services", 30000, ": Connection refused"},
      {"a server that never answers", silent.url + "/services", 300,
       "Timeout was reached (Operation timed out after 3"},
      {"not HTTP", "ftp://127.0.0.1/services", 30000, "Unsupported protocol"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Options options;
    options.timeoutMs = row.timeoutMs;
    Connection connection(options);
    Reply reply;
    std::string error;
    EXPECT_FALSE(connection.Post(row.url, "c", reply, error));
    EXPECT_EQ(reply.status, 0);
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    EXPECT_EQ(error.rfind("POST " + row.url + ": ", 0), 0u) << error;
    EXPECT_NE(error.find(row.message), std::string::npos) << error;
  }
}

}  // namespace
