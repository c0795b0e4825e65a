// The pull reader: the one place that switches on Hessian 1.0 markers.
#include <kelohessian/wire/reader.h>

#include <string.h>

namespace kelo::wire {

namespace {

uint64_t BigEndian(const char* p, size_t bytes) {
  uint64_t v = 0;
  for (size_t i = 0; i < bytes; ++i) v = (v << 8) | static_cast<unsigned char>(p[i]);
  return v;
}

}  // namespace

const char* ProblemText(Problem problem) {
  switch (problem) {
    case Problem::kNone:
      return "no problem";
    case Problem::kEnd:
      return "the input ends inside a value";
    case Problem::kMarker:
      return "a byte that cannot begin a value here";
    case Problem::kChunk:
      return "a chunk followed by something other than the next chunk";
    case Problem::kUtf8:
      return "text that is not UTF-8";
    case Problem::kTooDeep:
      return "values nested too deeply";
    case Problem::kUnopened:
      return "a 'z' with nothing open to close";
  }
  return "";
}

Reader::Reader(const void* data, size_t size, unsigned int maxDepth) noexcept
    : data_(static_cast<const char*>(data)), size_(data ? size : 0), maxDepth_(maxDepth) {}

bool Reader::Fail(Problem problem, size_t at) noexcept {
  problem_ = problem;
  problemAt_ = at;
  return false;
}

bool Reader::Envelope(Token& token) noexcept {
  if (problem_ != Problem::kNone) return false;
  const size_t at = pos_;
  if (left() == 0) return Fail(Problem::kEnd, at);
  const char marker = data_[pos_];
  if ((marker != 'c' && marker != 'r') || envelope_ || depth_) return Fail(Problem::kMarker, at);
  token = Token();
  token.kind = marker == 'c' ? Kind::kCall : Kind::kReply;
  token.offset = at;
  if (left() < 3) return Fail(Problem::kEnd, at);
  token.integer = static_cast<int64_t>(BigEndian(data_ + pos_ + 1, 2));
  pos_ += 3;
  envelope_ = marker;
  depth_ = 1;
  return true;
}

bool Reader::Number(Token& token, Kind kind, size_t bytes, size_t at) noexcept {
  token.kind = kind;
  if (left() < bytes) return Fail(Problem::kEnd, at);
  const uint64_t bits = BigEndian(data_ + pos_, bytes);
  pos_ += bytes;
  token.integer =
      bytes == 4 ? static_cast<int64_t>(static_cast<int32_t>(bits)) : static_cast<int64_t>(bits);
  if (kind == Kind::kRef) token.integer = static_cast<int64_t>(bits);
  if (kind == Kind::kDouble) memcpy(&token.real, &bits, sizeof token.real);
  return true;
}

// A 2-byte unit count and that many characters: a type, header, method or remote's name.
bool Reader::Name(Token& token, size_t at) noexcept {
  if (left() < 2) return Fail(Problem::kEnd, at);
  const unsigned int units = static_cast<unsigned int>(BigEndian(data_ + pos_, 2));
  pos_ += 2;
  size_t consumed = 0;
  size_t decoded = 0;
  const Utf8Status status = MeasureUtf8(reinterpret_cast<const unsigned char*>(data_ + pos_),
                                        left(), units, &consumed, &decoded);
  if (status != kUtf8Ok) {
    const size_t bad = pos_ + consumed;
    pos_ += consumed;
    utf8_ = status;
    // Input that ends inside a character ends inside the construct.
    if (status == kUtf8Exhausted || status == kUtf8Truncated2 || status == kUtf8Truncated3)
      return Fail(Problem::kEnd, at);
    return Fail(Problem::kUtf8, bad - (status == kUtf8BadContinuation3   ? 3
                                       : status == kUtf8BadContinuation2 ? 2
                                                                         : 1));
  }
  token.text = data_ + pos_;
  token.size = consumed;
  token.units = units;
  pos_ += consumed;
  return true;
}

bool Reader::Chunk(Token& token, char marker, size_t at) noexcept {
  const char last = static_cast<char>(marker & ~0x20);
  token.kind = last == 'S' ? Kind::kString : last == 'X' ? Kind::kXml : Kind::kBinary;
  token.last = marker == last;
  if (last == 'B') {
    if (left() < 2) return Fail(Problem::kEnd, at);
    const unsigned int bytes = static_cast<unsigned int>(BigEndian(data_ + pos_, 2));
    if (left() - 2 < bytes) {
      pos_ += 2;
      return Fail(Problem::kEnd, at);
    }
    token.text = data_ + pos_ + 2;
    token.size = bytes;
    token.units = bytes;
    pos_ += 2 + bytes;
  } else if (!Name(token, at)) {
    return false;
  }
  chunk_ = token.last ? 0 : last;
  return true;
}

bool Reader::Open(Token& token, Kind kind, size_t at) noexcept {
  if (depth_ >= maxDepth_) return Fail(Problem::kTooDeep, at);
  token.kind = kind;
  if (kind != Kind::kFault && Peek() == 't') {
    ++pos_;
    if (!Name(token, at)) return false;
    token.typed = true;
  }
  if (kind == Kind::kList && Peek() == 'l') {
    if (left() < 5) return Fail(Problem::kEnd, at);
    token.integer = static_cast<int32_t>(BigEndian(data_ + pos_ + 1, 4));
    token.sized = true;
    pos_ += 5;
  }
  ++depth_;
  return true;
}

bool Reader::Next(Token& token) noexcept {
  if (problem_ != Problem::kNone) return false;
  token = Token();
  const size_t at = pos_;
  token.offset = at;
  if (left() == 0) return Fail(Problem::kEnd, at);
  const char marker = data_[pos_++];
  if (chunk_ != 0) {
    // Inside a chunked value only its next chunk may follow.
    if (marker != chunk_ && marker != (chunk_ | 0x20)) return Fail(Problem::kChunk, at);
    return Chunk(token, marker, at);
  }
  const bool envelopeLevel = envelope_ != 0 && depth_ == 1;
  switch (marker) {
    case 'N':
      token.kind = Kind::kNull;
      return true;
    case 'T':
      token.kind = Kind::kTrue;
      return true;
    case 'F':
      token.kind = Kind::kFalse;
      return true;
    case 'I':
      return Number(token, Kind::kInt, 4, at);
    case 'R':
      return Number(token, Kind::kRef, 4, at);
    case 'L':
      return Number(token, Kind::kLong, 8, at);
    case 'D':
      return Number(token, Kind::kDouble, 8, at);
    case 'd':
      return Number(token, Kind::kDate, 8, at);
    case 'S':
    case 's':
    case 'X':
    case 'x':
    case 'B':
    case 'b':
      return Chunk(token, marker, at);
    case 'M':
      return Open(token, Kind::kMap, at);
    case 'V':
      return Open(token, Kind::kList, at);
    case 'z':
      if (depth_ == 0) return Fail(Problem::kUnopened, at);
      token.kind = Kind::kEnd;
      if (--depth_ == 0) envelope_ = 0;
      return true;
    case 'r': {
      // A remote object: 'r' 't' type 'S' url.
      token.kind = Kind::kRemote;
      if (left() == 0) return Fail(Problem::kEnd, at);
      if (data_[pos_] != 't') return Fail(Problem::kMarker, pos_);
      ++pos_;
      if (!Name(token, at)) return false;
      if (left() == 0) return Fail(Problem::kEnd, at);
      if (data_[pos_] != 'S') return Fail(Problem::kMarker, pos_);
      ++pos_;
      Token url;
      if (!Name(url, at)) return false;
      token.url = url.text;
      token.urlSize = url.size;
      return true;
    }
    case 'H':
      if (!envelopeLevel) break;
      token.kind = Kind::kHeader;
      return Name(token, at);
    case 'm':
      if (!envelopeLevel || envelope_ != 'c') break;
      token.kind = Kind::kMethod;
      return Name(token, at);
    case 'f':
      if (!envelopeLevel || envelope_ != 'r') break;
      return Open(token, Kind::kFault, at);
    default:
      break;
  }
  pos_ = at + 1;
  return Fail(Problem::kMarker, at);
}

bool Reader::Skip(Token& first) noexcept {
  if (!Next(first)) return false;
  Token token;
  switch (first.kind) {
    case Kind::kHeader:
      return Skip(token);
    case Kind::kString:
    case Kind::kXml:
    case Kind::kBinary:
      while (inChunks()) {
        if (!Next(token)) return false;
      }
      return true;
    case Kind::kMap:
    case Kind::kList:
    case Kind::kFault: {
      // Every token inside, until the depth falls back below this value's.
      const unsigned int inside = depth_;
      while (depth_ >= inside) {
        if (!Next(token)) return false;
      }
      return true;
    }
    default:
      return true;
  }
}

}  // namespace kelo::wire
