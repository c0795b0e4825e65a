// What kelohes does through the library's catalogue: find a class, print its schema, turn an
// object or any value into JSON and JSON into an object or a value (through KeloHessian::json,
// kelohessian/json/json.h).
#pragma once

#include <string>
#include <vector>

#include <kelohessian/json/json.h>
#include <kelohessian/kelohessian.h>

namespace kelohes {

// The class of a wire type name ("kelo.cl.ReqConnect"), or of a C++ class name ("ReqConnect")
// that names exactly one class; null otherwise.
const kelo::ClassInfo* FindClass(const std::string& name);
// The names of classes nearest to a name FindClass does not know (kelohes::Nearest): wire type
// names for a name with a '.', C++ class names for one without.
std::vector<std::string> NearestClasses(const std::string& name);

// One line per catalogue class: type name, class kind, members.
std::string ClassesText();
// The class's members in wire order (bases first): wire name, kind, C++ type.
std::string SchemaText(const kelo::ClassInfo& info);

// The library's JSON of an object of the class info (found for it by kelohes).
inline std::string ToJson(const CKeloHesClass& object, const kelo::ClassInfo& /*info*/) {
  return kelo::ToJson(object);
}

// How deep the JSON of an object of the class can nest: one level for each object (a message)
// and each array (a list, of messages or of strings and numbers) on the way down, none for a value
// class, which is flattened to its value.
int JsonDepth(const kelo::ClassInfo& info);

// The library's FromJson, after a reading of the text by nlohmann's parser (the library's) that
// builds no tree: text that is not JSON is refused with the line, the column and what is wrong
// there, and text nested deeper than JsonDepth(info) levels (which no object of the class can
// take) never reaches the library. error holds the reason on failure, ready to print: the
// check's, or the library's message escaped (Escape::kMessage), since it quotes the text.
bool FromJson(const std::string& text, CKeloHesClass& object, const kelo::ClassInfo& info,
              std::string& error);

// How deep the JSON of any value can nest: a map or list takes up to three levels
// ({"$map": [[key, value]]}), and values nest kelo::kMaxValueDepth levels.
constexpr int kMaxValueJsonDepth = 3 * static_cast<int>(kelo::kMaxValueDepth) + 1;

// Any value from the JSON mapping of kelo::ToJson(const kelo::Value&), through the same check as
// above (nesting bounded by kMaxValueJsonDepth) and then the library's FromJson.
bool FromJson(const std::string& text, kelo::Value& value, std::string& error);

}  // namespace kelohes
