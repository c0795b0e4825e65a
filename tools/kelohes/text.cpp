// Escaping of received text and suggestions of names; see text.h.
#include "kelohes/text.h"

#include <stdint.h>

#include <algorithm>

#include <kelohessian/wire/utf8.h>

namespace kelohes {

namespace {

// Characters of two bytes or more shown escaped: the C1 controls (terminals act on them), and the
// bidirectional controls, which reorder what follows them on the screen.
bool Unsafe(uint32_t c) {
  return c <= 0x9F || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

// An ASCII byte copied as it is.
bool Plain(unsigned char c, Escape how) {
  if (c >= 0x7F) return false;
  if (how == Escape::kJsonText) return true;
  return c >= 0x20 && c != '\\' && (c != '"' || how == Escape::kMessage);
}

void AppendU(std::string& out, uint32_t c) {
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

char ToLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

void AppendEscaped(std::string& out, std::string_view text, Escape how) {
  const bool json = how != Escape::kMessage;
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(text.data());
  out.reserve(out.size() + text.size());
  for (size_t i = 0; i < text.size();) {
    // The common case first: a run of ASCII copied as it is, in one append.
    size_t run = i;
    while (run < text.size() && Plain(static_cast<unsigned char>(text[run]), how)) ++run;
    if (run > i) {
      out.append(text.data() + i, run - i);
      i = run;
      continue;
    }
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {  // '"', '\', DEL and the C0 controls
      if (c == 0x7F) {
        if (json)
          AppendU(out, c);
        else
          AppendX(out, c);
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
    size_t next = i;
    uint32_t value = 0;
    if (kelo::wire::NextChar(bytes, text.size(), &next, &value) != kelo::wire::kTextOk) {
      // A byte that is not part of well-formed UTF-8.
      if (json)
        AppendU(out, c);
      else
        AppendX(out, c);
      ++i;
      continue;
    }
    if (Unsafe(value))
      AppendU(out, value);
    else
      out.append(text.data() + i, next - i);
    i = next;
  }
}

std::string Escaped(std::string_view text, Escape how) {
  std::string out;
  AppendEscaped(out, text, how);
  return out;
}

size_t EditDistance(std::string_view a, std::string_view b) {
  // Three rows of the classic table: the one before the previous is what a swap looks back to.
  std::vector<size_t> before(b.size() + 1), previous(b.size() + 1), row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      const bool same = ToLower(a[i - 1]) == ToLower(b[j - 1]);
      row[j] = std::min({previous[j] + 1, row[j - 1] + 1, previous[j - 1] + (same ? 0 : 1)});
      if (i > 1 && j > 1 && ToLower(a[i - 1]) == ToLower(b[j - 2]) &&
          ToLower(a[i - 2]) == ToLower(b[j - 1]))
        row[j] = std::min(row[j], before[j - 2] + 1);
    }
    before.swap(previous);
    previous.swap(row);
  }
  return previous[b.size()];
}

std::vector<std::string> Nearest(std::string_view name,
                                 const std::vector<std::string>& candidates) {
  size_t best = std::string_view::npos;
  std::vector<std::string> nearest;
  for (const std::string& candidate : candidates) {
    // Judged by what follows the start they share: "kelo.cl." alone would make "kelo.cl.Log" a
    // near miss of "kelo.cl.Nope".
    size_t common = 0;
    while (common < name.size() && common < candidate.size() &&
           ToLower(name[common]) == ToLower(candidate[common]))
      ++common;
    const size_t limit = std::max<size_t>(1, (name.size() - common) / 3);
    // The distance is at least the difference of the lengths: most candidates end here, and a
    // long name typed by mistake costs no long computation.
    const size_t floor =
        std::max(name.size(), candidate.size()) - std::min(name.size(), candidate.size());
    if (floor > limit || floor > best) continue;
    const size_t d = EditDistance(name, candidate);
    if (d > limit || d > best) continue;
    if (d < best) nearest.clear();
    best = d;
    if (nearest.size() < 3) nearest.push_back(candidate);
  }
  return nearest;
}

std::string DidYouMean(const std::vector<std::string>& names) {
  if (names.empty()) return std::string();
  std::string text = "did you mean";
  for (size_t i = 0; i < names.size(); ++i) {
    text += i == 0 ? " '" : i + 1 == names.size() ? " or '" : ", '";
    text += names[i] + "'";
  }
  return text + "?";
}

}  // namespace kelohes
