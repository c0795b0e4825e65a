// The client session against the Java reference server (interop/java, kelo.interop.Peer server):
// the five management exchanges and the four client exchanges of exchanges.h, over HTTP on
// loopback. Each request is filled with the seeded rule of tests/support/filler, framed with
// KeloHessianBuildRequest and POSTed; the server checks it member by member against the same
// rule and answers with a filled response, which is read with KeloHessianReadResponse and
// compared with what the rule says it must hold. Prints what was sent and what came back; exits
// non-zero on any mismatch.
//   kelo_net_session http://127.0.0.1:PORT     run the session
//   kelo_net_session --stop http://127.0.0.1:PORT   ask the server to stop
#include <kelohessian/kelohessian.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "exchanges.h"
#include "http_post.h"
#include "support/filler.h"

namespace {

using namespace kelointerop;

std::string Text(const CKeloHesString& s) {
  if (s.IsNull()) return "null";
  const short* units;
  const unsigned int n = s.Data(units);
  std::string out = "\"";
  for (unsigned int i = 0; i < n; ++i) {
    const unsigned int u = static_cast<unsigned short>(units[i]);
    char buf[8];
    if (u >= 0x20 && u < 0x7f && u != '"' && u != '\\') {
      out.push_back(static_cast<char>(u));
    } else {
      std::snprintf(buf, sizeof buf, "\\u%04x", u);
      out += buf;
    }
  }
  return out + "\"";
}

std::string Blob(const CKeloHesBinary& b) {
  if (b.IsNull()) return "null";
  const char* bytes;
  const unsigned int n = b.Data(bytes);
  std::string out = "0x";
  for (unsigned int i = 0; i < n; ++i) {
    char buf[4];
    std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(bytes[i]));
    out += buf;
  }
  return n == 0 ? "empty" : out;
}

std::string Scalar(CKeloHesObject& m, kelo::MemberKind kind) {
  char buf[64];
  switch (kind) {
    case kelo::KELO_KIND_INT8:
      return std::to_string(
          static_cast<int>(static_cast<signed char>(static_cast<CKeloHesInt8&>(m))));
    case kelo::KELO_KIND_UINT8:
      return std::to_string(static_cast<unsigned char>(static_cast<CKeloHesUInt8&>(m)));
    case kelo::KELO_KIND_INT16:
      return std::to_string(static_cast<short>(static_cast<CKeloHesInt16&>(m)));
    case kelo::KELO_KIND_UINT16:
      return std::to_string(static_cast<unsigned short>(static_cast<CKeloHesUInt16&>(m)));
    case kelo::KELO_KIND_INT32:
      return std::to_string(static_cast<int>(static_cast<CKeloHesInt32&>(m)));
    case kelo::KELO_KIND_UINT32:
      return std::to_string(static_cast<unsigned int>(static_cast<CKeloHesUInt32&>(m)));
    case kelo::KELO_KIND_INT64:
      return std::to_string(static_cast<long long>(static_cast<CKeloHesInt64&>(m)));
    case kelo::KELO_KIND_UINT64:
      return std::to_string(static_cast<unsigned long long>(static_cast<CKeloHesUInt64&>(m)));
    case kelo::KELO_KIND_BOOL:
      return static_cast<bool>(static_cast<CKeloHesBool&>(m)) ? "true" : "false";
    case kelo::KELO_KIND_DOUBLE:
      std::snprintf(buf, sizeof buf, "%g", static_cast<double>(static_cast<CKeloHesDouble&>(m)));
      return buf;
    case kelo::KELO_KIND_DATE:
      return "date(" +
             std::to_string(static_cast<unsigned long long>(static_cast<CKeloHesDate&>(m))) + ")";
    case kelo::KELO_KIND_STRING:
      return Text(static_cast<CKeloHesString&>(m));
    case kelo::KELO_KIND_BINARY:
      return Blob(static_cast<CKeloHesBinary&>(m));
    default:
      return "?";
  }
}

// Prints an object as one line of its scalar members, nested messages and list items indented
// below it.
void Print(CKeloHesClass& object, const kelo::ClassInfo& info, const std::string& label,
           int depth) {
  const std::string indent(static_cast<size_t>(2 * depth + 3), ' ');
  std::string line =
      indent + label + (object.IsNull() ? " null" : " " + std::string(info.typeName) + " {");
  std::string nested;
  if (object.IsNull()) {
    std::printf("%s\n", line.c_str());
    return;
  }
  const unsigned int n = kelo::CatalogueMemberCount(info);
  bool first = true;
  for (unsigned int i = 0; i < n; ++i) {
    const kelo::MemberInfo& m = *kelo::CatalogueMemberAt(info, i);
    CKeloHesObject& value = m.access(object);
    if (m.kind == kelo::KELO_KIND_MESSAGE || m.kind == kelo::KELO_KIND_LIST) continue;
    std::string text;
    if (m.kind == kelo::KELO_KIND_VALUE) {
      const kelo::MemberInfo& inner = *kelo::CatalogueMemberAt(*m.type, 0);
      text = Scalar(inner.access(static_cast<CKeloHesClass&>(value)), inner.kind);
    } else {
      text = Scalar(value, m.kind);
    }
    line += (first ? " " : ", ") + std::string(m.name) + "=" + text;
    first = false;
  }
  std::printf("%s }\n", line.c_str());
  for (unsigned int i = 0; i < n; ++i) {
    const kelo::MemberInfo& m = *kelo::CatalogueMemberAt(info, i);
    CKeloHesObject& value = m.access(object);
    if (m.kind == kelo::KELO_KIND_MESSAGE) {
      Print(static_cast<CKeloHesClass&>(value), *m.type, m.name, depth + 1);
    } else if (m.kind == kelo::KELO_KIND_LIST) {
      const int count = value.IsNull() ? 0 : m.list->count(value);
      std::printf("%s  %s: %s\n", indent.c_str(), m.name,
                  value.IsNull() ? "null list" : (std::to_string(count) + " items").c_str());
      for (int k = 0; k < count; ++k)
        Print(*m.list->at(value, k), *m.type, std::string(m.name) + "[" + std::to_string(k) + "]",
              depth + 2);
    }
  }
}

