// A minimal HTTP/1.1 client for the examples and tests of interop/: one POST over a loopback
// TCP socket, the whole reply read until the server closes. Only what talking to the Java
// reference server needs (no TLS, no redirects, no chunked replies).
#pragma once

#include <string>

namespace kelointerop {

// Splits "http://host:port[/base]" into host, port and base path. False when it is not that.
bool ParseUrl(const std::string& url, std::string& host, int& port, std::string& base);

// POSTs body to path on host:port (an IPv4 address) and puts the reply body into reply. False
// with error set on a socket failure, a non-200 status or a malformed reply.
bool HttpPost(const std::string& host, int port, const std::string& path, const std::string& body,
              std::string& reply, std::string& error);

}  // namespace kelointerop
