// A general Hessian 1.0 reader that prints any stream (call, reply, fault or bare value) one value
// a line, independent of the catalogue: the `kelohes dump` format, meant to compare equal for the
// same message whatever program wrote it.
#pragma once

#include <stddef.h>

#include <string>

namespace kelohes {

// Maps and lists (and envelopes) may nest this deep; one level more is refused as bad input
// rather than exhausting the stack.
enum { kMaxDumpDepth = 256 };

struct DumpResult {
  bool ok;
  std::string text;    // the dump, complete, when ok
  size_t errorOffset;  // where the failure was found, when !ok
  std::string error;   // what was wrong, when !ok
};

// Dumps the whole of data[0..size). Any failure (truncated input, trailing bytes, unknown marker,
// 4-byte UTF-8 sequence, nesting beyond kMaxDumpDepth) gives no text at all. With offsets, each
// line starts with the byte offset of its first byte as 8 lower-case hex digits and a blank.
DumpResult Dump(const char* data, size_t size, bool offsets);

// A UTF-16 text quoted the dump way: 0x20..0x7E as they are except '"' and '\', which get a
// backslash; every other unit as \uXXXX (upper-case hex).
void AppendQuoted(std::string& out, const unsigned short* units, size_t count);

}  // namespace kelohes
