// What kelohes does through the library's catalogue: find a class, print its schema, turn an
// object into JSON and JSON into an object. JSON keys are the wire member names in wire order;
// 64-bit numbers are exact, blobs are lower-case hex strings, a CT_ value class is flattened to
// the value it carries, null values are null.
#pragma once

#include <string>

#include <kelohessian/kelohessian.h>
#include <kelohessian/schema/detail/legacy_names.h>

namespace kelohes {

// The class of a wire type name ("kelo.cl.ReqConnect"), or of a C++ class name ("ReqConnect")
// that names exactly one class; null otherwise.
const KeloClassInfo* FindClass(const std::string& name);

// One line per catalogue class: type name, class kind, members.
std::string ClassesText();
// The class's members in wire order (bases first): wire name, kind, C++ type.
std::string SchemaText(const KeloClassInfo& info);

// The object as pretty-printed JSON (two blanks per level, no final newline). Strings are
// written as UTF-8 with every surrogate unit as a \uXXXX escape, so the text is always valid
// UTF-8. Doubles that JSON cannot hold are the strings "NaN", "Infinity" and "-Infinity".
std::string ToJson(CKeloHesClass& object, const KeloClassInfo& info);

// Sets the members that the JSON text names; the others keep their values. False, with a message
// naming the member's path ("m_list[2].m_name: ..."), for text that is not JSON, an unknown
// member, a value of the wrong kind or out of range, or a character above U+FFFF.
bool FromJson(const std::string& text, CKeloHesClass& object, const KeloClassInfo& info,
              std::string& error);

// "KELO_E_FORMAT" and the like for a result code; "unknown" for any other.
const char* ResultName(int rc);

}  // namespace kelohes
