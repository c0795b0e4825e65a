// kelohes as a user runs it: one table of command lines with their input, exit status and output.
// The JSON mapping itself is json_test's; here only the tool's own wiring counts.
#include <dirent.h>

#include <algorithm>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kelohes/codec.h"
#include "kelohes/dump.h"
#include "support/bag.h"
#include "support/filler.h"
#include "support/run.h"
#include "support/test_support.h"

namespace {

using kelotest::Hex;

// What a stream must hold: exactly this text, or with Has() at least this part of it.
struct Text {
  Text(std::string t, bool whole = true) : text(std::move(t)), exact(whole) {}
  Text(const char* t) : Text(std::string(t)) {}
  std::string text;
  bool exact;
};
Text Has(std::string part) {
  return {std::move(part), false};
}

// A command line, its stdin and exit status, and what it shows: on stdout if 0, else on stderr.
struct Row {
  std::string args, input;
  int rc;
  Text shown;
};

TEST(Tool, CommandsExitAndPrintAsTheTableSays) {
  // A ResRegister as our writer lays it out, every member in catalogue order: resID 5, header
  // {cnc -2, cnr 2^53 + 1, the rest 0}, status 2, description "oké".
  const std::string value =
      Hex("4d 74 00 13 'kelo.cl.ResRegister' 53 00 05 'resID' 49 00 00 00 05 "
          "53 00 06 'header' 4d 74 00 0e 'kelo.cl.Header' 53 00 03 'cnc' 49 ff ff ff fe "
          "53 00 03 'cnu' 49 00 00 00 00 53 00 03 'cnr' 4c 00 20 00 00 00 00 00 01 "
          "53 00 07 'session' 49 00 00 00 00 53 00 02 'os' 49 00 00 00 00 7a "
          "53 00 06 'status' 49 00 00 00 02 53 00 0b 'description' 53 00 03 'ok' c3 a9 7a");
  const char json[] = R"({"resID": 5, "header": {"cnc": -2, "cnr": 9007199254740993},
                          "status": 2, "description": "ok\u00e9"})";
  const char printed[] =
      "{\n  \"resID\": 5,\n  \"header\": {\n    \"cnc\": -2,\n    \"cnu\": 0,\n"
      "    \"cnr\": 9007199254740993,\n    \"session\": 0,\n    \"os\": 0\n  },\n"
      "  \"status\": 2,\n  \"description\": \"oké\"\n}\n";
  const std::string call = Hex("63 00 01 6d 00 04 'getX'") + value + "z";
  // The same reply as another writer may lay it out: members in another order, the text in two
  // chunks, header members left out (they keep their defaults).
  const std::string peer = Hex(
      "72 01 00 4d 74 00 13 'kelo.cl.ResRegister' 53 00 0b 'description' 73 00 02 'ok' 53 00 01 "
      "c3 a9 53 00 06 'status' 49 00 00 00 02 53 00 06 'header' 4d 74 00 0e 'kelo.cl.Header' "
      "53 00 03 'cnr' 4c 00 20 00 00 00 00 00 01 53 00 03 'cnc' 49 ff ff ff fe 7a "
      "53 00 05 'resID' 49 00 00 00 05 7a 7a");
  const std::string faults = KELOHES_SOURCE_DIR "/interop/testdata/faults/";
  const std::string cannot = "kelohes: cannot decode kelo.cl.ResRegister ";
  const std::string cut = cannot + "reply: -1999996 (KELO_E_EXHAUSTED) at offset ";
  const std::string reply = "decode --reply --as ResRegister -";
  const std::string deep = std::string(256, 'V') + "N" + std::string(256, 'z');
  // JSON nested far deeper than any class can be, which must not reach a recursive reader.
  const std::string deepJson =
      R"({"reqID": )" + std::string(100000, '[') + std::string(100000, ']') + "}";

  std::vector<Row> rows = {
      // The command line: help and version exit 0, a wrong command line 2, an unreadable file 1.
      {"--help", "", 0, Has("EXIT STATUS\n  0  success")},
      {"--version", "", 0, "kelohes " KELOHES_VERSION "\n"},
      {"", "", 2, Has("Run 'kelohes --help'")},
      {"decode --as kelo.cl.Nope -", "", 2,
       "kelohes: unknown class 'kelo.cl.Nope' (`kelohes classes` lists them)\n"},
      {"schema kelo.cl.resregsiter", "", 2, Has(": did you mean 'kelo.cl.ResRegister'? (`")},
      {"dumb -", "", 2, Has("kelohes: unknown command 'dumb': did you mean 'dump'?\n")},
      {"encode --as Log --call m --reply", "", 2, Has("excludes")},
      {"dump /nonexistent/file", "", 1, Has("kelohes: cannot open /nonexistent/file: ")},

      // dump's options; nesting to 256 levels, deeper input refused without exhausting the stack.
      {"dump --offsets -", Hex("63 00 01 6d 00 00 4d 74 00 01 'T' 53 00 01 'k' 42 00 00 7a 7a"), 0,
       "00000000 c 00 01 \"\"\n00000006   M \"T\"\n0000000b     S 1 \"k\"\n0000000f       B 0\n"},
      {"dump --hex -", "72 01 00\n4E\t7a\n", 0, "r 01 00\n  N\n"},
      {"dump --hex -", "720100 4e7", 1, "kelohes: -: odd number of hex digits\n"},
      {"dump --hex -", "7201g0", 1, "kelohes: -: not hex text at offset 4 (got 0x67)\n"},
      {"dump -", deep, 0, Has("\n" + std::string(32, ' ') + "[256] N\n")},
      {"dump -", "V" + deep + "z", 1,
       "kelohes: offset 256: values nested deeper than 256 levels\n"},

      // decode and encode go through the library: the same object both ways, whatever the layout.
      {"decode --as ResRegister -", value, 0, printed},
      {reply, peer, 0, printed},
      {"decode --call --as ResRegister -", call, 0,
       Has("{\n  \"method\": \"getX\",\n  \"argument\": {\n    \"resID\": 5,\n    \"header")},
      {"decode --allow-trailing --as ResRegister -", value + "NN", 0, printed},
      {"decode --as ResRegister -", value + "NN", 1,
       "kelohes: 2 bytes left after the value at offset 162 (--allow-trailing accepts them)\n"},
      {"encode --as ResRegister -", json, 0, value},
      {"encode --as kelo.cl.ResRegister --call getX", json, 0, call},
      {"encode --as ResRegister --reply", json, 0, kelotest::Reply(value)},
      {"default ResRegister", "", 0, kelotest::Encode(kelo::cl::ResRegister())},
      {"schema ResRegister", "", 0,
       "kelo.cl.ResRegister: message class ResRegister, base kelo.cl.Response, 4 members\n"
       "  resID        int32                   CKeloHesInt32\n"
       "  header       message kelo.cl.Header  Header\n"
       "  status       uint8                   CKeloHesUInt8\n"
       "  description  string                  CKeloHesString\n"},
      {"classes", "", 0, Has("\nkelo.cl.ResRegister                       message, 4 members\n")},
      // Doubles in the fewest digits that read back the same (1/3 needs 16); blobs as hex digits.
      {"decode --as LocationReq -",
       Hex("4d 74 00 13 'kelo.cl.LocationReq' 53 00 03 'lat' 44 3f d5 55 55 55 55 55 55 7a"), 0,
       Has("\"lat\": 0.3333333333333333,\n")},
      {"encode --as ReqConnect", R"({"ssid": "zz"})", 1,
       "kelohes: ssid: expected a string of hex digits, got \"zz\"\n"},
      {"encode --as ReqBehavior", deepJson, 1,
       "kelohes: JSON at line 1, column 13: nested deeper than any kelo.cl.ReqBehavior can be (3 "
       "levels)\n"},

      // Without --as: any value, reply or call as kelo::Value's JSON, and that JSON back to bytes.
      // A typed list holding a map of an empty type, then an 'R' to that map: printed once.
      {"decode -",
       Hex("56 74 00 02 '[x' 6c 00 00 00 02 4d 74 00 00 53 00 01 'k' 4c 00 00 00 00 00 00 00 05 "
           "7a 52 00 00 00 01 7a"),
       0,
       "{\n  \"$type\": \"[x\",\n  \"$length\": 2,\n  \"$list\": [\n    {\n      \"$type\": \"\",\n"
       "      \"k\": {\n        \"$long\": \"5\"\n      }\n    },\n    {\n      \"$ref\": 1\n    "
       "}\n"
       "  ]\n}\n"},
      {"decode --reply -", Hex("72 01 00 66 53 00 04 'code' 53 00 01 'X' 7a 7a"), 1,
       "kelohes: fault: X: \n"},
      // Two arguments sharing a map: the second refers to the first ($ref 0 is the list of them).
      {"decode --call -", Hex("63 00 01 6d 00 01 'f' 4d 53 00 01 'a' 54 7a 52 00 00 00 00 7a"), 0,
       "{\n  \"method\": \"f\",\n  \"arguments\": [\n    {\n      \"a\": true\n    },\n"
       "    {\n      \"$ref\": 1\n    }\n  ]\n}\n"},
      {"decode --call -", Hex("63 00 01 6d 00 01 'f' 7a"), 0,
       "{\n  \"method\": \"f\",\n  \"arguments\": []\n}\n"},
      {"decode --call -", Hex("63 00 01 6d 00 01 'f' 49 00 00 00 01 49 00 00"), 1,
       Has("kelohes: cannot decode the call, at argument 2: -1999996 (KELO_E_EXHAUSTED)")},
      {"decode -", Hex("49 00 00 00 07 4e 4e"), 1,
       "kelohes: 2 bytes left after the value at offset 5 (--allow-trailing accepts them)\n"},
      {"decode --allow-trailing -", Hex("49 00 00 00 07 4e 4e"), 0, "7\n"},
      {"decode -", Hex("56 52 00 00 00 01 7a"), 1,
       Has("kelohes: cannot decode the value: -1999995 (KELO_E_FORMAT) at offset 1\n")},
      {"decode -", kelotest::Reply(Hex("4e")), 1,
       Has("\nkelohes: the bytes begin like a reply ('r' 01 00): try --reply\n")},
      {"encode", R"([1, "a", null])", 0,
       Hex("56 6c 00 00 00 03 49 00 00 00 01 53 00 01 'a' 4e 7a")},
      {"encode --reply", "true", 0, Hex("72 01 00 54 7a")},
      {"encode --call f", R"([{"a": true}, {"$ref": 1}])", 0,
       Hex("63 00 01 6d 00 01 'f' 4d 53 00 01 'a' 54 7a 52 00 00 00 00 7a")},
      {"encode --call f", "[]", 0, Hex("63 00 01 6d 00 01 'f' 7a")},
      {"encode --call f", R"({"a": 1})", 1,
       "kelohes: --call takes the arguments as a JSON array ([] for none)\n"},
      {"encode", "[1 2]", 1,
       "kelohes: JSON at line 1, column 4: expected ',' or ']' after an item\n"},
      {"encode", R"({"$nope": 1})", 1, Has("kelohes: an object whose key ")},
      {"encode", std::string(800, '['), 1,
       "kelohes: JSON at line 1, column 770: nested deeper than a value can be (769 levels)\n"},

      // What came from the input is escaped: in JSON as JSON escapes, in messages \xNN or \uXXXX.
      {"decode --as ResRegister -",
       Hex("4d 74 00 13 'kelo.cl.ResRegister' 53 00 0b 'description' 53 00 03 7f c2 9b e2 80 ae "
           "7a"),
       0, Has("\"description\": \"\\u007F\\u009B\\u202E\"\n}")},
      {"decode --call --as ResRegister -", Hex("63 00 01 6d 00 03 c2 9b 1b 'x'") + value + "z", 0,
       Has("\"method\": \"\\u009B\\u001Bx\",")},
      {"encode --as ResRegister", R"({"\u001b[2J\u202e": 1})", 1,
       "kelohes: \\x1b[2J\\u202E: no such member in kelo.cl.ResRegister\n"},
      {reply,
       Hex("72 01 00 66 53 00 04 'code' 53 00 01 'X' 53 00 07 'message' 53 00 02 e2 80 ac 'y' 7a"),
       1, "kelohes: fault: X: \\u202Cy\n"},

      // A refusal of the library: code, name and offset, then its text on a line of its own, with
      // received bytes escaped; a fault reply in one line.
      {"decode --as ResRegister -", Hex("4d 74 00 13 'kelo.cl.ResRegisteX' 7a"), 1,
       Has(cannot + "value: -1999995 (KELO_E_FORMAT) at offset 23\nExpected class "
                    "\"kelo.cl.ResRegister\" but got \"kelo.cl.ResRegisteX\"")},
      // ... and, when the bytes are of another kind than the command line says, which to ask for.
      {reply, Hex("63 01 00 4e 7a"), 1,
       Has(cannot +
           "reply: -1999995 (KELO_E_FORMAT) at offset 3\nExpected the opening 'r', but got "
           "something else\nkelohes: the bytes begin like a call ('c' 01 00): try --call "
           "instead of --reply\n")},
      {"decode --as ResRegister -", kelotest::Reply(value), 1,
       Has("\nkelohes: the bytes begin like a reply ('r' 01 00): try --reply\n")},
      {"decode --as ResRegister -", Hex("4d 74 00 05 1b '[2J' 07 7a"), 1,
       Has("but got \"\\x1b[2J\\x07\"")},
      {"decode --as ResRegister -", value.substr(0, 23) + Hex("53 00 01 'q' 4c 00 00 00"), 1,
       Has("\nthe input ended before the item being read\n")},
      // Fault replies cut short: before the 'z', and before a detail's value.
      {reply, Hex("72 01 00 66"), 1, Has(cut + "4\nFailed to read the")},
      {reply, Hex("72 01 00 66 53 00 01 'd'"), 1, Has(cut + "8\nCannot read past")},
      {"decode --reply --as ResRegister " + faults + "java-fault-skeleton.bin", "", 1,
       "kelohes: fault: ServiceException: no topology for cnc 7 (Z\xc3\xbcrich)\n"},
      {"decode --call --as ResRegister " + faults + "java-call-proxy-getTopology.bin", "", 1,
       Has(cannot + "call, at the argument: -1999995 (KELO_E_FORMAT)")},
  };
  for (const std::string command : {"dump", "classes", "schema", "decode", "encode", "default"})
    rows.push_back({command + " --help", "", 0, Has("Usage: kelohes " + command)});

  // dump of hand-made streams: what it prints, or ("offset: reason") why it refuses them. Every
  // kind of value and envelope, and one row per kind of refusal. Each prefix of a stream that
  // dumps whole is refused too, at an offset within the prefix.
  const struct {
    const char* hex;
    std::string text;
  } dumps[] = {
      {"63 01 00 48 00 05 'trace' 49 00 00 00 07 48 00 02 'id' 53 00 02 'ab' 6d 00 04 'ping' 49 80 "
       "00 00 00 49 7f ff ff ff 4e 54 46 4c 80 00 00 00 00 00 00 00 44 3f f0 00 00 00 00 00 00 64 "
       "ff ff ff ff ff ff ff ff 42 00 00 62 00 01 ff 42 00 02 00 1b 73 00 02 'ab' 53 00 01 'c' 78 "
       "00 01 '<' 58 00 02 'a>' 52 00 00 00 00 72 74 00 01 'A' 53 00 03 'u:' c3 a9 7a",
       "c 01 00 \"ping\"\n  H \"trace\"\n    I 7\n  H \"id\"\n    S 2 \"ab\"\n  I -2147483648\n"
       "  I 2147483647\n  N\n  T\n  F\n  L -9223372036854775808\n  D 3FF0000000000000\n  d -1\n"
       "  B 0\n  B 3 ff001b\n  S 3 \"abc\"\n  X 3 \"<a>\"\n  R 0\n  r \"A\" \"u:\\u00E9\"\n"},
      {"72 01 00 48 00 01 'h' 54 4d 53 00 01 'a' 56 49 00 00 00 01 7a 49 00 00 00 05 56 74 00 04 "
       "'[int' 6c 00 00 00 02 49 00 00 00 01 49 00 00 00 02 7a 53 00 00 4d 74 00 00 7a 7a 7a",
       "r 01 00\n  H \"h\"\n    T\n  M -\n    S 1 \"a\"\n      V - -\n        I 1\n    I 5\n"
       "      V \"[int\" 2\n        I 1\n        I 2\n    S 0 \"\"\n      M \"\"\n"},
      // A fault in a reply; Caucho's Java closes it with two 'z' (testdata/faults).
      {"72 01 00 66 53 00 04 'code' 53 00 01 'x' 53 00 06 'detail' 4e 7a",
       "r 01 00\n  f\n    S 4 \"code\"\n      S 1 \"x\"\n    S 6 \"detail\"\n      N\n"},
      // Quoted by UTF-16 unit: a " \ é € LF, then a surrogate pair as two 3-byte sequences.
      {"53 00 08 61 22 5c c3 a9 e2 82 ac 0a ed a0 bd ed b8 80",
       "S 8 \"a\\\"\\\\\\u00E9\\u20AC\\u000A\\uD83D\\uDE00\"\n"},
      {"", "0: the input is empty"},
      {"49 00 00", "0: the input ends inside an int"},
      {"63 01", "0: the input ends inside the call"},
      {"49 00 00 00 01 4e", "5: 1 byte after the end of the message"},
      {"72 01 00 66 53 00 01 'k' 4e 7a 7a 7a", "11: 1 byte after the end of the message"},
      {"66 53 00 01 'k' 46 7a", "0: a byte that cannot begin a value here (got 'f')"},
      {"56 ff", "1: a byte that cannot begin a value here (got 0xFF)"},
      {"72 01 00 72 21", "4: expected 't' and a remote's type (got '!')"},
      {"56 53 00 01 f0 9f 98 80 7a",
       "4: utf8: Unicode value greater than 0xFFFF not supported yet"},
      {"53 00 01 c3", "0: Corrupted utf8: Sequence terminated in the middle of a 2-byte char"},
      {"73 00 01 'a' 4e", "4: expected the next chunk of a string (got 'N')"},
      {"62 00 01 00 53 00 00", "4: expected the next chunk of a binary value (got 'S')"},
      {"73 00 01 'a'", "4: the input ends inside a string started at offset 0"},
      {"72 01 00 66 53 00 01 'k' 4e", "9: the input ends inside a fault started at offset 3"},
      {"63 00 01 49 00 00 00 01", "3: expected 'm' and the method name (got 'I')"},
      {"63 00 01 6d 00 00 48 00 01 'h' 4e 7a",
       "6: expected an argument or the call's closing 'z' (got 'H')"},
      {"72 01 00 48 00 01 'h' 7a", "7: expected the header's value (got 'z')"},
      {"72 01 00 7a", "3: expected the reply's value (got 'z')"},
      {"72 01 00 4e 4e 7a", "4: expected the reply's closing 'z' (got 'N')"},
      {"4d 53 00 01 'k' 7a", "5: expected the value of the last key (got 'z')"},
      {"56 6c ff ff ff ff 7a", "0: negative list length -1"},
      {"56 6c 00 00 00 02 4e 7a", "7: list length 2 but 1 item"},
      {"56 6c 00 00 00 00 4e 4e 7a", "8: list length 0 but 2 items"},
  };
  for (const auto& d : dumps) {
    const std::string bytes = Hex(d.hex);
    const bool fails = d.text[0] <= '9';  // an offset, not a line of a dump
    rows.push_back({"dump -", bytes, fails, fails ? "kelohes: offset " + d.text + "\n" : d.text});
    for (size_t n = 0; n < bytes.size() && !fails; ++n) {
      std::string text;
      const kelohes::DumpResult r =
          kelohes::Dump(bytes.data(), n, false, [&](const char* p, size_t size) {
            text.append(p, size);
            return true;
          });
      EXPECT_TRUE(!r.ok && text.empty() && r.errorOffset <= n) << n << " bytes of " << d.hex;
    }
  }

  // JSON that the library's parser refuses is refused first, with the place (columns count
  // characters) and the reason in plain words; what the parser accepts is passed on, a byte order
  // mark and a zero byte ending the text as in a C string included.
  const struct {
    std::string json, error;  // error: after "kelohes: JSON at line "
  } jsons[] = {
      {"{\"resID\": 5,\n \"status\" 2}", "2, column 11: expected ':' after the member name"},
      {"{\"resID\": 5 \"status\": 2}", "1, column 13: expected ',' or '}' after a member"},
      {"{\"\u00e9\u20ac\": \"a", "1, column 10: a string that is not closed"},
      {"\"a\\", "1, column 4: a string that is not closed"},
      {"{\"a\tb\": 1}",
       "1, column 4: a control character in a string (write it as \\n, \\t or \\u00XX)"},
      {"{\"a\xff\": 1}", "1, column 4: a byte that is not UTF-8 in a string"},
      {"{\"a\\q\": 1}", "1, column 5: an unknown escape in a string"},
      {"{\"a\\u00g0\": 1}", "1, column 8: \\u without four hex digits after it"},
      {"{\"\\ud800\\u0041\": 1}",
       "1, column 14: \\u escape of half a surrogate pair without the other half"},
      {"{\"resID\": -}", "1, column 12: a malformed number"},
      {"{\"resID\": -1e400}", "1, column 11: a number too large for a double"},
      {"{\"resID\": tru}",
       "1, column 14: expected a value: an object, a list, a string, a number, true, false or "
       "null"},
      {"{\"resID\": 5} x", "1, column 14: text after the end of the JSON value"},
      {"{\"resID\": [", "1, column 12: the text ends where a value should be"},
      {"{\"resID\": [5", "1, column 13: the text ends inside a list"},
      {" \n", "2, column 1: no JSON value in the text"},
      {"{5: 1}", "1, column 2: expected a member name in double quotes"},
  };
  // The depth bound refuses nothing an object takes: every class, its lists filled.
  for (unsigned int i = 0; i < kelo::CatalogueSize(); ++i) {
    const kelo::ClassInfo& info = *kelo::CatalogueAt(i);
    std::unique_ptr<CKeloHesClass> filled(kelotest::NewFilled(info, i, 1)), read(info.create());
    std::string error;
    EXPECT_TRUE(kelohes::FromJson(kelo::ToJson(*filled), *read, info, error))
        << info.typeName << ": " << error;
  }
  for (const auto& j : jsons)
    rows.push_back(
        {"encode --as ResRegister", j.json, 1, "kelohes: JSON at line " + j.error + "\n"});
  rows.push_back(
      {"encode --as ResRegister", "\xEF\xBB\xBF" + std::string(json) + '\0' + "x", 0, value});

  // Files other Hessian writers left in interop/testdata dump whole; those named
  // <peer>-<call|reply>-<class>-s<seed>n<items>.bin hold kelotest::NewFilled(class, seed, items)
  // and decode to its JSON as our own bytes of it do (a call's argument: after 'm' and the method).
  const std::regex named(R"(\w+-(call|reply)-([\w.]+)-s(\d+)n(\d+)\.bin)");
  const size_t before = rows.size();
  for (const std::string folder : {"", "faults/", "servlet/", "lists/"}) {
    const std::string testdata = KELOHES_SOURCE_DIR "/interop/testdata/" + folder;
    DIR* dir = opendir(testdata.c_str());
    ASSERT_TRUE(dir) << testdata;
    while (const dirent* e = readdir(dir)) {
      const std::string file = e->d_name, path = testdata + file, bytes = kelotest::ReadFile(path);
      std::smatch m;
      if (file.size() > 4 && file.compare(file.size() - 4, 4, ".bin") == 0)
        rows.push_back({"dump " + path, "", 0, Has("\n")});
      if (!std::regex_match(file, m, named)) continue;
      std::unique_ptr<CKeloHesClass> filled(
          kelotest::NewFilled(*kelohes::FindClass(m[2]), std::stoi(m[3]), std::stoi(m[4])));
      const std::string json = kelo::ToJson(*filled) + "\n";
      rows.push_back({"decode --as " + m[2].str() + " -", kelotest::Encode(*filled), 0, json});
      if (m[1] == "reply")
        rows.push_back({"decode --reply --as " + m[2].str() + " " + path, "", 0, json});
      if (m[1] == "call")
        rows.push_back({"decode --allow-trailing --as " + m[2].str() + " -",
                        bytes.substr(6 + static_cast<unsigned char>(bytes[5])), 0, json});
    }
    closedir(dir);
  }
  EXPECT_GE(rows.size(), before + 24);  // 12 files, 6 of them named so

#if KELOHES_HAVE_HTTP
  // call fails in one line without a server (nothing can listen at port 0). The exchanges with a
  // real server, and the transport's timeouts, are tested with the transport.
  const std::string nobody = "http://127.0.0.1:0";
  const std::string to = "/client getTopology --as ReqTopology --reply-as ";
  rows.insert(rows.end(),
              {{"call --help", "", 0, Has("Usage: kelohes call")},
               {"call " + nobody + to + "ResTopology -", "{}", 1,
                Has("kelohes: POST " + nobody + "/client: Couldn't connect")},
               {"call --header nocolon " + nobody + to + "ResTopology -", "{}", 2,
                "kelohes: --header takes NAME:VALUE, not 'nocolon'\n"},
               {"call --timeout 0 " + nobody + to + "ResTopology -", "{}", 2,
                "kelohes: --timeout takes seconds, more than 0 and at most a day\n"},
               {"call " + nobody + to + "Nope -", "{}", 2, Has("unknown class 'Nope'")},
               // Without --as each word is an argument's JSON, read before anything is sent.
               {"call " + nobody + "/values next 1", "", 1, Has("Couldn't connect")},
               {"call " + nobody + "/values next 1 '[1 2]'", "", 1,
                "kelohes: argument 2: JSON at line 1, column 4: expected ',' or ']' after an "
                "item\n"},
               {"call " + nobody + "/client getTopology --as ReqTopology a b", "", 2,
                "kelohes: with --as, call takes one FILE, the request's JSON\n"}});
#endif

  for (const Row& row : rows) {
    SCOPED_TRACE("kelohes " + row.args + " < " + kelotest::ToHex(row.input.substr(0, 40)));
    const kelotest::Ran ran = kelotest::Run(KELOHES_EXE, row.args, row.input);
    EXPECT_EQ(ran.rc, row.rc);
    const std::string& shown = row.rc == 0 ? ran.out : ran.err;
    EXPECT_TRUE(row.shown.exact ? shown == row.shown.text
                                : shown.find(row.shown.text) != std::string::npos)
        << (row.shown.exact ? "want: " : "want a part: ") << row.shown.text;
    EXPECT_EQ(row.rc == 0 ? ran.err : ran.out, "");
    if (row.rc != 0 && row.args.rfind("call", 0) == 0) {  // one line, whatever went wrong
      EXPECT_EQ(std::count(ran.err.begin(), ran.err.end(), '\n'), 1) << ran.err;
    }
  }
}

// A program's own class with lists of strings and numbers: its schema names the item kinds, and
// the depth check before the library reads JSON lets their arrays through.
TEST(Tool, ListsOfStringsAndNumbersInAProgramsOwnClass) {
  EXPECT_NE(kelohes::SchemaText(lab::Bag::mClassInfo)
                .find("  counts  list int32   CKeloHesArray<CKeloHesInt32>\n"),
            std::string::npos);
  lab::Bag filled, read;
  kelotest::FillJavaBag(filled);
  std::string error;
  ASSERT_TRUE(kelohes::FromJson(kelo::ToJson(filled), read, lab::Bag::mClassInfo, error)) << error;
  EXPECT_FALSE(kelohes::FromJson(R"({"names": [["a"]]})", read, lab::Bag::mClassInfo, error));
  EXPECT_EQ(error, "JSON at line 1, column 12: nested deeper than any lab.Bag can be (2 levels)");
}

}  // namespace
