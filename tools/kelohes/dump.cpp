// The dump reader. Grammar read (Hessian 1.0):
//   call   'c' v1 v2 ('H' len name value)* 'm' len method value* 'z'
//   reply  'r' v1 v2 ('H' len name value)* (value | 'f' (value value)*) 'z'
//          (a fault may be followed by a second 'z': Caucho's Java closes the fault and the
//          reply each with one)
//   value  N T F | I b4 | L b8 | D b8 | d b8 | R b4 | (s len utf8)* S len utf8
//          | (x len utf8)* X len utf8 | (b len bytes)* B len bytes
//          | M ('t' len type)? (value value)* z | V ('t' len type)? ('l' b4)? value* z
// String, XML and name lengths count UTF-16 units; blob lengths count bytes.
#include "kelohes/dump.h"

#include <inttypes.h>
#include <stdio.h>
#include <string.h>

#include <vector>

namespace kelohes {

namespace {

unsigned int ReadU16(const char* p) {
  return (static_cast<unsigned int>(static_cast<unsigned char>(p[0])) << 8) |
         static_cast<unsigned char>(p[1]);
}
unsigned int ReadU32(const char* p) {
  return (ReadU16(p) << 16) | ReadU16(p + 2);
}
unsigned long long ReadU64(const char* p) {
  return (static_cast<unsigned long long>(ReadU32(p)) << 32) | ReadU32(p + 4);
}

// UTF-8 read as the library reads it (1 to 3 bytes per 16-bit unit, overlong forms and encoded
// surrogates taken as they decode), with the library's texts, so that the dump names the same
// fault at the same byte as a decode would.
enum Utf8Status {
  kUtf8Ok,
  kUtf8Exhausted,
  kUtf8Above0xFFFF,
  kUtf8BadLead,
  kUtf8Truncated2,
  kUtf8Truncated3,
  kUtf8BadContinuation2,
  kUtf8BadContinuation3
};

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

// Decodes count characters from in[0..available) into units. *consumed is the bytes taken (the
// lead byte of a bad sequence and the continuation bytes examined included).
Utf8Status DecodeUtf8(const unsigned char* in, size_t available, size_t count,
                      unsigned short* units, size_t* consumed) {
  size_t pos = 0;
  Utf8Status status = kUtf8Ok;
  for (size_t n = 0; n < count && status == kUtf8Ok;) {
    if (pos == available) {
      status = kUtf8Exhausted;
      break;
    }
    const unsigned char b = in[pos++];
    if (b < 0x80) {
      units[n++] = b;
    } else if ((b & 0xE0) == 0xC0) {
      if (available - pos < 1) {
        status = kUtf8Truncated2;
      } else if ((in[pos++] & 0xC0) != 0x80) {
        status = kUtf8BadContinuation2;
      } else {
        units[n++] = static_cast<unsigned short>(((b & 0x1F) << 6) | (in[pos - 1] & 0x3F));
      }
    } else if ((b & 0xF0) == 0xE0) {
      if (available - pos < 2) {
        status = kUtf8Truncated3;
      } else {
        const unsigned char c1 = in[pos];
        const unsigned char c2 = in[pos + 1];
        pos += 2;
        if ((c1 & 0xC0) != 0x80 || (c2 & 0xC0) != 0x80)
          status = kUtf8BadContinuation3;
        else
          units[n++] =
              static_cast<unsigned short>(((b & 0x0F) << 12) | ((c1 & 0x3F) << 6) | (c2 & 0x3F));
      }
    } else {
      status = (b & 0xF8) == 0xF0 ? kUtf8Above0xFFFF : kUtf8BadLead;
    }
  }
  *consumed = pos;
  return status;
}

}  // namespace

void AppendQuoted(std::string& out, const unsigned short* units, size_t count) {
  static const char kHex[] = "0123456789ABCDEF";
  out.push_back('"');
  for (size_t i = 0; i < count; ++i) {
    const unsigned int u = units[i];
    if (u == '"' || u == '\\') {
      out.push_back('\\');
      out.push_back(static_cast<char>(u));
    } else if (u >= 0x20 && u <= 0x7E) {
      out.push_back(static_cast<char>(u));
    } else {
      const char esc[6] = {
          '\\',         'u', kHex[(u >> 12) & 0xF], kHex[(u >> 8) & 0xF], kHex[(u >> 4) & 0xF],
          kHex[u & 0xF]};
      out.append(esc, 6);
    }
  }
  out.push_back('"');
}

namespace {

class Reader {
 public:
  Reader(const char* data, size_t size, bool offsets, const DumpSink* sink)
      : data_(data), size_(size), pos_(0), offsets_(offsets), sink_(sink), quiet_(sink ? 0 : 1) {}

