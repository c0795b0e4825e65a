// The one-call interface: thin wrappers over the classic framing and value codecs, plus what they
// lack: reading fault replies and calls ('c' [headers] 'm' <method> <arguments> 'z'), and UTF-8.
#include <kelohessian/kelo.h>

#include <exception>
#include <new>

#include <kelohessian/call/call.h>
#include <kelohessian/call/detail/framing.h>
#include <kelohessian/hessian/detail/vector_output.h>
#include <kelohessian/hessian/detail/wire.h>
#include <kelohessian/hessian/skip.h>
#include <kelohessian/wire/utf8.h>

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

// What a range given as pointer and size is refused with before anything is read: a null pointer
// with bytes behind it, or more bytes than the 32-bit cursor counts. KELO_OK for any other.
int RangeCheck(const void* data, std::size_t size) {
  if (!data && size) return KELO_E_INVALID_ARGUMENT;
  return size > kMaxInput ? KELO_E_OUT_OF_RANGE : KELO_OK;
}

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

// What the classic reader leaves unsaid: it adds no text when the input ends inside a 4- or
// 8-byte value that it skips, and stops right behind the value's marker.
std::string CutValueText(const CKeloInput& in) {
  const unsigned int at = in.GetNumExtracted();
  const char* marker;
  if (at == 0 || in.GetDataAt(marker, at - 1, 1) != 0) return std::string();
  const int bits = *marker == 'I'                                       ? 32
                   : *marker == 'L' || *marker == 'D' || *marker == 'd' ? 64
                                                                        : 0;
  if (bits == 0) return std::string();
  return "The input ends inside a " + std::to_string(bits) + "-bit value that starts at offset " +
         std::to_string(at - 1);
}

