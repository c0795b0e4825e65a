// Fuzz target: a reply read into the catalogue class the first byte chooses. Whatever a read
// leaves can be written; a reply read is written, read again into the filled object (ending the
// same), skipped as an unknown value (to the same byte), and copied and assigned if allowed.
#include "fuzz_support.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const kelo::ClassInfo& info = kelofuzz::ClassFor(data[0]);
  std::unique_ptr<CKeloHesClass> object(info.create());
  KELO_FUZZ_CHECK(object != nullptr);
  const char* reply = reinterpret_cast<const char*>(data + 1);
  const unsigned int length = static_cast<unsigned int>(size - 1);
  unsigned int consumed = 0;
  const int rc = kelofuzz::Read(*object, reply, length, &consumed, nullptr, true);
  KELO_FUZZ_CHECK(consumed <= length);
  std::string written, again;
  if (!kelofuzz::EncodeRead(*object, info, written) || rc != 0) return 0;

  KELO_FUZZ_CHECK(kelofuzz::Read(*object, reply, length, nullptr, nullptr, true) == 0);
  KELO_FUZZ_CHECK(kelofuzz::Encode(*object, again) == 0 && again == written);

  // The skipper reads the map the class read, to its last byte. It alone counts the known levels
  // too, so unknown values nested close to its bound may take it past the bound.
  CKeloInput raw(reply, length);
  CKeloInputParse rawParse(raw);
  const char* envelope;
  KELO_FUZZ_CHECK(raw.Extract(envelope, 3) == 0);
  const int src = CKeloHesSkipObject::Skip(rawParse);
  KELO_FUZZ_CHECK((src == 0 && raw.GetNumExtracted() == consumed - 1) ||
                  src == KELO_E_NOT_SUPPORTED);

  if (!info.copy) return 0;
  std::unique_ptr<CKeloHesClass> copy(info.copy(*object)), assigned(info.create());
  KELO_FUZZ_CHECK(copy != nullptr && assigned != nullptr);
  KELO_FUZZ_CHECK(kelofuzz::Encode(*copy, again) == 0 && again == written);
  info.assign(*assigned, *object);
  KELO_FUZZ_CHECK(kelofuzz::Encode(*assigned, again) == 0 && again == written);
  return 0;
}
