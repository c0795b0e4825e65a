// JSON for the catalogue's classes. JSON is read with nlohmann-json (a private dependency of this
// library only); it is written by hand, so that member order, exact 64-bit numbers and escaped
// surrogate units are under our control. Numbers whose C++ value does not show every bit they
// carry on the wire (8- and 16-bit members, NaNs) are read and set through their wire encoding.
#include <kelohessian/json/json.h>

#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <errno.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <limits>
#include <map>
#include <new>
#include <nlohmann/json.hpp>
#include <set>
#include <unordered_map>
#include <vector>

#include <kelohessian/hessian/array.h>
#include <kelohessian/kelo/any.h>
#include <kelohessian/schema/catalogue.h>
#include <kelohessian/wire/utf8.h>

namespace kelo {

// Objects keep their keys in text order: a member of any value holds maps whose order is part of
// what they say.
using json = nlohmann::ordered_json;

namespace {

// The value that a JSON tree of the value mapping gives (a member of any value); defined with that
// mapping below.
Status ValueFromTree(const json& j, Value& out);

// The catalogue's description of the object's class, found by its wire type name.

// The NaN that "NaN" stands for: the one Java's Double.NaN is.
constexpr unsigned long long kPlainNaN = 0x7FF8000000000000ull;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The number that count hex digits (at most 16) write; false when one of them is none.
bool FromHex(const char* digits, size_t count, unsigned long long& value) {
  value = 0;
  for (size_t i = 0; i < count; ++i) {
    const int digit = HexDigit(digits[i]);
    if (digit < 0) return false;
    value = value << 4 | static_cast<unsigned int>(digit);
  }
  return true;
}

// The bits after the marker of a number member's encoding ('I' and 4 bytes, 'D' and 8). The C++
// conversions of 8- and 16-bit members keep only the low bits of a wider value read from the wire,
// and a double returned through the x87 stack loses a signalling NaN's bits. Throws
// std::bad_alloc when no buffer can be had (ToJson then gives its empty answer).
unsigned long long WireBits(const CKeloHesObject& number) {
  CKeloOutput out(16);
  if (number.Serialize(out) != 0) throw std::bad_alloc();
  unsigned long long bits = 0;
  for (unsigned int i = 1; i < out.DataSize(); ++i)
    bits = bits << 8 | static_cast<unsigned char>(out.Data()[i]);
  return bits;
}

// Sets a number member to the given bits by reading its own encoding: the one way to give an 8-
// or 16-bit member a value beyond its C++ type, or a double an exact NaN.
int SetWireBits(CKeloHesObject& number, char marker, unsigned long long bits, unsigned int bytes) {
  char wire[9] = {marker};
  for (unsigned int i = 0; i < bytes; ++i)
    wire[1 + i] = static_cast<char>(bits >> (8 * (bytes - 1 - i)));
  CKeloInput in(wire, 1 + bytes);
  CKeloInputParse parse(in);
  return number.Deserialize(parse);
}

}  // namespace

// ---- Object to JSON -------------------------------------------------------------------------

namespace {

void AppendJsonString(std::string& out, const short* data, unsigned int length) {
  static const char kHex[] = "0123456789ABCDEF";
  out.push_back('"');
  for (unsigned int i = 0; i < length; ++i) {
    const unsigned int u = static_cast<unsigned short>(data[i]);
    if (u == '"' || u == '\\') {
      out.push_back('\\');
      out.push_back(static_cast<char>(u));
    } else if (u == '\n') {
      out += "\\n";
    } else if (u == '\t') {
      out += "\\t";
    } else if (u == '\r') {
      out += "\\r";
    } else if (u < 0x20 || (u >= 0xD800 && u <= 0xDFFF)) {
      const char esc[6] = {
          '\\',         'u', kHex[(u >> 12) & 0xF], kHex[(u >> 8) & 0xF], kHex[(u >> 4) & 0xF],
          kHex[u & 0xF]};
      out.append(esc, 6);
    } else {
      char bytes[4];
      out.append(bytes, kelo::wire::PutChar(u, bytes));
    }
  }
  out.push_back('"');
}

// The shortest decimal form that reads back as the same double, always with a '.' or exponent.
void AppendDouble(std::string& out, const CKeloHesDouble& d) {
  const double v = d;
  if (isnan(v)) {
    const unsigned long long bits = WireBits(d);
    char text[32] = "\"NaN\"";
    if (bits != kPlainNaN) snprintf(text, sizeof text, "\"NaN(0x%016llx)\"", bits);
    out += text;
    return;
  }
  if (isinf(v)) {
    out += v > 0 ? "\"Infinity\"" : "\"-Infinity\"";
    return;
  }
  char buf[40];
  for (int precision = 15; precision <= 17; ++precision) {
    snprintf(buf, sizeof buf, "%.*g", precision, v);
    if (strtod(buf, nullptr) == v) break;
  }
  out += buf;
  if (!strpbrk(buf, ".eEn")) out += ".0";
}

void Indent(std::string& out, int level) {
  out.push_back('\n');
  out.append(static_cast<size_t>(level) * 2, ' ');
}

void AppendObject(std::string& out, CKeloHesClass& object, const kelo::ClassInfo& info, int level);

// A scalar, string or blob of the given kind.
void AppendScalar(std::string& out, CKeloHesObject& m, kelo::MemberKind kind) {
  switch (kind) {
    // What the member carries, not its C++ value: a wider wire value is sent again whole.
    case kelo::KELO_KIND_INT8:
    case kelo::KELO_KIND_INT16:
      out += std::to_string(static_cast<int>(static_cast<unsigned int>(WireBits(m))));
      break;
    case kelo::KELO_KIND_UINT8:
    case kelo::KELO_KIND_UINT16:
      out += std::to_string(static_cast<unsigned int>(WireBits(m)));
      break;
    case kelo::KELO_KIND_INT32:
      out += std::to_string(static_cast<int>(static_cast<CKeloHesInt32&>(m)));
      break;
    case kelo::KELO_KIND_UINT32:
      out += std::to_string(static_cast<unsigned int>(static_cast<CKeloHesUInt32&>(m)));
      break;
    case kelo::KELO_KIND_INT64:
      out += std::to_string(static_cast<long long>(static_cast<CKeloHesInt64&>(m)));
      break;
    case kelo::KELO_KIND_UINT64:
      out += std::to_string(static_cast<unsigned long long>(static_cast<CKeloHesUInt64&>(m)));
      break;
    case kelo::KELO_KIND_BOOL:
      out += static_cast<bool>(static_cast<CKeloHesBool&>(m)) ? "true" : "false";
      break;
    case kelo::KELO_KIND_DOUBLE:
      AppendDouble(out, static_cast<CKeloHesDouble&>(m));
      break;
    case kelo::KELO_KIND_DATE:
      // Milliseconds are shown signed, as the dump shows them.
      out += std::to_string(
          static_cast<long long>(static_cast<unsigned long long>(static_cast<CKeloHesDate&>(m))));
      break;
    case kelo::KELO_KIND_STRING: {
      const CKeloHesString& s = static_cast<CKeloHesString&>(m);
      if (s.IsNull()) {
        out += "null";
      } else {
        const short* units;
        const unsigned int length = s.Data(units);
        AppendJsonString(out, units, length);
      }
      break;
    }
    case kelo::KELO_KIND_BINARY: {
      const CKeloHesBinary& b = static_cast<CKeloHesBinary&>(m);
      if (b.IsNull()) {
        out += "null";
      } else {
        static const char kHex[] = "0123456789abcdef";
        const char* bytes;
        const unsigned int length = b.Data(bytes);
        out.push_back('"');
        for (unsigned int i = 0; i < length; ++i) {
          const unsigned char c = static_cast<unsigned char>(bytes[i]);
          out.push_back(kHex[c >> 4]);
          out.push_back(kHex[c & 0xF]);
        }
        out.push_back('"');
      }
      break;
    }
    default:
      out += "null";
  }
}

// A value class flattened to the value it carries.
void AppendValueClass(std::string& out, CKeloHesClass& object, const kelo::ClassInfo& info) {
  if (object.IsNull()) {
    out += "null";
    return;
  }
  const kelo::MemberInfo& value = *kelo::CatalogueMemberAt(info, 0);
  AppendScalar(out, value.access(object), value.kind);
}

// Any value by the value mapping, indented to the member's level.
void AppendAny(std::string& out, const CKeloHesAny& m, int level) {
  const std::string text = ToJson(m.Get());
  if (text.empty()) throw std::bad_alloc();  // ToJson(Value) fails only when memory runs out
  for (const char c : text) {
    out.push_back(c);
    if (c == '\n') out.append(static_cast<size_t>(level) * 2, ' ');
  }
}

void AppendMember(std::string& out, CKeloHesObject& m, const kelo::MemberInfo& info, int level) {
  switch (info.kind) {
    case kelo::KELO_KIND_ANY:
      AppendAny(out, static_cast<CKeloHesAny&>(m), level);
      break;
    case kelo::KELO_KIND_VALUE:
      AppendValueClass(out, static_cast<CKeloHesClass&>(m), *info.type);
      break;
    case kelo::KELO_KIND_MESSAGE:
      if (m.IsNull())
        out += "null";
      else
        AppendObject(out, static_cast<CKeloHesClass&>(m), *info.type, level);
      break;
    case kelo::KELO_KIND_LIST:
    case kelo::KELO_KIND_PLAIN_LIST: {
      if (m.IsNull()) {
        out += "null";
        break;
      }
      // A list of message classes through its list access; one of strings or numbers directly.
      const bool plain = info.kind == kelo::KELO_KIND_PLAIN_LIST;
      CKeloHesPlainArrayBase* scalars = plain ? static_cast<CKeloHesPlainArrayBase*>(&m) : nullptr;
      const int count = plain ? scalars->Count() : info.list->count(m);
      if (count == 0) {
        out += "[]";
        break;
      }
      out.push_back('[');
      for (int i = 0; i < count; ++i) {
        Indent(out, level + 1);
        CKeloHesClass* item = plain ? nullptr : info.list->at(m, i);
        if (plain)
          AppendScalar(out, *scalars->ItemAt(i), info.carried);
        else if (!item || item->IsNull())
          out += "null";
        else
          AppendObject(out, *item, *info.type, level + 1);
        if (i + 1 < count) out.push_back(',');
      }
      Indent(out, level);
      out.push_back(']');
      break;
    }
    default:
      AppendScalar(out, m, info.kind);
  }
}

void AppendObject(std::string& out, CKeloHesClass& object, const kelo::ClassInfo& info, int level) {
  if (info.classKind == kelo::KELO_CLASS_VALUE) {
    AppendValueClass(out, object, info);
    return;
  }
  const unsigned int n = kelo::CatalogueMemberCount(info);
  if (n == 0) {
    out += "{}";
    return;
  }
  out.push_back('{');
  for (unsigned int i = 0; i < n; ++i) {
    const kelo::MemberInfo& m = *kelo::CatalogueMemberAt(info, i);
    Indent(out, level + 1);
    out.push_back('"');
    out.append(m.name, m.nameLength);  // wire names are plain ASCII identifiers
    out += "\": ";
    AppendMember(out, m.access(object), m, level + 1);
    if (i + 1 < n) out.push_back(',');
  }
  Indent(out, level);
  out.push_back('}');
}

}  // namespace

std::string ToJson(const CKeloHesClass& constObject) {
  try {
    const kelo::ClassInfo* info = constObject.Description();
    if (!info) return std::string();
    // The catalogue reaches members through non-const objects; nothing is changed.
    CKeloHesClass& object = const_cast<CKeloHesClass&>(constObject);
    std::string out;
    if (object.IsNull())
      out = "null";
    else
      AppendObject(out, object, *info, 0);
    return out;
  } catch (const std::exception&) {
    return std::string();
  }
}

// ---- JSON to object -------------------------------------------------------------------------

namespace {

// At most 32 bytes of the text, cut before a character rather than inside one: error texts quote
// the input, and must not grow with it.
std::string Cut(const std::string& text) {
  if (text.size() <= 32) return text;
  size_t n = 32;
  while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  return text.substr(0, n) + "...";
}

// A value as an error text shows it: a structure by its kind alone (dumping it would recurse over
// and copy all of it), a string cut short, any other value as JSON.
std::string Shown(const json& j) {
  if (j.is_object()) return "an object";
  if (j.is_array()) return "a list";
  // The replacement character stands for the surrogate units that parsing put into strings.
  if (j.is_string())
    return json(Cut(j.get_ref<const std::string&>()))
        .dump(-1, ' ', false, json::error_handler_t::replace);
  return j.dump();
}

// The 16-bit units of a parsed string: UTF-8 as the parser checked it, with surrogate units in
// their 3-byte form (see Parse). The byte offset of the first character above U+FFFF, which no
// unit holds, or npos.
size_t Units(const std::string& text, std::vector<short>& units) {
  const size_t n = text.size();
  units.resize(n);  // one unit per byte at most
  size_t consumed = 0;
  size_t decoded = 0;
  // Asked for more characters than there can be, the walk ends at the end of the text.
  const kelo::wire::Utf8Status status =
      kelo::wire::DecodeUtf8(reinterpret_cast<const unsigned char*>(text.data()), n, n + 1,
                             reinterpret_cast<unsigned short*>(units.data()), &consumed, &decoded);
  units.resize(decoded);
  if (status == kelo::wire::kUtf8Exhausted && consumed == n) return std::string::npos;
  return consumed - 1;  // the parser checked the text: only a 4-byte lead byte stops the walk
}

class Filler {
 public:
  explicit Filler(Status& status) : status_(status) {}