  // Reads the whole input; true when it is one readable stream and nothing follows it.
  bool Run() {
    if (!Top()) return false;
    Flush();
    if (pos_ == size_) return true;
    const size_t left = size_ - pos_;
    return Fail(pos_, std::to_string(left) + (left == 1 ? " byte" : " bytes") +
                          " after the end of the message");
  }
  bool SinkFailed() const { return sinkFailed_; }
  size_t ErrorOffset() const { return errorOffset_; }
  const std::string& Error() const { return error_; }

 private:
  bool Fail(size_t at, std::string message) {
    errorOffset_ = at;
    error_ = std::move(message);
    return false;
  }
  // Fails unless n more bytes are there; `what` names what they were for.
  bool Need(size_t n, const char* what) {
    if (n <= size_ - pos_) return true;
    return Fail(pos_, std::string("input ends inside ") + what);
  }
  const char* Take(size_t n) {
    const char* p = data_ + pos_;
    pos_ += n;
    return p;
  }

  // Starts a line: offset prefix, then two blanks per depth (see kDumpIndentLevels).
  std::string& Line(size_t at, int depth) {
    lineStart_ = out_.size();
    if (offsets_) {
      char prefix[24];
      snprintf(prefix, sizeof prefix, "%08zx ", at);
      out_.append(prefix);
    }
    out_.append(static_cast<size_t>(depth < kDumpIndentLevels ? depth : kDumpIndentLevels) * 2,
                ' ');
    if (depth > kDumpIndentLevels) out_.append("[" + std::to_string(depth) + "] ");
    return out_;
  }
  // While quiet, lines are read and dropped: the dearer ones are not even formatted.
  bool Quiet() const { return quiet_ > 0; }
  // Ends a line: kept, and sent once enough have gathered; dropped while quiet.
  void EndLine() {
    if (quiet_ > 0) {
      out_.resize(lineStart_);
      return;
    }
    out_.push_back('\n');
    if (out_.size() >= 65536) Flush();
  }
  void Flush() {
    if (quiet_ == 0 && !out_.empty() && !(*sink_)(out_.data(), out_.size())) {
      sinkFailed_ = true;
      quiet_ = 1;  // the rest is read, not sent
    }
    out_.clear();
  }

  bool Top() {
    if (size_ == 0) return Fail(0, "the input is empty");
    const char marker = data_[pos_];
    if (marker == 'c') return Call();
    if (marker == 'r') return Reply();
    if (marker == 'f') {
      const size_t at = pos_++;
      Line(at, 0).push_back('f');
      EndLine();
      return FaultEntries(1, at);
    }
    return Value(0);
  }

  // 'H' headers of a call or reply, printed at depth 1 with their values at depth 2.
  bool Headers() {
    while (pos_ < size_ && data_[pos_] == 'H') {
      const size_t at = pos_++;
      std::vector<unsigned short> name;
      if (!LengthText(name, "a header name")) return false;
      std::string& line = Line(at, 1);
      line.append("H ");
      AppendQuoted(line, name.data(), name.size());
      EndLine();
      if (!Value(2)) return false;
    }
    return true;
  }

