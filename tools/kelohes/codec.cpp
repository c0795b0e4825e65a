// The catalogue as kelohes shows it: classes found by name, the list of classes, one schema; and
// the check of JSON text before the library reads it.
#include "kelohes/codec.h"

#include <stddef.h>
#include <stdint.h>

#include <algorithm>
#include <iterator>
#include <nlohmann/json.hpp>

#include <kelohessian/wire/utf8.h>

#include "kelohes/text.h"

namespace kelohes {

const kelo::ClassInfo* FindClass(const std::string& name) {
  if (const kelo::ClassInfo* info = kelo::CatalogueFind(name.c_str())) return info;
  const kelo::ClassInfo* found = nullptr;
  for (unsigned int i = 0; i < kelo::CatalogueSize(); ++i) {
    const kelo::ClassInfo* info = kelo::CatalogueAt(i);
    if (name == info->cppName) {
      if (found) return nullptr;  // ambiguous
      found = info;
    }
  }
  return found;
}

std::vector<std::string> NearestClasses(const std::string& name) {
  const bool typeName = name.find('.') != std::string::npos;
  std::vector<std::string> names;
  for (unsigned int i = 0; i < kelo::CatalogueSize(); ++i)
    names.push_back(typeName ? kelo::CatalogueAt(i)->typeName : kelo::CatalogueAt(i)->cppName);
  return Nearest(name, names);
}

// ---- Catalogue text -------------------------------------------------------------------------

namespace {

std::string KindText(const kelo::MemberInfo& m) {
  std::string text = kelo::MemberKindName(m.kind);
  if (m.kind == kelo::KELO_KIND_VALUE || m.kind == kelo::KELO_KIND_PLAIN_LIST) {
    text += ' ';
    text += kelo::MemberKindName(m.carried);
  }
  if (m.type && m.kind != kelo::KELO_KIND_VALUE) {
    text += ' ';
    text += m.type->typeName;
  } else if (m.type) {
    text += " (";
    text += m.type->typeName;
    text += ')';
  }
  return text;
}

void Pad(std::string& out, const std::string& text, size_t width) {
  out += text;
  out.append(width > text.size() ? width - text.size() : 0, ' ');
}

}  // namespace

std::string ClassesText() {
  size_t width = 0;
  for (unsigned int i = 0; i < kelo::CatalogueSize(); ++i)
    width = std::max<size_t>(width, kelo::CatalogueAt(i)->typeNameLength);
  std::string out;
  for (unsigned int i = 0; i < kelo::CatalogueSize(); ++i) {
    const kelo::ClassInfo& info = *kelo::CatalogueAt(i);
    Pad(out, info.typeName, width + 2);
    if (info.classKind == kelo::KELO_CLASS_VALUE) {
      out += "value ";
      out += kelo::MemberKindName(kelo::CatalogueMemberAt(info, 0)->kind);
    } else {
      const unsigned int n = kelo::CatalogueMemberCount(info);
      out += "message, " + std::to_string(n) + (n == 1 ? " member" : " members");
    }
    out += '\n';
  }
  return out;
}

std::string SchemaText(const kelo::ClassInfo& info) {
  const unsigned int n = kelo::CatalogueMemberCount(info);
  std::string out = info.typeName;
  out += info.classKind == kelo::KELO_CLASS_VALUE ? ": value class " : ": message class ";
  out += info.cppName;
  if (info.base) {
    out += ", base ";
    out += info.base->typeName;
  }
  out += ", " + std::to_string(n) + (n == 1 ? " member" : " members");
  if (!info.copyable) out += ", not copyable";
  out += '\n';
  size_t nameWidth = 0;
  size_t kindWidth = 0;
  for (unsigned int i = 0; i < n; ++i) {
    const kelo::MemberInfo& m = *kelo::CatalogueMemberAt(info, i);
    nameWidth = std::max<size_t>(nameWidth, m.nameLength);
    kindWidth = std::max(kindWidth, KindText(m).size());
  }
  for (unsigned int i = 0; i < n; ++i) {
    const kelo::MemberInfo& m = *kelo::CatalogueMemberAt(info, i);
    out += "  ";
    Pad(out, m.name, nameWidth + 2);
    Pad(out, KindText(m), kindWidth + 2);
    out += m.cppType;
    out += '\n';
  }
  return out;
}

// ---- JSON text -------------------------------------------------------------------------------

namespace {

// The catalogue's classes nest a handful of levels; a chain longer than this could only be a
// cycle, which JsonDepth then reports as this many levels rather than recursing without end.
enum { kMaxClassNesting = 64 };

int JsonDepth(const kelo::ClassInfo& info, int nesting) {
  if (info.classKind == kelo::KELO_CLASS_VALUE) return 0;
  if (nesting >= kMaxClassNesting) return kMaxClassNesting;
  int deepest = 0;
  for (unsigned int i = 0; i < kelo::CatalogueMemberCount(info); ++i) {
    const kelo::MemberInfo& m = *kelo::CatalogueMemberAt(info, i);
    if (m.kind == kelo::KELO_KIND_MESSAGE)
      deepest = std::max(deepest, JsonDepth(*m.type, nesting + 1));
    else if (m.kind == kelo::KELO_KIND_LIST)
      deepest = std::max(deepest, 1 + JsonDepth(*m.type, nesting + 1));
    else if (m.kind == kelo::KELO_KIND_PLAIN_LIST)
      deepest = std::max(deepest, 1);  // an array of strings or numbers
    else if (m.kind == kelo::KELO_KIND_ANY)
      deepest = std::max(deepest, kelo::kMaxJsonDepth - 1);  // any value, as deep as JSON goes
  }
  return 1 + deepest;
}

// Hands the text to nlohmann's parser a byte at a time and notes how far it has read: when an
// opening bracket is refused for its depth, the parser has read exactly up to it.
class Walk {
 public:
  using iterator_category = std::input_iterator_tag;
  using value_type = char;
  using difference_type = std::ptrdiff_t;
  using pointer = const char*;
  using reference = const char&;