  bool Object(const json& j, CKeloHesClass& object, const kelo::ClassInfo& info,
              const std::string& path) {
    if (info.classKind == kelo::KELO_CLASS_VALUE) return ValueClass(j, object, info, path);
    if (j.is_null()) {
      object.SetNull(true);
      return true;
    }
    if (!j.is_object()) return Wrong(path, std::string("an object of ") + info.typeName, j);
    object.SetNull(false);
    const unsigned int n = kelo::CatalogueMemberCount(info);
    for (auto it = j.begin(); it != j.end(); ++it) {
      const kelo::MemberInfo* member = nullptr;
      for (unsigned int i = 0; i < n && !member; ++i) {
        const kelo::MemberInfo* m = kelo::CatalogueMemberAt(info, i);
        if (it.key().size() == m->nameLength &&
            memcmp(it.key().data(), m->name, m->nameLength) == 0)
          member = m;
      }
      // A key that names no member is cut short: it is input, and may be long.
      const std::string key = member ? it.key() : Cut(it.key());
      const std::string memberPath = path.empty() ? key : path + "." + key;
      if (!member) return Fail(memberPath, std::string("no such member in ") + info.typeName);
      if (!Member(it.value(), member->access(object), *member, memberPath)) return false;
    }
    return true;
  }

