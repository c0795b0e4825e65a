// The libcurl side of kelo::http: one easy handle per Connection, so that libcurl keeps the
// connection (and a TLS session) open from one POST to the next.
#include "kelohessian/http/transport.h"

#include <curl/curl.h>

#include <cctype>
#include <cstring>
#include <mutex>

namespace kelo {
namespace http {

namespace {

// curl_global_init is not thread-safe in every libcurl build; run it once per process.
CURLcode GlobalInit() {
  static std::once_flag once;
  static CURLcode result = CURLE_OK;
  std::call_once(once, [] { result = curl_global_init(CURL_GLOBAL_DEFAULT); });
  return result;
}

struct Received {
  std::string* body;
  long long maxBody;
  std::string statusLine;
  bool tooLong = false;
};

// Returning less than was given makes libcurl abort the transfer with CURLE_WRITE_ERROR. The
// callbacks run inside libcurl's C frames, so no exception may leave them.
size_t OnBody(char* data, size_t size, size_t count, void* user) noexcept {
  Received& r = *static_cast<Received*>(user);
  const size_t n = size * count;
  if (static_cast<unsigned long long>(n) >
      static_cast<unsigned long long>(r.maxBody) - r.body->size()) {
    r.tooLong = true;
    return 0;
  }
  try {
    r.body->append(data, n);
  } catch (...) {
    return 0;
  }
  return n;
}

// Keeps the last status line: an interim "100 Continue" is followed by the final one.
size_t OnHeader(char* data, size_t size, size_t count, void* user) noexcept {
  const size_t n = size * count;
  if (n >= 5 && std::memcmp(data, "HTTP/", 5) == 0) {
    std::string& line = static_cast<Received*>(user)->statusLine;
    try {
      line.assign(data, n);
    } catch (...) {
      return 0;
    }
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
  }
  return n;
}

// Options::trace's side of CURLOPT_DEBUGFUNCTION: libcurl's notes and the header lines, not the
// bodies, as libcurl's own trace on stderr shows them.
int OnTrace(CURL*, curl_infotype type, char* data, size_t size, void* user) noexcept {
  const char kind = type == CURLINFO_TEXT         ? '*'
                    : type == CURLINFO_HEADER_OUT ? '>'
                    : type == CURLINFO_HEADER_IN  ? '<'
                                                  : '\0';
  if (kind == '\0') return 0;
  try {
    (*static_cast<const std::function<void(char, const std::string&)>*>(user))(
        kind, std::string(data, size));
  } catch (...) {
  }
  return 0;
}

// The first words of a text body, tags dropped and white space folded: enough to tell a server's
// error page ("Error 404 Not Found ...") from another.
std::string Excerpt(const std::string& body) {
  const size_t kMax = 160;
  std::string out;
  bool inTag = false, space = false;
  for (char c : body) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 && !std::isspace(u)) return std::to_string(body.size()) + " bytes of binary data";
    if (c == '<') inTag = true;
    if (inTag || std::isspace(u)) {
      space = !out.empty();
      if (c == '>') inTag = false;
      continue;
    }
    if (space) out.push_back(' ');
    space = false;
    out.push_back(c);
    if (out.size() >= kMax) return out + "...";
  }
  return out;
}

}  // namespace

bool IsFault(const std::string& body) {
  return body.size() >= 4 && body[0] == 'r' && body[3] == 'f';
}

std::string ResponseError(long status, const std::string& statusLine, const std::string& body) {
  if (status == 200 || (status == 500 && IsFault(body))) return std::string();
  // "HTTP/1.1 404 Not Found" -> "HTTP 404 Not Found"; HTTP/2 sends no reason phrase.
  std::string message = "HTTP " + std::to_string(status);
  const size_t code = statusLine.find(' ');
  const size_t reason = code == std::string::npos ? code : statusLine.find(' ', code + 1);
  if (reason != std::string::npos) message += statusLine.substr(reason);
  const std::string excerpt = Excerpt(body);
  return excerpt.empty() ? message : message + ": " + excerpt;
}

