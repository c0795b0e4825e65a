// Fuzz target: string and binary decoding. The first input byte chooses a string or a blob; the
// rest is read into a value that already holds "old". A failed read must keep the old value; a
// successful one is written and read back to the same units or bytes (a string holding a
// surrogate unit must be refused by the writer instead).
#include "fuzz_support.h"

#include <string.h>

namespace {

bool SameText(const CKeloHesString& a, const CKeloHesString& b) {
  const short* ua;
  const short* ub;
  const unsigned int na = a.Data(ua);
  const unsigned int nb = b.Data(ub);
  return a.IsNull() == b.IsNull() && na == nb && (na == 0 || memcmp(ua, ub, na * 2) == 0);
}

bool SameBlob(const CKeloHesBinary& a, const CKeloHesBinary& b) {
  const char* da;
  const char* db;
  const unsigned int na = a.Data(da);
  const unsigned int nb = b.Data(db);
  return a.IsNull() == b.IsNull() && na == nb && (na == 0 || memcmp(da, db, na) == 0);
}

template <class T>
int Read(T& value, const std::string& bytes, unsigned int* consumed) {
  CKeloInput in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  CKeloInputParse parse(in);
  CKeloHesObject& object = value;
  const int rc = object.Deserialize(parse);
  kelofuzz::CheckContract(rc, parse);
  if (consumed) *consumed = in.GetNumExtracted();
  return rc;
}

void FuzzString(const std::string& input) {
  CKeloHesString old;
  KELO_FUZZ_CHECK(old.Copy("old") == 0);
  CKeloHesString text;
  KELO_FUZZ_CHECK(text.Copy("old") == 0);
  unsigned int consumed = 0;
  if (Read(text, input, &consumed) != 0) {
    KELO_FUZZ_CHECK(SameText(text, old));
    return;
  }
  KELO_FUZZ_CHECK(consumed > 0 && consumed <= input.size());
  std::string written;
  const int wrc = kelofuzz::Encode(text, written);
  if (kelofuzz::HoldsSurrogate(text)) {
    KELO_FUZZ_CHECK(wrc == KELO_E_NOT_SUPPORTED);
    KELO_FUZZ_CHECK(written.empty());  // a failed write leaves the output as it was
    return;
  }
  KELO_FUZZ_CHECK(wrc == 0);
  CKeloHesString again;
  KELO_FUZZ_CHECK(Read(again, written, &consumed) == 0);
  KELO_FUZZ_CHECK(consumed == written.size());
  KELO_FUZZ_CHECK(SameText(text, again));
}

void FuzzBlob(const std::string& input) {
  CKeloHesBinary old;
  KELO_FUZZ_CHECK(old.Copy("old", 3) == 0);
  CKeloHesBinary blob;
  KELO_FUZZ_CHECK(blob.Copy("old", 3) == 0);
  unsigned int consumed = 0;
  if (Read(blob, input, &consumed) != 0) {
    KELO_FUZZ_CHECK(SameBlob(blob, old));
    return;
  }
  KELO_FUZZ_CHECK(consumed > 0 && consumed <= input.size());
  std::string written;
  KELO_FUZZ_CHECK(kelofuzz::Encode(blob, written) == 0);
  CKeloHesBinary again;
  KELO_FUZZ_CHECK(Read(again, written, &consumed) == 0);
  KELO_FUZZ_CHECK(consumed == written.size());
  KELO_FUZZ_CHECK(SameBlob(blob, again));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
  if (data[0] & 1)
    FuzzBlob(input);
  else
    FuzzString(input);
  return 0;
}
