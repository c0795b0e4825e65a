// Fuzz target: the input skipped value by value until it ends or a skip fails (each skip that
// succeeds consumes input), then read as a map of a type that registers no members.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CKeloInput in(reinterpret_cast<const char*>(data), static_cast<unsigned int>(size));
  CKeloInputParse parse(in);
  for (int rc = 0; rc == 0 && in.GetNumExtracted() < in.GetTotalSize();) {
    const unsigned int before = in.GetNumExtracted();
    rc = CKeloHesSkipObject::Skip(parse);
    kelofuzz::CheckContract(rc, parse);
    KELO_FUZZ_CHECK(rc != 0 || in.GetNumExtracted() > before);
  }
  CKeloHesSkipClass skipper;
  unsigned int consumed = 0;
  KELO_FUZZ_CHECK(kelofuzz::Read(skipper, data, size, &consumed) != 0 || consumed > 0);
  return 0;
}
