// Fuzz target: any bytes DecodeValue accepts are written, read and written again: the second
// reading equals the first value and the second writing gives the same bytes. (The first writing
// may differ from the input: chunks are cut as Java cuts them, overlong forms are shortened.)
#include "fuzz_support.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kelo::Value value;
  if (!kelo::DecodeValue(data, size, value)) return 0;
  std::vector<std::uint8_t> first;
  std::vector<std::uint8_t> second;
  const kelo::Status written = kelo::EncodeValue(value, first);
  KELO_FUZZ_CHECK(written.ok());
  kelo::Value again;
  KELO_FUZZ_CHECK(kelo::DecodeValue(first.data(), first.size(), again).ok());
  KELO_FUZZ_CHECK(again == value);
  KELO_FUZZ_CHECK(kelo::EncodeValue(again, second).ok() && first == second);
  return 0;
}
