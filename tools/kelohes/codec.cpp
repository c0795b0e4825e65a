// The catalogue as kelohes shows it: classes found by name, the list of classes, one schema; and
// the check of JSON text before the library reads it.
#include "kelohes/codec.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>

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
  if (m.kind == kelo::KELO_KIND_VALUE) {
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
  }
  return 1 + deepest;
}

// Reads JSON text as nlohmann-json (the library's parser) reads it, accepting and refusing the
// same texts, but builds nothing and keeps its nesting in a vector rather than on the stack.
class JsonCheck {
 public:
  JsonCheck(const std::string& text, int maxDepth, const char* typeName)
      : text_(text), maxDepth_(static_cast<size_t>(maxDepth)), typeName_(typeName) {}

  bool Run() {
    enum { kValue, kKey, kAfter } want = kValue;
    std::vector<char> open;                                  // the '{' and '[' not closed yet
    if (text_.compare(0, 3, "\xEF\xBB\xBF") == 0) pos_ = 3;  // a byte order mark, skipped
    for (;;) {
      SkipBlanks();
      // The parser takes a zero byte outside a string for the end of the text, as in a C string.
      const bool end = pos_ == text_.size() || text_[pos_] == '\0';
      if (want == kAfter) {
        if (open.empty()) return end || Fail("text after the end of the JSON value");
        const bool object = open.back() == '{';
        if (end)
          return Fail(object ? "the text ends inside an object" : "the text ends inside a list");
        if (text_[pos_] == ',') {
          ++pos_;
          want = object ? kKey : kValue;
        } else if (text_[pos_] == (object ? '}' : ']')) {
          ++pos_;
          open.pop_back();
        } else {
          return Fail(object ? "expected ',' or '}' after a member"
                             : "expected ',' or ']' after an item");
        }
        continue;
      }
      if (end)
        return Fail(open.empty() ? "no JSON value in the text"
                                 : "the text ends where a value should be");
      const char c = text_[pos_];
      if (want == kKey) {
        if (c != '"') return Fail("expected a member name in double quotes");
        if (!String()) return false;
        SkipBlanks();
        if (pos_ == text_.size() || text_[pos_] != ':')
          return Fail("expected ':' after the member name");
        ++pos_;
        want = kValue;
        continue;
      }
      want = kAfter;
      if (c == '{' || c == '[') {
        if (open.size() >= maxDepth_)
          return Fail("nested deeper than any " + std::string(typeName_) + " can be (" +
                      std::to_string(maxDepth_) + " levels)");
        open.push_back(c);
        ++pos_;
        SkipBlanks();
        if (pos_ < text_.size() && text_[pos_] == (c == '{' ? '}' : ']')) {
          ++pos_;
          open.pop_back();
        } else {
          want = c == '{' ? kKey : kValue;
        }
      } else if (c == '"') {
        if (!String()) return false;
      } else if (c == '-' || (c >= '0' && c <= '9')) {
        if (!Number()) return false;
      } else if (!Word()) {
        return false;
      }
    }
  }

  const std::string& Error() const { return error_; }

 private:
  // "line L, column C: reason" for the place at: columns count characters, not bytes.
  bool Fail(const std::string& reason, size_t at) {
    size_t line = 1, lineStart = 0;
    for (size_t i = 0; i < at; ++i)
      if (text_[i] == '\n') {
        ++line;
        lineStart = i + 1;
      }
    size_t column = 1;
    for (size_t i = lineStart; i < at; ++i) column += (text_[i] & 0xC0) != 0x80;
    error_ = "JSON at line " + std::to_string(line) + ", column " + std::to_string(column) + ": " +
             reason;
    return false;
  }
  bool Fail(const std::string& reason) { return Fail(reason, pos_); }