Connection::Connection(const Options& options) : options_(options) {
  if (GlobalInit() != CURLE_OK || !(curl_ = curl_easy_init())) {
    initError_ = "libcurl could not be initialised";
    return;
  }
  curl_slist* list = curl_slist_append(nullptr, "Content-Type: x-application/hessian");
  // No "Expect: 100-continue" round trip before the body: a Hessian server reads it anyway.
  if (list) list = curl_slist_append(list, "Expect:");
  for (const std::string& h : options_.headers)
    if (list) list = curl_slist_append(list, h.c_str());
  if (!list) {
    initError_ = "out of memory";
    return;
  }
  headerList_ = list;
  CURL* curl = static_cast<CURL*>(curl_);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list);
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, options_.connectTimeoutMs);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, options_.timeoutMs);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);  // timeouts without SIGALRM: safe in threads
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "KeloHessian");
  if (!options_.caFile.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, options_.caFile.c_str());
  if (options_.insecure) {
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
  }
  curl_easy_setopt(curl, CURLOPT_VERBOSE, options_.verbose ? 1L : 0L);
  if (options_.verbose && options_.trace) {
    curl_easy_setopt(curl, CURLOPT_DEBUGFUNCTION, OnTrace);
    curl_easy_setopt(curl, CURLOPT_DEBUGDATA, &options_.trace);
  }
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, OnHeader);
}

Connection::~Connection() {
  if (curl_) curl_easy_cleanup(static_cast<CURL*>(curl_));
  curl_slist_free_all(static_cast<curl_slist*>(headerList_));
}

bool Connection::Post(const std::string& url, const std::string& call, Reply& reply,
                      std::string& error) {
  reply = Reply();
  newConnections_ = 0;
  if (!initError_.empty()) {
    error = "POST " + url + ": " + initError_;
    return false;
  }
  CURL* curl = static_cast<CURL*>(curl_);
  Received received{&reply.body, options_.maxReplyBytes, std::string()};
  char curlError[CURL_ERROR_SIZE] = "";
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDS, call.data());
  curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(call.size()));
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &received);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &received);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, curlError);
  const CURLcode rc = curl_easy_perform(curl);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, nullptr);
  curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &reply.status);
  curl_easy_getinfo(curl, CURLINFO_NUM_CONNECTS, &newConnections_);
  const char* type = nullptr;
  if (curl_easy_getinfo(curl, CURLINFO_CONTENT_TYPE, &type) == CURLE_OK && type)
    reply.contentType = type;
  // Checked while reading rather than by the announced length, which a server need not send.
  if (received.tooLong) {
    error = "POST " + url + ": the reply is longer than the " +
            std::to_string(options_.maxReplyBytes) + " bytes allowed";
    return false;
  }
  if (rc != CURLE_OK) {
    // curl_easy_strerror names the kind of failure; the error buffer says what exactly.
    error = "POST " + url + ": " + curl_easy_strerror(rc);
    if (curlError[0] != '\0') error += std::string(" (") + curlError + ")";
    // The system's reason ("Connection refused") when libcurl's text leaves it out. The handle
    // keeps the last one it saw from one transfer to the next, so it belongs to this failure only
    // when the socket itself failed; 0 is no reason at all (strerror would say "Success").
    const bool socketFailed =
        rc == CURLE_COULDNT_CONNECT || rc == CURLE_SEND_ERROR || rc == CURLE_RECV_ERROR;
    long osError = 0;
    if (socketFailed && curl_easy_getinfo(curl, CURLINFO_OS_ERRNO, &osError) == CURLE_OK &&
        osError != 0) {
      const std::string reason = std::strerror(static_cast<int>(osError));
      if (error.find(reason) == std::string::npos) error += ": " + reason;
    }
    return false;
  }
  reply.fault = IsFault(reply.body);
  const std::string problem = ResponseError(reply.status, received.statusLine, reply.body);
  if (!problem.empty()) {
    error = "POST " + url + ": " + problem;
    return false;
  }
  return true;
}

}  // namespace http
}  // namespace kelo
