// One HTTP POST over a plain socket.
#include "http_post.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace kelointerop {

bool ParseUrl(const std::string& url, std::string& host, int& port, std::string& base) {
  const std::string scheme = "http://";
  if (url.compare(0, scheme.size(), scheme) != 0) return false;
  const size_t colon = url.find(':', scheme.size());
  if (colon == std::string::npos) return false;
  host = url.substr(scheme.size(), colon - scheme.size());
  const size_t slash = url.find('/', colon);
  const std::string digits =
      url.substr(colon + 1, slash == std::string::npos ? slash : slash - colon - 1);
  char* end = nullptr;
  const long p = std::strtol(digits.c_str(), &end, 10);
  if (digits.empty() || *end != '\0' || p <= 0 || p > 65535) return false;
  port = static_cast<int>(p);
  base = slash == std::string::npos ? std::string() : url.substr(slash);
  while (!base.empty() && base.back() == '/') base.pop_back();
  return true;
}

namespace {

struct Socket {
  int fd = -1;
  ~Socket() {
    if (fd >= 0) close(fd);
  }
};

bool SendAll(int fd, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

bool HttpPost(const std::string& host, int port, const std::string& path, const std::string& body,
              std::string& reply, std::string& error) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<unsigned short>(port));
  if (inet_pton(AF_INET, host.c_str(), &address.sin_addr) != 1) {
    error = "not an IPv4 address: " + host;
    return false;
  }
  Socket s;
  s.fd = socket(AF_INET, SOCK_STREAM, 0);
  if (s.fd < 0) {
    error = std::string("socket: ") + std::strerror(errno);
    return false;
  }
  timeval timeout{30, 0};
  setsockopt(s.fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  setsockopt(s.fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
  if (connect(s.fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    error = "connect to " + host + ":" + std::to_string(port) + ": " + std::strerror(errno);
    return false;
  }
  const std::string head =
      "POST " + path + " HTTP/1.1\r\nHost: " + host + ":" + std::to_string(port) +
      "\r\nContent-Type: x-application/hessian\r\nContent-Length: " + std::to_string(body.size()) +
      "\r\nConnection: close\r\n\r\n";
  if (!SendAll(s.fd, head) || !SendAll(s.fd, body)) {
    error = std::string("send: ") + std::strerror(errno);
    return false;
  }
  std::string raw;
  char buf[16384];
  for (;;) {
    const ssize_t n = recv(s.fd, buf, sizeof buf, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error = std::string("recv: ") + std::strerror(errno);
      return false;
    }
    if (n == 0) break;
    raw.append(buf, static_cast<size_t>(n));
  }
  const size_t end = raw.find("\r\n\r\n");
  if (end == std::string::npos || raw.compare(0, 5, "HTTP/") != 0) {
    error = "no HTTP reply head";
    return false;
  }
  const std::string headers = raw.substr(0, end);
  const size_t space = headers.find(' ');
  if (space == std::string::npos || headers.compare(space + 1, 3, "200") != 0) {
    error = "HTTP status: " + headers.substr(0, headers.find('\r'));
    return false;
  }
  reply = raw.substr(end + 4);
  std::string lower = headers;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (lower.find("transfer-encoding: chunked") != std::string::npos) {
    error = "chunked HTTP replies are not supported";
    return false;
  }
  const size_t cl = lower.find("content-length:");
  if (cl != std::string::npos) {
    const unsigned long length = std::strtoul(lower.c_str() + cl + 15, nullptr, 10);
    if (reply.size() != length) {
      error = "reply body of " + std::to_string(reply.size()) + " bytes, announced " +
              std::to_string(length);
      return false;
    }
  }
  return true;
}

}  // namespace kelointerop
