// kelohes: see, check and make Hessian messages from the command line. `dump` prints any
// Hessian 1.0 stream as the library's wire reader reads it, without a class; `decode`, `encode`,
// `default`, `classes` and `schema` go through the library and its catalogue, so they accept and
// refuse exactly what it does; without a class, `decode`, `encode` and `call` work on any value
// through kelo::Value and its JSON mapping.
#include <ctype.h>
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <CLI/CLI.hpp>
#include <cstdint>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include <kelohessian/kelohessian.h>
#if KELOHES_HAVE_HTTP
#include <kelohessian/http/transport.h>
#endif

#include "kelohes/codec.h"
#include "kelohes/dump.h"
#include "kelohes/text.h"

namespace {

enum ExitCode { kExitOk = 0, kExitBadInput = 1, kExitUsage = 2 };

// Thrown by a command for a wrong command line that CLI11 cannot see (an unknown class name),
// so that it ends like any other usage error.
struct UsageError {
  std::string message;
};

bool ReadAll(const std::string& path, std::string& bytes) {
  FILE* f = path == "-" ? stdin : fopen(path.c_str(), "rb");
  if (!f) {
    fprintf(stderr, "kelohes: cannot open %s: %s\n", path.c_str(), strerror(errno));
    return false;
  }
  char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
  const bool failed = ferror(f) != 0;
  if (f != stdin) fclose(f);
  if (failed) {
    fprintf(stderr, "kelohes: cannot read %s\n", path == "-" ? "standard input" : path.c_str());
    return false;
  }
  if (bytes.size() > 0xFFFFFFFFu) {
    fprintf(stderr, "kelohes: %s is larger than 4 GiB\n", path.c_str());
    return false;
  }
  return true;
}

// Reads the bytes of a message: as they are, or with --hex from hex text (two digits a byte,
// whitespace anywhere ignored: what `xxd -p` and packet captures print).
bool ReadBytes(const std::string& path, bool hex, std::string& bytes) {
  if (!ReadAll(path, bytes)) return false;
  if (!hex) return true;
  std::string decoded;
  decoded.reserve(bytes.size() / 2);
  int high = -1;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (isspace(c)) continue;
    if (!isxdigit(c)) {
      fprintf(stderr, "kelohes: %s: not hex text at offset %zu (got 0x%02X)\n", path.c_str(), i, c);
      return false;
    }
    const int digit = isdigit(c) ? c - '0' : (tolower(c) - 'a' + 10);
    if (high < 0) {
      high = digit;
    } else {
      decoded.push_back(static_cast<char>(high << 4 | digit));
      high = -1;
    }
  }
  if (high >= 0) {
    fprintf(stderr, "kelohes: %s: odd number of hex digits\n", path.c_str());
    return false;
  }
  bytes.swap(decoded);
  return true;
}

int WriteOut(const char* data, size_t size) {
  if (fwrite(data, 1, size, stdout) != size || fflush(stdout) != 0) {
    fprintf(stderr, "kelohes: cannot write to standard output: %s\n", strerror(errno));
    return kExitBadInput;
  }
  return kExitOk;
}

// JSON made by the library, with the characters a terminal acts on escaped (its strings hold
// received text), and a final newline.
int WriteJson(const std::string& json) {
  std::string shown = kelohes::Escaped(json, kelohes::Escape::kJsonText);
  shown.push_back('\n');
  return WriteOut(shown.data(), shown.size());
}

// Prints a text that can hold received bytes on stderr, escaped (kelohes::Escape::kMessage), so
// that a hostile peer's control bytes and escape sequences never reach the terminal.
void PrintEscaped(const char* prefix, const std::string& text) {
  fprintf(stderr, "%s%s\n", prefix, kelohes::Escaped(text).c_str());
}

const kelo::ClassInfo& ClassOrUsage(const std::string& name) {
  const kelo::ClassInfo* info = kelohes::FindClass(name);
  if (!info) {
    const std::string guess = kelohes::DidYouMean(kelohes::NearestClasses(name));
    throw UsageError{"unknown class '" + kelohes::Escaped(name) + "'" +
                     (guess.empty() ? " " : ": " + guess + " ") + "(`kelohes classes` lists them)"};
  }
  return *info;
}

// A refused decode on stderr: what was read, the result code with its name and the offset
// reached, then the library's text on a line of its own, escaped, since it quotes received bytes
// as they arrived (a type name, say). A failure that added no text (a value cut short while it is
// skipped) has the library's words on its code as its message.
void PrintRefusal(const std::string& what, const kelo::Status& status) {
  fprintf(stderr, "kelohes: cannot decode %s: %d (%s) at offset %zu\n", what.c_str(), status.code(),
          status.name(), status.offset());
  PrintEscaped("", status.message());
}