  static void AppendVersion(std::string& line, char tag, const char* v) {
    char buf[16];
    snprintf(buf, sizeof buf, "%c %02X %02X", tag, static_cast<unsigned char>(v[0]),
             static_cast<unsigned char>(v[1]));
    line.append(buf);
  }

  bool Call() {
    const size_t at = pos_++;
    if (!Need(2, "the call's version")) return false;
    const char* version = Take(2);
    // Headers come before the method name on the wire but print after it: they are read past
    // quietly to reach the method, and read again for their lines once the call's line is out.
    const size_t headersAt = pos_;
    ++quiet_;
    const bool headersOk = Headers();
    --quiet_;
    if (!headersOk) return false;
    if (!Need(1, "the call, before its method")) return false;
    if (data_[pos_] != 'm') return Fail(pos_, "expected 'm' and the method name" + Seen(pos_));
    ++pos_;
    std::vector<unsigned short> method;
    if (!LengthText(method, "the method name")) return false;
    std::string& line = Line(at, 0);
    AppendVersion(line, 'c', version);
    line.push_back(' ');
    AppendQuoted(line, method.data(), method.size());
    EndLine();
    const size_t argumentsAt = pos_;
    pos_ = headersAt;
    if (!Headers()) return false;
    pos_ = argumentsAt;
    for (;;) {
      if (!Need(1, "the call, before its closing 'z'")) return false;
      if (data_[pos_] == 'z') {
        ++pos_;
        return true;
      }
      if (!Value(1)) return false;
    }
  }

  bool Reply() {
    const size_t at = pos_++;
    if (!Need(2, "the reply's version")) return false;
    AppendVersion(Line(at, 0), 'r', Take(2));
    EndLine();
    if (!Headers()) return false;
    if (!Need(1, "the reply, before its value")) return false;
    if (data_[pos_] == 'f') {
      const size_t faultAt = pos_++;
      Line(faultAt, 1).push_back('f');
      EndLine();
      if (!FaultEntries(2, faultAt)) return false;
      if (pos_ < size_ && data_[pos_] == 'z') ++pos_;
      return true;
    }
    if (!Value(1)) return false;
    if (!Need(1, "the reply, before its closing 'z'")) return false;
    if (data_[pos_] != 'z') return Fail(pos_, "expected the reply's closing 'z'" + Seen(pos_));
    ++pos_;
    return true;
  }

  // Key and value pairs of a fault up to the 'z' that closes it (and its reply).
  bool FaultEntries(int depth, size_t start) {
    for (;;) {
      if (!Need(1, "a fault")) return NoteStart(start);
      if (data_[pos_] == 'z') {
        ++pos_;
        return true;
      }
      if (!Value(depth) || !Value(depth + 1)) return false;
    }
  }

  bool NoteStart(size_t start) {
    error_ += " started at offset " + std::to_string(start);
    return false;
  }

  // " (got 'x')" or " (got 0xNN)" for the byte at `at`.
  std::string Seen(size_t at) const {
    const unsigned char c = static_cast<unsigned char>(data_[at]);
    char buf[24];
    if (c >= 0x21 && c <= 0x7E)
      snprintf(buf, sizeof buf, " (got '%c')", c);
    else
      snprintf(buf, sizeof buf, " (got 0x%02X)", c);
    return buf;
  }

  // A 2-byte unit count and that many UTF-8 characters.
  bool LengthText(std::vector<unsigned short>& units, const char* what) {
    if (!Need(2, what)) return false;
    const unsigned int count = ReadU16(Take(2));
    return Utf8(units, count, what);
  }

