// The session's exchanges against the reference server, and how they are printed: one line of
// scalar members per object, nested messages and list items indented below it.
#include "session.h"

#include <kelohessian/json/json.h>

#include <kelohessian/kelohessian.h>

#include <cstring>
#include <memory>
#include <string>

#include "exchanges.h"
#include "support/filler.h"

namespace kelointerop {
namespace {

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
void Print(std::FILE* out, CKeloHesClass& object, const kelo::ClassInfo& info,
           const std::string& label, int depth) {
  const std::string indent(static_cast<size_t>(2 * depth + 3), ' ');
  std::string line =
      indent + label + (object.IsNull() ? " null" : " " + std::string(info.typeName) + " {");
  std::string nested;
  if (object.IsNull()) {
    std::fprintf(out, "%s\n", line.c_str());
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
  std::fprintf(out, "%s }\n", line.c_str());
  for (unsigned int i = 0; i < n; ++i) {
    const kelo::MemberInfo& m = *kelo::CatalogueMemberAt(info, i);
    CKeloHesObject& value = m.access(object);
    if (m.kind == kelo::KELO_KIND_MESSAGE) {
      Print(out, static_cast<CKeloHesClass&>(value), *m.type, m.name, depth + 1);
    } else if (m.kind == kelo::KELO_KIND_LIST) {
      const int count = value.IsNull() ? 0 : m.list->count(value);
      std::fprintf(out, "%s  %s: %s\n", indent.c_str(), m.name,
                   value.IsNull() ? "null list" : (std::to_string(count) + " items").c_str());
      for (int k = 0; k < count; ++k)
        Print(out, *m.list->at(value, k), *m.type,
              std::string(m.name) + "[" + std::to_string(k) + "]", depth + 2);
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

}  // namespace

std::string BuildCall(unsigned int index, unsigned int seed) {
  const Exchange& e = kExchanges[index];
  const kelo::ClassInfo* info = kelo::CatalogueFind(e.request);
  if (!info) return std::string();
  std::unique_ptr<CKeloHesClass> request(kelotest::NewFilled(*info, seed, kSessionListItems));
  CKeloOutput call;
  if (!request ||
      KeloHessianBuildRequest(e.method, static_cast<unsigned int>(std::strlen(e.method)), *request,
                              call) != 0)
    return std::string();
  return std::string(call.Data(), call.DataSize());
}

std::string RequestJson(unsigned int index, unsigned int seed) {
  const std::string call = BuildCall(index, seed);
  const kelo::ClassInfo* info = kelo::CatalogueFind(kExchanges[index].request);
  if (call.empty() || !info) return std::string();
  std::unique_ptr<CKeloHesClass> request(info->create());
  kelo::CallReader reader(call.data(), call.size());
  std::string method;
  if (!request || !reader.ReadMethod(method) || !reader.ReadArg(*request)) return std::string();
  return kelo::ToJson(*request);
}

bool RunExchange(kelo::http::Connection& connection, const std::string& base, unsigned int index,
                 std::FILE* out, std::string& failure) {
  const Exchange& e = kExchanges[index];
  const kelo::ClassInfo* requestInfo = kelo::CatalogueFind(e.request);
  const kelo::ClassInfo* responseInfo = kelo::CatalogueFind(e.response);
  std::unique_ptr<CKeloHesClass> request, expected, response;
  if (requestInfo && responseInfo) {
    request.reset(kelotest::NewFilled(*requestInfo, RequestSeed(index), kSessionListItems));
    expected.reset(kelotest::NewFilled(*responseInfo, ResponseSeed(index), kSessionListItems));
    response.reset(responseInfo->create());
  }
  const std::string call = BuildCall(index, RequestSeed(index));
  if (!request || !expected || !response || call.empty()) {
    failure = std::string(e.method) + ": could not make the request of " + e.request;
    return false;
  }
  const std::string url = base + e.path;
  if (out) {
    std::fprintf(out, "\n[%u] %s %s: sent a call of %zu bytes\n", index + 1, url.c_str(), e.method,
                 call.size());
    Print(out, *request, *requestInfo, "request", 0);
  }

  kelo::http::Reply reply;
  std::string error;
  if (!connection.Post(url, call, reply, error)) {
    failure = error;
    return false;
  }
  if (out)
    std::fprintf(out, "[%u] %s: received a reply of %zu bytes (HTTP %ld)\n", index + 1, e.method,
                 reply.body.size(), reply.status);
  if (reply.fault) {
    failure = "the server answered with a fault: " + Printable(reply.body);
    return false;
  }
  CKeloInput in(reply.body.data(), static_cast<unsigned int>(reply.body.size()));
  CKeloInputParse parse(in);
  if (int rc = KeloHessianReadResponse(*response, parse); rc != 0) {
    failure =
        "reading the reply failed with " + std::to_string(rc) + ": " +
        Printable(std::string(parse.GetError() ? parse.GetError() : "", parse.GetErrorLength()));
    return false;
  }
  if (out) Print(out, *response, *responseInfo, "response", 0);
  // Our encoder writes equal objects as equal bytes, so equal encodings mean equal objects.
  const std::string got = Encode(*response), want = Encode(*expected);
  if (got.empty() || got != want) {
    size_t at = 0;
    while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
    failure = "the response differs from the expected one at byte " + std::to_string(at) + " of " +
              std::to_string(want.size());
    return false;
  }
  if (out) std::fprintf(out, "   response as expected\n");
  return true;
}

}  // namespace kelointerop