 private:
  bool Fail(const std::string& path, const std::string& message, int code = KELO_E_FORMAT) {
    status_ = Status(code, (path.empty() ? std::string("(top level)") : path) + ": " + message, 0);
    return false;
  }
  bool Wrong(const std::string& path, const std::string& expected, const json& got) {
    return Fail(path, "expected " + expected + ", got " + Shown(got));
  }

  bool ValueClass(const json& j, CKeloHesClass& object, const kelo::ClassInfo& info,
                  const std::string& path) {
    const kelo::MemberInfo& value = *kelo::CatalogueMemberAt(info, 0);
    if (j.is_null() && value.kind != kelo::KELO_KIND_BINARY) {
      // Written as the full map all the same; accepted so that decode output reads back.
      object.SetNull(true);
      return true;
    }
    object.SetNull(false);
    return Scalar(j, value.access(object), value.kind, path);
  }

  bool Member(const json& j, CKeloHesObject& m, const kelo::MemberInfo& info,
              const std::string& path) {
    switch (info.kind) {
      case kelo::KELO_KIND_VALUE:
        return ValueClass(j, static_cast<CKeloHesClass&>(m), *info.type, path);
      case kelo::KELO_KIND_MESSAGE:
        return Object(j, static_cast<CKeloHesClass&>(m), *info.type, path);
      case kelo::KELO_KIND_LIST:
        return List(j, m, info, path);
      case kelo::KELO_KIND_PLAIN_LIST:
        return PlainList(j, static_cast<CKeloHesPlainArrayBase&>(m), info, path);
      case kelo::KELO_KIND_ANY: {
        Value value;
        if (Status s = ValueFromTree(j, value); !s) return Fail(path, s.message(), s.code());
        static_cast<CKeloHesAny&>(m).Set(std::move(value));
        return true;
      }
      default:
        return Scalar(j, m, info.kind, path);
    }
  }

  bool List(const json& j, CKeloHesObject& list, const kelo::MemberInfo& info,
            const std::string& path) {
    if (j.is_null()) {
      list.SetNull(true);
      return true;
    }
    if (!j.is_array()) return Wrong(path, std::string("a list of ") + info.type->typeName, j);
    static_cast<CKeloHesArrayBase&>(list).Reset();
    for (size_t i = 0; i < j.size(); ++i) {
      const std::string itemPath = path + "[" + std::to_string(i) + "]";
      CKeloHesClass* item = info.type->create();
      if (!item) return Fail(itemPath, "out of memory", KELO_E_NO_MEMORY);
      if (!Object(j[i], *item, *info.type, itemPath)) {
        delete item;
        return false;
      }
      if (int rc = info.list->add(list, *item); rc != 0) {
        delete item;
        return Fail(itemPath, std::string("cannot add the item: ") + ResultName(rc), rc);
      }
    }
    return true;
  }

