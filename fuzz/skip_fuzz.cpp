// Fuzz target: the input skipped value by value until it ends or a skip fails (each skip that
// succeeds consumes input); its first value skipped once more inside a one-item list whose end
// marker is wrong, which makes the skipper read it with the value classes' decoders instead of the
// wire reader's walk, and both ways must agree; then read as a map of a type that registers no
// members; then walked by the wire reader token by token, as an envelope and as bare values, and
// skipped value by value.
#include <kelohessian/wire/reader.h>

#include <string>

#include "fuzz_support.h"

namespace {

// Every token lies inside the input, every step moves forward, and a failure says where.
void Walk(const uint8_t* data, size_t size, bool envelope) {
  kelo::wire::Reader reader(data, size);
  kelo::wire::Token token;
  const char* begin = reinterpret_cast<const char*>(data);
  bool ok = !envelope || reader.Envelope(token);
  while (ok && reader.left() > 0) {
    const size_t before = reader.offset();
    ok = reader.Next(token);
    if (!ok) break;
    KELO_FUZZ_CHECK(reader.offset() > before && token.offset == before);
    KELO_FUZZ_CHECK(!token.text ||
                    (token.text >= begin && token.text + token.size <= begin + size));
    KELO_FUZZ_CHECK(!token.url ||
                    (token.url >= begin && token.url + token.urlSize <= begin + size));
  }
  KELO_FUZZ_CHECK(ok || (reader.problem() != kelo::wire::Problem::kNone &&
                         reader.problemOffset() <= reader.offset() && reader.offset() <= size));
  kelo::wire::Reader skipper(data, size);
  while (skipper.left() > 0 && skipper.Skip(token)) {
  }
  KELO_FUZZ_CHECK(skipper.offset() <= size);
}

// A value the walk accepts is one the decoders accept, to the same byte; a value it refuses is
// refused by both with the same code at the same byte (as the walk hands those to the decoders).
// The decoders read it as the item of a list whose type name has a 2-byte character, which they
// count in bytes and the walk in characters, and which the input ends before closing.
void SameWithoutTheWalk(const uint8_t* data, size_t size) {
  CKeloInput in(reinterpret_cast<const char*>(data), static_cast<unsigned int>(size));
  CKeloInputParse parse(in);
  const int rc = CKeloHesSkipObject::Skip(parse);
  const std::string head("Vt\0\3[\xC3\xA9l\0\0\0\1", 12);
  // The value alone when it was read whole, so that the list then has nothing left to close it.
  const size_t value = rc == 0 ? in.GetNumExtracted() : size;
  const std::string wrapped = head + std::string(reinterpret_cast<const char*>(data), value);
  CKeloInput again(wrapped.data(), static_cast<unsigned int>(wrapped.size()));
  CKeloInputParse slow(again);
  const int slowRc = CKeloHesSkipObject::Skip(slow);
  // The list is one level of nesting more, so the decoders may stop one level earlier.
  const char* text = slow.GetError();
  if (text && std::string(text).rfind("Cannot skip a value nested deeper", 0) == 0) return;
  // A value read whole leaves the decoders looking for the list's 'z'.
  KELO_FUZZ_CHECK(slowRc == (rc == 0 ? KELO_E_EXHAUSTED : rc));
  KELO_FUZZ_CHECK(again.GetNumExtracted() == head.size() + in.GetNumExtracted());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CKeloInput in(reinterpret_cast<const char*>(data), static_cast<unsigned int>(size));
  CKeloInputParse parse(in);
  for (int rc = 0; rc == 0 && in.GetNumExtracted() < in.GetTotalSize();) {
    const unsigned int before = in.GetNumExtracted();
    rc = CKeloHesSkipObject::Skip(parse);
    kelofuzz::CheckContract(rc, parse);
    KELO_FUZZ_CHECK(rc != 0 || in.GetNumExtracted() > before);
  }
  if (size) SameWithoutTheWalk(data, size);
  CKeloHesSkipClass skipper;
  unsigned int consumed = 0;
  KELO_FUZZ_CHECK(kelofuzz::Read(skipper, data, size, &consumed) != 0 || consumed > 0);
  Walk(data, size, false);
  Walk(data, size, true);
  return 0;
}
