// The client session against the reference server (kelo-java-peer server: Caucho's HessianServlet
// in an embedded Jetty): the five management exchanges and the four client exchanges of
// exchanges.h, over one libcurl connection. Each request is filled with the seeded rule of
// tests/support/filler, framed with KeloHessianBuildRequest and POSTed; the server checks it member
// by member against the same rule and answers with a filled response, which is read with
// KeloHessianReadResponse and compared with what the rule says it must hold. Prints what was sent
// and what came back; exits non-zero on any mismatch.
//   kelo_net_session [--cacert PEM] URL          run the session (URL: http[s]://127.0.0.1:PORT)
//   kelo_net_session [--cacert PEM] --stop URL   ask the server to stop
//   kelo_net_session --request-json INDEX        print the request of exchange INDEX (0-based)
//                                                that the server expects, as JSON
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "exchanges.h"
#include "session.h"

int main(int argc, char** argv) {
  kelo::http::Options options;
  bool stop = false;
  std::string url;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--cacert") == 0 && i + 1 < argc) {
      options.caFile = argv[++i];
    } else if (std::strcmp(argv[i], "--request-json") == 0 && i + 1 < argc) {
      const unsigned int index = static_cast<unsigned int>(std::strtoul(argv[++i], nullptr, 10));
      if (index >= kelointerop::kExchangeCount) return 2;
      const std::string json = kelointerop::RequestJson(index, kelointerop::RequestSeed(index));
      std::printf("%s\n", json.c_str());
      return json.empty() ? 1 : 0;
    } else if (std::strcmp(argv[i], "--stop") == 0) {
      stop = true;
    } else if (url.empty() && argv[i][0] != '-') {
      url = argv[i];
    } else {
      url.clear();
      break;
    }
  }
  if (url.empty()) {
    std::fprintf(stderr, "usage: %s [--cacert PEM] [--stop] http[s]://HOST:PORT\n", argv[0]);
    return 2;
  }
  while (!url.empty() && url.back() == '/') url.pop_back();
  kelo::http::Connection connection(options);
  if (stop) {
    kelo::http::Reply reply;
    std::string error;
    if (!connection.Post(url + "/stop", std::string(), reply, error)) {
      std::fprintf(stderr, "stop: %s\n", error.c_str());
      return 1;
    }
    return 0;
  }
  // Everything goes to stdout, so that mismatches stand next to the exchange they belong to.
  std::printf("session against the reference server at %s\n", url.c_str());
  unsigned int failed = 0;
  long connections = 0;
  const auto start = std::chrono::steady_clock::now();
  for (unsigned int i = 0; i < kelointerop::kExchangeCount; ++i) {
    std::string failure;
    if (!kelointerop::RunExchange(connection, url, i, stdout, failure)) {
      std::printf("   FAILED: %s\n", failure.c_str());
      ++failed;
    }
    connections += connection.NewConnections();
  }
  const double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  std::printf("\n%u passed, %u failed; %ld connection(s) opened, %.1f ms\n",
              kelointerop::kExchangeCount - failed, failed, connections, ms);
  return failed == 0 ? 0 : 1;
}