  // Items of the member's item kind; a string item may be null, as on the wire.
  bool PlainList(const json& j, CKeloHesPlainArrayBase& list, const kelo::MemberInfo& info,
                 const std::string& path) {
    if (j.is_null()) {
      list.SetNull(true);
      return true;
    }
    if (!j.is_array())
      return Wrong(path, std::string("a list of ") + kelo::MemberKindName(info.carried), j);
    list.Reset();
    for (size_t i = 0; i < j.size(); ++i) {
      const std::string itemPath = path + "[" + std::to_string(i) + "]";
      CKeloHesObject* item = list.AppendItem();
      if (!item) return Fail(itemPath, "out of memory", KELO_E_NO_MEMORY);
      if (!Scalar(j[i], *item, info.carried, itemPath)) {
        list.Reset();  // no default item stands in for the refused one
        return false;
      }
    }
    return true;
  }

  // An integer within [lo, hi], as a signed or an unsigned 64-bit value.
  bool Integer(const json& j, long long lo, unsigned long long hi, const std::string& path,
               long long& s, unsigned long long& u) {
    const std::string range = "an integer from " + std::to_string(lo) + " to " + std::to_string(hi);
    if (j.is_number_unsigned()) {
      u = j.get<unsigned long long>();
      if (u > hi) return Wrong(path, range, j);
      s = static_cast<long long>(u);
      return true;
    }
    if (j.is_number_integer()) {
      s = j.get<long long>();
      if (s < lo || (s > 0 && static_cast<unsigned long long>(s) > hi))
        return Wrong(path, range, j);
      u = static_cast<unsigned long long>(s);
      return true;
    }
    return Wrong(path, range, j);
  }

  // Every integer of 32 bits or less is carried in 32 bits and takes their whole range, signed
  // or not as the member is: an 8- or 16-bit member read from the wire may hold such a value.
  bool Scalar(const json& j, CKeloHesObject& m, kelo::MemberKind kind, const std::string& path) {
    long long s = 0;
    unsigned long long u = 0;
    switch (kind) {
      case kelo::KELO_KIND_INT8:
      case kelo::KELO_KIND_INT16:
      case kelo::KELO_KIND_INT32:
        if (!Integer(j, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), path, s,
                     u))
          return false;
        return Number32(m, u, path);
      case kelo::KELO_KIND_UINT8:
      case kelo::KELO_KIND_UINT16:
      case kelo::KELO_KIND_UINT32:
        if (!Integer(j, 0, std::numeric_limits<unsigned int>::max(), path, s, u)) return false;
        return Number32(m, u, path);
      case kelo::KELO_KIND_INT64:
      case kelo::KELO_KIND_DATE:
        if (!Integer(j, std::numeric_limits<long long>::min(),
                     std::numeric_limits<long long>::max(), path, s, u))
          return false;
        if (kind == kelo::KELO_KIND_DATE)
          static_cast<CKeloHesDate&>(m) = static_cast<unsigned long long>(s);
        else
          static_cast<CKeloHesInt64&>(m) = s;
        return true;
      case kelo::KELO_KIND_UINT64:
        if (!Integer(j, 0, std::numeric_limits<unsigned long long>::max(), path, s, u))
          return false;
        static_cast<CKeloHesUInt64&>(m) = u;
        return true;
      case kelo::KELO_KIND_BOOL:
        if (!j.is_boolean()) return Wrong(path, "true or false", j);
        static_cast<CKeloHesBool&>(m) = j.get<bool>();
        return true;
      case kelo::KELO_KIND_DOUBLE:
        return Double(j, static_cast<CKeloHesDouble&>(m), path);
      case kelo::KELO_KIND_STRING:
        return String(j, static_cast<CKeloHesString&>(m), path);
      case kelo::KELO_KIND_BINARY:
        return Binary(j, static_cast<CKeloHesBinary&>(m), path);
      default:
        return Fail(path, "member kind not supported");
    }
  }

  bool Number32(CKeloHesObject& m, unsigned long long bits, const std::string& path) {
    if (int rc = SetWireBits(m, 'I', bits & 0xFFFFFFFFu, 4); rc != 0)
      return Fail(path, std::string("cannot set the value: ") + ResultName(rc), rc);
    return true;
  }

  bool Double(const json& j, CKeloHesDouble& d, const std::string& path) {
    if (j.is_number()) {
      d = j.get<double>();
      return true;
    }
    if (j.is_string()) {
      const std::string& text = j.get_ref<const std::string&>();
      if (text == "Infinity" || text == "-Infinity") {
        d = text[0] == '-' ? -std::numeric_limits<double>::infinity()
                           : std::numeric_limits<double>::infinity();
        return true;
      }
      // "NaN", or "NaN(0x" 16 hex digits ")" with the bits of a NaN.
      unsigned long long bits = kPlainNaN;
      bool nan = text == "NaN";
      if (text.size() == 23 && text.compare(0, 6, "NaN(0x") == 0 && text[22] == ')')
        nan = FromHex(text.data() + 6, 16, bits) &&
              (bits & 0x7FF0000000000000ull) == 0x7FF0000000000000ull &&
              (bits & 0x000FFFFFFFFFFFFFull) != 0;
      if (nan) {
        if (int rc = SetWireBits(d, 'D', bits, 8); rc != 0)
          return Fail(path, std::string("cannot set the value: ") + ResultName(rc), rc);
        return true;
      }
    }
    return Wrong(path,
                 "a number, \"Infinity\", \"-Infinity\", \"NaN\" or \"NaN(0x\" and the 16 hex "
                 "digits of a NaN",
                 j);
  }

