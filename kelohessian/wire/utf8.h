/// \file
/// UTF-8 as Hessian 1.0 carries it, for the 16-bit code units that strings hold: one unit is one
/// BMP character of 1 to 3 bytes (a character above U+FFFF travels as two surrogate units of 3
/// bytes each, as Java writes it); surrogate units cannot be written and 4-byte sequences cannot be
/// read. The one UTF-8 codec of the library: the string codec, the wire reader, the modern face and
/// the tools all use it.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <kelohessian/hessian/export.h>

namespace kelo::wire {

/// How a walk over UTF-8 as the wire carries it ended.
enum Utf8Status {
  kUtf8Ok = 0,
  kUtf8Exhausted,         ///< the input ended before the first byte of a character
  kUtf8Above0xFFFF,       ///< a 4-byte lead byte (0xF0 to 0xF7)
  kUtf8BadLead,           ///< 0x80 to 0xBF or 0xF8 to 0xFF as a lead byte
  kUtf8Truncated2,        ///< the input ended inside a 2-byte sequence
  kUtf8Truncated3,        ///< ... inside a 3-byte sequence
  kUtf8BadContinuation2,  ///< the second byte of a 2-byte sequence is not 10xxxxxx
  kUtf8BadContinuation3   ///< the second or third byte of a 3-byte sequence is not 10xxxxxx
};

/// The exact error text of a failed decode, for every status but kUtf8Ok and kUtf8Exhausted.
KELO_API const char* Utf8Message(Utf8Status status);

/// Decodes count characters from in[0..available) into units (room for count units). On success
/// *consumed is the number of bytes read. On failure *consumed is the number of bytes taken before
/// the failure was found (the lead byte of a bad sequence included) and *decoded the number of
/// characters stored. Overlong forms and encoded surrogates are accepted as they decode.
KELO_API Utf8Status DecodeUtf8(const unsigned char* in, size_t available, size_t count,
                               unsigned short* units, size_t* consumed, size_t* decoded);

/// The same walk as DecodeUtf8, with the same statuses and counts, storing nothing: how many bytes
/// count characters take, for a reader that steps over them or hands them out as they are.
KELO_API Utf8Status MeasureUtf8(const unsigned char* in, size_t available, size_t count,
                                size_t* consumed, size_t* decoded);

/// An estimate of the bytes that count characters take at the start of in[0..available), from
/// their lead bytes alone: every byte that is not 10xxxxxx starts a character, the last few are
/// sized by their lead (1 for ASCII, 2 for 110xxxxx, 3 for 1110xxxx); SIZE_MAX when one of those
/// cannot start a character the decoder accepts or the characters run past available. Bytes the
/// decoder refuses may be counted as characters. Used to size a chunked string's storage before
/// decoding it, so a mistaken answer costs only a regrowth, never a wrong value.
KELO_API size_t Utf8Span(const unsigned char* in, size_t available, size_t count);

/// Encodes count units into out, which has room for 3 * count bytes. Returns the number of bytes
/// written, or -1 when a unit lies in the surrogate range 0xD800 to 0xDFFF (*done then holds the
/// number of units encoded before it).
KELO_API long EncodeUtf8(const unsigned short* units, size_t count, unsigned char* out,
                         size_t* done);

// ---- Standard UTF-8 text ------------------------------------------------------------------------
// What the modern face takes from and gives to a program: 1 to 4 bytes per character, no overlong
// form, no encoded surrogate, nothing above U+10FFFF.

/// Whether wire text that DecodeUtf8 accepts is also standard UTF-8: it holds no overlong form
/// (C0, C1, or E0 with a second byte below A0) and no surrogate unit (ED with A0 to BF).
KELO_API bool WireIsStandard(const unsigned char* in, size_t size);

/// The bytes of the first count characters (16-bit units) of wire text that DecodeUtf8 accepts,
/// one fewer when the last of them is the high half of a surrogate pair, which then stays with its
/// low half; *units gets the characters taken. For cutting text into chunks.
KELO_API size_t WireSpanKeepingPairs(const unsigned char* in, size_t count, size_t* units);

/// Writes cp (at most U+10FFFF) as the wire carries it, into out (6 bytes at most): a character
/// above U+FFFF as a surrogate pair, each half a 3-byte sequence; returns the bytes written.
KELO_API size_t PutWireChar(uint32_t cp, char* out);

/// How decoding a character of standard UTF-8 text ended.
enum TextStatus {
  kTextOk = 0,
  kTextContinuation,  ///< a continuation byte (10xxxxxx) where a character should start
  kTextBadByte,       ///< a byte that never starts a character (C0, C1, F5 to FF)
  kTextCut,           ///< the text ends inside a character
  kTextOutOfRange,    ///< an overlong form, an encoded surrogate or a value above U+10FFFF
  kTextShort          ///< a character cut short by a byte that is not a continuation byte
};

/// A few words on a status, "a character cut short" and the like.
KELO_API const char* TextMessage(TextStatus status);

/// Decodes the character at in[*pos], of size bytes in all. On success *pos moves behind it and
/// *cp holds it; on failure both are left alone.
KELO_API TextStatus NextChar(const unsigned char* in, size_t size, size_t* pos, uint32_t* cp);

/// Writes cp (at most U+10FFFF) as 1 to 4 bytes into out; returns the count. A surrogate unit is
/// written in its 3-byte form, as the wire carries one.
KELO_API size_t PutChar(uint32_t cp, char* out);

}  // namespace kelo::wire