  // Appends count characters decoded from the input to units.
  bool Utf8(std::vector<unsigned short>& units, size_t count, const char* what) {
    const size_t have = units.size();
    units.resize(have + count);
    size_t consumed = 0;
    const Utf8Status status = DecodeUtf8(reinterpret_cast<const unsigned char*>(data_ + pos_),
                                         size_ - pos_, count, units.data() + have, &consumed);
    if (status == kUtf8Ok) {
      pos_ += consumed;
      return true;
    }
    if (status == kUtf8Exhausted) {
      pos_ += consumed;
      return Fail(pos_, std::string("input ends inside ") + what);
    }
    // The failing character starts this many bytes before the end of what was taken.
    size_t back = 1;
    if (status == kUtf8BadContinuation2) back = 2;
    if (status == kUtf8BadContinuation3) back = 3;
    return Fail(pos_ + consumed - back, Utf8Message(status));
  }

  // Optional 't' type: fills type with its quoted form, or "-".
  bool OptionalType(std::string& type) {
    if (pos_ < size_ && data_[pos_] == 't') {
      ++pos_;
      std::vector<unsigned short> units;
      if (!LengthText(units, "a type name")) return false;
      if (!Quiet()) AppendQuoted(type, units.data(), units.size());
    } else {
      type = "-";
    }
    return true;
  }

  bool Value(int depth) {
    if (depth > kMaxDumpDepth)
      return Fail(pos_, "values nested deeper than " + std::to_string(kMaxDumpDepth) + " levels");
    if (pos_ == size_) return Fail(pos_, "input ends where a value was expected");
    const size_t at = pos_;
    const char marker = *Take(1);
    char buf[64];
    switch (marker) {
      case 'N':
      case 'T':
      case 'F':
        Line(at, depth).push_back(marker);
        EndLine();
        return true;
      case 'I':
      case 'R': {
        if (!Need(4, marker == 'I' ? "an int" : "a reference")) return false;
        const unsigned int v = ReadU32(Take(4));
        if (Quiet()) return true;
        if (marker == 'I')
          snprintf(buf, sizeof buf, "I %d", static_cast<int>(v));
        else
          snprintf(buf, sizeof buf, "R %u", v);
        Line(at, depth).append(buf);
        EndLine();
        return true;
      }
      case 'L':
      case 'D':
      case 'd': {
        if (!Need(8, marker == 'L' ? "a long" : marker == 'D' ? "a double" : "a date"))
          return false;
        const unsigned long long v = ReadU64(Take(8));
        if (Quiet()) return true;
        if (marker == 'D')
          snprintf(buf, sizeof buf, "D %016llX", v);
        else
          snprintf(buf, sizeof buf, "%c %lld", marker, static_cast<long long>(v));
        Line(at, depth).append(buf);
        EndLine();
        return true;
      }
      case 'S':
      case 's':
        return Text(at, depth, marker, 'S', "a string");
      case 'X':
      case 'x':
        return Text(at, depth, marker, 'X', "an XML value");
      case 'B':
      case 'b':
        return Blob(at, depth, marker);
      case 'M':
        return Map(at, depth);
      case 'V':
        return List(at, depth);
      default:
        return Fail(at, "unknown marker" + Seen(at));
    }
  }

  // Chunks of a string ('s'/'S') or XML value ('x'/'X'), joined.
  bool Text(size_t at, int depth, char marker, char last, const char* what) {
    const char more = static_cast<char>(last + ('a' - 'A'));
    units_.clear();
    for (;;) {
      if (!Need(2, what)) return false;
      const unsigned int count = ReadU16(Take(2));
      if (!Utf8(units_, count, what)) return false;
      if (marker == last) break;
      if (!Need(1, what)) return NoteStart(at);
      const size_t chunkAt = pos_;
      marker = *Take(1);
      if (marker != last && marker != more)
        return Fail(chunkAt, std::string("expected the next chunk of ") + what + Seen(chunkAt));
    }
    if (Quiet()) return true;
    std::string& line = Line(at, depth);
    line.push_back(last);
    line.push_back(' ');
    line.append(std::to_string(units_.size()));
    line.push_back(' ');
    AppendQuoted(line, units_.data(), units_.size());
    EndLine();
    return true;
  }

