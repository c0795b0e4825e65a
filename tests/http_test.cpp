// kelo::http against a loopback socket of its own: which responses reach the codec, what the others
// say, and failed connections. The exchanges with a real server are in interop/http_test.cpp.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <kelohessian/http/transport.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <regex>
#include <string>
#include <thread>
#include <vector>

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

// A loopback port that answers its connections in turn with the given raw responses; after them,
// the kernel still accepts connections through the backlog, and nobody answers.
struct Server {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  std::string url;
  std::thread thread;
  explicit Server(std::vector<std::string> responses) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(fd, 4);
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/services";
    thread = std::thread([this, responses] {
      for (const std::string& response : responses) {
        const int client = accept(fd, nullptr, nullptr);
        // The request is read up to its one-byte call: unread bytes would make close() a reset.
        std::string request;
        char buffer[4096];
        for (ssize_t n = 1; n > 0 && request.find("\r\n\r\nc") == std::string::npos;)
          if ((n = recv(client, buffer, sizeof buffer, 0)) > 0) request.append(buffer, n);
        send(client, response.data(), response.size(), MSG_NOSIGNAL);
        close(client);
      }
    });
  }
  ~Server() {
    shutdown(fd, SHUT_RDWR);  // ends an accept still waiting when a case failed early
    thread.join();
    close(fd);
  }
};

// One Connection through every case in turn, as a client that keeps one: what a case reports is
// its own, never left over from the one before, and a system reason only where there is one.
TEST(Connection, PostsEachResponseToTheCodecOrAsOneClearLine) {
  Server server(
      {"HTTP/1.1 404 Not Found\r\nContent-Length: 14\r\n\r\n<h1>nope</h1>\r\n",
       "HTTP/1.1 500 Server Error\r\nContent-Length: 4\r\n\r\n" + std::string("r\1\0f", 4),
       "HTTP/1.1 200 OK\r\nContent-Length: 9\r\n\r\n" + std::string("r\1\0R", 4)});
  const struct {
    std::string url;
    long status;
    std::string error;  // the whole line after "POST <url>: ", a regular expression; empty: sent
  } rows[] = {
      {"ftp://127.0.0.1/services", 0, R"(Unsupported protocol \(Protocol "ftp" not .* libcurl\))"},
      {"http://127.0.0.1:0/services", 0,
       R"(Couldn't connect to server \(.*\): Connection refused)"},
      {server.url, 404, "HTTP 404 Not Found: nope"},
      {server.url, 500, ""},  // a fault
      {server.url, 200, R"(Transferred a partial file \(transfer closed with 5 bytes .*\))"},
      {server.url, 0, R"(Timeout was reached \(Operation timed out after 3\d\d m.* received\))"},
  };
  Options options;
  options.timeoutMs = 300;  // only the last case waits for it
  Connection connection(options);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.url + " " + std::to_string(row.status));
    Reply reply;
    std::string error;
    EXPECT_EQ(connection.Post(row.url, "c", reply, error), row.error.empty()) << error;
    EXPECT_EQ(reply.status, row.status);
    EXPECT_EQ(reply.fault, row.status == 500);
    const std::string line = row.error.empty() ? "" : "POST " + row.url + ": " + row.error;
    EXPECT_TRUE(std::regex_match(error, std::regex(line))) << error;  // '.' is no line end
  }
}

}  // namespace
