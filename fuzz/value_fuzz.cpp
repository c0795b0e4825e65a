// Fuzz target: any bytes DecodeValue accepts are written, read and written again: the second
// reading equals the first value and the second writing gives the same bytes. (The first writing
// may differ from the input: chunks are cut as Java cuts them, overlong forms are shortened.)
// The same bytes are then the value of a member of any value (CKeloHesAny) between two others, in
// a reply: when that reads, the reply written reads back to equal members and writes the same
// bytes again.
#include "fuzz_support.h"

#include <string>
#include <vector>

#define KELO_FUZZ_Holder_MEMBERS(X) X(CKeloHesAny, before) X(CKeloHesAny, any) X(CKeloHesAny, after)

namespace fuzz {
KELO_LOCAL_MESSAGE(Holder, CKeloHesClass, KELO_FUZZ_Holder_MEMBERS)
KELO_MESSAGE_DEFINE(Holder, "fuzz", CKeloHesClass, KELO_FUZZ_Holder_MEMBERS)
}  // namespace fuzz

// A reply of fuzz.Holder: before is a list whose item is the next list, so that the value may
// refer to both ('R' 1 and 2), then any holds the bytes, then after refers to the list 2.
static const char kHead[] =
    "r\x01\x00Mt\x00\x0b"
    "fuzz.HolderS\x00\x06"
    "beforeVl\x00\x00\x00\x01Vl\x00\x00\x00\x00zzS\x00\x03"
    "any";
static const char kTail[] =
    "S\x00\x05"
    "afterR\x00\x00\x00\x02zz";

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  kelo::Value value;
  if (kelo::DecodeValue(data, size, value)) {
    std::vector<std::uint8_t> first;
    std::vector<std::uint8_t> second;
    const kelo::Status written = kelo::EncodeValue(value, first);
    KELO_FUZZ_CHECK(written.ok());
    kelo::Value again;
    KELO_FUZZ_CHECK(kelo::DecodeValue(first.data(), first.size(), again).ok());
    KELO_FUZZ_CHECK(again == value);
    KELO_FUZZ_CHECK(kelo::EncodeValue(again, second).ok() && first == second);
  }

  std::string reply(kHead, sizeof kHead - 1);
  reply.append(reinterpret_cast<const char*>(data), size).append(kTail, sizeof kTail - 1);
  fuzz::Holder holder;
  if (!kelo::DecodeReply(reply.data(), reply.size(), holder)) return 0;
  std::vector<std::uint8_t> first;
  std::vector<std::uint8_t> second;
  KELO_FUZZ_CHECK(kelo::EncodeReply(holder, first).ok());
  fuzz::Holder again;
  KELO_FUZZ_CHECK(kelo::DecodeReply(first.data(), first.size(), again).ok());
  KELO_FUZZ_CHECK(holder.before.Get() == again.before.Get() &&
                  holder.any.Get() == again.any.Get() && holder.after.Get() == again.after.Get());
  KELO_FUZZ_CHECK(kelo::EncodeReply(again, second).ok() && first == second);
  return 0;
}
