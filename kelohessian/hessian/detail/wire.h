// Internal helpers shared by the encoders and decoders: big-endian numbers and the one-line way
// to record a failure in the parse context. Not installed.
#pragma once

#include <stdint.h>
#include <string.h>

#include <kelohessian/hessian/detail/failures.h>
#include <kelohessian/hessian/name.h>
#include <kelohessian/hessian/parse.h>

namespace kelo_detail {

// Number of bytes of context shown behind a message ". Last chars read: '...'".
enum { kLastChars = 16 };

inline unsigned int ReadU16(const char* p) {
  return (static_cast<unsigned int>(static_cast<unsigned char>(p[0])) << 8) |
         static_cast<unsigned char>(p[1]);
}
inline unsigned int ReadU32(const char* p) {
  return (ReadU16(p) << 16) | ReadU16(p + 2);
}
inline unsigned long long ReadU64(const char* p) {
  return (static_cast<unsigned long long>(ReadU32(p)) << 32) | ReadU32(p + 4);
}
inline void WriteU16(char* p, unsigned int v) {
  p[0] = static_cast<char>((v >> 8) & 0xFF);
  p[1] = static_cast<char>(v & 0xFF);
}
inline void WriteU32(char* p, unsigned int v) {
  WriteU16(p, v >> 16);
  WriteU16(p + 2, v & 0xFFFF);
}
inline void WriteU64(char* p, unsigned long long v) {
  WriteU32(p, static_cast<unsigned int>(v >> 32));
  WriteU32(p + 4, static_cast<unsigned int>(v));
}

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

// Equality of n bytes, for names of a few to a few dozen bytes: compared in 8- and 4-byte words,
// without the call of memcmp.
inline bool SameBytes(const char* a, const char* b, unsigned int n) {
  for (; n >= 8; a += 8, b += 8, n -= 8) {
    uint64_t x, y;
    memcpy(&x, a, 8);
    memcpy(&y, b, 8);
    if (x != y) return false;
  }
  if (n >= 4) {
    uint32_t x, y;
    memcpy(&x, a, 4);
    memcpy(&y, b, 4);
    if (x != y) return false;
    a += 4;
    b += 4;
    n -= 4;
  }
  for (; n > 0; --n) {
    if (*a++ != *b++) return false;
  }
  return true;
}

// True when name is exactly the type name of (ns, cls): "ns.cls", or "cls" for an empty ns.
bool IsTypeName(const CKeloHesName& ns, const CKeloHesName& cls, const char* name,
                unsigned int length);

}  // namespace kelo_detail