  bool Blob(size_t at, int depth, char marker) {
    static const char kHex[] = "0123456789abcdef";
    // The line starts with the total count, known only after the last chunk: gather the hex first.
    hex_.clear();
    size_t total = 0;
    for (;;) {
      if (!Need(2, "a binary value")) return false;
      const unsigned int count = ReadU16(Take(2));
      if (!Need(count, "a binary value")) return false;
      const unsigned char* p = reinterpret_cast<const unsigned char*>(Take(count));
      for (unsigned int i = 0; i < count && !Quiet(); ++i) {
        hex_.push_back(kHex[p[i] >> 4]);
        hex_.push_back(kHex[p[i] & 0xF]);
      }
      total += count;
      if (marker == 'B') break;
      if (!Need(1, "a binary value")) return NoteStart(at);
      const size_t chunkAt = pos_;
      marker = *Take(1);
      if (marker != 'B' && marker != 'b')
        return Fail(chunkAt, "expected the next chunk of a binary value" + Seen(chunkAt));
    }
    if (Quiet()) return true;
    std::string& line = Line(at, depth);
    line.append("B ");
    line.append(std::to_string(total));
    if (total != 0) {
      line.push_back(' ');
      line.append(hex_);
    }
    EndLine();
    return true;
  }

  bool Map(size_t at, int depth) {
    std::string type;
    if (!OptionalType(type)) return false;
    std::string& line = Line(at, depth);
    line.append("M ");
    line.append(type);
    EndLine();
    for (;;) {
      if (!Need(1, "a map")) return NoteStart(at);
      if (data_[pos_] == 'z') {
        ++pos_;
        return true;
      }
      if (!Value(depth + 1) || !Value(depth + 2)) return false;
    }
  }

  bool List(size_t at, int depth) {
    std::string type;
    if (!OptionalType(type)) return false;
    std::string length = "-";
    long long count = -1;  // the items a length announces; -1 for a list without one
    if (pos_ < size_ && data_[pos_] == 'l') {
      const size_t lengthAt = pos_++;
      if (!Need(4, "a list length")) return false;
      const int n = static_cast<int>(ReadU32(Take(4)));
      // The library refuses both of these, so the dump does too rather than show them as fine.
      if (n < 0) return Fail(lengthAt, "negative list length " + std::to_string(n));
      count = n;
      length = std::to_string(n);
    }
    std::string& line = Line(at, depth);
    line.append("V ");
    line.append(type);
    line.push_back(' ');
    line.append(length);
    EndLine();
    long long items = 0;
    for (;;) {
      if (!Need(1, "a list")) return NoteStart(at);
      if (data_[pos_] == 'z') {
        if (count >= 0 && items != count)
          return Fail(pos_, "list length " + std::to_string(count) + " but " +
                                std::to_string(items) + (items == 1 ? " item" : " items"));
        ++pos_;
        return true;
      }
      if (!Value(depth + 1)) return false;
      ++items;
    }
  }

  const char* data_;
  size_t size_;
  size_t pos_;
  bool offsets_;
  const DumpSink* sink_;  // null for the first reading, which only checks
  int quiet_;             // lines are dropped rather than kept while above 0
  bool sinkFailed_ = false;
  std::string out_;  // lines not sent yet
  size_t lineStart_ = 0;
  std::vector<unsigned short> units_;
  std::string hex_;
  size_t errorOffset_ = 0;
  std::string error_;
};

}  // namespace

DumpResult Dump(const char* data, size_t size, bool offsets, const DumpSink& sink) {
  Reader check(data, size, offsets, nullptr);
  if (!check.Run()) return DumpResult{false, check.ErrorOffset(), check.Error()};
  Reader print(data, size, offsets, &sink);
  const bool read = print.Run();
  return DumpResult{read && !print.SinkFailed(), 0, std::string()};
}

}  // namespace kelohes