std::unique_ptr<CKeloHesClass> Create(const kelo::ClassInfo& info) {
  std::unique_ptr<CKeloHesClass> object(info.create());
  if (!object) fprintf(stderr, "kelohes: out of memory\n");
  return object;
}

int Dump(const std::string& bytes, bool offsets) {
  bool writeFailed = false;
  const kelohes::DumpResult r =
      kelohes::Dump(bytes.data(), bytes.size(), offsets, [&](const char* data, size_t size) {
        writeFailed = fwrite(data, 1, size, stdout) != size;
        return !writeFailed;
      });
  if (!r.ok && !r.error.empty()) {
    fprintf(stderr, "kelohes: offset %zu: %s\n", r.errorOffset, r.error.c_str());
    return kExitBadInput;
  }
  if (writeFailed || fflush(stdout) != 0) {
    fprintf(stderr, "kelohes: cannot write to standard output: %s\n", strerror(errno));
    return kExitBadInput;
  }
  return kExitOk;
}

int DumpFile(const std::string& file, bool hex, bool offsets) {
  std::string bytes;
  if (!ReadBytes(file, hex, bytes)) return kExitBadInput;
  return Dump(bytes, offsets);
}

// After a refused decode: when the bytes begin like another kind of message than the command line
// says (a reply read as a bare value, say), says so and what to ask for instead.
void HintAtShape(const std::string& bytes, bool reply, bool call) {
  const char first = bytes.empty() ? '\0' : bytes[0];
  const char* what;
  std::string fix;
  if (first == 'r' && !reply) {
    what = "a reply";
    fix = call ? "--reply instead of --call" : "--reply";
  } else if (first == 'c' && !call) {
    what = "a call";
    fix = reply ? "--call instead of --reply" : "--call";
  } else if ((first == 'M' || first == 'N') && (reply || call)) {
    what = "a bare value";
    fix = call ? "without --call" : "without --reply";
  } else {
    return;
  }
  char version[16] = "";
  if ((first == 'r' || first == 'c') && bytes.size() >= 3)
    snprintf(version, sizeof version, " %02X %02X", static_cast<unsigned char>(bytes[1]),
             static_cast<unsigned char>(bytes[2]));
  fprintf(stderr, "kelohes: the bytes begin like %s ('%c'%s): try %s\n", what, first, version,
          fix.c_str());
}

// A fault reply ('r' v1 v2 'f' ...) as one line on stderr: its code and message (exit 1).
int PrintFault(const kelo::Status& status) {
  PrintEscaped("kelohes: fault: ", status.fault_code() + ": " + status.fault_message());
  return kExitBadInput;
}

bool IsFaultReply(const std::string& bytes) {
  return bytes.size() >= 4 && bytes[0] == 'r' && bytes[3] == 'f';
}

// The object as decode prints it, or a fault of a reply; the exit status.
int PrintReply(const std::string& bytes, CKeloHesClass& object, const kelo::ClassInfo& info) {
  const kelo::Status status = kelo::DecodeReply(bytes.data(), bytes.size(), object);
  if (status.is_fault()) return PrintFault(status);
  if (!status) {
    PrintRefusal(std::string(info.typeName) + " reply", status);
    return kExitBadInput;
  }
  return WriteJson(kelohes::ToJson(object, info));
}

// {"method": <method>, <key>: <body>}, body (JSON) indented one level further, a line at a time.
std::string CallJson(const std::string& method, const char* key, const std::string& body) {
  std::string json = "{\n  \"method\": \"";
  kelohes::AppendEscaped(json, method, kelohes::Escape::kJsonString);
  json += "\",\n  \"";
  json += key;
  json += "\": ";
  for (size_t at = 0, end; at < body.size(); at = end) {
    end = body.find('\n', at);
    end = end == std::string::npos ? body.size() : end + 1;
    json.append(body, at, end - at);
    if (body[end - 1] == '\n') json += "  ";
  }
  json += "\n}";
  return json;
}

// Any value as kelo::ToJson prints it (docs/values.md has the mapping).
int WriteValueJson(const kelo::Value& value) {
  const std::string json = kelo::ToJson(value);
  if (json.empty()) {  // the decoders bound the nesting as ToJson does: only memory is left
    fprintf(stderr, "kelohes: out of memory\n");
    return kExitBadInput;
  }
  return WriteJson(json);
}

// A reply of any value read into a kelo::Value and printed as JSON, or its fault.
int PrintAnyReply(const std::string& bytes) {
  kelo::Value value;
  const kelo::Status status = kelo::DecodeReply(bytes.data(), bytes.size(), value);
  if (status.is_fault()) return PrintFault(status);
  if (!status) {
    PrintRefusal("the reply", status);
    HintAtShape(bytes, true, false);
    return kExitBadInput;
  }
  return WriteValueJson(value);
}

