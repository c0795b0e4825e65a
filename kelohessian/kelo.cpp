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
#include <kelohessian/wire/reader.h>
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

// ---- Reading any Hessian 1.0 value with the wire reader ----------------------------------------
// Fault details and call headers carry whatever the peer sends: untyped maps with keys of any
// type, lists without type or length, 'R' back references, XML, remote objects. The classic skip
// refuses those; the wire reader reads them all, allocating nothing, with nesting bounded.

// A reader over the input's bytes from the start; `depth` bounds its maps and lists beyond the
// envelope and the fault that the fault reader opens.
kelo::wire::Reader ReaderOf(const CKeloInput& in) {
  const char* bytes = nullptr;
  if (in.GetTotalSize()) in.GetDataAt(bytes, 0, in.GetTotalSize());
  return kelo::wire::Reader(bytes, in.GetTotalSize(), KELO_MAX_SKIP_DEPTH + 2);
}

// The code of a failed step: the input ended, values nested too deeply, or anything else.
int CodeOf(const kelo::wire::Reader& reader) {
  switch (reader.problem()) {
    case kelo::wire::Problem::kEnd:
      return KELO_E_EXHAUSTED;
    case kelo::wire::Problem::kTooDeep:
      return KELO_E_NOT_SUPPORTED;
    default:
      return KELO_E_FORMAT;
  }
}

// Moves the cursor to where the reader stands (it only ever moves forward).
void Follow(CKeloInput& in, const kelo::wire::Reader& reader) {
  const char* p;
  in.Extract(p, static_cast<unsigned int>(reader.offset() - in.GetNumExtracted()));
}

// The status of a failed step: the cursor where the reader stopped, then the text of row (with the
// code given) or, for text that is not UTF-8 where the step reads it, the string reader's text.
Status Refuse(CKeloInputParse& parse, const kelo::wire::Reader& reader, kelo_detail::Failure row,
              int code, bool utf8Text = true) {
  Follow(parse.Input(), reader);
  if (utf8Text && reader.problem() == kelo::wire::Problem::kUtf8) {
    parse.AddToError(kelo::wire::Utf8Message(reader.utf8()), KELO_NO_LAST_CHARS);
    return FromParse(KELO_E_FORMAT, parse);
  }
  return FromParse(Fail(parse, row, code), parse);
}

// A failed skip of a header's or a fault field's value.
Status RefuseSkip(CKeloInputParse& parse, const kelo::wire::Reader& reader) {
  const int code = CodeOf(reader);
  return Refuse(parse, reader,
                code == KELO_E_NOT_SUPPORTED ? kelo_detail::kFailSkipValueTooDeep
                                             : kelo_detail::kFailSkipValue,
                code, false);
}

// A string read to its end, first chunk given, as UTF-8 (a surrogate pair becomes one 4-byte
// character); null gives an empty text.
bool ReadText(kelo::wire::Reader& reader, kelo::wire::Token token, std::string& out) {
  out.clear();
  std::vector<unsigned short> units;
  for (;;) {
    if (token.kind != kelo::wire::Kind::kString) return token.kind == kelo::wire::Kind::kNull;
    units.resize(token.units);
    std::size_t consumed = 0;
    std::size_t decoded = 0;
    // The reader has walked these bytes already: they decode.
    kelo::wire::DecodeUtf8(reinterpret_cast<const unsigned char*>(token.text), token.size,
                           token.units, units.data(), &consumed, &decoded);
    AppendUnits(out, units.data(), decoded);
    if (token.last) return true;
    if (!reader.Next(token)) return false;
  }
}

// ---- Faults ------------------------------------------------------------------------------------

