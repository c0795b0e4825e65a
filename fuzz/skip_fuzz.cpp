// Fuzz target: the input skipped value by value until it ends or a skip fails (each skip that
// succeeds consumes input), then read as a map of a type that registers no members; then walked
// by the wire reader token by token, as an envelope and as bare values, and skipped value by value.
#include <kelohessian/wire/reader.h>

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
  CKeloHesSkipClass skipper;
  unsigned int consumed = 0;
  KELO_FUZZ_CHECK(kelofuzz::Read(skipper, data, size, &consumed) != 0 || consumed > 0);
  Walk(data, size, false);
  Walk(data, size, true);
  return 0;
}
