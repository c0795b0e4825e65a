// The `kelohes dump` printer: any Hessian 1.0 stream (a call, a reply, a fault reply or a bare
// value) one value a line, as the library's wire reader reads it, independent of the catalogue;
// meant to compare equal for the same message whatever program wrote it.
#pragma once

#include <stddef.h>

#include <functional>
#include <string>

namespace kelohes {

// Maps, lists, faults and the envelope may be open this many at once (the reader's bound); one
// level more is refused as bad input.
enum { kMaxDumpDepth = 256 };
// Lines are indented two blanks a level up to this depth; deeper lines are indented as at this
// depth and start with their depth in brackets ("[17] N"), so that the dump stays within a fixed
// multiple of the input's size however deep the nesting.
enum { kDumpIndentLevels = 16 };

// Where a dump goes, a piece at a time; returns false when it cannot take it (a failed write),
// and is then given nothing more.
using DumpSink = std::function<bool(const char* data, size_t size)>;

struct DumpResult {
  bool ok;             // the input was read whole and the sink took its whole dump
  size_t errorOffset;  // where the input failed, when !ok and error is not empty
  std::string error;   // what was wrong with the input; empty when !ok because the sink failed
};

// Dumps the whole of data[0..size) to sink. The input is read through once before anything is
// sent, so that any failure (truncated input, trailing bytes, unknown marker, 4-byte UTF-8
// sequence, nesting beyond kMaxDumpDepth) sends nothing at all; the dump is then sent in pieces
// of about 64 KiB, never held whole. With offsets, each line starts with the byte offset of its
// first byte as 8 lower-case hex digits and a blank.
DumpResult Dump(const char* data, size_t size, bool offsets, const DumpSink& sink);

}  // namespace kelohes
