// Fuzz target: any text FromJson accepts is written as Hessian, read back to an equal value, and
// printed as the same JSON as the value it came from.
#include "fuzz_support.h"

#include <kelohessian/json/json.h>

#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  kelo::Value value;
  if (!kelo::FromJson(text, value)) return 0;
  std::vector<std::uint8_t> bytes;
  if (const kelo::Status s = kelo::EncodeValue(value, bytes); !s) {
    // JSON nests deeper than a value may, and a type name may be longer than the wire holds.
    KELO_FUZZ_CHECK(s.code() == KELO_E_NOT_SUPPORTED || s.code() == KELO_E_OUT_OF_RANGE);
    return 0;
  }
  kelo::Value back;
  KELO_FUZZ_CHECK(kelo::DecodeValue(bytes.data(), bytes.size(), back).ok());
  KELO_FUZZ_CHECK(back == value);
  const std::string json = kelo::ToJson(value);
  KELO_FUZZ_CHECK(!json.empty() && json == kelo::ToJson(back));
  return 0;
}