// The code with the parse context's text and the bytes consumed so far.
Status FromParse(int code, CKeloInputParse& parse) {
  std::string text;
  if (parse.GetErrorLength())
    text.assign(parse.GetError(), parse.GetErrorLength());
  else if (code == KELO_E_EXHAUSTED)
    text = CutValueText(parse.Input());
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

// Defined with the text functions below.
Status Utf8Units(std::string_view text, std::vector<short>* units, std::size_t& count);
void AppendUnits(std::string& out, const unsigned short* units, std::size_t count);

// ---- Reading past any Hessian 1.0 value ---------------------------------------------------------
// Fault details and call headers carry whatever the peer sends: untyped maps with keys of any
// type, lists without type or length, 'R' back references, XML. The classic skip refuses those,
// so this reader knows the whole grammar. It only moves the cursor; every loop takes at least one
// byte, and nesting is bounded by KELO_MAX_SKIP_DEPTH.

// count 16-bit units of UTF-8, as Hessian counts a string's or a name's length: one for each
// character of 1 to 3 bytes (Java writes a character above U+FFFF as two of those, one per
// surrogate), two for a 4-byte one. Each is as long as its lead byte says.
int SkipChars(CKeloInput& in, unsigned int count) {
  const char* p;
  for (unsigned int units = 0; units < count;) {
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
    units += more == 3 ? 2 : 1;
    if (units > count) return KELO_E_FORMAT;  // a surrogate pair cut in two
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

// One string of a fault: a key, or the code or message. Every cut of a fault is
// KELO_E_EXHAUSTED, also one inside a character, which the string reader calls corrupt UTF-8
// (KELO_E_FORMAT): reading past the same string on a copy of the cursor tells the two apart.
int ReadFaultString(CKeloInputParse& parse, CKeloHesString& out) {
  CKeloInput ahead = parse.Input();
  const int rc = static_cast<CKeloHesObject&>(out).Deserialize(parse);
  return rc == KELO_E_FORMAT && SkipValue(ahead, 0) == KELO_E_EXHAUSTED ? KELO_E_EXHAUSTED : rc;
}

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
    if (int rc = ReadFaultString(parse, key); rc != 0) return FromParse(rc, parse);
    const std::string name = ToUtf8(key);
    std::string* field = name == "code" ? &code : name == "message" ? &message : nullptr;
    if (!field) {
      if (Status s = SkipValueOrFail(parse); !s) return s;
      continue;
    }
    if (!Peek(in, c))
      return FromParse(Fail(parse, kelo_detail::kFailFaultValue, KELO_E_EXHAUSTED), parse);
    if (c != 'S' && c != 's' && c != 'N') {
      const char* p;
      in.Extract(p, 1);
      return FromParse(Fail(parse, kelo_detail::kFailFaultValue), parse);
    }
    CKeloHesString value;
    if (int rc = ReadFaultString(parse, value); rc != 0) return FromParse(rc, parse);
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

// ---- Calls -------------------------------------------------------------------------------------

// A method name of count 16-bit units, as Hessian counts it, read into name as UTF-8 (Java's pair
// of 3-byte surrogates becomes one 4-byte character). A cut is KELO_E_EXHAUSTED, also one inside
// a character; any other UTF-8 fault is KELO_E_FORMAT with the string reader's text.
int ReadMethodName(CKeloInputParse& parse, unsigned int count, std::string& name) {
  CKeloInput& in = parse.Input();
  const unsigned int available = Left(in);
  const char* start = nullptr;
  in.GetDataAt(start, in.GetNumExtracted(), available);
  // Every unit takes at least one byte, so the input bounds the room they need.
  std::vector<unsigned short> units(count < available ? count : available);
  std::size_t consumed = 0;
  std::size_t decoded = 0;
  const kelo::wire::Utf8Status status =
      kelo::wire::DecodeUtf8(reinterpret_cast<const unsigned char*>(start), available, count,
                             units.data(), &consumed, &decoded);
  const char* p;
  in.Extract(p, static_cast<unsigned int>(consumed));
  switch (status) {
    case kelo::wire::kUtf8Ok: {
      std::string text;
      AppendUnits(text, units.data(), decoded);
      name.swap(text);
      return KELO_OK;
    }
    case kelo::wire::kUtf8Exhausted:
    case kelo::wire::kUtf8Truncated2:
    case kelo::wire::kUtf8Truncated3:
      return Fail(parse, kelo_detail::kFailCallMethodMissing);
    default:
      parse.AddToError(kelo::wire::Utf8Message(status), KELO_NO_LAST_CHARS);
      return KELO_E_FORMAT;
  }
}

}  // namespace

// ---- One call each way -------------------------------------------------------------------------

// The encoders write straight into out (kelo_detail::VectorOutput): its capacity is reused, it
// grows geometrically, and nothing is copied at the end.

Status EncodeCall(std::string_view method, const CKeloHesClass& args,
                  std::vector<std::uint8_t>& out) {
  return Guard(&out, [&] {
    kelo_detail::VectorOutput buffer(out);
    if (!method.data() && !method.empty()) return Status(KELO_E_INVALID_ARGUMENT);
    // The length is written in 16-bit units, as Java writes it (the classic function writes the
    // bytes it is given); each unit takes 1 to 3 bytes.
    if (method.size() > 3 * 0xFFFF) return Status(KELO_E_OUT_OF_RANGE);
    std::size_t units = 0;
    if (Status s = Utf8Units(method, nullptr, units); !s) return s;
    if (units > 0xFFFF) return Status(KELO_E_OUT_OF_RANGE);
    return Status(buffer.Finish(
        kelo_detail::BuildCall(method.data(), static_cast<unsigned int>(method.size()),
                               static_cast<unsigned int>(units), args, buffer.Output())));
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
    if (int rc = RangeCheck(data, size); rc != 0) return Status(rc);
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
              RangeCheck(data, size) == 0 ? static_cast<unsigned int>(size) : 0),
      m_parse(m_input),
      m_refused(RangeCheck(data, size)),
      m_methodRead(false) {}

CallReader::~CallReader() {}

Status CallReader::Failed(int code) {
  return FromParse(code, m_parse);
}

Status CallReader::ReadMethod(std::string& method) {
  return Guard(nullptr, [&] {
    m_parse.Reset();
    if (m_refused) return Status(m_refused);
    if (m_methodRead) return Status(KELO_E_INVALID_STATE);
    const char* p;
    if (m_input.Extract(p, 3) != 0) return Failed(Fail(m_parse, kelo_detail::kFailCallMissing));
    if (p[0] != 'c') return Failed(Fail(m_parse, kelo_detail::kFailCallMarker));
    for (;;) {
      if (m_input.Extract(p, 3) != 0)
        return Failed(Fail(m_parse, kelo_detail::kFailCallMethod, KELO_E_EXHAUSTED));
      const char marker = p[0];
      const unsigned int units = kelo_detail::ReadU16(p + 1);  // the name's length
      if (marker == 'm') {
        if (int rc = ReadMethodName(m_parse, units, method); rc != 0) return Failed(rc);
        m_methodRead = true;
        return Status(KELO_OK, m_input.GetNumExtracted());
      }
      if (marker != 'H') return Failed(Fail(m_parse, kelo_detail::kFailCallMethod));
      // A header's name and value are read past.
      if (int rc = SkipChars(m_input, units); rc != 0)
        return Failed(Fail(m_parse, kelo_detail::kFailCallHeader, rc));
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

// A surrogate pair becomes one 4-byte character, a lone surrogate U+FFFD.
void AppendUnits(std::string& out, const unsigned short* units, std::size_t count) {
  char bytes[4];
  for (std::size_t i = 0; i < count; ++i) {
    std::uint32_t u = units[i];
    if (IsHigh(u) && i + 1 < count && IsLow(units[i + 1]))
      u = 0x10000 + ((u - 0xD800) << 10) + (units[++i] - 0xDC00u);
    else if (IsHigh(u) || IsLow(u))
      u = 0xFFFD;
    out.append(bytes, kelo::wire::PutChar(u, bytes));
  }
}

// Counts the 16-bit units of UTF-8 text, storing them when units is given. Invalid UTF-8 (a bad
// lead or continuation byte, a truncated, overlong or surrogate sequence, a value beyond
// U+10FFFF) is KELO_E_FORMAT, a character above U+FFFF KELO_E_NOT_SUPPORTED (strings carry 16-bit
// units and the wire writer refuses surrogates), with offset() at the first byte of the sequence.
Status Utf8Units(std::string_view text, std::vector<short>* units, std::size_t& count) {
  count = 0;
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t at = i;
    std::uint32_t c = 0;
    if (const kelo::wire::TextStatus t = kelo::wire::NextChar(s, text.size(), &i, &c);
        t != kelo::wire::kTextOk)
      return BadUtf8(kelo::wire::TextMessage(t), at);
    if (c > 0xFFFF)
      return Status(KELO_E_NOT_SUPPORTED,
                    "The character at byte " + std::to_string(at) +
                        " lies above U+FFFF, which strings cannot carry",
                    at);
    if (units) units->push_back(static_cast<short>(static_cast<unsigned short>(c)));
    ++count;
  }
  return Status();
}

// The text as 16-bit units, by FromUtf8's rules, and view a string over them: FromUtf8 without
// the copy into a string of its own. Call it inside Guard (units grows).
Status ViewUtf8(std::string_view text, std::vector<short>& units, CKeloHesString& view) {
  if (int rc = RangeCheck(text.data(), text.size()); rc != 0) return Status(rc);
  units.reserve(text.size());  // one unit per byte at most
  std::size_t count = 0;
  if (Status s = Utf8Units(text, &units, count); !s) return s;
  static const short kNone = 0;  // a non-null source, so an empty text is not null
  view.SetExternal(units.empty() ? &kNone : units.data(), static_cast<unsigned int>(count));
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
    AppendUnits(out, reinterpret_cast<const unsigned short*>(units), length);
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
  if (int rc = RangeCheck(data, size); rc != 0) return Status(rc);
  static const char kNone = 0;  // a non-null source, so an empty blob is not null
  const char* bytes = size ? static_cast<const char*>(data) : &kNone;
  if (int rc = out.Copy(bytes, static_cast<unsigned int>(size)); rc != 0) return Status(rc);
  out.SetNull(false);
  return Status();
}

}  // namespace kelo