  Walk(const char* at, const char** reached) : at_(at), reached_(reached) {}
  const char& operator*() const { return *at_; }
  Walk& operator++() {
    *reached_ = ++at_;
    return *this;
  }
  bool operator==(const Walk& other) const { return at_ == other.at_; }
  bool operator!=(const Walk& other) const { return at_ != other.at_; }

 private:
  const char* at_;
  const char** reached_;
};

// What nlohmann's parser says is wrong, and how the tool says it: the first row whose words its
// message holds gives the reason.
const struct {
  const char* theirs;
  const char* ours;
} kJsonReasons[] = {
    {"; expected end of input", "text after the end of the JSON value"},
    {"number overflow", "a number too large for a double"},
    {"missing closing quote", "a string that is not closed"},
    {"control character", "a control character in a string (write it as \\n, \\t or \\u00XX)"},
    {"ill-formed UTF-8", "a byte that is not UTF-8 in a string"},
    {"after backslash", "an unknown escape in a string"},
    {"4 hex digits", "\\u without four hex digits after it"},
    {"surrogate", "\\u escape of half a surrogate pair without the other half"},
    {"invalid number", "a malformed number"},
    {"separator - unexpected", "expected ':' after the member name"},
    {"object - unexpected end of input", "the text ends inside an object"},
    {"array - unexpected end of input", "the text ends inside a list"},
    {"object - unexpected", "expected ',' or '}' after a member"},
    {"array - unexpected", "expected ',' or ']' after an item"},
    {"object key - unexpected", "expected a member name in double quotes"},
    {"unexpected end of input", "the text ends where a value should be"},
    {"", "expected a value: an object, a list, a string, a number, true, false or null"},
};

// Follows the nesting of the text as nlohmann's parser reads it (the parser keeps its own nesting
// in a vector, not on the stack), stops at the first level deeper than maxDepth, and keeps where
// and why the parser refuses the text.
class JsonCheck : public nlohmann::json_sax<nlohmann::json> {
 public:
  JsonCheck(size_t size, size_t maxDepth) : size_(size), maxDepth_(maxDepth) {}

