/// \file
/// JSON for every class of the catalogue, in the optional library KeloHessian::json: keys are the
/// wire member names in wire order (bases first); 64-bit numbers are exact; blobs are lower-case
/// hex strings; a CT_ value class is flattened to the value it carries; null values are null.
#pragma once

#include <string>
#include <string_view>

#include <kelohessian/hessian/hes_class.h>
#include <kelohessian/kelo.h>

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

/// The object as pretty-printed JSON (two blanks per level, no final newline). Strings are UTF-8
/// with every surrogate unit as a \\uXXXX escape, so the text is always valid UTF-8; doubles that
/// JSON cannot hold are the strings "NaN", "Infinity" and "-Infinity". Empty for a class the
/// catalogue does not know, and when memory runs out.
KELO_JSON_API std::string ToJson(const CKeloHesClass& object);

/// Sets the members that the text names; the others keep their values. KELO_E_FORMAT, with a
/// message naming the member's path ("m_list[2].m_name: ..."), for text that is not JSON, an
/// unknown member, or a value of the wrong kind or out of range; KELO_E_NOT_SUPPORTED for a
/// character above U+FFFF or a class the catalogue does not know. On failure, members set before
/// the failing one keep their new values.
KELO_JSON_API Status FromJson(std::string_view text, CKeloHesClass& object);

}  // namespace kelo