std::string Encode(const CKeloHesClass& object) {
  CKeloOutput out;
  const CKeloHesObject& o = object;
  if (o.Serialize(out) != 0) return std::string();
  return std::string(out.Data(), out.DataSize());
}

// A printable excerpt of a fault reply: 'r' 01 00 'f' followed by its code and message maps.
std::string Printable(const std::string& bytes) {
  std::string out;
  for (char c : bytes) out.push_back(c >= 0x20 && c < 0x7f ? c : '.');
  return out;
}

bool RunExchange(unsigned int index, const std::string& host, int port, const std::string& base) {
  const Exchange& e = kExchanges[index];
  const kelo::ClassInfo* requestInfo = kelo::CatalogueFind(e.request);
  const kelo::ClassInfo* responseInfo = kelo::CatalogueFind(e.response);
  if (!requestInfo || !responseInfo) {
    std::printf("%s: unknown class\n", e.method);
    return false;
  }
  std::unique_ptr<CKeloHesClass> request(
      kelotest::NewFilled(*requestInfo, RequestSeed(index), kSessionListItems));
  std::unique_ptr<CKeloHesClass> expected(
      kelotest::NewFilled(*responseInfo, ResponseSeed(index), kSessionListItems));
  std::unique_ptr<CKeloHesClass> response(responseInfo->create());
  if (!request || !expected || !response) return false;

  CKeloOutput call;
  if (int rc = KeloHessianBuildRequest(e.method, static_cast<unsigned int>(std::strlen(e.method)),
                                       *request, call);
      rc != 0) {
    std::printf("%s: building the call failed with %d\n", e.method, rc);
    return false;
  }
  std::printf("\n[%u] %s%s %s: sent a call of %u bytes\n", index + 1, base.c_str(), e.path,
              e.method, call.DataSize());
  Print(*request, *requestInfo, "request", 0);

  std::string reply, error;
  if (!HttpPost(host, port, base + e.path, std::string(call.Data(), call.DataSize()), reply,
                error)) {
    std::printf("%s: %s\n", e.method, error.c_str());
    return false;
  }
  std::printf("[%u] %s: received a reply of %zu bytes\n", index + 1, e.method, reply.size());
  if (reply.size() > 3 && reply[0] == 'r' && reply[3] == 'f') {
    std::printf("   MISMATCH: the server answered with a fault: %s\n", Printable(reply).c_str());
    return false;
  }
  CKeloInput in(reply.data(), static_cast<unsigned int>(reply.size()));
  CKeloInputParse parse(in);
  if (int rc = KeloHessianReadResponse(*response, parse); rc != 0) {
    std::printf("   reading the reply failed with %d: %s\n", rc,
                parse.GetError() ? parse.GetError() : "");
    return false;
  }
  Print(*response, *responseInfo, "response", 0);
  // Our encoder writes equal objects as equal bytes, so equal encodings mean equal objects.
  const std::string got = Encode(*response), want = Encode(*expected);
  if (got.empty() || got != want) {
    size_t at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
    std::printf("   MISMATCH: the response differs from the expected one at byte %zu of %zu\n", at,
                want.size());
    return false;
  }
  std::printf("   response as expected\n");
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const bool stop = argc == 3 && std::strcmp(argv[1], "--stop") == 0;
  std::string host, base;
  int port = 0;
  if ((argc != 2 && !stop) || !ParseUrl(argv[argc - 1], host, port, base)) {
    std::fprintf(stderr, "usage: %s [--stop] http://127.0.0.1:PORT\n", argv[0]);
    return 2;
  }
  if (stop) {
    std::string reply, error;
    if (!HttpPost(host, port, base + "/stop", std::string(), reply, error)) {
      std::fprintf(stderr, "stop: %s\n", error.c_str());
      return 1;
    }
    return 0;
  }
  // Everything goes to stdout, so that mismatches stand next to the exchange they belong to.
  std::printf("session against the Java reference server at %s\n", argv[argc - 1]);
  unsigned int failed = 0;
  for (unsigned int i = 0; i < kExchangeCount; ++i)
    if (!RunExchange(i, host, port, base)) ++failed;
  std::printf("\n%u passed, %u failed\n", kExchangeCount - failed, failed);
  return failed == 0 ? 0 : 1;
}
