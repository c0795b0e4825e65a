// Fuzz target: a map of the catalogue class the first byte chooses is decoded, encoded, decoded
// and encoded again to the same bytes. (The first encoding may differ from the input: a value
// class read from 'N' is written as a full map.)
#include "fuzz_support.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const kelo::ClassInfo& info = kelofuzz::ClassFor(data[0]);
  std::unique_ptr<CKeloHesClass> object(info.create()), again(info.create());
  KELO_FUZZ_CHECK(object != nullptr && again != nullptr);
  std::string first, second;
  if (kelofuzz::Read(*object, data + 1, size - 1) != 0 ||
      !kelofuzz::EncodeRead(*object, info, first))
    return 0;
  unsigned int consumed = 0;
  KELO_FUZZ_CHECK(kelofuzz::Read(*again, first.data(), first.size(), &consumed) == 0 &&
                  consumed == first.size());
  KELO_FUZZ_CHECK(kelofuzz::Encode(*again, second) == 0 && first == second);
  return 0;
}
