// Escaping of received text; see text.h.
#include "kelohes/text.h"

namespace kelohes {

namespace {

// Characters of two bytes or more shown escaped: the C1 controls (terminals act on them), and the
// bidirectional controls, which reorder what follows them on the screen.
bool Unsafe(unsigned long c) {
  return c <= 0x9F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

void AppendU(std::string& out, unsigned long c) {
  static const char kHex[] = "0123456789ABCDEF";
  const char esc[6] = {
      '\\', 'u', kHex[(c >> 12) & 0xF], kHex[(c >> 8) & 0xF], kHex[(c >> 4) & 0xF], kHex[c & 0xF]};
  out.append(esc, 6);
}

void AppendX(std::string& out, unsigned char byte) {
  static const char kHex[] = "0123456789abcdef";
  const char esc[4] = {'\\', 'x', kHex[byte >> 4], kHex[byte & 0xF]};
  out.append(esc, 4);
}

}  // namespace

size_t Utf8Length(std::string_view text, size_t at) {
  const unsigned char lead = static_cast<unsigned char>(text[at]);
  if (lead < 0x80) return 1;
  const size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
  if (length == 0 || lead > 0xF4 || length > text.size() - at) return 0;
  unsigned long value = lead & (0x7F >> length);
  for (size_t i = 1; i < length; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[at + i]);
    if ((c & 0xC0) != 0x80) return 0;
    value = value << 6 | (c & 0x3F);
  }
  const unsigned long least[] = {0, 0, 0x80, 0x800, 0x10000};
  if (value < least[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  return length;
}

void AppendEscaped(std::string& out, std::string_view text, Escape how) {
  const bool json = how != Escape::kMessage;
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"') {
      out.push_back(static_cast<char>(c));  // the common case, first
      ++i;
      continue;
    }
    if (c < 0x80) {  // '"', '\', DEL and the C0 controls
      if (c == 0x7F) {
        if (json)
          AppendU(out, c);
        else
          AppendX(out, c);
      } else if (how == Escape::kJsonText || (how == Escape::kMessage && c == '"')) {
        out.push_back(static_cast<char>(c));
      } else if (how == Escape::kMessage) {
        AppendX(out, c);
      } else if (c == '"' || c == '\\') {
        out.push_back('\\');
        out.push_back(static_cast<char>(c));
      } else if (c == '\n' || c == '\t' || c == '\r') {
        out.push_back('\\');
        out.push_back(c == '\n' ? 'n' : c == '\t' ? 't' : 'r');
      } else {
        AppendU(out, c);
      }
      ++i;
      continue;
    }
    const size_t n = Utf8Length(text, i);
    if (n == 0) {  // a byte that is not UTF-8
      if (json)
        AppendU(out, c);
      else
        AppendX(out, c);
      ++i;
      continue;
    }
    unsigned long value = c & (0x7F >> n);
    for (size_t k = 1; k < n; ++k) value = value << 6 | (text[i + k] & 0x3F);
    if (Unsafe(value))
      AppendU(out, value);
    else
      out.append(text.data() + i, n);
    i += n;
  }
}

std::string Escaped(std::string_view text, Escape how) {
  std::string out;
  AppendEscaped(out, text, how);
  return out;
}

}  // namespace kelohes
