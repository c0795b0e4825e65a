// The one-call interface: thin wrappers over the classic framing and value codecs, plus what they
// lack: reading fault replies and calls ('c' [headers] 'm' <method> <arguments> 'z'), and UTF-8.
#include <kelohessian/kelo.h>

#include <exception>
#include <new>

#include <kelohessian/call/call.h>
#include <kelohessian/hessian/detail/vector_output.h>
#include <kelohessian/hessian/detail/wire.h>
#include <kelohessian/hessian/skip.h>

namespace kelo {

struct StatusAccess {
  static Status Fault(std::string code, std::string message, std::string text, std::size_t offset) {
    Status status(KELO_E_FAULT, std::move(text), offset);
    status.faultCode_ = std::move(code);
    status.faultMessage_ = std::move(message);
    return status;
  }
};

namespace {

using kelo_detail::Fail;

constexpr std::size_t kMaxInput = 0xFFFFFFFFu;  // CKeloInput counts in 32 bits

// Runs body, turning what a standard container throws (std::bad_alloc, or std::length_error for
// a size it cannot hold) into KELO_E_NO_MEMORY, and an empty out for the encoders.
template <class Body>
Status Guard(std::vector<std::uint8_t>* out, Body&& body) noexcept {
  try {
    return body();
  } catch (const std::exception&) {
    if (out) out->clear();
    return Status(KELO_E_NO_MEMORY);
  }
}

// The code with the parse context's text and the bytes consumed so far.
Status FromParse(int code, CKeloInputParse& parse) {
  std::string text;
  if (parse.GetError()) text.assign(parse.GetError(), parse.GetErrorLength());
  return Status(code, std::move(text), parse.Input().GetNumExtracted());
}

// The next byte without taking it; false at the end of the input.
bool Peek(CKeloInput& in, char& c) {
  const char* p;
  if (in.GetDataAt(p, in.GetNumExtracted(), 1) != 0) return false;
  c = *p;
  return true;
}

unsigned int Left(CKeloInput& in) {
  return in.GetTotalSize() - in.GetNumExtracted();
}

// KELO_E_FORMAT with "<piece><number of bytes left>" when input remains after the message.
Status CheckEnd(CKeloInputParse& parse, kelo_detail::Failure piece) {
  const unsigned int left = Left(parse.Input());
  if (left == 0) return Status(KELO_OK, parse.Input().GetNumExtracted());
  kelo_detail::Add(parse, piece);
  const std::string count = std::to_string(left);
  parse.AddToErrorByLength(count.data(), static_cast<unsigned int>(count.size()), 0);
  return FromParse(KELO_E_FORMAT, parse);
}

Status ViewUtf8(std::string_view text, std::vector<short>& units, CKeloHesString& view);

// ---- Reading past any Hessian 1.0 value ---------------------------------------------------------
// Fault details and call headers carry whatever the peer sends: untyped maps with keys of any
// type, lists without type or length, 'R' back references, XML. The classic skip refuses those,
// so this reader knows the whole grammar. It only moves the cursor; every loop takes at least one
// byte, and nesting is bounded by KELO_MAX_SKIP_DEPTH.

// count characters of UTF-8, each as long as its lead byte says (Java writes 1 to 3 bytes).
int SkipChars(CKeloInput& in, unsigned int count) {
  const char* p;
  for (unsigned int i = 0; i < count; ++i) {
    if (int rc = in.Extract(p, 1); rc != 0) return rc;
    const unsigned char lead = static_cast<unsigned char>(*p);
    unsigned int more;
    if (lead < 0x80)
      more = 0;
    else if ((lead & 0xE0) == 0xC0)
      more = 1;
    else if ((lead & 0xF0) == 0xE0)
      more = 2;
    else if ((lead & 0xF8) == 0xF0)
      more = 3;
    else
      return KELO_E_FORMAT;
    if (int rc = in.Extract(p, more); rc != 0) return rc;
  }
  return KELO_OK;
}

// The chunks of a string ('s'/'S'), XML ('x'/'X') or blob ('b'/'B') whose first marker was taken.
int SkipChunks(CKeloInput& in, char marker) {
  const char last = static_cast<char>(marker & ~0x20);  // the final chunk's upper-case marker
  const bool text = last != 'B';
  for (;;) {
    const char* p;
    if (int rc = in.Extract(p, 2); rc != 0) return rc;
    const unsigned int count = kelo_detail::ReadU16(p);
    if (int rc = text ? SkipChars(in, count) : in.Extract(p, count); rc != 0) return rc;
    if (marker == last) return KELO_OK;
    if (int rc = in.Extract(p, 1); rc != 0) return rc;
    marker = *p;
    if (marker != last && marker != (last | 0x20)) return KELO_E_FORMAT;
  }
}

int SkipValue(CKeloInput& in, unsigned int depth) {
  const char* p;
  if (int rc = in.Extract(p, 1); rc != 0) return rc;
  const char marker = *p;
  switch (marker) {
    case 'N':
    case 'T':
    case 'F':
      return KELO_OK;
    case 'I':
    case 'R':
      return in.Extract(p, 4);
    case 'L':
    case 'D':
    case 'd':
      return in.Extract(p, 8);
    case 'S':
    case 's':
    case 'X':
    case 'x':
    case 'B':
    case 'b':
      return SkipChunks(in, marker);
    case 'M':
    case 'V': {
      if (depth >= KELO_MAX_SKIP_DEPTH) return KELO_E_NOT_SUPPORTED;
      char c;
      if (Peek(in, c) && c == 't') {
        if (int rc = in.Extract(p, 3); rc != 0) return rc;
        if (int rc = in.Extract(p, kelo_detail::ReadU16(p + 1)); rc != 0) return rc;
      }
      if (marker == 'V' && Peek(in, c) && c == 'l') {
        if (int rc = in.Extract(p, 5); rc != 0) return rc;
      }
      // A map holds key and value pairs, a list values, up to 'z'.
      for (;;) {
        if (!Peek(in, c)) return KELO_E_EXHAUSTED;
        if (c == 'z') return in.Extract(p, 1);
        if (int rc = SkipValue(in, depth + 1); rc != 0) return rc;
        if (marker == 'M') {
          if (int rc = SkipValue(in, depth + 1); rc != 0) return rc;
        }
      }
    }
    default:
      return KELO_E_FORMAT;
  }
}

Status SkipValueOrFail(CKeloInputParse& parse) {
  const int rc = SkipValue(parse.Input(), 0);
  if (rc == 0) return Status();
  Fail(parse, rc == KELO_E_NOT_SUPPORTED ? kelo_detail::kFailSkipValueTooDeep
                                         : kelo_detail::kFailSkipValue);
  return FromParse(rc, parse);
}

// ---- Faults ------------------------------------------------------------------------------------

// The fault's fields after 'r' 01 00 'f': string keys and their values up to 'z', then the reply's
// own 'z' when Java wrote one.
Status ReadFault(CKeloInputParse& parse) {
  CKeloInput& in = parse.Input();
  std::string code;
  std::string message;
  for (;;) {
    char c;
    if (!Peek(in, c)) return FromParse(Fail(parse, kelo_detail::kFailFaultEndMissing), parse);
    if (c == 'z') break;
    if (c != 'S' && c != 's') {
      const char* p;
      in.Extract(p, 1);
      return FromParse(Fail(parse, kelo_detail::kFailFaultKey), parse);
    }
    CKeloHesString key;
    if (int rc = static_cast<CKeloHesObject&>(key).Deserialize(parse); rc != 0)
      return FromParse(rc, parse);
    const std::string name = ToUtf8(key);
    std::string* field = name == "code" ? &code : name == "message" ? &message : nullptr;
    if (!field) {
      if (Status s = SkipValueOrFail(parse); !s) return s;
      continue;
    }
    if (!Peek(in, c) || (c != 'S' && c != 's' && c != 'N')) {
      const char* p;
      in.Extract(p, 1);
      return FromParse(Fail(parse, kelo_detail::kFailFaultValue), parse);
    }
    CKeloHesString value;
    if (int rc = static_cast<CKeloHesObject&>(value).Deserialize(parse); rc != 0)
      return FromParse(rc, parse);
    *field = ToUtf8(value);
  }
  const char* p;
  in.Extract(p, 1);
  char c;
  if (Peek(in, c) && c == 'z') in.Extract(p, 1);
  if (Status s = CheckEnd(parse, kelo_detail::kFailTrailingOpen); !s) return s;
  std::string text = code + ": " + message;
  return StatusAccess::Fault(std::move(code), std::move(message), std::move(text),
                             in.GetNumExtracted());
}

}  // namespace

// ---- One call each way -------------------------------------------------------------------------

// The encoders write straight into out (kelo_detail::VectorOutput): its capacity is reused, it
// grows geometrically, and nothing is copied at the end.

Status EncodeCall(std::string_view method, const CKeloHesClass& args,
                  std::vector<std::uint8_t>& out) {
  return Guard(&out, [&] {
    kelo_detail::VectorOutput buffer(out);
    if (method.size() > 0xFFFF) return Status(KELO_E_OUT_OF_RANGE);
    return Status(buffer.Finish(KeloHessianBuildRequest(
        method.data(), static_cast<unsigned int>(method.size()), args, buffer.Output())));
  });
}

Status EncodeReply(const CKeloHesClass& result, std::vector<std::uint8_t>& out) {
  return Guard(&out, [&] {
    kelo_detail::VectorOutput buffer(out);
    CKeloOutput& bytes = buffer.Output();
    static const char kHead[] = {'r', 0x01, 0x00};
    int rc = bytes.Append(kHead, sizeof kHead);
    if (rc == 0) rc = static_cast<const CKeloHesObject&>(result).Serialize(bytes);
    if (rc == 0) rc = bytes.Append('z');
    return Status(buffer.Finish(rc));
  });
}

Status EncodeFault(std::string_view code, std::string_view message,
                   std::vector<std::uint8_t>& out) {
  return Guard(&out, [&] {
    kelo_detail::VectorOutput buffer(out);
    // The strings view the converted units: a long message is not copied once more.
    std::vector<short> codeUnits;
    std::vector<short> messageUnits;
    CKeloHesString codeText;
    CKeloHesString messageText;
    if (Status s = ViewUtf8(code, codeUnits, codeText); !s) return s;
    if (Status s = ViewUtf8(message, messageUnits, messageText); !s) return s;
    static const char kHead[] = {'r', 0x01, 0x00, 'f', 'S', 0x00, 0x04, 'c', 'o', 'd', 'e'};
    static const char kMessage[] = {'S', 0x00, 0x07, 'm', 'e', 's', 's', 'a', 'g', 'e'};
    static const char kEnd[] = {'z', 'z'};
    CKeloOutput& bytes = buffer.Output();
    int rc = bytes.Append(kHead, sizeof kHead);
    if (rc == 0) rc = codeText.Serialize(bytes);
    if (rc == 0) rc = bytes.Append(kMessage, sizeof kMessage);
    if (rc == 0) rc = messageText.Serialize(bytes);
    if (rc == 0) rc = bytes.Append(kEnd, sizeof kEnd);
    return Status(buffer.Finish(rc));
  });
}

Status DecodeReply(const void* data, std::size_t size, CKeloHesClass& result) {
  return Guard(nullptr, [&] {
    if (size > kMaxInput) return Status(KELO_E_OUT_OF_RANGE);
    const char* bytes = static_cast<const char*>(data);
    CKeloInput in(bytes, static_cast<unsigned int>(size));
    CKeloInputParse parse(in);
    if (size >= 4 && bytes[0] == 'r' && bytes[3] == 'f') {
      const char* p;
      in.Extract(p, 4);
      return ReadFault(parse);
    }
    if (int rc = KeloHessianReadResponse(result, parse); rc != 0) return FromParse(rc, parse);
    return CheckEnd(parse, kelo_detail::kFailTrailingOpen);
  });
}

// ---- The server side ---------------------------------------------------------------------------

CallReader::CallReader(const void* data, std::size_t size)
    : m_input(static_cast<const char*>(data),
              size <= kMaxInput ? static_cast<unsigned int>(size) : 0),
      m_parse(m_input),
      m_sizeOk(size <= kMaxInput),
      m_methodRead(false) {}

CallReader::~CallReader() {}

Status CallReader::Failed(int code) {
  return FromParse(code, m_parse);
}

Status CallReader::ReadMethod(std::string& method) {
  return Guard(nullptr, [&] {
    m_parse.Reset();
    if (!m_sizeOk) return Status(KELO_E_OUT_OF_RANGE);
    if (m_methodRead) return Status(KELO_E_INVALID_STATE);
    const char* p;
    if (m_input.Extract(p, 3) != 0) return Failed(Fail(m_parse, kelo_detail::kFailCallMissing));
    if (p[0] != 'c') return Failed(Fail(m_parse, kelo_detail::kFailCallMarker));
    for (;;) {
      if (m_input.Extract(p, 3) != 0)
        return Failed(Fail(m_parse, kelo_detail::kFailCallMethod, KELO_E_EXHAUSTED));
      const char marker = p[0];
      const unsigned int length = kelo_detail::ReadU16(p + 1);
      if (marker != 'H' && marker != 'm')
        return Failed(Fail(m_parse, kelo_detail::kFailCallMethod));
      const char* name;
      if (m_input.Extract(name, length) != 0)
        return Failed(
            Fail(m_parse,
                 marker == 'm' ? kelo_detail::kFailCallMethodMissing : kelo_detail::kFailCallHeader,
                 KELO_E_EXHAUSTED));
      if (marker == 'm') {
        method.assign(name, length);
        m_methodRead = true;
        return Status(KELO_OK, m_input.GetNumExtracted());
      }
      if (Status s = SkipValueOrFail(m_parse); !s) return s;
    }
  });
}

bool CallReader::AtEnd() const {
  const char* p;
  return m_input.GetDataAt(p, m_input.GetNumExtracted(), 1) == 0 && *p == 'z';
}

Status CallReader::ReadArg(CKeloHesClass& arg) {
  return Guard(nullptr, [&] {
    m_parse.Reset();
    if (!m_methodRead) return Failed(Fail(m_parse, kelo_detail::kFailCallOrder));
    if (AtEnd()) return Failed(Fail(m_parse, kelo_detail::kFailCallNoArgument));
    if (int rc = static_cast<CKeloHesObject&>(arg).Deserialize(m_parse); rc != 0) return Failed(rc);
    return Status(KELO_OK, m_input.GetNumExtracted());
  });
}

Status CallReader::Finish() {
  return Guard(nullptr, [&] {
    m_parse.Reset();
    if (!m_methodRead) return Failed(Fail(m_parse, kelo_detail::kFailCallOrder));
    const char* p;
    if (m_input.Extract(p, 1) != 0) return Failed(Fail(m_parse, kelo_detail::kFailCallEndMissing));
    if (*p != 'z') return Failed(Fail(m_parse, kelo_detail::kFailCallEndMarker));
    return CheckEnd(m_parse, kelo_detail::kFailCallTrailingOpen);
  });
}

// ---- Text and bytes ----------------------------------------------------------------------------

namespace {

void AppendUtf8(std::string& out, unsigned long c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

bool IsHigh(unsigned int u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
bool IsLow(unsigned int u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// Why a UTF-8 sequence starting at `at` is refused, as a status.
Status BadUtf8(const char* why, std::size_t at) {
  return Status(KELO_E_FORMAT,
                std::string("Invalid UTF-8: ") + why + " at byte " + std::to_string(at), at);
}

// The text as 16-bit units, by FromUtf8's rules, and view a string over them: FromUtf8 without
// the copy into a string of its own. Call it inside Guard (units grows).
Status ViewUtf8(std::string_view text, std::vector<short>& units, CKeloHesString& view) {
  if (text.size() > kMaxInput) return Status(KELO_E_OUT_OF_RANGE);
  // One unit per byte at most.
  units.reserve(text.size());
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const std::size_t n = text.size();
  for (std::size_t i = 0; i < n;) {
    const unsigned int b = s[i];
    std::size_t more;
    unsigned long c;
    unsigned int lo = 0x80;  // bounds of the first continuation byte (overlong, surrogates,
    unsigned int hi = 0xBF;  // beyond U+10FFFF are refused by them)
    if (b < 0x80) {
      more = 0;
      c = b;
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
      return BadUtf8(b >= 0x80 && b <= 0xBF ? "a continuation byte without a lead byte"
                                            : "a byte that never starts a character",
                     i);
    }
    if (more > n - i - 1) return BadUtf8("the text ends inside a character", i);
    for (std::size_t k = 1; k <= more; ++k) {
      const unsigned int cont = s[i + k];
      const unsigned int min = k == 1 ? lo : 0x80;
      const unsigned int max = k == 1 ? hi : 0xBF;
      if (cont < min || cont > max)
        return BadUtf8(cont >= 0x80 && cont <= 0xBF
                           ? "an overlong form, an encoded surrogate or a value above U+10FFFF"
                           : "a character cut short",
                       i);
      c = (c << 6) | (cont & 0x3F);
    }
    if (c > 0xFFFF)
      return Status(KELO_E_NOT_SUPPORTED,
                    "The character at byte " + std::to_string(i) +
                        " lies above U+FFFF, which strings cannot carry",
                    i);
    units.push_back(static_cast<short>(static_cast<unsigned short>(c)));
    i += more + 1;
  }
  static const short kNone = 0;  // a non-null source, so an empty text is not null
  view.SetExternal(units.empty() ? &kNone : units.data(), static_cast<unsigned int>(units.size()));
  return Status();
}

}  // namespace

std::string ToUtf8(const CKeloHesString& text) {
  try {
    const short* units;
    const unsigned int length = text.Data(units);
    std::string out;
    if (text.IsNull()) return out;
    out.reserve(length);
    for (unsigned int i = 0; i < length; ++i) {
      const unsigned int u = static_cast<unsigned short>(units[i]);
      if (IsHigh(u) && i + 1 < length && IsLow(static_cast<unsigned short>(units[i + 1]))) {
        const unsigned int low = static_cast<unsigned short>(units[++i]);
        AppendUtf8(out,
                   0x10000 + ((static_cast<unsigned long>(u) - 0xD800) << 10) + (low - 0xDC00));
      } else if (IsHigh(u) || IsLow(u)) {
        AppendUtf8(out, 0xFFFD);
      } else {
        AppendUtf8(out, u);
      }
    }
    return out;
  } catch (const std::exception&) {
    return std::string();
  }
}

Status FromUtf8(std::string_view text, CKeloHesString& out) {
  return Guard(nullptr, [&] {
    std::vector<short> units;
    CKeloHesString view;
    if (Status s = ViewUtf8(text, units, view); !s) return s;
    const short* data;
    const unsigned int length = view.Data(data);
    if (int rc = out.Copy(data, length); rc != 0) return Status(rc);
    out.SetNull(false);
    return Status();
  });
}

std::string_view ToBytes(const CKeloHesBinary& blob) {
  const char* bytes;
  const unsigned int length = blob.Data(bytes);
  if (blob.IsNull() || !bytes) return std::string_view();
  return std::string_view(bytes, length);
}

Status FromBytes(const void* data, std::size_t size, CKeloHesBinary& out) {
  if (size > kMaxInput) return Status(KELO_E_OUT_OF_RANGE);
  static const char kNone = 0;  // a non-null source, so an empty blob is not null
  const char* bytes = data && size ? static_cast<const char*>(data) : &kNone;
  if (int rc = out.Copy(bytes, static_cast<unsigned int>(size)); rc != 0) return Status(rc);
  out.SetNull(false);
  return Status();
}

}  // namespace kelo