  bool null() override { return true; }
  bool boolean(bool) override { return true; }
  bool number_integer(number_integer_t) override { return true; }
  bool number_unsigned(number_unsigned_t) override { return true; }
  bool number_float(number_float_t, const string_t&) override { return true; }
  bool string(string_t&) override { return true; }
  bool binary(binary_t&) override { return true; }
  bool key(string_t&) override { return true; }
  bool start_object(size_t) override { return Open(); }
  bool start_array(size_t) override { return Open(); }
  bool end_object() override { return Close(); }
  bool end_array() override { return Close(); }
  bool parse_error(size_t position, const std::string& token,
                   const nlohmann::json::exception& e) override {
    const std::string message = e.what();
    const auto says = [&](const char* words) { return message.find(words) != std::string::npos; };
    // The parser counts the byte it stopped at, or the end of the text, as read. A string or
    // number it did not expect was read whole (the token is its bytes): the place is its start.
    at = position - 1;
    if (says("unexpected string literal") || says("unexpected number literal") ||
        says("number overflow"))
      at = position - token.size();
    for (const auto& row : kJsonReasons) {
      if (!says(row.theirs)) continue;
      reason = row.ours;
      break;
    }
    // The end of the text where nothing was opened yet: it holds blanks at most.
    if (depth_ == 0 && says("unexpected end of input")) reason = "no JSON value in the text";
    // The end of the text inside a string, after a backslash as much as anywhere else.
    if (at >= size_ && says("invalid string")) reason = "a string that is not closed";
    return false;
  }

  bool tooDeep = false;  // refused at a bracket beyond maxDepth
  size_t at = 0;         // the byte at fault, when the parser refused the text
  const char* reason = "";

 private:
  bool Open() {
    if (depth_ >= maxDepth_) return !(tooDeep = true);
    ++depth_;
    return true;
  }
  bool Close() {
    --depth_;
    return true;
  }

  size_t size_;
  size_t maxDepth_;
  size_t depth_ = 0;
};

// "JSON at line L, column C: " for the byte at `at`; columns count characters.
std::string JsonPlace(const std::string& text, size_t at) {
  size_t line = 1, from = 0;
  for (size_t i = 0; i < at; ++i) {
    if (text[i] == '\n') {
      ++line;
      from = i + 1;
    }
  }
  size_t column = 1;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text.data());
  for (size_t i = from; i < at; ++column) {
    uint32_t c;
    if (kelo::wire::NextChar(bytes, at, &i, &c) != kelo::wire::kTextOk) ++i;
  }
  return "JSON at line " + std::to_string(line) + ", column " + std::to_string(column) + ": ";
}

}  // namespace

int JsonDepth(const kelo::ClassInfo& info) {
  return JsonDepth(info, 0);
}

namespace {

// Text that nlohmann's parser takes and that nests at most maxDepth levels; otherwise error says
// where and why ("deeper" names what cannot nest so deep).
bool CheckJson(const std::string& text, int maxDepth, const std::string& deeper,
               std::string& error) {
  JsonCheck check(text.size(), static_cast<size_t>(maxDepth));
  const char* reached = text.data();
  const Walk begin(text.data(), &reached), end(text.data() + text.size(), &reached);
  if (nlohmann::json::sax_parse(begin, end, &check)) return true;
  if (check.tooDeep) {
    error = JsonPlace(text, static_cast<size_t>(reached - text.data()) - 1) +
            "nested deeper than " + deeper + " can be (" + std::to_string(maxDepth) + " levels)";
  } else {
    error = JsonPlace(text, check.at) + check.reason;
  }
  return false;
}

}  // namespace

bool FromJson(const std::string& text, CKeloHesClass& object, const kelo::ClassInfo& info,
              std::string& error) {
  if (!CheckJson(text, JsonDepth(info), std::string("any ") + info.typeName, error)) return false;
  const kelo::Status status = kelo::FromJson(text, object);
  if (!status) error = Escaped(status.message());  // it quotes member names and values
  return status.ok();
}

bool FromJson(const std::string& text, kelo::Value& value, std::string& error) {
  if (!CheckJson(text, kMaxValueJsonDepth, "a value", error)) return false;
  const kelo::Status status = kelo::FromJson(text, value);
  if (!status) error = Escaped(status.message());  // the mapping's rules are the library's
  return status.ok();
}

}  // namespace kelohes
