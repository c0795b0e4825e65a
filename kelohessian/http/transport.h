/// \file
/// HTTP(S) transport for Hessian calls over libcurl: one POST of the call bytes per exchange, the
/// reply body handed back for the codec to read. It speaks HTTP only; it neither writes nor reads
/// Hessian beyond telling a fault reply ('r' major minor 'f' ...) from anything else. Built and
/// installed as the optional library KeloHessian::http, so that the codec itself keeps no I/O and
/// no dependency.
#pragma once

#include <functional>
#include <string>
#include <vector>

// KELO_HTTP_API marks what the transport's shared library exports, as KELO_API does for the codec.
#if defined(KELOHESSIAN_STATIC)
#define KELO_HTTP_API
#elif defined(_WIN32) || defined(__CYGWIN__)
#if defined(KELOHESSIAN_HTTP_BUILDING)
#define KELO_HTTP_API __declspec(dllexport)
#else
#define KELO_HTTP_API __declspec(dllimport)
#endif
#else
#define KELO_HTTP_API __attribute__((visibility("default")))
#endif

namespace kelo {
namespace http {

/// How a Connection connects and what it takes.
struct Options {
  long connectTimeoutMs = 10000;  ///< TCP and TLS set-up
  long timeoutMs = 60000;         ///< the whole exchange, set-up included
  /// PEM file of the certificates to trust instead of the system's (a self-signed server's own
  /// certificate, say). Empty: the system's store.
  std::string caFile;
  /// No check of the server's certificate nor of its name: for self-signed test servers only.
  bool insecure = false;
  /// Longest reply body taken; a longer one fails the Post. The decoder's heap grows with the reply
  /// (SECURITY.md gives the factors), so a transport should stop a hostile reply before it.
  long long maxReplyBytes = 1 << 20;
  std::vector<std::string> headers;  ///< extra "Name: value" lines sent with every call
  bool verbose = false;              ///< libcurl's trace of each exchange on stderr
  /// With verbose: takes the trace instead of stderr, a piece at a time, with its kind: '*' a note
  /// of libcurl's, '>' header lines sent, '<' header lines received as the server sent them (a
  /// program that prints them decides how to show their control bytes). Bodies are not traced.
  std::function<void(char kind, const std::string& text)> trace;
};

/// What a Post received.
struct Reply {
  long status = 0;          ///< HTTP status; 0 when no response arrived
  std::string contentType;  ///< as the server sent it, possibly empty
  std::string body;         ///< the response body
  bool fault = false;       ///< body is a Hessian fault reply
};

/// One client connection, kept open and reused from one Post to the next while the server allows
/// (HTTP/1.1 keep-alive; a new one is opened transparently when it does not). Not thread-safe: one
/// Connection per thread.
class KELO_HTTP_API Connection {
 public:
  /// No connection is opened before the first Post; Post reports a libcurl that cannot be set up.
  explicit Connection(const Options& options = Options());
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  /// POSTs call (Content-Type x-application/hessian) to url, an http:// or https:// URL. True when
  /// reply.body is a Hessian reply for the codec to read: any 200, or a 500 whose body is a Hessian
  /// fault (servers that report a failed call through the status still say why in the body).
  /// False otherwise, with error set to one line naming the URL and what went wrong (libcurl's
  /// reason for a failed connection or a timeout, or the HTTP status line and the start of a
  /// text body); reply then holds whatever did arrive.
  bool Post(const std::string& url, const std::string& call, Reply& reply, std::string& error);

  /// Connections the last Post had to open: 0 when it reused the previous one.
  long NewConnections() const { return newConnections_; }

 private:
  void* curl_ = nullptr;        // CURL*, kept out of this header so that users need no curl.h
  void* headerList_ = nullptr;  // curl_slist*
  Options options_;
  long newConnections_ = 0;
  std::string initError_;
};

/// Whether body is a Hessian 1.0 fault reply: 'r', two version bytes, 'f'.
KELO_HTTP_API bool IsFault(const std::string& body);

/// What Post reports for a response that arrived: empty when body is to be handed to the codec,
/// else the one-line message ("HTTP 404 Not Found: <first text of the body>"). statusLine is the
/// response's first line without its end ("HTTP/1.1 404 Not Found"), possibly empty.
KELO_HTTP_API std::string ResponseError(long status, const std::string& statusLine,
                                        const std::string& body);

}  // namespace http
}  // namespace kelo
