// The dump printer: the constructs of kelo::wire::Reader, the library's one reader of Hessian 1.0,
// laid out one value a line. The reader owns the grammar (markers, lengths, UTF-8, the nesting
// bound); the printer adds the layout, and refuses what the library's decoders refuse beyond the
// grammar: headers after a call's method, a reply of more than one value, a map key without its
// value, a list length that is negative or not its number of items, bytes after the message.
// A fault may be followed by a second 'z': Caucho's Java closes the fault and the reply each with
// one.
#include "kelohes/dump.h"

#include <stdio.h>
#include <string.h>

#include <charconv>
#include <string>
#include <vector>

#include <kelohessian/wire/reader.h>
#include <kelohessian/wire/utf8.h>

namespace kelohes {

namespace {

using kelo::wire::Kind;
using kelo::wire::Problem;
using kelo::wire::Reader;
using kelo::wire::Token;

// Each kind's letter at the start of its line, and its name in messages, in the order of Kind.
const char kLetters[] = "NTFILDdRSXBMVzrcrHmf";
const char* const kNouns[] = {"null",      "true",         "false",           "an int",
                              "a long",    "a double",     "a date",          "a reference",
                              "a string",  "an XML value", "a binary value",  "a map",
                              "a list",    "a 'z'",        "a remote object", "the call",
                              "the reply", "a header",     "the method name", "a fault"};
static_assert(sizeof kNouns / sizeof kNouns[0] == static_cast<size_t>(Kind::kFault) + 1 &&
                  sizeof kLetters == sizeof kNouns / sizeof kNouns[0] + 1,
              "one letter and one name for every kind");

char Letter(Kind kind) {
  return kLetters[static_cast<int>(kind)];
}
std::string Noun(Kind kind) {
  return kNouns[static_cast<int>(kind)];
}

// A UTF-16 text quoted the dump way: 0x20..0x7E as they are except '"' and '\', which get a
// backslash; every other unit as \uXXXX (upper-case hex). Written a block at a time, since a
// string may hold megabytes.
void AppendQuoted(std::string& out, const unsigned short* units, size_t count) {
  static const char kHex[] = "0123456789ABCDEF";
  char block[6 * 1024];
  size_t n = 0;
  out.push_back('"');
  for (size_t i = 0; i < count; ++i) {
    if (n > sizeof block - 6) {
      out.append(block, n);
      n = 0;
    }
    const unsigned int u = units[i];
    if (u >= 0x20 && u <= 0x7E && u != '"' && u != '\\') {
      block[n++] = static_cast<char>(u);
    } else if (u == '"' || u == '\\') {
      block[n++] = '\\';
      block[n++] = static_cast<char>(u);
    } else {
      const char esc[6] = {
          '\\',         'u', kHex[(u >> 12) & 0xF], kHex[(u >> 8) & 0xF], kHex[(u >> 4) & 0xF],
          kHex[u & 0xF]};
      memcpy(block + n, esc, 6);
      n += 6;
    }
  }
  out.append(block, n);
  out.push_back('"');
}

// A map, list, fault or envelope that is open.
struct Frame {
  Kind kind;
  size_t offset;        // its first byte
  int depth;            // the depth of its line
  long long length;     // a list's announced length, or -1
  long long items = 0;  // values in it: items, keys and values, arguments (headers' not counted)
  bool header = false;  // an envelope whose next value is a header's
  bool method = false;  // a call whose method was read
  bool fault = false;   // a reply whose fault was read
};

class Printer {
 public:
  // Without a sink the input is only read and checked: no line is formatted.
  Printer(const char* data, size_t size, bool offsets, const DumpSink* sink)
      : data_(data),
        size_(size),
        reader_(data, size, kMaxDumpDepth),
        offsets_(offsets),
        sink_(sink),
        print_(sink != nullptr) {}

