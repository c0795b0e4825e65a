// Internal helpers shared by the decoders: the one-line way to record a failure in the parse
// context, and byte comparisons. Not installed.
#pragma once

#include <stdint.h>
#include <string.h>

#include <kelohessian/hessian/detail/failures.h>
#include <kelohessian/hessian/name.h>
#include <kelohessian/hessian/parse.h>
#include <kelohessian/wire/writer.h>

namespace kelo_detail {

// Number of bytes of context shown behind a message ". Last chars read: '...'".
enum { kLastChars = 16 };

// The big-endian helpers are the wire writer's.
using kelo::wire::ReadU16;
using kelo::wire::ReadU32;
using kelo::wire::ReadU64;
using kelo::wire::WriteU16;
using kelo::wire::WriteU32;
using kelo::wire::WriteU64;

// Appends the text of a failure row (with the last characters when the row says so) and returns
// the row's code, so that a failure is one line at its call site.
inline int Fail(CKeloInputParse& parse, Failure failure) {
  const FailureRow& row = kFailureRows[failure];
  parse.AddToErrorByLength(row.text, row.length, row.lastChars ? kLastChars : 0);
  return row.code;
}
// The same, returning a code passed up from the cursor instead of the row's.
inline int Fail(CKeloInputParse& parse, Failure failure, int code) {
  Fail(parse, failure);
  return code;
}
// Appends a piece of a composed message (a row whose code is KELO_OK).
inline void Add(CKeloInputParse& parse, Failure piece) {
  const FailureRow& row = kFailureRows[piece];
  parse.AddToErrorByLength(row.text, row.length, 0);
}

inline void AddBytes(CKeloInputParse& parse, const char* bytes, unsigned int length) {
  parse.AddToErrorByLength(bytes, length, 0);
}

// Equality of n bytes, for names of a few to a few dozen bytes: compared in 8- and 4-byte words
// (the last one overlapping the one before it), without the call of memcmp or a loop over bytes.
inline bool SameBytes(const char* a, const char* b, unsigned int n) {
  if (n >= 8) {
    for (; n > 8; a += 8, b += 8, n -= 8) {
      uint64_t x, y;
      memcpy(&x, a, 8);
      memcpy(&y, b, 8);
      if (x != y) return false;
    }
    uint64_t x, y;  // the last 8 bytes, which may reach back over bytes already compared
    memcpy(&x, a + n - 8, 8);
    memcpy(&y, b + n - 8, 8);
    return x == y;
  }
  if (n >= 4) {
    uint32_t x1, y1, x2, y2;
    memcpy(&x1, a, 4);
    memcpy(&y1, b, 4);
    memcpy(&x2, a + n - 4, 4);
    memcpy(&y2, b + n - 4, 4);
    return x1 == y1 && x2 == y2;
  }
  return n == 0 || (a[0] == b[0] && a[n / 2] == b[n / 2] && a[n - 1] == b[n - 1]);
}

// True when name is exactly the type name of (ns, cls): "ns.cls", or "cls" for an empty ns.
bool IsTypeName(const CKeloHesName& ns, const CKeloHesName& cls, const char* name,
                unsigned int length);

}  // namespace kelo_detail
