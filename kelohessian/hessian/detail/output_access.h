// The library's own appends to a CKeloOutput, inline: a writer makes room once for what it is
// about to write (at most), writes it in place behind the data and then commits what it wrote,
// instead of one out-of-line Append with its own bounds check per piece. Not installed.
#pragma once

#include <string.h>

#include <kelohessian/hessian/output.h>

namespace kelo_detail {

struct OutputAccess {
  // Copies length bytes. The short pieces a message is made of (member headers, type names) are
  // copied in fixed-size moves that the compiler inlines, the last one overlapping the one before
  // it, rather than through a call of memcpy sized at run time.
  static void Copy(char* to, const char* from, unsigned int length) {
    if (length >= 8) {
      if (length > 32) {
        memcpy(to, from, length);
        return;
      }
      for (unsigned int at = 0; at + 8 < length; at += 8) memcpy(to + at, from + at, 8);
      memcpy(to + length - 8, from + length - 8, 8);
    } else if (length >= 4) {
      memcpy(to, from, 4);
      memcpy(to + length - 4, from + length - 4, 4);
    } else if (length) {
      to[0] = from[0];
      to[length / 2] = from[length / 2];
      to[length - 1] = from[length - 1];
    }
  }

  // Room for length more bytes behind the data: 0, or KELO_E_NO_MEMORY with the buffer unchanged.
  // Nothing counts as written until Commit.
  static int Reserve(CKeloOutput& out, unsigned int length) {
    return length > out.m_capacity - out.m_dataSize ? out.Grow(length) : KELO_OK;
  }
  // The bytes that fit behind the data without growing the storage.
  static unsigned int Room(const CKeloOutput& out) { return out.m_capacity - out.m_dataSize; }
  // Where the next byte goes (valid for the room Reserve made).
  static char* End(CKeloOutput& out) { return out.m_data + out.m_dataSize; }
  // Counts length bytes written behind the data as data.
  static void Commit(CKeloOutput& out, unsigned int length) { out.m_dataSize += length; }

  // What Append does, inline while the bytes fit.
  static int Put(CKeloOutput& out, const char* bytes, unsigned int length) {
    if (int rc = Reserve(out, length); rc != 0) return rc;
    Copy(End(out), bytes, length);
    Commit(out, length);
    return KELO_OK;
  }
  static int Put(CKeloOutput& out, char byte) {
    if (int rc = Reserve(out, 1); rc != 0) return rc;
    *End(out) = byte;
    Commit(out, 1);
    return KELO_OK;
  }
};

}  // namespace kelo_detail