  // Reads the whole input; true when it is one readable stream and nothing follows it.
  bool Run() {
    if (size_ == 0) return Fail(0, "the input is empty");
    Token t;
    Reader envelope = reader_;
    if (envelope.Envelope(t)) {
      reader_ = envelope;
      OpenEnvelope(t);
    } else if (envelope.problem() != Problem::kMarker) {
      return Refused(envelope, t);
    }
    do {
      if (!frames_.empty() && frames_.back().fault) return AfterFault();
      if (!reader_.Next(t)) return Refused(reader_, t);
      if (!Step(t)) return false;
    } while (!frames_.empty() || gathering_);
    return End(reader_.offset());
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
  bool Expected(const Token& t, const char* what) {
    return Fail(t.offset, std::string("expected ") + what + Seen(t.offset));
  }

  // What the reader refused, in the dump's words; UTF-8 faults in the library's.
  bool Refused(const Reader& reader, const Token& t) {
    const size_t at = reader.problemOffset();
    const char* utf8 = kelo::wire::Utf8Message(reader.utf8());
    switch (reader.problem()) {
      case Problem::kEnd:
        if (*utf8) return Fail(at, utf8);  // inside a character
        if (at < size_) return Fail(at, "the input ends inside " + Noun(t.kind));
        if (gathering_ || !frames_.empty()) {
          const bool chunks = gathering_;
          return Fail(at, "the input ends inside " +
                              Noun(chunks ? gatherKind_ : frames_.back().kind) +
                              " started at offset " +
                              std::to_string(chunks ? gatherAt_ : frames_.back().offset));
        }
        break;
      case Problem::kChunk:
        return Fail(at, "expected the next chunk of " + Noun(gatherKind_) + Seen(at));
      case Problem::kUtf8:
        return Fail(at, utf8);
      case Problem::kTooDeep:
        return Fail(at, "values nested deeper than " + std::to_string(kMaxDumpDepth) + " levels");
      case Problem::kMarker:
        if (t.kind == Kind::kRemote) return Fail(at, "expected 't' and a remote's type" + Seen(at));
        return Fail(at, kelo::wire::ProblemText(reader.problem()) + Seen(at));
      default:
        break;
    }
    return Fail(at, kelo::wire::ProblemText(reader.problem()));
  }

  // Flushes the lines, then refuses bytes after the message's end at `at`.
  bool End(size_t at) {
    Flush();
    if (at == size_) return true;
    const size_t left = size_ - at;
    return Fail(at, std::to_string(left) + (left == 1 ? " byte" : " bytes") +
                        " after the end of the message");
  }
  // A fault reply ends with the fault's 'z', or with one more that closes the reply.
  bool AfterFault() {
    const size_t at = reader_.offset();
    Token t;
    if (reader_.left() > 0 && reader_.Next(t) && t.kind == Kind::kEnd) return End(reader_.offset());
    return End(at);
  }

  // One token of the reader, in its place.
  bool Step(const Token& t) {
    if (gathering_) return Chunk(t);
    if (frames_.empty()) return Value(t, 0);
    Frame& top = frames_.back();
    const bool call = top.kind == Kind::kCall;
    if (call || top.kind == Kind::kReply) {
      if (top.header)
        return t.kind == Kind::kEnd || t.kind == Kind::kHeader || t.kind == Kind::kMethod ||
                       t.kind == Kind::kFault
                   ? Expected(t, "the header's value")
                   : Value(t, 2);
      const bool before = call ? !top.method : top.items == 0;
      switch (t.kind) {
        case Kind::kHeader:
          if (!before) break;
          top.header = true;
          if (print_) {
            std::string& line = Line(t.offset, 1);
            line.append("H ");
            Quote(line, t.text, t.size, t.units);
            EndLine();
          }
          return true;
        case Kind::kMethod:
          if (!before) break;
          top.method = true;  // printed on the call's line
          return true;
        case Kind::kFault:
          if (!before) break;
          return Open(t, 1);
        case Kind::kEnd:
          if (before) break;
          frames_.pop_back();
          return true;
        default:
          if (call ? before : !before) break;  // arguments follow the method; one value, headers
          return Value(t, 1);
      }
      return Expected(
          t, call ? (before ? "'m' and the method name" : "an argument or the call's closing 'z'")
                  : (before ? "the reply's value" : "the reply's closing 'z'"));
    }
    if (t.kind == Kind::kEnd) return Close(t);
    // A list's items one level deeper; a map's or fault's keys one level, values two.
    return Value(t,
                 top.depth + 1 + (top.kind == Kind::kList ? 0 : static_cast<int>(top.items % 2)));
  }

  // A value is complete: counted in what holds it (a header's is not).
  void Completed() {
    if (frames_.empty()) return;
    Frame& top = frames_.back();
    if (top.header)
      top.header = false;
    else
      ++top.items;
  }

  void OpenEnvelope(const Token& t) {
    frames_.push_back(Frame{t.kind, t.offset, 0, -1});
    if (!print_) return;
    char version[16];
    snprintf(version, sizeof version, "%c %02X %02X", Letter(t.kind),
             static_cast<unsigned int>(t.integer >> 8) & 0xFF,
             static_cast<unsigned int>(t.integer) & 0xFF);
    std::string& line = Line(t.offset, 0);
    line.append(version);
    if (t.kind == Kind::kCall) {
      // Headers come before the method on the wire but print after it: a second reader steps
      // over them to the method.
      Reader ahead = reader_;
      Token method;
      while (ahead.Skip(method) && method.kind == Kind::kHeader) {
      }
      if (ahead.problem() == Problem::kNone && method.kind == Kind::kMethod) {
        line.push_back(' ');
        Quote(line, method.text, method.size, method.units);
      }
    }
    EndLine();
  }

  // A map, list or fault opens a frame.
  bool Open(const Token& t, int depth) {
    long long length = -1;
    if (t.kind == Kind::kList && t.sized) {
      // The library refuses this, so the dump does too rather than show it as fine.
      if (t.integer < 0) return Fail(t.offset, "negative list length " + std::to_string(t.integer));
      length = t.integer;
    }
    frames_.push_back(Frame{t.kind, t.offset, depth, length});
    if (!print_) return true;
    std::string& line = Line(t.offset, depth);
    line.push_back(Letter(t.kind));
    if (t.kind != Kind::kFault) {
      line.push_back(' ');
      if (t.typed)
        Quote(line, t.text, t.size, t.units);
      else
        line.push_back('-');
    }
    if (t.kind == Kind::kList) line.append(length < 0 ? " -" : " " + std::to_string(length));
    EndLine();
    return true;
  }

  // The 'z' of a map, list or fault.
  bool Close(const Token& t) {
    const Frame& closed = frames_.back();
    if (closed.kind == Kind::kList && closed.length >= 0 && closed.items != closed.length)
      return Fail(t.offset, "list length " + std::to_string(closed.length) + " but " +
                                std::to_string(closed.items) +
                                (closed.items == 1 ? " item" : " items"));
    if (closed.kind != Kind::kList && closed.items % 2 != 0)
      return Expected(t, "the value of the last key");
    const bool fault = closed.kind == Kind::kFault;
    frames_.pop_back();
    if (fault) frames_.back().fault = true;  // the reply's value, which only 'z' may follow
    Completed();
    return true;
  }

  bool Value(const Token& t, int depth) {
    switch (t.kind) {
      case Kind::kString:
      case Kind::kXml:
      case Kind::kBinary:
        gathering_ = true;
        gatherKind_ = t.kind;
        gatherAt_ = t.offset;
        gatherDepth_ = depth;
        gathered_ = 0;
        units_.clear();
        hex_.clear();
        return Chunk(t);
      case Kind::kMap:
      case Kind::kList:
        return Open(t, depth);
      default:
        break;
    }
    if (print_) {
      std::string& line = Line(t.offset, depth);
      line.push_back(Letter(t.kind));
      char buf[32];
      if (t.kind == Kind::kDouble) {
        snprintf(buf, sizeof buf, " %016llX", static_cast<unsigned long long>(t.integer));
        line.append(buf);
      } else if (t.kind == Kind::kInt || t.kind == Kind::kLong || t.kind == Kind::kDate ||
                 t.kind == Kind::kRef) {
        buf[0] = ' ';
        line.append(buf, static_cast<size_t>(
                             std::to_chars(buf + 1, buf + sizeof buf, t.integer).ptr - buf));
      } else if (t.kind == Kind::kRemote) {
        line.push_back(' ');
        Quote(line, t.text, t.size, t.units);
        line.push_back(' ');
        Quote(line, t.url, t.urlSize, t.urlSize);  // at most a character a byte
      }
      EndLine();
    }
    Completed();
    return true;
  }

  // One chunk of a string, XML or binary value; the line, with the total, after the last.
  bool Chunk(const Token& t) {
    gathered_ += t.units;
    if (print_ && t.kind == Kind::kBinary) {
      static const char kHex[] = "0123456789abcdef";
      const size_t have = hex_.size();
      hex_.resize(have + 2 * t.size);
      char* hex = &hex_[have];
      for (size_t i = 0; i < t.size; ++i) {
        const unsigned char b = static_cast<unsigned char>(t.text[i]);
        *hex++ = kHex[b >> 4];
        *hex++ = kHex[b & 0xF];
      }
    } else if (print_) {
      const size_t have = units_.size();
      units_.resize(have + t.units);
      Decode(t.text, t.size, t.units, units_.data() + have);
    }
    if (!t.last) return true;
    gathering_ = false;
    if (print_) {
      std::string& line = Line(gatherAt_, gatherDepth_);
      line.push_back(Letter(gatherKind_));
      line.push_back(' ');
      line.append(std::to_string(gathered_));
      if (gatherKind_ != Kind::kBinary) {
        line.push_back(' ');
        AppendQuoted(line, units_.data(), units_.size());
      } else if (gathered_ != 0) {
        line.push_back(' ');
        line.append(hex_);
      }
      EndLine();
    }
    Completed();
    return true;
  }

  // The units of text the reader has checked, at most count characters; how many there were.
  static size_t Decode(const char* text, size_t size, size_t count, unsigned short* units) {
    size_t consumed = 0;
    size_t decoded = 0;
    kelo::wire::DecodeUtf8(reinterpret_cast<const unsigned char*>(text), size, count, units,
                           &consumed, &decoded);
    return decoded;
  }
  void Quote(std::string& line, const char* text, size_t size, size_t count) {
    name_.resize(count);
    AppendQuoted(line, name_.data(), Decode(text, size, count, name_.data()));
  }

  // Starts a line: offset prefix, then two blanks per depth (see kDumpIndentLevels).
  std::string& Line(size_t at, int depth) {
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
  // Ends a line; the lines are sent once enough have gathered.
  void EndLine() {
    out_.push_back('\n');
    if (out_.size() >= 65536) Flush();
  }
  void Flush() {
    if (print_ && !out_.empty() && !(*sink_)(out_.data(), out_.size())) {
      sinkFailed_ = true;
      print_ = false;  // the rest is read, not sent
    }
    out_.clear();
  }

  const char* data_;
  size_t size_;
  Reader reader_;
  bool offsets_;
  const DumpSink* sink_;
  bool print_;  // lines are formatted and sent
  bool sinkFailed_ = false;
  std::vector<Frame> frames_;
  // The string, XML or binary value whose chunks are being read.
  bool gathering_ = false;
  Kind gatherKind_ = Kind::kNull;
  size_t gatherAt_ = 0;
  int gatherDepth_ = 0;
  size_t gathered_ = 0;  // units (bytes of a blob) so far
  std::vector<unsigned short> units_;
  std::string hex_;
  std::vector<unsigned short> name_;
  std::string out_;  // lines not sent yet
  size_t errorOffset_ = 0;
  std::string error_;
};

}  // namespace

DumpResult Dump(const char* data, size_t size, bool offsets, const DumpSink& sink) {
  Printer check(data, size, offsets, nullptr);
  if (!check.Run()) return DumpResult{false, check.ErrorOffset(), check.Error()};
  Printer print(data, size, offsets, &sink);
  const bool read = print.Run();
  return DumpResult{read && !print.SinkFailed(), 0, std::string()};
}

}  // namespace kelohes
