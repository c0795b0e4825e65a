// kelo::http without a server: which responses reach the codec and what the others say, and the
// failures of the connection itself. The exchanges with a real server are in interop/http_test.cpp.
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

// A body goes to the codec on a 200, and on a 500 only when it is a fault reply ('r', any two
// version bytes, 'f'); the others are reported by status line and the start of the text.
TEST(ResponseError, WhichResponsesReachTheCodec) {
  const std::string fault("r\1\0f", 4), reply("r\1\0M", 4), call("c\1\0f", 4), cut("r\1\0", 3);
  const char* const e500 = "HTTP/1.1 500 Server Error";
  const struct {
    long status;
    const char* statusLine;
    std::string body;
    bool fault;
    std::string error;  // empty when the body goes to the codec
  } rows[] = {
      {200, "HTTP/1.1 200 OK", reply, false, ""},
      {200, "HTTP/1.1 200 OK", fault, true, ""},
      {500, e500, fault, true, ""},
      {500, e500, std::string("r\2\0fS", 5), true, ""},
      {500, e500, reply, false, "HTTP 500 Server Error: 4 bytes of binary data"},
      {500, e500, call, false, "HTTP 500 Server Error: 4 bytes of binary data"},
      {500, e500, cut, false, "HTTP 500 Server Error: 3 bytes of binary data"},
      {500, e500, "", false, "HTTP 500 Server Error"},
      {404, "HTTP/1.1 404 Not Found", "<title>Error 404</title>\n<h2>\tno  such\r\nservice</h2>",
       false, "HTTP 404 Not Found: Error 404 no such service"},
      {503, "HTTP/2 503", "", false, "HTTP 503"},
      {404, "", "", false, "HTTP 404"},  // no status line at all
      {302, "HTTP/1.1 302 Found", std::string(400, 'x'), false,
       "HTTP 302 Found: " + std::string(160, 'x') + "..."},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.statusLine + std::string(" ") + row.body);
    EXPECT_EQ(kelo::http::IsFault(row.body), row.fault);
    EXPECT_EQ(kelo::http::ResponseError(row.status, row.statusLine, row.body), row.error);
  }
}

// A loopback port on which the kernel accepts connections through the backlog and nobody answers.
struct SilentPort {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  std::string url;
  SilentPort() {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(fd, 4);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/services";
  }
  ~SilentPort() { close(fd); }
};

TEST(Connection, FailuresWithoutAnAnswerAreOneClearLine) {
  const SilentPort silent;
  const struct {
    const char* what;
    std::string url;
    std::string message;  // what the error line must hold
  } rows[] = {
      {"nothing listening (nothing can at port 0)", "http://127.0.0.1:0/services",
       "Couldn't connect"},
      {"a server that never answers", silent.url,
       "Timeout was reached (Operation timed out after 3"},
      {"not HTTP", "ftp://127.0.0.1/services", "Unsupported protocol"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    Options options;
    options.timeoutMs = 300;  // only the silent server waits for it
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
