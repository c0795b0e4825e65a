// Fuzz target: the one-call interface on hostile bytes. Selector byte: bit 0 chooses a reply
// (kelo::DecodeReply, faults included) or a call (kelo::CallReader: method, arguments of the
// catalogue class selector / 2 up to the call's 'z', Finish); the rest of the input is also taken
// as UTF-8 text by kelo::FromUtf8.
#include "fuzz_support.h"

#include <memory>
#include <string>
#include <string_view>

namespace {

void CheckStatus(const kelo::Status& s, size_t size) {
  KELO_FUZZ_CHECK(s.offset() <= size);
  KELO_FUZZ_CHECK(std::string_view(s.name()) != "unknown");
  KELO_FUZZ_CHECK(s.is_fault() == (s.code() == KELO_E_FAULT));
  // Every failure explains itself; a fault's text is the peer's and may start with anything.
  KELO_FUZZ_CHECK(s.ok() || s.is_fault() || s.message()[0] != '\0');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const kelo::ClassInfo& info = kelofuzz::ClassFor(static_cast<uint8_t>(data[0] / 2));
  const uint8_t* bytes = data + 1;
  const size_t length = size - 1;
  std::unique_ptr<CKeloHesClass> object(info.create()), back(info.create());
  KELO_FUZZ_CHECK(object != nullptr && back != nullptr);

  if (data[0] % 2 == 0) {
    const kelo::Status s = kelo::DecodeReply(bytes, length, *object);
    CheckStatus(s, length);
    // A reply read whole ends the input, and reads back from our own encoding.
    KELO_FUZZ_CHECK(!s.ok() || s.offset() == length);
    std::vector<std::uint8_t> again, twice;
    if (s.ok() && kelo::EncodeReply(*object, again).ok()) {
      KELO_FUZZ_CHECK(kelo::DecodeReply(again.data(), again.size(), *back).ok());
      KELO_FUZZ_CHECK(kelo::EncodeReply(*back, twice).ok() && twice == again);
    }
  } else {
    kelo::CallReader reader(bytes, length);
    std::string method;
    kelo::Status s = reader.ReadMethod(method);
    CheckStatus(s, length);
    // Each argument read takes at least one byte, so this loop ends.
    while (s.ok() && !reader.AtEnd()) {
      std::unique_ptr<CKeloHesClass> arg(info.create());
      KELO_FUZZ_CHECK(arg != nullptr);
      const size_t before = s.offset();
      s = reader.ReadArg(*arg);
      CheckStatus(s, length);
      KELO_FUZZ_CHECK(!s.ok() || s.offset() > before);
    }
    if (s.ok()) {
      s = reader.Finish();
      CheckStatus(s, length);
      KELO_FUZZ_CHECK(!s.ok() || s.offset() == length);
    }
  }

  CKeloHesString text;
  const std::string_view utf8(reinterpret_cast<const char*>(bytes), length);
  const kelo::Status u = kelo::FromUtf8(utf8, text);
  CheckStatus(u, length);
  if (u.ok()) KELO_FUZZ_CHECK(kelo::ToUtf8(text) == utf8);
  return 0;
}