// A fault reply 'r' v1 v2 'f': string keys and their values up to 'z', then the reply's own 'z'
// when Java wrote one. Every cut is KELO_E_EXHAUSTED.
Status ReadFault(CKeloInputParse& parse) {
  kelo::wire::Reader reader = ReaderOf(parse.Input());
  kelo::wire::Token token;
  reader.Envelope(token);
  reader.Next(token);  // the caller saw 'r' x x 'f'
  std::string code;
  std::string message;
  const auto cut = [&] {
    return Refuse(parse, reader, kelo_detail::kFailFaultEndMissing, KELO_E_EXHAUSTED);
  };
  for (;;) {
    if (!reader.Next(token))
      return reader.problem() == kelo::wire::Problem::kEnd
                 ? cut()
                 : Refuse(parse, reader, kelo_detail::kFailFaultKey, KELO_E_FORMAT);
    if (token.kind == kelo::wire::Kind::kEnd) break;
    std::string name;
    if (token.kind != kelo::wire::Kind::kString) {
      Follow(parse.Input(), reader);
      return FromParse(Fail(parse, kelo_detail::kFailFaultKey), parse);
    }
    if (!ReadText(reader, token, name))
      return reader.problem() == kelo::wire::Problem::kEnd
                 ? cut()
                 : Refuse(parse, reader, kelo_detail::kFailFaultKey, KELO_E_FORMAT);
    std::string* field = name == "code" ? &code : name == "message" ? &message : nullptr;
    if (!field) {
      if (!reader.Skip(token)) return RefuseSkip(parse, reader);
      continue;
    }
    if (!reader.Next(token) || !ReadText(reader, token, *field)) {
      if (reader.problem() == kelo::wire::Problem::kEnd)
        return Refuse(parse, reader, kelo_detail::kFailFaultValue, KELO_E_EXHAUSTED);
      if (reader.problem() != kelo::wire::Problem::kNone)
        return Refuse(parse, reader, kelo_detail::kFailFaultValue, KELO_E_FORMAT);
      Follow(parse.Input(), reader);
      return FromParse(Fail(parse, kelo_detail::kFailFaultValue), parse);
    }
  }
  if (reader.Peek() == 'z') reader.Next(token);
  Follow(parse.Input(), reader);
  if (Status s = CheckEnd(parse, kelo_detail::kFailTrailingOpen); !s) return s;
  std::string text = code + ": " + message;
  return StatusAccess::Fault(std::move(code), std::move(message), std::move(text),
                             parse.Input().GetNumExtracted());
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
    if (size >= 4 && bytes[0] == 'r' && bytes[3] == 'f') return ReadFault(parse);
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
    kelo::wire::Reader reader = ReaderOf(m_input);
    kelo::wire::Token token;
    if (!reader.Envelope(token) || token.kind != kelo::wire::Kind::kCall) {
      if (reader.problem() == kelo::wire::Problem::kEnd)
        return Failed(Fail(m_parse, kelo_detail::kFailCallMissing));
      const char* p;
      m_input.Extract(p, 3);
      return Failed(Fail(m_parse, kelo_detail::kFailCallMarker));
    }
    // Headers ('H' name value) are read past; then the method.
    for (;;) {
      if (!reader.Next(token))
        return Refuse(m_parse, reader, kelo_detail::kFailCallMethod, CodeOf(reader));
      if (token.kind == kelo::wire::Kind::kMethod) break;
      if (token.kind != kelo::wire::Kind::kHeader) {
        Follow(m_input, reader);
        return Failed(Fail(m_parse, kelo_detail::kFailCallMethod));
      }
      if (!reader.Skip(token)) return RefuseSkip(m_parse, reader);
    }
    std::vector<unsigned short> units(token.units);
    std::size_t consumed = 0;
    std::size_t decoded = 0;
    kelo::wire::DecodeUtf8(reinterpret_cast<const unsigned char*>(token.text), token.size,
                           token.units, units.data(), &consumed, &decoded);
    std::string name;
    AppendUnits(name, units.data(), decoded);
    method.swap(name);
    Follow(m_input, reader);
    m_methodRead = true;
    return Status(KELO_OK, m_input.GetNumExtracted());
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