// A call of any arguments read through kelo::CallReader into kelo::Values, printed as
// {"method": ..., "arguments": [...]}: the arguments as one JSON list, so that a map or list that
// two arguments share is printed once and referred to ({"$ref": n}, the list itself being 0).
int DecodeAnyCall(const std::string& bytes) {
  kelo::CallReader reader(bytes.data(), bytes.size());
  std::string method;
  kelo::Status status = reader.ReadMethod(method);
  std::string step = "the method";
  kelo::Value args = kelo::Value::List();
  if (!args.ok()) status = kelo::Status(KELO_E_NO_MEMORY);
  while (status && !reader.AtEnd()) {
    step = "argument " + std::to_string(args.size() + 1);
    kelo::Value arg;
    status = reader.ReadArg(arg);
    if (status) status = args.Push(arg);
  }
  if (status) {
    step = "the end of the call";
    status = reader.Finish();
  }
  if (!status) {
    PrintRefusal("the call, at " + step, status);
    HintAtShape(bytes, false, true);
    return kExitBadInput;
  }
  const std::string json = kelo::ToJson(args);
  if (json.empty()) {
    fprintf(stderr, "kelohes: out of memory\n");
    return kExitBadInput;
  }
  return WriteJson(CallJson(method, "arguments", json));
}

// Any bare value, reply or call, without a class.
int DecodeAny(const std::string& file, bool hex, bool reply, bool call, bool allowTrailing) {
  std::string bytes;
  if (!ReadBytes(file, hex, bytes)) return kExitBadInput;
  if (call) return DecodeAnyCall(bytes);
  if (reply) return PrintAnyReply(bytes);
  kelo::Value value;
  kelo::Status status = kelo::DecodeValue(bytes.data(), bytes.size(), value);
  // DecodeValue refuses bytes after the value at the first of them: when the bytes before it
  // make a whole value, that is what the input holds, and the rest is left over.
  const size_t end = status.offset();
  if (status.code() == KELO_E_FORMAT && end > 0 && end < bytes.size() &&
      kelo::DecodeValue(bytes.data(), end, value)) {
    if (!allowTrailing) {
      fprintf(stderr,
              "kelohes: %zu bytes left after the value at offset %zu (--allow-trailing accepts "
              "them)\n",
              bytes.size() - end, end);
      return kExitBadInput;
    }
    status = kelo::Status();
  }
  if (!status) {
    PrintRefusal("the value", status);
    HintAtShape(bytes, false, false);
    return kExitBadInput;
  }
  return WriteValueJson(value);
}

// The arguments of a call from JSON: an untyped list, one argument per item.
bool ArgumentsOf(const kelo::Value& list, std::vector<kelo::Value>& args) {
  if (!list.is_list() || list.typed()) {
    fprintf(stderr, "kelohes: --call takes the arguments as a JSON array ([] for none)\n");
    return false;
  }
  for (size_t i = 0; i < list.size(); ++i) args.push_back(list[i]);
  return true;
}

int CannotEncodeValue(const char* what, const kelo::Status& s) {
  fprintf(stderr, "kelohes: cannot encode %s: %d (%s): ", what, s.code(), s.name());
  PrintEscaped("", s.message());
  return kExitBadInput;
}

