// UTF-8 encoding and decoding of 16-bit units, with a fast path for ASCII runs.
#include <kelohessian/wire/utf8.h>

#include <stdint.h>
#include <string.h>

namespace kelo::wire {

const char* Utf8Message(Utf8Status status) {
  switch (status) {
    case kUtf8Above0xFFFF:
      return "utf8: Unicode value greater than 0xFFFF not supported yet";
    case kUtf8BadLead:
      return "Corrupted utf8: Unsupported leading byte";
    case kUtf8Truncated2:
      return "Corrupted utf8: Sequence terminated in the middle of a 2-byte char";
    case kUtf8Truncated3:
      return "Corrupted utf8: Sequence terminated in the middle of a 3-byte char";
    case kUtf8BadContinuation2:
      return "Corrupted utf8: Format of second byte in a two-byte encoding is not 10zzzzzz";
    case kUtf8BadContinuation3:
      return "Corrupted utf8: Format of second or third byte in a three-byte encoding is not "
             "10zzzzzz";
    default:
      return "";
  }
}

namespace {

// The walk of DecodeUtf8 and MeasureUtf8; Store says whether units are written.
template <bool Store>
Utf8Status Walk(const unsigned char* in, size_t available, size_t count, unsigned short* units,
                size_t* consumed, size_t* decoded) {
  size_t pos = 0;
  size_t n = 0;
  Utf8Status status = kUtf8Ok;
  while (n < count) {
    if (pos == available) {
      status = kUtf8Exhausted;
      break;
    }
    if (in[pos] < 0x80) {
      // ASCII run: one byte per character, no checks beyond the bounds; eight bytes at a time
      // while none has its top bit set.
      size_t run = available - pos;
      if (run > count - n) run = count - n;
      size_t i = 0;
      while (i + 8 <= run) {
        uint64_t word;
        memcpy(&word, in + pos + i, sizeof word);
        if (word & 0x8080808080808080ull) break;
        if constexpr (Store) {
          for (size_t k = 0; k < 8; ++k) units[n + i + k] = in[pos + i + k];
        }
        i += 8;
      }
      while (i < run && in[pos + i] < 0x80) {
        if constexpr (Store) units[n + i] = in[pos + i];
        ++i;
      }
      pos += i;
      n += i;
      continue;
    }
    const unsigned char b = in[pos++];
    if ((b & 0xE0) == 0xC0) {
      if (available - pos < 1) {
        status = kUtf8Truncated2;
        break;
      }
      const unsigned char c1 = in[pos++];
      if ((c1 & 0xC0) != 0x80) {
        status = kUtf8BadContinuation2;
        break;
      }
      if constexpr (Store) units[n] = static_cast<unsigned short>(((b & 0x1F) << 6) | (c1 & 0x3F));
      ++n;
    } else if ((b & 0xF0) == 0xE0) {
      if (available - pos < 2) {
        status = kUtf8Truncated3;
        break;
      }
      const unsigned char c1 = in[pos];
      const unsigned char c2 = in[pos + 1];
      pos += 2;
      if ((c1 & 0xC0) != 0x80 || (c2 & 0xC0) != 0x80) {
        status = kUtf8BadContinuation3;
        break;
      }
      if constexpr (Store) {
        units[n] =
            static_cast<unsigned short>(((b & 0x0F) << 12) | ((c1 & 0x3F) << 6) | (c2 & 0x3F));
      }
      ++n;
    } else if ((b & 0xF8) == 0xF0) {
      status = kUtf8Above0xFFFF;
      break;
    } else {
      status = kUtf8BadLead;
      break;
    }
  }
  *consumed = pos;
  *decoded = n;
  return status;
}

}  // namespace

Utf8Status DecodeUtf8(const unsigned char* in, size_t available, size_t count,
                      unsigned short* units, size_t* consumed, size_t* decoded) {
  return Walk<true>(in, available, count, units, consumed, decoded);
}

Utf8Status MeasureUtf8(const unsigned char* in, size_t available, size_t count, size_t* consumed,
                       size_t* decoded) {
  return Walk<false>(in, available, count, nullptr, consumed, decoded);
}

size_t Utf8Span(const unsigned char* in, size_t available, size_t count) {
  size_t pos = 0;
  size_t n = 0;
  // Eight bytes at a time while more than eight characters remain: every byte that is not a
  // continuation byte (10xxxxxx) starts a character. The word may end inside a character, whose
  // continuation bytes are then stepped over below.
  while (count - n > 8 && available - pos >= 8) {
    uint64_t word;
    memcpy(&word, in + pos, sizeof word);
    uint64_t continuation = word & ~(word << 1) & 0x8080808080808080ull;
    unsigned int continuations = 0;
    for (; continuation; continuation &= continuation - 1) ++continuations;
    n += 8 - continuations;
    pos += 8;
  }
  while (pos < available && (in[pos] & 0xC0) == 0x80) ++pos;
  for (; n < count; ++n) {
    if (pos == available) return SIZE_MAX;
    const unsigned char b = in[pos];
    const size_t width = b < 0x80 ? 1 : (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : 0;
    if (width == 0 || width > available - pos) return SIZE_MAX;
    pos += width;
  }
  return pos;
}

long EncodeUtf8(const unsigned short* units, size_t count, unsigned char* out, size_t* done) {
  unsigned char* p = out;
  for (size_t i = 0; i < count; ++i) {
    const unsigned int u = units[i];
    if (u < 0x80) {
      *p++ = static_cast<unsigned char>(u);
      // More ASCII behind it is taken four units at a time.
      while (i + 5 <= count) {
        uint64_t word;
        memcpy(&word, units + i + 1, sizeof word);
        if (word & 0xFF80FF80FF80FF80ull) break;
        for (size_t k = 0; k < 4; ++k) p[k] = static_cast<unsigned char>(units[i + 1 + k]);
        p += 4;
        i += 4;
      }
    } else if (u < 0x800) {
      *p++ = static_cast<unsigned char>(0xC0 | (u >> 6));
      *p++ = static_cast<unsigned char>(0x80 | (u & 0x3F));
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      *done = i;
      return -1;
    } else {
      *p++ = static_cast<unsigned char>(0xE0 | (u >> 12));
      *p++ = static_cast<unsigned char>(0x80 | ((u >> 6) & 0x3F));
      *p++ = static_cast<unsigned char>(0x80 | (u & 0x3F));
    }
  }
  *done = count;
  return static_cast<long>(p - out);
}

const char* TextMessage(TextStatus status) {
  switch (status) {
    case kTextContinuation:
      return "a continuation byte without a lead byte";
    case kTextBadByte:
      return "a byte that never starts a character";
    case kTextCut:
      return "the text ends inside a character";
    case kTextOutOfRange:
      return "an overlong form, an encoded surrogate or a value above U+10FFFF";
    case kTextShort:
      return "a character cut short";
    default:
      return "";
  }
}

TextStatus NextChar(const unsigned char* in, size_t size, size_t* pos, uint32_t* cp) {
  const size_t i = *pos;
  const unsigned int b = in[i];
  size_t more;
  uint32_t c;
  // The bounds of the first continuation byte refuse overlong forms, surrogates and values beyond
  // U+10FFFF without decoding them first.
  unsigned int lo = 0x80;
  unsigned int hi = 0xBF;
  if (b < 0x80) {
    *cp = b;
    *pos = i + 1;
    return kTextOk;
  } else if (b >= 0xC2 && b <= 0xDF) {
    more = 1;
    c = b & 0x1F;
  } else if (b >= 0xE0 && b <= 0xEF) {
    more = 2;
    c = b & 0x0F;
    if (b == 0xE0) lo = 0xA0;
    if (b == 0xED) hi = 0x9F;
  } else if (b >= 0xF0 && b <= 0xF4) {
    more = 3;
    c = b & 0x07;
    if (b == 0xF0) lo = 0x90;
    if (b == 0xF4) hi = 0x8F;
  } else {
    return b >= 0x80 && b <= 0xBF ? kTextContinuation : kTextBadByte;
  }
  if (more > size - i - 1) return kTextCut;
  for (size_t k = 1; k <= more; ++k) {
    const unsigned int next = in[i + k];
    if (next < (k == 1 ? lo : 0x80) || next > (k == 1 ? hi : 0xBF))
      return next >= 0x80 && next <= 0xBF ? kTextOutOfRange : kTextShort;
    c = (c << 6) | (next & 0x3F);
  }
  *cp = c;
  *pos = i + more + 1;
  return kTextOk;
}

size_t PutChar(uint32_t cp, char* out) {
  if (cp < 0x80) {
    out[0] = static_cast<char>(cp);
    return 1;
  }
  if (cp < 0x800) {
    out[0] = static_cast<char>(0xC0 | (cp >> 6));
    out[1] = static_cast<char>(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    out[0] = static_cast<char>(0xE0 | (cp >> 12));
    out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[2] = static_cast<char>(0x80 | (cp & 0x3F));
    return 3;
  }
  out[0] = static_cast<char>(0xF0 | (cp >> 18));
  out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
  out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  out[3] = static_cast<char>(0x80 | (cp & 0x3F));
  return 4;
}

bool WireIsStandard(const unsigned char* in, size_t size) {
  for (size_t i = 0; i < size; ++i) {
    const unsigned char c = in[i];
    if (c < 0xC0) continue;
    if (c <= 0xC1) return false;
    if (i + 1 < size && ((c == 0xE0 && in[i + 1] < 0xA0) || (c == 0xED && in[i + 1] >= 0xA0)))
      return false;
  }
  return true;
}

size_t WireSpanKeepingPairs(const unsigned char* in, size_t count, size_t* units) {
  size_t size = 0;
  size_t lead = 0;
  for (size_t u = 0; u < count; ++u) {
    lead = size;
    const unsigned char c = in[lead];
    size += c < 0x80 ? 1 : c < 0xE0 ? 2 : 3;
  }
  *units = count;
  // A high surrogate is ED A0 to ED AF.
  if (count && in[lead] == 0xED && in[lead + 1] >= 0xA0 && in[lead + 1] <= 0xAF) {
    *units = count - 1;
    return lead;
  }
  return size;
}

size_t PutWireChar(uint32_t cp, char* out) {
  if (cp <= 0xFFFF) return PutChar(cp, out);
  cp -= 0x10000;
  const size_t high = PutChar(0xD800 + (cp >> 10), out);
  return high + PutChar(0xDC00 + (cp & 0x3FF), out + high);
}

}  // namespace kelo::wire