  bool String(const json& j, CKeloHesString& str, const std::string& path) {
    if (j.is_null()) {
      str.SetNull(true);
      return true;
    }
    if (!j.is_string()) return Wrong(path, "a string", j);
    std::vector<short> units;
    if (const size_t at = Units(j.get_ref<const std::string&>(), units); at != std::string::npos)
      return Fail(
          path,
          "the character at byte " + std::to_string(at) +
              " cannot be carried: utf8: Unicode value greater than 0xFFFF not supported yet",
          KELO_E_NOT_SUPPORTED);
    if (units.size() > std::numeric_limits<unsigned int>::max())
      return Fail(path, "more than 2^32 - 1 characters", KELO_E_OUT_OF_RANGE);
    // Never a null pointer, which would make the string null rather than empty.
    static const short kNone = 0;
    if (int rc = str.Copy(units.empty() ? &kNone : units.data(),
                          static_cast<unsigned int>(units.size()));
        rc != 0)
      return Fail(path, std::string("cannot store the string: ") + ResultName(rc), rc);
    return true;
  }

  bool Binary(const json& j, CKeloHesBinary& blob, const std::string& path) {
    if (j.is_null()) {
      blob.SetNull(true);
      return true;
    }
    if (!j.is_string()) return Wrong(path, "a string of hex digits", j);
    const std::string& hex = j.get_ref<const std::string&>();
    if (hex.size() % 2 != 0) return Wrong(path, "an even number of hex digits", j);
    std::string bytes(hex.size() / 2, '\0');
    for (size_t i = 0; i < hex.size(); ++i) {
      const int v = HexDigit(hex[i]);
      if (v < 0) return Wrong(path, "a string of hex digits", j);
      bytes[i / 2] = static_cast<char>(bytes[i / 2] * 16 + v);
    }
    // An empty string gives an empty blob rather than a null one.
    if (const Status s = FromBytes(bytes, blob); !s)
      return Fail(path, std::string("cannot store the blob: ") + s.name(), s.code());
    return true;
  }

  Status& status_;
};

// Builds the tree as json::parse does, with three differences. It stops at the first object or
// list nested deeper than maxDepth. Given the units of a text's NULs, it puts back into strings
// the surrogate units that Parse took out of their escapes. And it finds a repeated key of an
// object through an index of the object's keys, where ordered_json's own lookup walks them all
// (an object of many keys would cost the square of its size).
// (nlohmann's callback parser could do both, but it searches the enclosing list or object for
// discarded values after every object it ends, which takes the square of the number of items.)
template <class Json>
class Builder : public nlohmann::json_sax<Json> {
  using Base = nlohmann::json_sax<Json>;

 public:
  using typename Base::binary_t;
  using typename Base::number_float_t;
  using typename Base::number_integer_t;
  using typename Base::number_unsigned_t;
  using typename Base::string_t;

  explicit Builder(size_t maxDepth, const std::vector<unsigned short>* nuls = nullptr)
      : maxDepth_(maxDepth), nuls_(nuls) {}

  bool null() override { return Add(nullptr); }
  bool boolean(bool value) override { return Add(value); }
  bool number_integer(number_integer_t value) override { return Add(value); }
  bool number_unsigned(number_unsigned_t value) override { return Add(value); }
  bool number_float(number_float_t value, const string_t&) override { return Add(value); }
  bool string(string_t& value) override {
    Restore(value);
    return Add(std::move(value));
  }
  bool binary(binary_t&) override { return false; }  // JSON text has none
  bool start_object(std::size_t) override { return Open(Json::value_t::object); }
  bool key(string_t& name) override {
    Restore(name);
    key_ = std::move(name);
    return true;
  }
  bool end_object() override { return Close(); }
  bool start_array(std::size_t) override { return Open(Json::value_t::array); }
  bool end_array() override { return Close(); }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) override {
    error = e.what();
    return false;
  }

  Json root;             // the text's value, once it is parsed
  bool tooDeep = false;  // stopped at a level beyond maxDepth
  std::string error;     // the parser's text for JSON it refuses

 private:
  // Places a value in the innermost open list or object (under the last key: a repeated key
  // replaces its value, as json::parse does), or as the root.
  Json* Place(Json&& value) {
    if (open_.empty()) {
      root = std::move(value);
      return &root;
    }
    Json& parent = *open_.back();
    if (parent.is_array()) {
      parent.push_back(std::move(value));
      return &parent.back();
    }
    // A repeated key replaces its value in place, as json::parse does.
    auto& object = parent.template get_ref<typename Json::object_t&>();
    const auto [at, added] = keys_.back().emplace(key_, object.size());
    if (!added)
      return &(object.begin()[static_cast<std::ptrdiff_t>(at->second)].second = std::move(value));
    object.emplace_back(std::move(key_), std::move(value));
    return &object.back().second;
  }
  template <class V>
  bool Add(V&& value) {
    Place(Json(std::forward<V>(value)));
    return true;
  }
  // A list or object opened stays where it is: only it grows until it is closed.
  bool Open(typename Json::value_t type) {
    if (open_.size() >= maxDepth_) {
      tooDeep = true;
      return false;
    }
    open_.push_back(Place(Json(type)));
    keys_.emplace_back();
    return true;
  }
  bool Close() {
    open_.pop_back();
    keys_.pop_back();
    return true;
  }
  // Each NUL stands for the next NUL-giving escape's unit; a surrogate goes in as its 3-byte form.
  void Restore(std::string& s) {
    if (!nuls_) return;
    const size_t marks = static_cast<size_t>(std::count(s.begin(), s.end(), '\0'));
    if (marks == 0) return;
    std::string units;  // in one pass: replacing in place would take the square of the length
    units.reserve(s.size() + 2 * marks);
    for (const char c : s) {
      const unsigned int unit = c == '\0' && next_ < nuls_->size() ? (*nuls_)[next_++] : 0;
      if (unit == 0) {
        units.push_back(c);
      } else {
        char bytes[4];
        units.append(bytes, kelo::wire::PutChar(unit, bytes));
      }
    }
    s.swap(units);
  }

  const size_t maxDepth_;
  const std::vector<unsigned short>* const nuls_;
  size_t next_ = 0;
  std::vector<Json*> open_;
  // Per open list or object: an object's keys and where each stands (empty for a list).
  std::vector<std::unordered_map<std::string, std::size_t>> keys_;
  std::string key_;
};