// Any value from its JSON, bare or as a reply, or a call of the arguments a JSON array holds.
int EncodeAny(const std::string& file, const std::string& method, bool call, bool reply) {
  std::string text;
  if (!ReadAll(file, text)) return kExitBadInput;
  kelo::Value value;
  std::string error;
  if (!kelohes::FromJson(text, value, error)) {
    fprintf(stderr, "kelohes: %s\n", error.c_str());
    return kExitBadInput;
  }
  std::vector<std::uint8_t> bytes;
  kelo::Status status;
  if (call) {
    std::vector<kelo::Value> args;
    if (!ArgumentsOf(value, args)) return kExitBadInput;
    status = kelo::EncodeCall(method, args, bytes);
  } else {
    status = reply ? kelo::EncodeReply(value, bytes) : kelo::EncodeValue(value, bytes);
  }
  if (!status)
    return CannotEncodeValue(call ? "the call" : reply ? "the reply" : "the value", status);
  return WriteOut(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// A call 'c' v1 v2 (headers) 'm' <method> <argument> 'z' read through kelo::CallReader, printed as
// {"method": ..., "argument": <the argument as decode prints it>}.
int DecodeCall(const std::string& bytes, CKeloHesClass& object, const kelo::ClassInfo& info) {
  kelo::CallReader reader(bytes.data(), bytes.size());
  std::string method;
  kelo::Status status = reader.ReadMethod(method);
  const char* step = "the method";
  if (status) {
    step = "the argument";
    status = reader.ReadArg(object);
  }
  if (status) {
    step = "the end of the call";
    status = reader.Finish();
  }
  if (!status) {
    PrintRefusal(std::string(info.typeName) + " call, at " + step, status);
    HintAtShape(bytes, false, true);
    return kExitBadInput;
  }
  return WriteJson(CallJson(method, "argument", kelohes::ToJson(object, info)));
}

#if KELOHES_HAVE_HTTP
// What `call` needs besides the classes: where, and how to reach it.
struct CallOptions {
  std::string url;
  std::string method;
  double timeoutSeconds = 60;
  std::vector<std::string> headers;  // NAME:VALUE
  bool insecure = false;
  bool verbose = false;
  bool dump = false;
};

// The call's bytes: the request of class className read from the JSON in args[0] (a file, "-" when
// none is given), or without a class each of args one argument's JSON.
bool BuildCall(const std::string& method, const std::string& className,
               const std::vector<std::string>& args, std::vector<std::uint8_t>& call) {
  kelo::Status s;
  std::string error;
  if (!className.empty()) {
    const kelo::ClassInfo& info = ClassOrUsage(className);
    if (args.size() > 1) throw UsageError{"with --as, call takes one FILE, the request's JSON"};
    std::string text;
    if (!ReadAll(args.empty() ? "-" : args[0], text)) return false;
    std::unique_ptr<CKeloHesClass> request = Create(info);
    if (!request) return false;
    if (!kelohes::FromJson(text, *request, info, error)) {
      fprintf(stderr, "kelohes: %s\n", error.c_str());
      return false;
    }
    s = kelo::EncodeCall(method, *request, call);
  } else {
    std::vector<kelo::Value> values(args.size());
    for (size_t i = 0; i < args.size(); ++i) {
      if (!kelohes::FromJson(args[i], values[i], error)) {
        fprintf(stderr, "kelohes: argument %zu: %s\n", i + 1, error.c_str());
        return false;
      }
    }
    s = kelo::EncodeCall(method, values, call);
  }
  if (!s) {
    fprintf(stderr, "kelohes: cannot encode the call of %s: %d (%s): %s\n",
            kelohes::Escaped(method).c_str(), s.code(), s.name(),
            kelohes::Escaped(s.message()).c_str());
    return false;
  }
  return true;
}

int Call(const CallOptions& o, const std::string& className, const std::string& replyClass,
         const std::vector<std::string>& args) {
  const kelo::ClassInfo* replyInfo = replyClass.empty() ? nullptr : &ClassOrUsage(replyClass);
  kelo::http::Options options;
  if (!(o.timeoutSeconds > 0) || o.timeoutSeconds > 86400)
    throw UsageError{"--timeout takes seconds, more than 0 and at most a day"};
  options.timeoutMs = static_cast<long>(o.timeoutSeconds * 1000 + 0.5);
  if (options.timeoutMs < 1) options.timeoutMs = 1;
  if (options.connectTimeoutMs > options.timeoutMs) options.connectTimeoutMs = options.timeoutMs;
  for (const std::string& header : o.headers) {
    const size_t colon = header.find(':');
    if (colon == 0 || colon == std::string::npos)
      throw UsageError{"--header takes NAME:VALUE, not '" + header + "'"};
    const size_t value = header.find_first_not_of(" \t", colon + 1);
    options.headers.push_back(header.substr(0, colon) + ": " +
                              (value == std::string::npos ? "" : header.substr(value)));
  }
  options.insecure = o.insecure;
  options.verbose = o.verbose;
  // The trace holds the server's header lines as they came: each line escaped on its own.
  options.trace = [](char kind, const std::string& text) {
    for (size_t start = 0; start < text.size();) {
      size_t end = text.find('\n', start);
      if (end == std::string::npos) end = text.size();
      const size_t next = end + 1;
      if (end > start && text[end - 1] == '\r') --end;
      const char prefix[] = {kind, ' ', '\0'};
      PrintEscaped(prefix, text.substr(start, end - start));
      start = next;
    }
  };

  std::vector<std::uint8_t> call;
  if (!BuildCall(o.method, className, args, call)) return kExitBadInput;
  std::unique_ptr<CKeloHesClass> response;
  if (replyInfo && !(response = Create(*replyInfo))) return kExitBadInput;
  std::string error;
  kelo::http::Connection connection(options);
  kelo::http::Reply reply;
  if (!connection.Post(o.url, std::string(call.begin(), call.end()), reply, error)) {
    PrintEscaped("kelohes: ", error);
    return kExitBadInput;
  }
  if (o.dump) return Dump(reply.body, false);
  if (!response) return PrintAnyReply(reply.body);
  return PrintReply(reply.body, *response, *replyInfo);
}
#endif

int Decode(const std::string& className, const std::string& file, bool hex, bool reply, bool call,
           bool allowTrailing) {
  if (className.empty()) return DecodeAny(file, hex, reply, call, allowTrailing);
  const kelo::ClassInfo& info = ClassOrUsage(className);
  std::string bytes;
  if (!ReadBytes(file, hex, bytes)) return kExitBadInput;
  std::unique_ptr<CKeloHesClass> object = Create(info);
  if (!object) return kExitBadInput;
  if (call) return DecodeCall(bytes, *object, info);
  if (reply && IsFaultReply(bytes)) return PrintReply(bytes, *object, info);
  CKeloInput in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  CKeloInputParse parse(in);
  const int rc = reply ? KeloHessianReadResponse(*object, parse) : object->Deserialize(parse);
  if (rc != 0) {
    const std::string text =
        parse.GetError() ? std::string(parse.GetError(), parse.GetErrorLength()) : std::string();
    PrintRefusal(std::string(info.typeName) + (reply ? " reply" : " value"),
                 kelo::Status(rc, text, in.GetNumExtracted()));
    HintAtShape(bytes, reply, false);
    return kExitBadInput;
  }
  if (in.GetNumExtracted() != bytes.size() && !allowTrailing) {
    fprintf(stderr,
            "kelohes: %zu bytes left after the %s at offset %u (--allow-trailing accepts them)\n",
            bytes.size() - in.GetNumExtracted(), reply ? "reply" : "value", in.GetNumExtracted());
    return kExitBadInput;
  }
  return WriteJson(kelohes::ToJson(*object, info));
}

int CannotEncode(const kelo::ClassInfo& info, int rc) {
  fprintf(stderr, "kelohes: cannot encode %s: %d (%s)\n", info.typeName, rc, kelo::ResultName(rc));
  return kExitBadInput;
}

// The object's bytes as a bare value.
int WriteValue(const CKeloHesClass& object, const kelo::ClassInfo& info) {
  CKeloOutput out(0);
  if (int rc = object.Serialize(out); rc != 0) return CannotEncode(info, rc);
  return WriteOut(out.Data(), out.DataSize());
}

int Encode(const std::string& className, const std::string& file, const std::string& method,
           bool call, bool reply) {
  if (className.empty()) return EncodeAny(file, method, call, reply);
  const kelo::ClassInfo& info = ClassOrUsage(className);
  std::string text;
  if (!ReadAll(file, text)) return kExitBadInput;
  std::unique_ptr<CKeloHesClass> object = Create(info);
  if (!object) return kExitBadInput;
  std::string error;
  if (!kelohes::FromJson(text, *object, info, error)) {
    fprintf(stderr, "kelohes: %s\n", error.c_str());
    return kExitBadInput;
  }
  if (!call && !reply) return WriteValue(*object, info);
  // A call or reply through the one-call encoders, which also write the envelope.
  std::vector<std::uint8_t> bytes;
  const kelo::Status status =
      call ? kelo::EncodeCall(method, *object, bytes) : kelo::EncodeReply(*object, bytes);
  if (!status) return CannotEncode(info, status.code());
  return WriteOut(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

int Default(const std::string& className) {
  const kelo::ClassInfo& info = ClassOrUsage(className);
  std::unique_ptr<CKeloHesClass> object = Create(info);
  if (!object) return kExitBadInput;
  return WriteValue(*object, info);
}

const char kExitStatus[] =
    "EXIT STATUS\n"
    "  0  success\n"
    "  1  bad input: bytes the reader refuses, JSON that does not fit the class, an unreadable\n"
    "     file; stdout then holds nothing and stderr says why\n"
    "  2  usage: unknown command or option, missing argument, unknown class\n";

const char kMainFooter[] =
    "\n"
    "FILE is a path, or - for standard input. Bytes go to standard output as they are, so\n"
    "redirect them: kelohes default kelo.cl.ReqConnect > req.bin\n"
    "\n"
    "EXAMPLES\n"
    "  kelohes dump capture.bin\n"
    "  kelohes decode --as kelo.cl.ResConnectV2 --reply reply.bin\n"
    "  kelohes decode --reply reply.bin                 (any reply, as a generic value)\n"
    "  kelohes decode --as kelo.cl.ReqConnect req.bin | kelohes encode --as kelo.cl.ReqConnect\n"
    "      --call connect > call.bin\n"
    "  kelohes schema kelo.cl.ReqConnect\n"
    "  kelohes call http://host/values greet '\"Ada\"'\n"
    "\n";

const char kDumpFooter[] =
    "\n"
    "Prints any Hessian 1.0 stream (a call, a reply, a fault reply or a bare value) one value a\n"
    "line, with two blanks of indent per level, so that dumps of the same message written by\n"
    "different programs compare equal. It needs no class: it reads the bytes with the library's\n"
    "wire reader. Lines deeper than level 16 are indented as level 16 and start with their\n"
    "level: \"[17] N\".\n"
    "\n"
    "LINES\n"
    "  N  T  F               null, true, false\n"
    "  I <n>  L <n>          32-bit and 64-bit integers, signed decimal\n"
    "  D <16 hex digits>     double, the IEEE-754 bits in upper-case hex\n"
    "  d <ms>                date, signed milliseconds since 1970-01-01 UTC\n"
    "  S <units> \"<text>\"    string, all chunks joined; <units> counts UTF-16 units\n"
    "  X <units> \"<text>\"    XML, the same way\n"
    "  B <n> <hex>           binary, all chunks joined, lower-case hex (\"B 0\" when empty)\n"
    "  M <type>              map; each key one level deeper, its value two levels deeper\n"
    "  V <type> <len>        list; items one level deeper\n"
    "  R <n>                 reference to an earlier map or list\n"
    "  r \"<type>\" \"<url>\"    remote object\n"
    "  c XX YY \"<method>\"    call with its version bytes; headers (H \"<name>\", value below)\n"
    "                        and arguments one level deeper\n"
    "  r XX YY               reply; headers and the value or the fault one level deeper\n"
    "  f                     a reply's fault; its entries below it, as in a map\n"
    "  <type> is the quoted 't' type name or -, <len> the 'l' count or -. Text is quoted by\n"
    "  UTF-16 unit: 0x20..0x7E as they are but \\\" and \\\\, any other unit as \\uXXXX.\n"
    "\n"
    "With --offsets each line starts with the offset of its first byte, 8 hex digits.\n"
    "Truncated input, bytes after the message, an unknown marker or a 4-byte UTF-8 sequence\n"
    "print nothing on stdout and the offset and reason on stderr (exit 1).\n"
    "\n";

const char kDecodeFooter[] =
    "\n"
    "Without --as, reads any value (or with --reply any reply, with --call a call of any\n"
    "arguments) into a kelo::Value and prints the library's JSON of it (docs/values.md):\n"
    "null, booleans, 32-bit integers, doubles and strings as themselves; {\"$long\": \"<n>\"},\n"
    "{\"$date\": <ms>}, {\"$binary\": \"<hex>\"}, {\"$xml\": ...}; arrays for untyped lists;\n"
    "objects for untyped maps of string keys (\"$type\" first when typed), {\"$map\": [[k, v]]}\n"
    "for others; a map or list printed before as {\"$ref\": n}, so shared objects and cycles\n"
    "print once. A call prints {\"method\": ..., \"arguments\": [...]}, its arguments one list\n"
    "(\"$ref\" 0 is that list).\n"
    "\n"
    "With --as, reads the bytes into an object of CLASS through the library, exactly as an\n"
    "application would, and prints it as JSON: wire member names as keys in wire order,\n"
    "64-bit numbers exact, blobs as lower-case hex strings, a CT_ value class as the value it\n"
    "carries, null values as null, strings as UTF-8 with any surrogate unit as a \\uXXXX\n"
    "escape.\n"
    "Either way the characters a terminal acts on are escaped too: controls, DEL,\n"
    "U+0080..U+009F, and the bidirectional controls U+202A..U+202E and U+2066..U+2069 (a\n"
    "method name's bytes that are not UTF-8 as \\u00XX, the byte).\n"
    "A double JSON cannot hold is \"NaN\", \"Infinity\" or \"-Infinity\".\n"
    "\n"
    "With --call the bytes are a call, read as a server reads it: headers are read past\n"
    "(dump shows them), the one argument goes into CLASS, and the output is\n"
    "{\"method\": \"<method>\", \"argument\": <the argument as above>}.\n"
    "With --reply a fault reply is printed as \"kelohes: fault: <code>: <message>\" on\n"
    "stderr (exit 1), whatever CLASS is.\n"
    "\n"
    "When the library refuses the bytes, stderr gets the result code with its name and the\n"
    "offset reached, then the library's error text on a line of its own (exit 1); bytes of\n"
    "the input it quotes are shown as \\xNN, and the characters above as \\uXXXX. When the\n"
    "bytes begin like a reply, a call or a bare value other than the options say, a last line\n"
    "says so and which option to use.\n"
    "\n";

const char kEncodeFooter[] =
    "\n"
    "Without --as, reads any value in the JSON that decode prints without --as and writes its\n"
    "bytes: bare, as a reply, or with --call METHOD a call whose arguments are the items of a\n"
    "JSON array ([] for none, [[1, 2]] for one list). Integers that fit 32 bits are 'I', others\n"
    "'L'; arrays are untyped lists with a length; objects untyped maps.\n"
    "\n"
    "With --as, reads JSON in the shape decode --as prints and writes the Hessian bytes of\n"
    "the object to standard output: bare, as a call of METHOD (the library's call envelope),\n"
    "or as a reply ('r' 01 00, the object, 'z'). A member the JSON leaves out keeps its default "
    "value; an\n"
    "unknown member, a value of the wrong kind or out of range, or a character above U+FFFF is\n"
    "refused with the member's path (m_list[2].m_name) on stderr (exit 1). Text that is not\n"
    "JSON, or that nests deeper than any object of CLASS can, is refused with the line, the\n"
    "column and what is wrong there.\n"
    "\n";

#if KELOHES_HAVE_HTTP
const char kCallFooter[] =
    "\n"
    "  kelohes call [OPTIONS] URL METHOD [ARG-JSON...]\n"
    "  kelohes call [OPTIONS] --as CLASS URL METHOD [FILE]\n"
    "\n"
    "POSTs a call of METHOD to URL (Content-Type x-application/hessian) and prints the reply.\n"
    "Without --as, each ARG-JSON is one argument in the JSON decode prints without --as (none:\n"
    "a call without arguments): kelohes call URL join '{\"name\": \"crew\"}' '\"Ada\"'. With\n"
    "--as, the request is read as JSON (the shape encode reads) into CLASS from FILE (- or\n"
    "none: standard input).\n"
    "The reply is printed as any value (decode without --as), or read into the --reply-as\n"
    "class and printed as decode --as prints it, or with --dump in the dump format. A fault\n"
    "reply prints \"kelohes: fault: <code>: <message>\" on stderr.\n"
    "Failures are one line on stderr, exit 1: a refused connection, a timeout, an HTTP status\n"
    "other than 200 (or 500 with a fault), a reply the library refuses, a fault.\n"
    "\n";
#endif

// When the first word of the command line that is not an option names no command (CLI11 then
// says only that one is required): which word, with the nearest commands. Empty otherwise.
std::string UnknownCommand(CLI::App& app, int argc, char** argv) {
  int word = 1;
  while (word < argc && argv[word][0] == '-') ++word;
  if (word == argc) return std::string();
  std::vector<std::string> names;
  for (const CLI::App* command : app.get_subcommands(std::function<bool(CLI::App*)>())) {
    if (command->get_name() == argv[word]) return std::string();
    names.push_back(command->get_name());
  }
  const std::string guess = kelohes::DidYouMean(kelohes::Nearest(argv[word], names));
  return "unknown command '" + kelohes::Escaped(argv[word]) + "'" +
         (guess.empty() ? std::string() : ": " + guess);
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"kelohes - see, check and make the Hessian 1.0 messages of KeloHessian", "kelohes"};
  app.footer(std::string(kMainFooter) + kExitStatus);
  app.require_subcommand(1);
  app.set_version_flag("--version", "kelohes " KELOHES_VERSION, "Print the version and exit");
  app.get_formatter()->column_width(34);

  std::string file = "-";
  std::string className;
  std::string method;
  bool offsets = false;
  bool reply = false;
  bool allowTrailing = false;
  bool hex = false;
  bool callFlag = false;
  const char* const kHexHelp = "FILE holds hex text (whitespace ignored), as xxd -p prints it";

  CLI::App* dump = app.add_subcommand("dump", "Print any Hessian 1.0 stream, one value a line");
  dump->footer(std::string(kDumpFooter) + kExitStatus);
  dump->add_flag("--offsets", offsets, "Start each line with the byte offset of its value");
  dump->add_flag("--hex", hex, kHexHelp);
  dump->add_option("FILE", file, "The bytes: a path, or - for standard input")->required();

  CLI::App* classes = app.add_subcommand("classes", "List every class of the catalogue");
  classes->footer(
      "\nOne line per class: its wire type name, then \"value <kind>\" for a value class or\n"
      "the number of members of a message class.\n\n" +
      std::string(kExitStatus));

  CLI::App* schema = app.add_subcommand("schema", "Show one class's members in wire order");
  schema->footer(
      "\nCLASS is a wire type name (kelo.cl.ReqConnect) or a C++ class name naming one class\n"
      "(ReqConnect). Prints one line per member, inherited members first, in wire order: the\n"
      "wire name, the kind (int8 ... uint64, bool, double, date, string, binary; value <kind>\n"
      "(<class>); message <class>; list <item class>) and the C++ type of the member.\n\n" +
      std::string(kExitStatus));
  schema->add_option("CLASS", className, "The class")->required();

  CLI::App* decode = app.add_subcommand("decode", "Read bytes into a class and print JSON");
  decode->footer(std::string(kDecodeFooter) + kExitStatus);
  decode
      ->add_option("--as", className,
                   "The class to read, wire type or C++ name; without it any value is read")
      ->option_text("CLASS");
  CLI::Option* decodeReply =
      decode->add_flag("--reply", reply, "The bytes are a reply envelope 'r' v1 v2 ... 'z'");
  decode
      ->add_flag("--call", callFlag,
                 "The bytes are a call 'c' v1 v2 ... 'm' <method> <arguments> 'z'; prints the "
                 "method and the arguments")
      ->excludes(decodeReply);
  decode->add_flag("--allow-trailing", allowTrailing, "Accept bytes after the value");
  decode->add_flag("--hex", hex, kHexHelp);
  decode->add_option("FILE", file, "The bytes: a path, or - for standard input")->required();

  CLI::App* encode = app.add_subcommand("encode", "Turn JSON into Hessian bytes of a class");
  encode->footer(std::string(kEncodeFooter) + kExitStatus);
  encode
      ->add_option("--as", className,
                   "The class to write, wire type or C++ name; without it any value is written")
      ->option_text("CLASS");
  CLI::Option* callOption =
      encode
          ->add_option("--call", method,
                       "Write a call of METHOD: of the object, or without --as of the arguments "
                       "a JSON array holds")
          ->option_text("METHOD");
  CLI::Option* replyOption =
      encode->add_flag("--reply", reply, "Wrap the object as a reply 'r' 01 00 ... 'z'");
  callOption->excludes(replyOption);
  encode->add_option("FILE", file, "The JSON: a path, or - for standard input (the default)");

#if KELOHES_HAVE_HTTP
  CallOptions callOptions;
  std::string replyClass;
  CLI::App* callCommand =
      app.add_subcommand("call", "Send a call over HTTP(S) and print the reply as JSON");
  callCommand->footer(std::string(kCallFooter) + kExitStatus);
  callCommand->add_option("URL", callOptions.url, "The service's http:// or https:// URL")
      ->required();
  callCommand
      ->add_option("METHOD", callOptions.method,
                   "The remote method; the words after it: ARG-JSON... or FILE (below)")
      ->required();
  callCommand
      ->add_option("--as", className,
                   "The request's class, read from FILE (a path, or - the default); without it the "
                   "words after METHOD are the arguments' JSON")
      ->option_text("CLASS");
  callCommand
      ->add_option("--reply-as", replyClass,
                   "The reply's class; without it the reply is read and printed as any value")
      ->option_text("CLASS");
  // The words after URL and METHOD are kept as they are, as CLI11's extras: a positional list of
  // CLI11's would take a word in brackets ("[1, 2]") for a list of words and split it.
  callCommand->allow_extras();
  callCommand->add_flag("--dump", callOptions.dump, "Print the reply in the dump format instead");
  callCommand
      ->add_option("--timeout", callOptions.timeoutSeconds,
                   "Seconds for the whole exchange (default 60)")
      ->option_text("SECONDS");
  callCommand->add_option("--header", callOptions.headers, "An HTTP header to send (repeatable)")
      ->option_text("NAME:VALUE")
      ->allow_extra_args(false);
  callCommand->add_flag("--insecure", callOptions.insecure,
                        "Do not check the server's certificate (self-signed test servers)");
  callCommand->add_flag("-v,--verbose", callOptions.verbose, "Show the HTTP exchange on stderr");
#endif

  CLI::App* def = app.add_subcommand("default", "Write the bytes of a default object");
  def->footer(
      "\nWrites the Hessian bytes of a default-constructed object of CLASS to standard "
      "output.\n\n" +
      std::string(kExitStatus));
  def->add_option("CLASS", className, "The class")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e) == 0 ? kExitOk : kExitUsage;
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e) == 0 ? kExitOk : kExitUsage;
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e) == 0 ? kExitOk : kExitUsage;
  } catch (const CLI::ParseError& e) {
    const std::string unknown = UnknownCommand(app, argc, argv);
    fprintf(stderr, "kelohes: %s\nRun 'kelohes --help' or 'kelohes COMMAND --help' for usage.\n",
            unknown.empty() ? e.what() : unknown.c_str());
    return kExitUsage;
  }

  try {
    if (dump->parsed()) return DumpFile(file, hex, offsets);
    if (classes->parsed()) {
      const std::string text = kelohes::ClassesText();
      return WriteOut(text.data(), text.size());
    }
    if (schema->parsed()) {
      const std::string text = kelohes::SchemaText(ClassOrUsage(className));
      return WriteOut(text.data(), text.size());
    }
    if (decode->parsed()) return Decode(className, file, hex, reply, callFlag, allowTrailing);
    if (encode->parsed()) return Encode(className, file, method, callOption->count() > 0, reply);
    if (def->parsed()) return Default(className);
#if KELOHES_HAVE_HTTP
    if (callCommand->parsed()) {
      const std::vector<std::string> words = callCommand->remaining();
      for (const std::string& word : words) {
        // JSON never starts with '-' but for a negative number: anything else is an option.
        if (word.size() > 1 && word[0] == '-' && !isdigit(static_cast<unsigned char>(word[1])))
          throw UsageError{"call: unknown option " + kelohes::Escaped(word)};
      }
      return Call(callOptions, className, replyClass, words);
    }
#endif
  } catch (const UsageError& e) {
    fprintf(stderr, "kelohes: %s\n", e.message.c_str());
    return kExitUsage;
  } catch (const std::bad_alloc&) {
    fprintf(stderr, "kelohes: out of memory\n");
    return kExitBadInput;
  }
  return kExitUsage;
}
