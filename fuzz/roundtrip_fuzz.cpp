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
  std::unique_ptr<CKeloHesClass> object(info.create());
  KELO_FUZZ_CHECK(object != nullptr);
  {
    CKeloInput in(reinterpret_cast<const char*>(data + 1), static_cast<unsigned int>(size - 1));
    CKeloInputParse parse(in);
    CKeloHesObject& target = *object;
    const int rc = target.Deserialize(parse);
    kelofuzz::CheckContract(rc, parse);
    if (rc != 0) return 0;
  }

  std::string first;
  const int wrc = kelofuzz::Encode(*object, first);
  if (wrc != 0) {
    KELO_FUZZ_CHECK(wrc == KELO_E_NOT_SUPPORTED && kelofuzz::HoldsSurrogate(*object, info));
    return 0;
  }

  std::unique_ptr<CKeloHesClass> again(info.create());
  KELO_FUZZ_CHECK(again != nullptr);
  {
    CKeloInput in(first.data(), static_cast<unsigned int>(first.size()));
    CKeloInputParse parse(in);
    CKeloHesObject& target = *again;
    const int rc = target.Deserialize(parse);
    kelofuzz::CheckContract(rc, parse);
    KELO_FUZZ_CHECK(rc == 0);
    KELO_FUZZ_CHECK(in.GetNumExtracted() == first.size());
  }
  std::string second;
  KELO_FUZZ_CHECK(kelofuzz::Encode(*again, second) == 0);
  KELO_FUZZ_CHECK(first == second);
  return 0;
}
