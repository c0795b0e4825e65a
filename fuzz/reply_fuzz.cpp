// Fuzz target: a reply ('r' <version> <map> 'z') read into the catalogue class that the first
// input byte chooses. A reply that is read is written again, read again into the filled object
// (which must end the same), skipped as an unknown value (which must end at the same byte), and
// copied where the class allows.
#include "fuzz_support.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const kelo::ClassInfo& info = kelofuzz::ClassFor(data[0]);
  std::unique_ptr<CKeloHesClass> object(info.create());
  KELO_FUZZ_CHECK(object != nullptr);

  CKeloInput in(reinterpret_cast<const char*>(data + 1), static_cast<unsigned int>(size - 1));
  CKeloInputParse parse(in);
  const int rc = KeloHessianReadResponse(*object, parse);
  kelofuzz::CheckContract(rc, parse);
  KELO_FUZZ_CHECK(in.GetNumExtracted() <= in.GetTotalSize());
  if (rc != 0) {
    // Whatever a failed read left behind is still a valid object that can be written.
    std::string partial;
    const int prc = kelofuzz::Encode(*object, partial);
    KELO_FUZZ_CHECK(prc == 0 ||
                    (prc == KELO_E_NOT_SUPPORTED && kelofuzz::HoldsSurrogate(*object, info)));
    return 0;
  }

  std::string written;
  const int wrc = kelofuzz::Encode(*object, written);
  if (wrc != 0) {
    KELO_FUZZ_CHECK(wrc == KELO_E_NOT_SUPPORTED && kelofuzz::HoldsSurrogate(*object, info));
    return 0;
  }
  {
    CKeloInput again(reinterpret_cast<const char*>(data + 1), static_cast<unsigned int>(size - 1));
    CKeloInputParse againParse(again);
    KELO_FUZZ_CHECK(KeloHessianReadResponse(*object, againParse) == 0);
    std::string rewritten;
    KELO_FUZZ_CHECK(kelofuzz::Encode(*object, rewritten) == 0);
    KELO_FUZZ_CHECK(rewritten == written);
  }
  {
    // The skipper reads the map the class read, to its last byte. It alone counts the known
    // levels too, so unknown values nested close to its bound may take it past the bound.
    CKeloInput raw(reinterpret_cast<const char*>(data + 1), static_cast<unsigned int>(size - 1));
    CKeloInputParse rawParse(raw);
    const char* envelope;
    KELO_FUZZ_CHECK(raw.Extract(envelope, 3) == 0);
    const int src = CKeloHesSkipObject::Skip(rawParse);
    KELO_FUZZ_CHECK((src == 0 && raw.GetNumExtracted() == in.GetNumExtracted() - 1) ||
                    src == KELO_E_NOT_SUPPORTED);
  }
  if (info.copy) {
    std::unique_ptr<CKeloHesClass> copy(info.copy(*object));
    KELO_FUZZ_CHECK(copy != nullptr);
    std::string copied;
    KELO_FUZZ_CHECK(kelofuzz::Encode(*copy, copied) == 0);
    KELO_FUZZ_CHECK(copied == written);
    std::unique_ptr<CKeloHesClass> assigned(info.create());
    KELO_FUZZ_CHECK(assigned != nullptr);
    info.assign(*assigned, *object);
    std::string assignedBytes;
    KELO_FUZZ_CHECK(kelofuzz::Encode(*assigned, assignedBytes) == 0);
    KELO_FUZZ_CHECK(assignedBytes == written);
  }
  return 0;
}