  void SkipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                   text_[pos_] == '\n' || text_[pos_] == '\r'))
      ++pos_;
  }
  bool Digit() const { return pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9'; }
  void Digits() {
    while (Digit()) ++pos_;
  }

  // The four hex digits at text_[at], or -1.
  long Hex4(size_t at) const {
    if (at > text_.size() || text_.size() - at < 4) return -1;
    long value = 0;
    for (size_t i = at; i < at + 4; ++i) {
      const char c = text_[i];
      const int digit = c >= '0' && c <= '9'   ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
      if (digit < 0) return -1;
      value = value * 16 + digit;
    }
    return value;
  }

  bool String() {
    const size_t start = pos_++;
    for (;;) {
      if (pos_ == text_.size()) return Fail("a string that is not closed", start);
      const unsigned char c = static_cast<unsigned char>(text_[pos_]);
      if (c == '"') {
        ++pos_;
        return true;
      }
      if (c < 0x20)
        return Fail("a control character in a string (write it as \\n, \\t or \\u00XX)");
      if (c >= 0x80) {
        const size_t n = Utf8Length(text_, pos_);
        if (n == 0) return Fail("a byte that is not UTF-8 in a string");
        pos_ += n;
        continue;
      }
      if (c != '\\') {
        ++pos_;
        continue;
      }
      if (pos_ + 1 == text_.size()) return Fail("a string that is not closed", start);
      const char e = text_[pos_ + 1];
      if (e != 'u') {
        if (!strchr("\"\\/bfnrt", e) || e == '\0') return Fail("an unknown escape in a string");
        pos_ += 2;
        continue;
      }
      // \uXXXX; a surrogate is allowed only as the first half of a pair, with the second after.
      const long unit = Hex4(pos_ + 2);
      if (unit < 0) return Fail("\\u without four hex digits after it");
      if (unit >= 0xDC00 && unit <= 0xDFFF)
        return Fail("\\u escape of the second half of a surrogate pair without the first");
      if (unit >= 0xD800 && unit <= 0xDBFF) {
        const bool escape = text_.size() - pos_ >= 8 && text_.compare(pos_ + 6, 2, "\\u") == 0;
        const long low = escape ? Hex4(pos_ + 8) : -1;
        if (low < 0xDC00 || low > 0xDFFF)
          return Fail("\\u escape of the first half of a surrogate pair without the second");
        pos_ += 6;
      }
      pos_ += 6;
    }
  }

  bool Number() {
    const size_t start = pos_;
    if (text_[pos_] == '-') ++pos_;
    if (!Digit()) return Fail("a malformed number", start);
    if (text_[pos_++] != '0') Digits();
    if (pos_ < text_.size() && text_[pos_] == '.') {
      ++pos_;
      if (!Digit()) return Fail("a malformed number", start);
      Digits();
    }
    const bool exponent = pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E');
    if (exponent) {
      ++pos_;
      if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
      if (!Digit()) return Fail("a malformed number", start);
      Digits();
    }
    // The parser reads a number beyond 64-bit integers as a double, and refuses one beyond that,
    // which takes an exponent or more than 308 digits.
    if (!exponent && pos_ - start <= 308) return true;
    const std::string number = text_.substr(start, pos_ - start);
    if (!isfinite(strtod(number.c_str(), nullptr)))
      return Fail("a number too large for a double", start);
    return true;
  }

  bool Word() {
    for (const char* word : {"true", "false", "null"}) {
      if (text_.compare(pos_, strlen(word), word) == 0) {
        pos_ += strlen(word);
        return true;
      }
    }
    return Fail("expected a value: an object, a list, a string, a number, true, false or null");
  }

  const std::string& text_;
  size_t maxDepth_;
  const char* typeName_;
  size_t pos_ = 0;
  std::string error_;
};

}  // namespace

int JsonDepth(const kelo::ClassInfo& info) {
  return JsonDepth(info, 0);
}

bool FromJson(const std::string& text, CKeloHesClass& object, const kelo::ClassInfo& info,
              std::string& error) {
  JsonCheck check(text, JsonDepth(info), info.typeName);
  if (!check.Run()) {
    error = check.Error();
    return false;
  }
  const kelo::Status status = kelo::FromJson(text, object);
  if (!status) error = Escaped(status.message());  // it quotes member names and values
  return status.ok();
}

}  // namespace kelohes