// Parses the text, refusing it at the first level beyond kMaxJsonDepth, and with every \uXXXX
// escape of a surrogate as that one unit. nlohmann-json refuses such an escape unless a second one
// pairs with it, and joins a pair into one character above U+FFFF; but ToJson escapes every
// surrogate unit, and a string holds them one by one. So each is rewritten as \u0000, which is as
// long, so that the parser's positions stay right (its error texts quote the rewritten escape),
// and the builder puts the unit back in place of the NUL. A real \u0000 gives a NUL too: `nuls`
// holds, in text order, the unit that each NUL-giving escape stands for. Other escapes are stepped
// over, so "\\uD800" is none; a backslash outside a string is refused by the parser however it is
// read.
Status Parse(std::string_view text, json& j) {
  std::string rewritten;
  std::vector<unsigned short> nuls;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '\\') continue;
    if (text[i + 1] != 'u' || text.size() - i < 6) {
      ++i;
      continue;
    }
    unsigned long long unit = 0;
    if (FromHex(text.data() + i + 2, 4, unit) &&
        (unit == 0 || (unit >= 0xD800 && unit <= 0xDFFF))) {
      if (unit != 0) {
        if (rewritten.empty()) rewritten.assign(text);
        memcpy(&rewritten[i + 2], "0000", 4);
      }
      nuls.push_back(static_cast<unsigned short>(unit));
    }
    i += 5;
  }
  Builder<json> builder(static_cast<size_t>(kMaxJsonDepth), rewritten.empty() ? nullptr : &nuls);
  if (!json::sax_parse(rewritten.empty() ? text : std::string_view(rewritten), &builder)) {
    if (builder.tooDeep)
      return Status(KELO_E_FORMAT,
                    "JSON nested deeper than " + std::to_string(kMaxJsonDepth) +
                        " levels: no class nests that deep",
                    0);
    return Status(KELO_E_FORMAT, "not valid JSON: " + builder.error, 0);
  }
  j = std::move(builder.root);
  return Status();
}

}  // namespace

Status FromJson(std::string_view text, CKeloHesClass& object) {
  if (!text.data() && !text.empty()) return Status(KELO_E_INVALID_ARGUMENT);
  try {
    const kelo::ClassInfo* info = object.Description();
    if (!info)
      return Status(KELO_E_NOT_SUPPORTED,
                    "the class has no description (it registers its members by hand)", 0);
    json j;
    if (Status parsed = Parse(text, j); !parsed) return parsed;
    Status status;
    Filler(status).Object(j, object, *info, "");
    return status;
  } catch (const std::exception&) {
    return Status(KELO_E_NO_MEMORY);
  }
}

}  // namespace kelo

// ---- Any value ----------------------------------------------------------------------------------
// The mapping (docs/values.md): null, booleans, Int (a JSON integer), Double (a JSON number with a
// fraction or exponent) and String as themselves; every other kind as an object whose first key
// starts with '$': {"$long": "<decimal>"}, {"$date": <milliseconds>}, {"$double": "NaN"} for a
// double JSON cannot hold, {"$xml": "..."}, {"$binary": "<hex>"}, {"$remote": type, "url": url}.
// A list is an array when it is untyped and its 'l' length is its item count, else
// {"$type": t, "$length": n, "$list": [...]} (each key only when the list has it). A map is an
// object when every key is a string that does not start with '$' and no key repeats, with
// "$type" first when typed; else {"$type": t, "$map": [[key, value], ...]}. Maps and lists are
// numbered in the order they are first printed, as 'R' numbers them on the wire, and one printed
// before is printed as {"$ref": n}.

namespace kelo {

namespace {

using ojson = json;

std::string Hex(std::string_view bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(2 * bytes.size());
  for (const char c : bytes) {
    out += kDigits[static_cast<unsigned char>(c) >> 4];
    out += kDigits[static_cast<unsigned char>(c) & 15];
  }
  return out;
}

std::string DoubleName(double d) {
  if (d == std::numeric_limits<double>::infinity()) return "Infinity";
  if (d == -std::numeric_limits<double>::infinity()) return "-Infinity";
  unsigned long long bits;
  memcpy(&bits, &d, sizeof bits);
  if (bits == 0x7FF8000000000000ull) return "NaN";
  char text[32];
  snprintf(text, sizeof text, "NaN(0x%016llx)", bits);
  return text;
}

class Printer {
 public:
  // False when the value nests deeper than kMaxValueDepth.
  bool Tree(const Value& v, ojson& out, unsigned int depth) {
    switch (v.kind()) {
      case Value::Kind::Null:
        out = nullptr;
        return true;
      case Value::Kind::Bool:
        out = v.as_bool();
        return true;
      case Value::Kind::Int:
        out = static_cast<std::int64_t>(v.as_int());
        return true;
      case Value::Kind::Long:
        out = ojson::object({{"$long", std::to_string(v.as_long())}});
        return true;
      case Value::Kind::Double:
        if (std::isfinite(v.as_double()))
          out = v.as_double();
        else
          out = ojson::object({{"$double", DoubleName(v.as_double())}});
        return true;
      case Value::Kind::Date:
        out = ojson::object({{"$date", v.as_date()}});
        return true;
      case Value::Kind::String:
        out = std::string(v.as_string());
        return true;
      case Value::Kind::Xml:
        out = ojson::object({{"$xml", std::string(v.as_string())}});
        return true;
      case Value::Kind::Binary:
        out = ojson::object({{"$binary", Hex(v.as_string())}});
        return true;
      case Value::Kind::Remote:
        out = ojson::object(
            {{"$remote", std::string(v.type())}, {"url", std::string(v.as_string())}});
        return true;
      case Value::Kind::List:
      case Value::Kind::Map:
        break;
    }
    const auto [where, fresh] = seen_.emplace(v.id(), seen_.size());
    if (!fresh) {
      out = ojson::object({{"$ref", where->second}});
      return true;
    }
    if (depth > kMaxValueDepth) return false;
    return v.is_list() ? List(v, out, depth) : Map(v, out, depth);
  }

