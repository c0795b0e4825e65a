// Fuzz target: decode, encode, decode, encode. The first input byte chooses a catalogue class;
// the rest is read as a map of it. Whatever was read is written, read into a fresh object and
// written again: the two encodings are the same bytes. (Objects are not compared: a value class
// read from 'N' is written as a full map, so the first encoding may differ from the input.) The
// first write may fail only with -1999993, and only when a decoded string holds a surrogate unit.
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
