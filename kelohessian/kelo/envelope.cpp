// The envelopes: calls, replies and faults written into the caller's vector, replies read into
// a class, fault replies and calls read with the wire reader.
#include <kelohessian/kelo/envelope.h>

#include <kelohessian/call/call.h>
#include <kelohessian/call/detail/framing.h>
#include <kelohessian/hessian/detail/numbering.h>
#include <kelohessian/hessian/detail/vector_output.h>
#include <kelohessian/hessian/detail/wire.h>
#include <kelohessian/hessian/skip.h>
#include <kelohessian/kelo/detail/face.h>
#include <kelohessian/kelo/detail/value_codec.h>
#include <kelohessian/wire/reader.h>
#include <kelohessian/wire/utf8.h>

namespace kelo {

using namespace face;

namespace {

using kelo_detail::Fail;

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

// A reply whose result is a fault: 'r', two version bytes, 'f'.
bool IsFaultReply(const char* bytes, std::size_t size) {
  return size >= 4 && bytes[0] == 'r' && bytes[3] == 'f';
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
    if (IsFaultReply(bytes, size)) return ReadFault(parse);
    const PathScope recording(parse);
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
    kelo_detail::Numbering::ResetText(m_parse);
    if (!m_methodRead) return Failed(Fail(m_parse, kelo_detail::kFailCallOrder));
    if (AtEnd()) return Failed(Fail(m_parse, kelo_detail::kFailCallNoArgument));
    const PathScope recording(m_parse);
    if (int rc = static_cast<CKeloHesObject&>(arg).Deserialize(m_parse); rc != 0) return Failed(rc);
    return Status(KELO_OK, m_input.GetNumExtracted());
  });
}

Status CallReader::ReadArg(Value& arg) {
  return Guard(nullptr, [&] {
    kelo_detail::Numbering::ResetText(m_parse);
    if (!m_methodRead) return Failed(Fail(m_parse, kelo_detail::kFailCallOrder));
    if (AtEnd()) return Failed(Fail(m_parse, kelo_detail::kFailCallNoArgument));
    Value value;
    if (Status s = value_detail::ReadInMessage(m_parse, value); !s) return s;
    arg = std::move(value);
    return Status(KELO_OK, m_input.GetNumExtracted());
  });
}

Status CallReader::Finish() {
  return Guard(nullptr, [&] {
    kelo_detail::Numbering::ResetText(m_parse);
    if (!m_methodRead) return Failed(Fail(m_parse, kelo_detail::kFailCallOrder));
    const char* p;
    if (m_input.Extract(p, 1) != 0) return Failed(Fail(m_parse, kelo_detail::kFailCallEndMissing));
    if (*p != 'z') return Failed(Fail(m_parse, kelo_detail::kFailCallEndMarker));
    return CheckEnd(m_parse, kelo_detail::kFailCallTrailingOpen);
  });
}

}  // namespace kelo

// ---- Values
// --------------------------------------------------------------------------------------

namespace kelo {

using namespace face;

namespace {

// The envelope's opening and its method, with the method's length in units.
Status CallHead(std::string_view method, wire::Writer<value_detail::VectorSink>& writer) {
  if (!method.data() && !method.empty()) return Status(KELO_E_INVALID_ARGUMENT);
  if (method.size() > 3 * 0xFFFF) return Status(KELO_E_OUT_OF_RANGE);
  std::size_t units = 0;
  if (Status s = Utf8Units(method, nullptr, units); !s) return s;
  if (units > 0xFFFF) return Status(KELO_E_OUT_OF_RANGE);
  writer.Call(0, 1);
  return Status(
      writer.Method(wire::Name{method.data(), method.size(), static_cast<unsigned int>(units)}));
}

}  // namespace

Status EncodeCall(std::string_view method, const std::vector<Value>& args,
                  std::vector<std::uint8_t>& out) {
  return Guard(&out, [&] {
    value_detail::Encoder encoder(out);
    Status s = CallHead(method, encoder.writer());
    for (std::size_t i = 0; s && i < args.size(); ++i) s = encoder.Write(args[i]);
    if (s) s = Status(encoder.writer().End());
    return encoder.Finish(std::move(s));
  });
}

Status EncodeReply(const Value& result, std::vector<std::uint8_t>& out) {
  return Guard(&out, [&] {
    value_detail::Encoder encoder(out);
    Status s(encoder.writer().Reply());
    if (s) s = encoder.Write(result);
    if (s) s = Status(encoder.writer().End());
    return encoder.Finish(std::move(s));
  });
}

Status DecodeReply(const void* data, std::size_t size, Value& result) {
  return Guard(nullptr, [&] {
    if (int rc = RangeCheck(data, size); rc != 0) return Status(rc);
    const char* bytes = static_cast<const char*>(data);
    if (IsFaultReply(bytes, size)) {
      CKeloInput in(bytes, static_cast<unsigned int>(size));
      CKeloInputParse parse(in);
      return ReadFault(parse);
    }
    wire::Reader reader(data, size, kMaxValueDepth + 1);
    wire::Token token;
    if (!reader.Envelope(token)) return value_detail::ReaderProblem(reader, 0);
    if (token.kind != wire::Kind::kReply)
      return Status(KELO_E_FORMAT, "a call where a reply should begin", 0);
    // Headers are read past.
    do {
      if (!reader.Next(token)) return value_detail::ReaderProblem(reader, 0);
    } while (token.kind == wire::Kind::kHeader && reader.Skip(token));
    if (reader.problem() != wire::Problem::kNone) return value_detail::ReaderProblem(reader, 0);
    value_detail::Decoder decoder;
    Value value;
    if (Status s = decoder.Read(reader, token, value); !s) return s;
    if (!reader.Next(token)) return value_detail::ReaderProblem(reader, 0);
    if (token.kind != wire::Kind::kEnd)
      return Status(KELO_E_FORMAT, "a second value where the reply's 'z' should be", token.offset);
    if (reader.left())
      return Status(KELO_E_FORMAT, std::to_string(reader.left()) + " bytes follow the reply",
                    reader.offset());
    result = std::move(value);
    return Status(KELO_OK, reader.offset());
  });
}

Status FromClass(const CKeloHesClass& object, Value& out) {
  return Guard(nullptr, [&] {
    std::vector<std::uint8_t> bytes;
    kelo_detail::VectorOutput buffer(bytes);
    const int rc =
        buffer.Finish(static_cast<const CKeloHesObject&>(object).Serialize(buffer.Output()));
    if (rc) return Status(rc);
    return DecodeValue(bytes.data(), bytes.size(), out);
  });
}

Status ToClass(const Value& map, CKeloHesClass& object) {
  return Guard(nullptr, [&] {
    std::vector<std::uint8_t> bytes;
    if (Status s = EncodeValue(map, bytes); !s) return s;
    CKeloInput in(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<unsigned int>(bytes.size()));
    CKeloInputParse parse(in);
    const PathScope recording(parse);
    if (int rc = static_cast<CKeloHesObject&>(object).Deserialize(parse); rc != 0)
      return FromParse(rc, parse);
    return CheckEnd(parse, kelo_detail::kFailTrailingOpen);
  });
}

}  // namespace kelo
