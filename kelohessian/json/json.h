/// \file
/// JSON for every class with a description (the catalogue's and a program's own), in the optional
/// library KeloHessian::json: keys are the wire member names in wire order (bases first); numbers
/// are the exact bits they carry; blobs are lower-case hex strings; a CT_ value class is flattened
/// to the value it carries; lists, of message classes or of strings, booleans and numbers, are
/// arrays; null values (a string item of a list too) are null. What ToJson writes, FromJson reads
/// back to the same bytes on the wire. Any kelo::Value too, by the mapping of docs/values.md.
#pragma once

#include <string>
#include <string_view>

#include <kelohessian/hessian/hes_class.h>
#include <kelohessian/kelo.h>
#include <kelohessian/value.h>

#if defined(KELOHESSIAN_STATIC)
#define KELO_JSON_API
#elif defined(_WIN32) || defined(__CYGWIN__)
#if defined(KELOHESSIAN_JSON_BUILDING)
#define KELO_JSON_API __declspec(dllexport)
#else
#define KELO_JSON_API __declspec(dllimport)
#endif
#else
#define KELO_JSON_API __attribute__((visibility("default")))
#endif

namespace kelo {

/// How deeply FromJson lets objects and lists nest, the outermost object being level 1. The
/// deepest class of the catalogue needs 4; 64 is the bound that unknown Hessian values have too
/// (KELO_MAX_SKIP_DEPTH). Deeper text is refused while it is parsed, before anything is built from
/// it, so that neither the parser's tree nor any walk over it grows with the input.
inline constexpr int kMaxJsonDepth = 64;

/// The object as pretty-printed JSON (two blanks per level, no final newline). Strings are UTF-8
/// with every surrogate unit as a \\uXXXX escape, so the text is always valid UTF-8. An 8- or
/// 16-bit member shows the 32-bit value it carries on the wire, which may lie beyond its C++ type
/// when it was read from the wire. Doubles that JSON cannot hold are the strings "Infinity",
/// "-Infinity", "NaN" (the NaN 7FF8000000000000) and "NaN(0x" + the 16 hex digits of any other
/// NaN's bits + ")". Empty for a class without a description (one that registers its members by
/// hand, CKeloHesClass::Description), and when memory runs out.
KELO_JSON_API std::string ToJson(const CKeloHesClass& object);

/// Sets the members that the text names; the others keep their values. Takes back everything
/// ToJson writes: a \\uXXXX escape of a surrogate is that one unit, paired or not, and a member of
/// 32 bits or less takes any value of 32 bits, signed or unsigned as the member is. KELO_E_FORMAT,
/// with a message naming the member's path ("m_list[2].m_name: ..."), for text that is not JSON or
/// nests deeper than kMaxJsonDepth, an unknown member, or a value of the wrong kind or out of
/// range; KELO_E_NOT_SUPPORTED for a character above U+FFFF in UTF-8 (rather than as two escaped
/// units) and for a class without a description. Text that is not JSON changes nothing; on
/// any other failure, members set before the failing one keep their new values (a list of
/// strings or numbers whose item is refused is left empty).
KELO_JSON_API Status FromJson(std::string_view text, CKeloHesClass& object);

/// Any value as pretty-printed JSON (docs/values.md gives the mapping): null, booleans, 32-bit
/// integers, doubles and strings as themselves; a Long as {"$long": "DIGITS"} (exact in any
/// reader), a Date as {"$date": MILLISECONDS}, XML, blobs (hex), remote objects and doubles JSON
/// cannot hold as one-key objects; an untyped list whose 'l' length is its count as an array, an
/// untyped map with distinct string keys as an object ("$type" first when typed), any other list
/// or map as {"$type", "$length", "$list"} or {"$type", "$map": [[key, value], ...]}. A map or list
/// printed before is printed as {"$ref": n}, n numbering them in the order they are first printed
/// (the order of 'R' on the wire), so the text is linear in the value's nodes, cycles included.
/// Empty when memory runs out or the value nests deeper than kMaxValueDepth.
KELO_JSON_API std::string ToJson(const Value& value);

/// Reads back what ToJson writes, and any JSON: an integer is an Int when it fits 32 bits, a Long
/// otherwise; a number with a fraction or exponent a Double; an array an untyped list with its
/// count as 'l' length; an object an untyped map. KELO_E_FORMAT, with a message, for text that is
/// not JSON, nests deeper than three levels per kMaxValueDepth, or misuses a '$' key (a {"$ref"}
/// to a number not printed yet included). On failure value is left alone.
KELO_JSON_API Status FromJson(std::string_view text, Value& value);

}  // namespace kelo
