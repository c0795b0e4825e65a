// Fuzz target: a string or a blob (first byte) read into a value holding "old". A failed read
// keeps the old value; a value read is written and read back unchanged, unless it is a string
// holding a surrogate unit, which the writer refuses without writing.
#include "fuzz_support.h"

#include <type_traits>

namespace {

// Our writer is deterministic and its encodings decode, so two values hold the same units or bytes
// exactly when they write the same bytes.
template <class Value>
void Fuzz(const uint8_t* input, size_t size) {
  Value value, back;
  std::string old, written, again;
  KELO_FUZZ_CHECK(value.Copy("old", 3) == 0 && kelofuzz::Encode(value, old) == 0);
  unsigned int consumed = 0;
  if (kelofuzz::Read(value, input, size, &consumed) != 0) {
    KELO_FUZZ_CHECK(kelofuzz::Encode(value, written) == 0 && written == old);
    return;
  }
  KELO_FUZZ_CHECK(consumed > 0 && consumed <= size);
  const int wrc = kelofuzz::Encode(value, written);
  if constexpr (std::is_same_v<Value, CKeloHesString>) {
    if (kelofuzz::HoldsSurrogate(value)) {
      KELO_FUZZ_CHECK(wrc == KELO_E_NOT_SUPPORTED && written.empty());
      return;
    }
  }
  KELO_FUZZ_CHECK(wrc == 0);
  KELO_FUZZ_CHECK(kelofuzz::Read(back, written.data(), written.size(), &consumed) == 0 &&
                  consumed == written.size());
  KELO_FUZZ_CHECK(kelofuzz::Encode(back, again) == 0 && again == written);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  if (data[0] & 1)
    Fuzz<CKeloHesBinary>(data + 1, size - 1);
  else
    Fuzz<CKeloHesString>(data + 1, size - 1);
  return 0;
}
