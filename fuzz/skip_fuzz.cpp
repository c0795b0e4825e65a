// Fuzz target: skipping values of any type. The input is read as a sequence of values, each
// skipped in turn until the input ends or a skip fails; every successful skip must consume
// input. The same bytes are then read as a map of a type that registers no members.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const char* bytes = reinterpret_cast<const char*>(data);
  const unsigned int length = static_cast<unsigned int>(size);
  {
    CKeloInput in(bytes, length);
    CKeloInputParse parse(in);
    while (in.GetNumExtracted() < in.GetTotalSize()) {
      const unsigned int before = in.GetNumExtracted();
      const int rc = CKeloHesSkipObject::Skip(parse);
      kelofuzz::CheckContract(rc, parse);
      if (rc != 0) break;
      KELO_FUZZ_CHECK(in.GetNumExtracted() > before);
    }
  }
  {
    CKeloInput in(bytes, length);
    CKeloInputParse parse(in);
    CKeloHesSkipClass skipper;
    CKeloHesObject& object = skipper;
    const int rc = object.Deserialize(parse);
    kelofuzz::CheckContract(rc, parse);
    if (rc == 0) KELO_FUZZ_CHECK(in.GetNumExtracted() > 0);
  }
  return 0;
}
