// One getTopology exchange with a server over HTTP(S): the request is written as a call with
// kelo::EncodeCall, posted with the optional transport KeloHessian::http, and the reply read with
// kelo::DecodeReply, a Hessian fault included. The codec does no I/O; this is one way to move its
// bytes. Link KeloHessian::kelohessian and KeloHessian::http (pkg-config: kelohessian and
// kelohessian-http).
//   kelo_http_call URL        (a client service, e.g. http://127.0.0.1:8080/client)
#include <kelohessian/http/transport.h>
#include <kelohessian/kelohessian.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s URL\n", argv[0]);
    return 2;
  }
  kelo::cl::ReqTopology request;
  request.reqID = 1;
  request.header.cnc = 4711;
  std::vector<std::uint8_t> call;
  if (kelo::Status s = kelo::EncodeCall("getTopology", request, call); !s) {
    std::fprintf(stderr, "%s: %s\n", s.name(), s.message());
    return 1;
  }

  // One Connection keeps its connection open for the calls that follow. kelo::http::Options would
  // set the timeouts (10 s to connect, 60 s in all), the certificates to trust, extra headers and
  // the longest reply taken (1 MiB).
  kelo::http::Connection connection;
  kelo::http::Reply reply;
  std::string error;
  if (!connection.Post(argv[1], std::string(call.begin(), call.end()), reply, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());  // one line: the URL and what went wrong
    return 1;
  }

  kelo::cl::ResTopology response;
  const kelo::Status s = kelo::DecodeReply(reply.body.data(), reply.body.size(), response);
  if (s.is_fault()) {  // the server's method threw
    std::fprintf(stderr, "fault %s: %s\n", s.fault_code().c_str(), s.fault_message().c_str());
    return 1;
  }
  if (!s) {  // not a reply this program can read: what, where, why
    std::fprintf(stderr, "%s at byte %zu: %s\n", s.name(), s.offset(), s.message());
    return 1;
  }
  std::printf("reply %d: %d access points\n", static_cast<int>(response.resID),
              response.apList.Count());
  for (const kelo::cl::ApRes& ap : response.apList)
    std::printf("  %s\n", kelo::ToUtf8(ap.publicInfo.name).c_str());
  return 0;
}
