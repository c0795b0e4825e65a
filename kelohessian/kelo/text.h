/// \file
/// Text and bytes of the modern face: the 16-bit strings of the classic classes as UTF-8 and back,
/// blobs as byte views and back.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <kelohessian/hessian/export.h>
#include <kelohessian/hessian/string.h>
#include <kelohessian/kelo/status.h>

namespace kelo {

// ---- Text and bytes ----------------------------------------------------------------------------

/// The string as UTF-8. A surrogate pair read from the wire (how Java sends a character above
/// U+FFFF) becomes that one 4-byte character; a lone surrogate unit becomes U+FFFD. A null string
/// gives an empty text, as does running out of memory.
KELO_API std::string ToUtf8(const CKeloHesString& text);

/// Sets the string (not null) to the UTF-8 text. Invalid UTF-8 (a bad lead or continuation byte, a
/// truncated, overlong or surrogate sequence, a value beyond U+10FFFF) is refused with
/// KELO_E_FORMAT and offset() at the first byte of the bad sequence; a character above U+FFFF with
/// KELO_E_NOT_SUPPORTED (strings carry 16-bit units and the wire writer refuses surrogates). The
/// string is unchanged on failure.
KELO_API Status FromUtf8(std::string_view text, CKeloHesString& out);

/// A view of the blob's bytes, valid while the blob is neither changed nor destroyed (empty for a
/// null blob).
KELO_API std::string_view ToBytes(const CKeloHesBinary& blob);
/// Sets the blob (not null) to a copy of the bytes; KELO_E_OUT_OF_RANGE beyond 32 bits of length.
KELO_API Status FromBytes(const void* data, std::size_t size, CKeloHesBinary& out);
/// The same, for the bytes of a string view.
inline Status FromBytes(std::string_view bytes, CKeloHesBinary& out) {
  return FromBytes(bytes.data(), bytes.size(), out);
}

}  // namespace kelo
