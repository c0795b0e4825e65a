// Built against the installed package only: writes a 32-bit integer, checks its bytes, reads it
// back. Exit code 0 when everything round-trips.
#include <kelohessian/kelohessian.h>
#ifdef KELO_CONSUMER_JSON
#include <kelohessian/json/json.h>
#endif

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

int main() {
  CKeloOutput out;
  CKeloHesInt32 five(5);
  // Serialize and Deserialize are public through the root class only.
  const CKeloHesObject& written = five;
  int rc = written.Serialize(out);
  const char expected[] = {'I', 0x00, 0x00, 0x00, 0x05};
  if (rc != 0 || out.DataSize() != sizeof expected ||
      std::memcmp(out.Data(), expected, sizeof expected) != 0) {
    std::fprintf(stderr, "consumer: Serialize gave rc %d and %u bytes\n", rc, out.DataSize());
    return 1;
  }

  CKeloInput in(out.Data(), out.DataSize());
  CKeloInputParse parse(in);
  CKeloHesInt32 read;
  CKeloHesObject& target = read;
  rc = target.Deserialize(parse);
  if (rc != 0 || static_cast<int>(read) != 5 || in.GetNumExtracted() != sizeof expected) {
    std::fprintf(stderr, "consumer: Deserialize gave rc %d, value %d: %s\n", rc,
                 static_cast<int>(read), parse.GetError() ? parse.GetError() : "");
    return 1;
  }
  // The one-call interface: a call of the installed library's client classes.
  kelo::cl::ReqTopology request;
  std::vector<std::uint8_t> call;
  if (kelo::Status s = kelo::EncodeCall("getTopology", request, call); !s || call.size() < 4) {
    std::fprintf(stderr, "consumer: EncodeCall gave %s: %s\n", s.name(), s.message());
    return 1;
  }
#ifdef KELO_CONSUMER_JSON
  const std::string json = kelo::ToJson(request);
  if (json.empty() || json[0] != '{' || !kelo::FromJson(json, request)) {
    std::fprintf(stderr, "consumer: JSON round trip failed: %s\n", json.c_str());
    return 1;
  }
#endif
  std::printf("consumer: KeloHessian round trip ok\n");
  return 0;
}