 private:
  bool List(const Value& v, ojson& out, unsigned int depth) {
    ojson items = ojson::array();
    for (std::size_t i = 0; i < v.size(); ++i) {
      ojson item;
      if (!Tree(v[i], item, depth + 1)) return false;
      items.push_back(std::move(item));
    }
    if (!v.typed() && v.wire_length() == static_cast<std::int64_t>(v.size())) {
      out = std::move(items);
      return true;
    }
    out = ojson::object();
    if (v.typed()) out["$type"] = std::string(v.type());
    if (v.sized()) out["$length"] = v.wire_length();
    out["$list"] = std::move(items);
    return true;
  }

  bool Map(const Value& v, ojson& out, unsigned int depth) {
    bool plain = true;
    std::set<std::string_view> names;
    for (std::size_t i = 0; plain && i < v.size(); ++i) {
      const Value key = v.key_at(i);
      plain = key.is_string() && (key.as_string().empty() || key.as_string()[0] != '$') &&
              names.insert(key.as_string()).second;
    }
    out = ojson::object();
    if (v.typed()) out["$type"] = std::string(v.type());
    ojson pairs = ojson::array();
    for (std::size_t i = 0; i < v.size(); ++i) {
      ojson key;
      ojson value;
      if (!Tree(v.key_at(i), key, depth + 1) || !Tree(v.value_at(i), value, depth + 1))
        return false;
      if (plain)
        out[key.get<std::string>()] = std::move(value);
      else
        pairs.push_back(ojson::array({std::move(key), std::move(value)}));
    }
    if (!plain) out["$map"] = std::move(pairs);
    return true;
  }

  std::map<const void*, std::size_t> seen_;
};

// Each level of a value takes up to three levels of JSON ({"$map": [[k, v]]}).
constexpr std::size_t kMaxValueJsonDepth = 3 * kMaxValueDepth + 1;

class Reader {
 public:
  Status Build(const ojson& j, Value& out) {
    switch (j.type()) {
      case ojson::value_t::null:
        out = Value();
        return Status();
      case ojson::value_t::boolean:
        out = Value(j.get<bool>());
        return Status();
      case ojson::value_t::number_integer:
      case ojson::value_t::number_unsigned: {
        if (j.is_number_unsigned() &&
            j.get<std::uint64_t>() > static_cast<std::uint64_t>(INT64_MAX))
          return Bad("an integer beyond 64 bits: " + j.dump());
        const std::int64_t n = j.get<std::int64_t>();
        out = n >= INT32_MIN && n <= INT32_MAX ? Value(static_cast<std::int32_t>(n)) : Value(n);
        return Status();
      }
      case ojson::value_t::number_float:
        out = Value(j.get<double>());
        return Status();
      case ojson::value_t::string:
        out = Value(j.get_ref<const std::string&>());
        return Checked(out);
      case ojson::value_t::array:
        return List(j, nullptr, nullptr, out);
      default:
        break;
    }
    if (j.is_object() && !j.empty() && j.begin().key().size() > 1 && j.begin().key()[0] == '$')
      return Special(j, out);
    return Map(j, out);
  }

 private:
  static Status Bad(std::string text) { return Status(KELO_E_FORMAT, std::move(text), 0); }
  static Status Checked(const Value& v) { return v.ok() ? Status() : Status(KELO_E_NO_MEMORY); }

  // The one other key an object of this form may have.
  static bool OnlyKeys(const ojson& j, std::initializer_list<const char*> allowed) {
    for (auto it = j.begin(); it != j.end(); ++it) {
      bool known = false;
      for (const char* name : allowed) known = known || it.key() == name;
      if (!known) return false;
    }
    return true;
  }

  Status Special(const ojson& j, Value& out) {
    const std::string& tag = j.begin().key();
    const ojson& v = j.begin().value();
    if (tag == "$type" || tag == "$length") {
      if (j.contains("$list")) return List(j["$list"], &j, &j, out);
      if (j.contains("$map")) return PairMap(j, out);
      return Map(j, out);
    }
    if (tag == "$list") return List(v, &j, &j, out);
    if (tag == "$map") return PairMap(j, out);
    if (tag == "$remote") {
      if (!OnlyKeys(j, {"$remote", "url"}) || !v.is_string() || !j.contains("url") ||
          !j["url"].is_string())
        return Bad("a remote object is {\"$remote\": type, \"url\": url}");
      out = Value::Remote(v.get_ref<const std::string&>(), j["url"].get_ref<const std::string&>());
      return Checked(out);
    }
    if (j.size() != 1) return Bad("an object of " + tag + " with other keys");
    if (tag == "$ref") {
      if (!v.is_number_unsigned() || v.get<std::uint64_t>() >= refs_.size())
        return Bad("{\"$ref\": " + v.dump() + "} refers to no map or list printed before it");
      out = refs_[v.get<std::size_t>()];
      return Status();
    }
    if (tag == "$long" || tag == "$date") {
      std::int64_t n = 0;
      if (v.is_number_integer() &&
          !(v.is_number_unsigned() && v.get<std::uint64_t>() > INT64_MAX)) {
        n = v.get<std::int64_t>();
      } else if (v.is_string()) {
        const std::string& text = v.get_ref<const std::string&>();
        char* end = nullptr;
        errno = 0;
        n = strtoll(text.c_str(), &end, 10);
        if (text.empty() || *end || errno)
          return Bad(tag + " that is not a 64-bit integer: " + Cut(text));
      } else {
        return Bad(tag + " that is not a 64-bit integer");
      }
      out = tag == "$long" ? Value(n) : Value::Date(n);
      return Status();
    }
    if (tag == "$double") {
      if (v.is_number()) {
        out = Value(v.get<double>());
        return Status();
      }
      const std::string text = v.is_string() ? v.get<std::string>() : std::string();
      unsigned long long bits = 0;
      double d;
      if (text == "Infinity") {
        d = std::numeric_limits<double>::infinity();
      } else if (text == "-Infinity") {
        d = -std::numeric_limits<double>::infinity();
      } else if (text == "NaN") {
        bits = 0x7FF8000000000000ull;
        memcpy(&d, &bits, sizeof d);
      } else if (text.size() == 23 && text.compare(0, 6, "NaN(0x") == 0 && text[22] == ')' &&
                 FromHex(text.data() + 6, 16, bits)) {
        memcpy(&d, &bits, sizeof d);
      } else {
        return Bad("$double is a number, \"Infinity\", \"-Infinity\", \"NaN\" or \"NaN(0x...)\"");
      }
      out = Value(d);
      return Status();
    }
    if (tag == "$xml") {
      if (!v.is_string()) return Bad("$xml that is not a string");
      out = Value::Xml(v.get_ref<const std::string&>());
      return Checked(out);
    }
    if (tag == "$binary") {
      const std::string text = v.is_string() ? v.get<std::string>() : std::string("?");
      if (text.size() % 2) return Bad("$binary that is not hex digits in pairs");
      std::string bytes(text.size() / 2, '\0');
      for (std::size_t i = 0; i < bytes.size(); ++i) {
        unsigned long long b = 0;
        if (!FromHex(text.data() + 2 * i, 2, b))
          return Bad("$binary that is not hex digits in pairs");
        bytes[i] = static_cast<char>(b);
      }
      out = Value::Binary(bytes.data(), bytes.size());
      return Checked(out);
    }
    return Bad("an object whose key " + Cut(tag) + " is none the mapping knows");
  }

