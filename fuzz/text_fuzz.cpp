// Fuzz target: string and binary decoding. The first input byte chooses a string or a blob; the
// rest is read into a value that already holds "old". A failed read must keep the old value; a
// successful one is written and read back to the same units or bytes (a string holding a
// surrogate unit must be refused by the writer instead, leaving the output as it was).
#include "fuzz_support.h"

#include <string.h>

#include <type_traits>

namespace {

template <class Value>
bool Same(const Value& a, const Value& b) {
  using Unit = std::conditional_t<std::is_same_v<Value, CKeloHesString>, short, char>;
  const Unit* da;
  const Unit* db;
  const unsigned int na = a.Data(da), nb = b.Data(db);
  return a.IsNull() == b.IsNull() && na == nb &&
         (na == 0 || memcmp(da, db, na * sizeof(Unit)) == 0);
}

template <class Value>
void Fuzz(const uint8_t* input, size_t size) {
  Value old, value;
  KELO_FUZZ_CHECK(old.Copy("old", 3) == 0 && value.Copy("old", 3) == 0);
  unsigned int consumed = 0;
  if (kelofuzz::Read(value, input, size, &consumed) != 0) {
    KELO_FUZZ_CHECK(Same(value, old));
    return;
  }
  KELO_FUZZ_CHECK(consumed > 0 && consumed <= size);
  std::string written;
  const int wrc = kelofuzz::Encode(value, written);
  if constexpr (std::is_same_v<Value, CKeloHesString>) {
    if (kelofuzz::HoldsSurrogate(value)) {
      KELO_FUZZ_CHECK(wrc == KELO_E_NOT_SUPPORTED && written.empty());
      return;
    }
  }
  KELO_FUZZ_CHECK(wrc == 0);
  Value again;
  KELO_FUZZ_CHECK(kelofuzz::Read(again, written.data(), written.size(), &consumed) == 0 &&
                  consumed == written.size());
  KELO_FUZZ_CHECK(Same(value, again));
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
