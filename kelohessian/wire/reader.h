/// \file
/// The one reader of Hessian 1.0: a pull reader over a byte range that hands out every construct of
/// the grammar, one token per step, with the offset of its first byte. It owns nothing, copies
/// nothing and allocates nothing: strings, XML and blobs come out chunk by chunk as views of the
/// input. Every length is checked against the bytes left and nesting is bounded, so any input is
/// read in time and stack linear in its size.
///
///   value    'N' | 'T' | 'F' | 'I' b4 | 'L' b8 | 'D' b8 | 'd' b8 | 'R' b4
///            | ('s' len utf8)* 'S' len utf8 | ('x' len utf8)* 'X' len utf8
///            | ('b' len bytes)* 'B' len bytes
///            | 'M' ('t' len type)? (value value)* 'z'
///            | 'V' ('t' len type)? ('l' b4)? value* 'z'
///            | 'r' 't' len type 'S' len url                  (a remote object)
///   call     'c' b1 b1 ('H' len name value)* 'm' len method value* 'z'
///   reply    'r' b1 b1 ('H' len name value)* (value | 'f' (value value)* 'z') 'z'
///
/// Lengths of strings, XML, type names, header names and methods count 16-bit units, each one
/// character of 1 to 3 bytes of UTF-8 (wire/utf8.h); blob lengths count bytes.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <kelohessian/hessian/export.h>
#include <kelohessian/wire/utf8.h>

namespace kelo::wire {

/// What a token is.
enum class Kind : unsigned char {
  kNull,    ///< 'N'
  kTrue,    ///< 'T'
  kFalse,   ///< 'F'
  kInt,     ///< 'I': integer
  kLong,    ///< 'L': integer
  kDouble,  ///< 'D': real (bits: integer)
  kDate,    ///< 'd': integer, milliseconds since 1970
  kRef,     ///< 'R': integer, the index of an earlier map or list
  kString,  ///< one chunk 's' or 'S' (last): text
  kXml,     ///< one chunk 'x' or 'X' (last): text
  kBinary,  ///< one chunk 'b' or 'B' (last): text holds the bytes
  kMap,     ///< 'M' opens a map: text is the type name when typed
  kList,    ///< 'V' opens a list: text is the type name when typed, integer the length when sized
  kEnd,     ///< 'z' closes the innermost map, list, fault or envelope
  kRemote,  ///< 'r' 't' type 'S' url: text is the type, url the address
  kCall,    ///< 'c' and two version bytes (integer: major * 256 + minor)
  kReply,   ///< 'r' and two version bytes (integer: major * 256 + minor)
  kHeader,  ///< 'H' and a header name (text); its value follows
  kMethod,  ///< 'm' and the method name (text)
  kFault,   ///< 'f' opens a fault's key and value pairs
};

/// One construct. Views point into the reader's input.
struct Token {
  /// What the construct is.
  Kind kind = Kind::kNull;
  /// A chunk: whether it is the last of its value ('S', 'X', 'B').
  bool last = false;
  /// A map or list: whether a 't' type name was given (it may be empty).
  bool typed = false;
  /// A list: whether an 'l' length was given.
  bool sized = false;
  /// Offset of the construct's first byte (its marker).
  size_t offset = 0;
  /// 'I', 'L', 'd', 'R', a list's length, the bits of a 'D', an envelope's version.
  int64_t integer = 0;
  /// A 'D' as a double.
  double real = 0;
  /// A chunk's bytes (UTF-8 for text), a type, header or method name; a remote's type.
  const char* text = nullptr;
  /// Bytes of text.
  size_t size = 0;
  /// The length on the wire of a text chunk or name: 16-bit units (bytes for a blob chunk).
  unsigned int units = 0;
  /// A remote's address (UTF-8).
  const char* url = nullptr;
  /// Bytes of url.
  size_t urlSize = 0;
};

/// Why a step failed.
enum class Problem : unsigned char {
  kNone,
  kEnd,       ///< the input ends inside the construct, or where one should begin
  kMarker,    ///< a byte that cannot begin anything here
  kChunk,     ///< a chunk followed by a byte that is not the next chunk's marker
  kUtf8,      ///< text that is not UTF-8 as Hessian carries it: utf8() says why
  kTooDeep,   ///< maps, lists and faults nested deeper than the reader's bound
  kUnopened,  ///< a 'z' with nothing open to close
};

/// A short English description of a problem ("the input ends inside a value" and the like).
KELO_API const char* ProblemText(Problem problem);

/// The pull reader: Envelope for a call or reply, then Next (or Skip) step by step. A failed
/// step leaves the reader failed; problem(), problemOffset() and offset() say why and where.
class KELO_API Reader {
 public:
  /// Nesting allowed by default: far beyond any message of the protocols, small in stack.
  static constexpr unsigned int kDefaultDepth = 64;

  /// A reader over size bytes at data, which must stay valid while it is used. maxDepth bounds
  /// the maps, lists and faults open at once.
  Reader(const void* data, size_t size, unsigned int maxDepth = kDefaultDepth) noexcept;

  /// Reads a call or reply opening ('c' or 'r' and two version bytes). A reader that starts this
  /// way then also hands out 'H', 'm' and 'f' at the envelope's level, and the envelope's 'z'.
  bool Envelope(Token& token) noexcept;
  /// Reads the next construct into token. False on failure: problem() says why, problemOffset()
  /// where, offset() how far the reader got; the reader then stays failed. A step that failed
  /// after taking a construct's marker (Envelope too) leaves its kind in token.kind, so that what
  /// the input ends inside can be named.
  bool Next(Token& token) noexcept;
  /// Reads past one whole value (or a header or method with its value) and returns its first
  /// token: a map or list with everything up to its 'z', a string with all its chunks.
  bool Skip(Token& first) noexcept;

  /// Bytes taken so far.
  size_t offset() const noexcept { return pos_; }
  /// Bytes left.
  size_t left() const noexcept { return size_ - pos_; }
  /// The next byte, or -1 at the end of the input.
  int Peek() const noexcept { return pos_ < size_ ? static_cast<unsigned char>(data_[pos_]) : -1; }
  /// Maps, lists and faults open at this point, the envelope counted as one.
  unsigned int depth() const noexcept { return depth_; }
  /// True while a string, XML or blob value has chunks still to come.
  bool inChunks() const noexcept { return chunk_ != 0; }

  /// Why the last step failed; Problem::kNone while none has.
  Problem problem() const noexcept { return problem_; }
  /// The offset of the byte at fault: the wrong marker itself, or where the construct that the
  /// input ends inside began.
  size_t problemOffset() const noexcept { return problemAt_; }
  /// For Problem::kUtf8 (and kEnd inside a character): what is wrong with the text.
  Utf8Status utf8() const noexcept { return utf8_; }

 private:
  bool Fail(Problem problem, size_t at) noexcept;
  bool Number(Token& token, Kind kind, size_t bytes, size_t at) noexcept;
  bool Name(Token& token, size_t at) noexcept;
  bool Chunk(Token& token, char marker, size_t at) noexcept;
  bool Open(Token& token, Kind kind, size_t at) noexcept;

  const char* data_;
  size_t size_;
  size_t pos_ = 0;
  unsigned int maxDepth_;
  unsigned int depth_ = 0;
  // The final-chunk marker ('S', 'X', 'B') while a chunked value continues, else 0.
  char chunk_ = 0;
  // Whether an envelope is open, and which ('c' or 'r').
  char envelope_ = 0;
  Problem problem_ = Problem::kNone;
  size_t problemAt_ = 0;
  Utf8Status utf8_ = kUtf8Ok;
};

}  // namespace kelo::wire