  // A type name given by "$type", if any.
  static Status TypeOf(const ojson* holder, Value& v) {
    if (!holder || !holder->contains("$type")) return Status();
    const ojson& t = (*holder)["$type"];
    if (!t.is_string()) return Bad("$type that is not a string");
    return v.SetType(t.get_ref<const std::string&>());
  }

  Status List(const ojson& items, const ojson* typeHolder, const ojson* form, Value& out) {
    if (!items.is_array()) return Bad("$list that is not a list");
    if (form && !OnlyKeys(*form, {"$type", "$length", "$list"}))
      return Bad("a list object has only $type, $length and $list");
    Value list = Value::List();
    if (Status s = Checked(list); !s) return s;
    refs_.push_back(list);
    if (Status s = TypeOf(typeHolder, list); !s) return s;
    for (const ojson& item : items) {
      Value v;
      if (Status s = Build(item, v); !s) return s;
      if (Status s = list.Push(v); !s) return s;
    }
    if (form) {
      if (!form->contains("$length")) {
        (void)list.set_sized(false);
      } else {
        const ojson& n = (*form)["$length"];
        if (!n.is_number_integer() || n.get<std::int64_t>() < INT32_MIN ||
            n.get<std::int64_t>() > INT32_MAX)
          return Bad("$length that is not a 32-bit integer");
        if (n.get<std::int64_t>() != static_cast<std::int64_t>(list.size()))
          (void)list.set_wire_length(n.get<std::int32_t>());
      }
    }
    out = list;
    return Status();
  }

  Status NewMap(const ojson& j, Value& map) {
    map = Value::Map();
    if (Status s = Checked(map); !s) return s;
    refs_.push_back(map);
    return TypeOf(&j, map);
  }

  Status Map(const ojson& j, Value& out) {
    Value map;
    if (Status s = NewMap(j, map); !s) return s;
    for (auto it = j.begin(); it != j.end(); ++it) {
      if (it.key() == "$type") continue;
      if (!it.key().empty() && it.key()[0] == '$')
        return Bad("a map key " + Cut(it.key()) + ": keys starting with '$' go in \"$map\"");
      Value key(it.key());
      Value value;
      if (Status s = Checked(key); !s) return s;
      if (Status s = Build(it.value(), value); !s) return s;
      if (Status s = map.Append(key, value); !s) return s;
    }
    out = map;
    return Status();
  }

  Status PairMap(const ojson& j, Value& out) {
    if (!OnlyKeys(j, {"$type", "$map"}) || !j["$map"].is_array())
      return Bad("a map object is {\"$type\": t, \"$map\": [[key, value], ...]}");
    Value map;
    if (Status s = NewMap(j, map); !s) return s;
    for (const ojson& pair : j["$map"]) {
      if (!pair.is_array() || pair.size() != 2) return Bad("a $map entry that is not [key, value]");
      Value key;
      Value value;
      if (Status s = Build(pair[0], key); !s) return s;
      if (Status s = Build(pair[1], value); !s) return s;
      if (Status s = map.Append(key, value); !s) return s;
    }
    out = map;
    return Status();
  }

  std::vector<Value> refs_;
};

}  // namespace

namespace {

Status ValueFromTree(const json& j, Value& out) {
  return Reader().Build(j, out);
}

}  // namespace

std::string ToJson(const Value& value) {
  try {
    ojson tree;
    Printer printer;
    if (!printer.Tree(value, tree, 1)) return std::string();
    return tree.dump(2, ' ', false, ojson::error_handler_t::replace);
  } catch (const std::exception&) {
    return std::string();
  }
}

Status FromJson(std::string_view text, Value& value) {
  if (!text.data() && !text.empty()) return Status(KELO_E_INVALID_ARGUMENT);
  try {
    Builder<ojson> builder(kMaxValueJsonDepth);
    if (!ojson::sax_parse(text, &builder)) {
      if (builder.tooDeep)
        return Status(KELO_E_FORMAT,
                      "JSON nested deeper than " + std::to_string(kMaxValueJsonDepth) + " levels",
                      0);
      return Status(KELO_E_FORMAT, "not valid JSON: " + builder.error, 0);
    }
    Value out;
    if (Status s = Reader().Build(builder.root, out); !s) return s;
    value = out;
    return Status();
  } catch (const std::exception&) {
    return Status(KELO_E_NO_MEMORY);
  }
}

}  // namespace kelo
