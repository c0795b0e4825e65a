// Tests of kelohes: the dump reader against hand-assembled Hessian 1.0 streams, JSON round trips
// of every catalogue class, and the built tool's exit codes and error texts.
#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kelohes/codec.h"
#include "kelohes/dump.h"
#include "support/filler.h"
#include "support/run.h"
#include "support/test_support.h"

namespace {

using kelotest::Hex;

std::string DumpText(const std::string& bytes, bool offsets = false) {
  const kelohes::DumpResult r = kelohes::Dump(bytes.data(), bytes.size(), offsets);
  EXPECT_TRUE(r.ok) << "offset " << r.errorOffset << ": " << r.error;
  return r.text;
}

std::unique_ptr<CKeloHesClass> Create(const kelo::ClassInfo& info) {
  return std::unique_ptr<CKeloHesClass>(info.create());
}

// ---- dump: the line format ------------------------------------------------------------------

struct DumpCase {
  const char* name;
  const char* hex;
  const char* expected;
};

TEST(Dump, PrintsEveryKindOfValueAndEnvelope) {
  const DumpCase cases[] = {
      {"call with headers, peer version bytes",
       "63 01 00"
       "48 00 05 'trace' 49 00 00 00 07"
       "48 00 02 'id' 53 00 02 'ab'"
       "6d 00 04 'ping'"
       "49 ff ff ff ff 4e 7a",
       "c 01 00 \"ping\"\n"
       "  H \"trace\"\n"
       "    I 7\n"
       "  H \"id\"\n"
       "    S 2 \"ab\"\n"
       "  I -1\n"
       "  N\n"},
      {"call without arguments", "63 00 01 6d 00 00 7a", "c 00 01 \"\"\n"},
      {"reply carrying a fault",
       "72 01 00 66"
       "53 00 04 'code' 53 00 05 'Fault'"
       "53 00 07 'message' 53 00 03 'bad'"
       "53 00 06 'detail' 4e 7a",
       "r 01 00\n"
       "  f\n"
       "    S 4 \"code\"\n"
       "      S 5 \"Fault\"\n"
       "    S 7 \"message\"\n"
       "      S 3 \"bad\"\n"
       "    S 6 \"detail\"\n"
       "      N\n"},
      {"bare fault", "66 53 00 01 'k' 46 7a", "f\n  S 1 \"k\"\n    F\n"},
      {"reply with a header", "72 01 00 48 00 01 'h' 54 4c 80 00 00 00 00 00 00 00 7a",
       "r 01 00\n"
       "  H \"h\"\n"
       "    T\n"
       "  L -9223372036854775808\n"},
      {"untyped map, lists with and without type and length, ref, date, double",
       "4d"
       "  53 00 01 'a'  56 49 00 00 00 01 52 00 00 00 00 7a"
       "  49 00 00 00 05  64 ff ff ff ff ff ff ff ff"
       "  53 00 01 'b'  56 74 00 04 '[int' 6c 00 00 00 02 49 00 00 00 01 49 00 00 00 02 7a"
       "  54  44 3f f0 00 00 00 00 00 00"
       "  53 00 01 'c'  64 00 00 01 8f 2b 9e 4c 00"
       "  53 00 01 'e'  4d 74 00 00 7a"
       "7a",
       "M -\n"
       "  S 1 \"a\"\n"
       "    V - -\n"
       "      I 1\n"
       "      R 0\n"
       "  I 5\n"
       "    d -1\n"
       "  S 1 \"b\"\n"
       "    V \"[int\" 2\n"
       "      I 1\n"
       "      I 2\n"
       "  T\n"
       "    D 3FF0000000000000\n"
       "  S 1 \"c\"\n"
       "    d 1714423745536\n"
       "  S 1 \"e\"\n"
       "    M \"\"\n"},
      // a, '"', '\', U+00E9, U+20AC, LF, then a surrogate pair written as two 3-byte sequences.
      {"quoting by UTF-16 unit", "53 00 08 61 22 5c c3 a9 e2 82 ac 0a ed a0 bd ed b8 80",
       "S 8 \"a\\\"\\\\\\u00E9\\u20AC\\u000A\\uD83D\\uDE00\"\n"},
      {"empty blob", "42 00 00", "B 0\n"},
      // Caucho's Java closes a fault and then its reply with a 'z' each; the grammar has one.
      {"fault as Caucho writes it", "72 01 00 66 53 00 04 'code' 53 00 01 'x' 7a 7a",
       "r 01 00\n  f\n    S 4 \"code\"\n      S 1 \"x\"\n"},
      {"chunked blob", "62 00 01 ff 62 00 00 42 00 02 00 1b", "B 3 ff001b\n"},
      {"chunked string", "73 00 02 'ab' 53 00 01 'c'", "S 3 \"abc\"\n"},
      {"empty string", "53 00 00", "S 0 \"\"\n"},
      {"XML", "78 00 01 '<' 58 00 02 'a>'", "X 3 \"<a>\"\n"},
      {"int extremes", "56 49 80 00 00 00 49 7f ff ff ff 7a",
       "V - -\n  I -2147483648\n  I 2147483647\n"},
  };
  for (const DumpCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(DumpText(Hex(c.hex)), c.expected);
  }
}

TEST(Dump, OffsetsPrefixEveryLineWithTheOffsetOfItsFirstByte) {
  const std::string bytes = Hex("72 01 00 4d 74 00 01 'T' 53 00 01 'k' 42 00 00 7a 7a");
  EXPECT_EQ(DumpText(bytes, true),
            "00000000 r 01 00\n"
            "00000003   M \"T\"\n"
            "00000008     S 1 \"k\"\n"
            "0000000c       B 0\n");
}

struct RefusalCase {
  const char* name;
  const char* hex;
  size_t offset;
  const char* error;
};

TEST(Dump, RefusesBrokenInputWithItsOffsetAndNoText) {
  const RefusalCase cases[] = {
      {"empty input", "", 0, "the input is empty"},
      {"truncated int", "49 00 00", 1, "input ends inside an int"},
      {"trailing byte", "49 00 00 00 01 4e", 5, "1 byte after the end of the message"},
      {"trailing bytes", "4e 4e 4e", 1, "2 bytes after the end of the message"},
      {"unknown marker", "51", 0, "unknown marker (got 'Q')"},
      {"a 'z' where a value belongs", "56 4d 53 00 01 'k' 7a", 6, "unknown marker (got 'z')"},
      {"unknown binary marker", "56 ff", 1, "unknown marker (got 0xFF)"},
      {"4-byte UTF-8", "56 53 00 01 f0 9f 98 80 7a", 4,
       "utf8: Unicode value greater than 0xFFFF not supported yet"},
      {"UTF-8 cut inside a character", "53 00 01 c3", 3,
       "Corrupted utf8: Sequence terminated in the middle of a 2-byte char"},
      {"bad continuation", "53 00 02 'a' e2 82 41", 4,
       "Corrupted utf8: Format of second or third byte in a three-byte encoding is not "
       "10zzzzzz"},
      {"string shorter than its count", "53 00 03 'ab'", 5, "input ends inside a string"},
      {"wrong marker after a string chunk", "73 00 01 'a' 4e", 4,
       "expected the next chunk of a string (got 'N')"},
      {"wrong marker after a blob chunk", "62 00 01 00 53 00 00", 4,
       "expected the next chunk of a binary value (got 'S')"},
      {"map without its end", "4d 53 00 01 'k' 4e", 6,
       "input ends inside a map started at offset 0"},
      {"map key without value", "4d 53 00 01 'k'", 5, "input ends where a value was expected"},
      {"call without method", "63 00 01 49 00 00 00 01", 3,
       "expected 'm' and the method name (got 'I')"},
      {"call without its end", "63 00 01 6d 00 01 'x' 4e", 8,
       "input ends inside the call, before its closing 'z'"},
      {"reply without its end", "72 01 00 4e", 4,
       "input ends inside the reply, before its closing 'z'"},
      {"reply with two values", "72 01 00 4e 4e 7a", 4,
       "expected the reply's closing 'z' (got 'N')"},
      {"fault without its end", "72 01 00 66 53 00 01 'k' 4e", 9,
       "input ends inside a fault started at offset 3"},
      {"blob shorter than its count", "42 00 04 00 00", 3, "input ends inside a binary value"},
      {"negative list length", "56 6c ff ff ff ff 7a", 1, "negative list length -1"},
      {"list with fewer items than its length", "56 6c 00 00 00 02 4e 7a", 7,
       "list length 2 but 1 item"},
      {"list with more items than its length", "56 6c 00 00 00 00 4e 7a", 7,
       "list length 0 but 1 item"},
      {"fault closed by three 'z'", "72 01 00 66 53 00 01 'k' 4e 7a 7a 7a", 11,
       "1 byte after the end of the message"},
  };
  for (const RefusalCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = Hex(c.hex);
    const kelohes::DumpResult r = kelohes::Dump(bytes.data(), bytes.size(), false);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.text.empty());
    EXPECT_EQ(r.errorOffset, c.offset);
    EXPECT_EQ(r.error, c.error);
  }
}

TEST(Dump, EveryTruncationOfAMessageIsRefused) {
  const std::string bytes = Hex(
      "63 01 00 48 00 01 'h' 4d 74 00 01 'T' 53 00 01 'k' 56 6c 00 00 00 01 44 00 00 00 00 00 00 "
      "00 00 7a 7a 6d 00 02 'go' 73 00 01 c3 a9 53 00 01 'x' 62 00 01 00 42 00 00 52 00 00 00 01 "
      "64 00 00 00 00 00 00 00 01 7a");
  ASSERT_FALSE(DumpText(bytes).empty());
  for (size_t n = 0; n < bytes.size(); ++n) {
    const kelohes::DumpResult r = kelohes::Dump(bytes.data(), n, false);
    EXPECT_FALSE(r.ok) << "prefix of " << n << " bytes";
    EXPECT_LE(r.errorOffset, n);
    EXPECT_FALSE(r.error.empty());
  }
}

TEST(Dump, NestingIsBounded) {
  std::string deep(kelohes::kMaxDumpDepth, 'V');
  deep += 'N';
  deep += std::string(kelohes::kMaxDumpDepth, 'z');
  EXPECT_FALSE(DumpText(deep).empty());
  const std::string deeper = "V" + deep + "z";
  const kelohes::DumpResult r = kelohes::Dump(deeper.data(), deeper.size(), false);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "values nested deeper than 256 levels");
  // Far deeper input fails the same orderly way instead of exhausting the stack.
  const std::string hostile(1 << 20, 'V');
  EXPECT_FALSE(kelohes::Dump(hostile.data(), hostile.size(), false).ok);
}

// A string of n units (ASCII and non-ASCII mixed) written in chunks of at most `chunk` units.
std::string ChunkedString(size_t n, size_t chunk) {
  std::string out;
  for (size_t start = 0; start < n || start == 0; start += chunk) {
    const size_t count = std::min(chunk, n - start);
    const bool last = start + count == n;
    out.push_back(last ? 'S' : 's');
    out.push_back(static_cast<char>(count >> 8));
    out.push_back(static_cast<char>(count & 0xFF));
    for (size_t i = start; i < start + count; ++i) {
      if (i % 3 == 0)
        out += "\xe2\x82\xac";  // U+20AC
      else
        out.push_back(static_cast<char>('a' + i % 26));
    }
    if (last) break;
  }
  return out;
}

std::string ChunkedBlob(size_t n, size_t chunk) {
  std::string out;
  for (size_t start = 0;; start += chunk) {
    const size_t count = std::min(chunk, n - start);
    const bool last = start + count == n;
    out.push_back(last ? 'B' : 'b');
    out.push_back(static_cast<char>(count >> 8));
    out.push_back(static_cast<char>(count & 0xFF));
    for (size_t i = start; i < start + count; ++i) out.push_back(static_cast<char>(i * 7));
    if (last) break;
  }
  return out;
}

TEST(Dump, ChunkingDoesNotShowInTheDump) {
  // Our writer cuts at 65535 units, a peer at 32768: the same value dumps the same.
  const size_t n = 70001;
  const std::string ours = ChunkedString(n, 65535);
  const std::string peer = ChunkedString(n, 32768);
  ASSERT_NE(ours, peer);
  const std::string text = DumpText(ours);
  EXPECT_EQ(text, DumpText(peer));
  const std::string start = "S 70001 \"\\u20ACbc\\u20AC";
  EXPECT_EQ(text.compare(0, start.size(), start), 0) << text.substr(0, 40);
  EXPECT_EQ(DumpText(ChunkedBlob(n, 65535)), DumpText(ChunkedBlob(n, 32768)));
  EXPECT_EQ(DumpText(ChunkedBlob(n, 32768)).size(), 2 + 5 + 1 + 2 * n + 1);

  // The library's own string writer agrees with the hand-made chunks.
  std::u16string units;
  for (size_t i = 0; i < n; ++i)
    units.push_back(static_cast<char16_t>(i % 3 == 0 ? 0x20AC : 'a' + i % 26));
  CKeloHesString s;
  ASSERT_EQ(
      s.Copy(reinterpret_cast<const short*>(units.data()), static_cast<unsigned int>(units.size())),
      0);
  EXPECT_EQ(kelotest::Encode(s), ours);
}

// ---- JSON through the catalogue ---------------------------------------------------------------

// For every class and a few seeds (which vary nulls, empty strings and blobs): the JSON of a
// filled object fills a fresh object that writes the same bytes and prints the same JSON, and
// decoding the bytes through the library prints that JSON too.
TEST(Json, RoundTripsEveryCatalogueClass) {
  for (unsigned int c = 0; c < kelo::CatalogueSize(); ++c) {
    const kelo::ClassInfo& info = *kelo::CatalogueAt(c);
    for (unsigned int seed : {1u, 3u, 4u, 5u, 6u}) {
      SCOPED_TRACE(std::string(info.typeName) + " seed " + std::to_string(seed));
      std::unique_ptr<CKeloHesClass> filled(kelotest::NewFilled(info, seed, 2));
      ASSERT_TRUE(filled);
      int rc = -1;
      const std::string bytes = kelotest::Encode(*filled, &rc);
      ASSERT_EQ(rc, 0);
      const std::string json = kelohes::ToJson(*filled, info);

      std::unique_ptr<CKeloHesClass> fresh = Create(info);
      std::string error;
      ASSERT_TRUE(kelohes::FromJson(json, *fresh, info, error)) << error << "\n" << json;
      EXPECT_EQ(kelotest::Encode(*fresh), bytes);
      EXPECT_EQ(kelohes::ToJson(*fresh, info), json);

      std::unique_ptr<CKeloHesClass> decoded = Create(info);
      const kelotest::Decoded d = kelotest::Decode(*decoded, bytes);
      ASSERT_EQ(d.rc, 0) << d.error;
      EXPECT_EQ(kelohes::ToJson(*decoded, info), json);

      // The dump of our own bytes reads the whole message and starts with the class's map.
      const std::string text = DumpText(bytes);
      EXPECT_EQ(text.compare(0, 3 + info.typeNameLength + 2,
                             std::string("M \"") + info.typeName + "\"\n"),
                0);
    }
  }
}

// The top-level keys of a dump of a filled object are the catalogue's member names in order.
TEST(Json, DumpOfEveryClassListsItsMembersInWireOrder) {
  for (unsigned int c = 0; c < kelo::CatalogueSize(); ++c) {
    const kelo::ClassInfo& info = *kelo::CatalogueAt(c);
    SCOPED_TRACE(info.typeName);
    std::unique_ptr<CKeloHesClass> filled(kelotest::NewFilled(info, 2, 1));
    std::istringstream lines(DumpText(kelotest::Encode(*filled)));
    std::vector<std::string> keys;
    std::string line;
    while (std::getline(lines, line)) {
      if (line.compare(0, 4, "  S ") == 0) keys.push_back(line.substr(line.find('"')));
    }
    std::vector<std::string> expected;
    for (unsigned int i = 0; i < kelo::CatalogueMemberCount(info); ++i)
      expected.push_back(std::string("\"") + kelo::CatalogueMemberAt(info, i)->name + "\"");
    EXPECT_EQ(keys, expected);
  }
}

TEST(Json, ShowsValuesExactly) {
  const kelo::ClassInfo* log = kelohes::FindClass("kelo.cl.Log");
  ASSERT_TRUE(log);
  EXPECT_EQ(kelohes::FindClass("Log"), log);
  EXPECT_EQ(kelohes::FindClass("kelo.cl.Nope"), nullptr);
  std::unique_ptr<CKeloHesClass> object = Create(*log);
  std::string error;
  // 2^64 - 1 does not survive a trip through a double; it must come out as written.
  ASSERT_TRUE(kelohes::FromJson(R"({"serverTime": 18446744073709551615, "fileSize": 4294967295})",
                                *object, *log, error))
      << error;
  EXPECT_EQ(kelohes::ToJson(*object, *log),
            "{\n  \"fileSize\": 4294967295,\n  \"serverTime\": 18446744073709551615\n}");

  // A string read from an encoded surrogate pair and a lone surrogate: the JSON escapes them,
  // so it stays valid UTF-8 and parses back to the same units.
  const kelo::ClassInfo* site = kelohes::FindClass("kelo.cl.VerSite");
  ASSERT_TRUE(site);
  std::unique_ptr<CKeloHesClass> verSite = Create(*site);
  const std::string bytes =
      Hex("4d 74 00 0f 'kelo.cl.VerSite' 53 00 04 'name' 53 00 04 ed a0 bd ed b8 80 ed a0 80 "
          "c3 a9 53 00 04 'body' 42 00 02 ab 0c 7a");
  const kelotest::Decoded d = kelotest::Decode(*verSite, bytes);
  ASSERT_EQ(d.rc, 0) << d.error;
  const std::string json = kelohes::ToJson(*verSite, *site);
  EXPECT_NE(json.find(R"("name": "\uD83D\uDE00\uD800é")"), std::string::npos) << json;
  EXPECT_NE(json.find(R"("body": "ab0c")"), std::string::npos) << json;
  EXPECT_NE(json.find(R"("url": null)"), std::string::npos) << json;
  for (unsigned char ch : json) EXPECT_NE(ch, 0xED);  // no encoded surrogate leaks out
}

TEST(Json, DoublesKeepEveryBit) {
  const kelo::ClassInfo* info = kelohes::FindClass("kelo.cl.LocationReq");
  ASSERT_TRUE(info);
  const kelo::MemberInfo* lat = nullptr;
  for (unsigned int i = 0; i < kelo::CatalogueMemberCount(*info); ++i)
    if (kelo::CatalogueMemberAt(*info, i)->kind == kelo::KELO_KIND_DOUBLE)
      lat = kelo::CatalogueMemberAt(*info, i);
  ASSERT_TRUE(lat);
  for (double v : {0.1, -0.0, 1e300, 5e-324, 48.137154, 1.0 / 3, std::nan(""),
                   -std::numeric_limits<double>::infinity()}) {
    std::unique_ptr<CKeloHesClass> a = Create(*info);
    static_cast<CKeloHesDouble&>(lat->access(*a)) = v;
    const std::string json = kelohes::ToJson(*a, *info);
    std::unique_ptr<CKeloHesClass> b = Create(*info);
    std::string error;
    ASSERT_TRUE(kelohes::FromJson(json, *b, *info, error)) << error << json;
    EXPECT_EQ(kelotest::Encode(*a), kelotest::Encode(*b)) << json;
  }
}

struct EncodeErrorCase {
  const char* className;
  const char* json;
  const char* error;
};

TEST(Json, RefusesWhatDoesNotFitAndNamesThePath) {
  const EncodeErrorCase cases[] = {
      {"kelo.cl.ReqConnect", R"({"reqId": 1})", "reqId: no such member in kelo.cl.ReqConnect"},
      {"kelo.cl.ReqConnect", R"({"header": {"cnc": 1, "extra": 2}})",
       "header.extra: no such member in kelo.cl.Header"},
      {"kelo.cl.ReqConnect", R"({"reqID": "7"})",
       "reqID: expected an integer from -2147483648 to 2147483647, got \"7\""},
      {"kelo.cl.ReqConnect", R"({"reqID": 2147483648})",
       "reqID: expected an integer from -2147483648 to 2147483647, got 2147483648"},
      {"kelo.cl.ReqConnect", R"({"reqID": 1.5})",
       "reqID: expected an integer from -2147483648 to 2147483647, got 1.5"},
      {"kelo.cl.ReqConnect", R"({"oneTouch": [{}, {"index": true}]})",
       "oneTouch[1].index: expected an integer from -2147483648 to 2147483647, got true"},
      {"kelo.cl.ReqConnect", R"({"oneTouch": {}})",
       "oneTouch: expected a list of kelo.cl.OneTouchBtnData, got {}"},
      {"kelo.cl.ReqConnect", R"({"header": 3})",
       "header: expected an object of kelo.cl.Header, got 3"},
      {"kelo.cl.ReqConnect", R"({"ssid": "abc"})",
       "ssid: expected an even number of hex digits, got \"abc\""},
      {"kelo.cl.ReqConnect", R"({"ssid": "zz"})",
       "ssid: expected a string of hex digits, got \"zz\""},
      {"kelo.cl.ReqConnect", R"({"cellOperator": "a😀"})",
       "cellOperator: the character at byte 1 cannot be carried: utf8: Unicode value greater "
       "than 0xFFFF not supported yet"},
      {"kelo.cl.ReqConnect", R"([1])",
       "(top level): expected an object of kelo.cl.ReqConnect, got [1]"},
      {"kelo.cl.ResRegister", R"({"status": 256})",
       "status: expected an integer from 0 to 255, got 256"},
      {"kelo.cl.ResRegister", R"({"status": -1})",
       "status: expected an integer from 0 to 255, got -1"},
      {"kelo.cl.Log", R"({"serverTime": -1})",
       "serverTime: expected an integer from 0 to 18446744073709551615, got -1"},
      {"CommEngine.VKAP_IE_LoginRsp", R"({"m_connStatues": 128})",
       "m_connStatues: expected an integer from -128 to 127, got 128"},
      {"CommEngine.VKAP_IE_LoginRsp", R"({"m_cnuId": false})",
       "m_cnuId: expected an integer from -2147483648 to 2147483647, got false"},
      {"VarantoTypes.CT_Uint16", "65536",
       "(top level): expected an integer from 0 to 65535, got 65536"},
      {"kelo.cl.LocationReq", R"({"lat": "north"})",
       "lat: expected a number, \"NaN\", \"Infinity\" or \"-Infinity\", got \"north\""},
  };
  for (const EncodeErrorCase& c : cases) {
    SCOPED_TRACE(c.json);
    const kelo::ClassInfo* info = kelohes::FindClass(c.className);
    ASSERT_TRUE(info);
    std::unique_ptr<CKeloHesClass> object = Create(*info);
    std::string error;
    EXPECT_FALSE(kelohes::FromJson(c.json, *object, *info, error));
    EXPECT_EQ(error, c.error);
  }
  const kelo::ClassInfo* log = kelohes::FindClass("kelo.cl.Log");
  std::unique_ptr<CKeloHesClass> object = Create(*log);
  std::string error;
  EXPECT_FALSE(kelohes::FromJson("{\"fileSize\": ", *object, *log, error));
  EXPECT_EQ(error.compare(0, 19, "not valid JSON: [js"), 0) << error;
}

// ---- the tool itself ----------------------------------------------------------------------------

using kelotest::Ran;

class Tool : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kelohes_test_XXXXXX";
    ASSERT_TRUE(mkdtemp(pattern));
    dir_ = pattern;
  }
  void TearDown() override {
    if (!dir_.empty()) std::system(("rm -rf " + dir_).c_str());
  }

  std::string File(const std::string& name, const std::string& bytes) {
    const std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  // Runs kelohes with the arguments (a shell word list) and the given standard input.
  static Ran Run(const std::string& args, const std::string& input = std::string()) {
    return kelotest::Run(KELOHES_EXE, args, input);
  }

  std::string dir_;
};

TEST_F(Tool, ExitCodesAndHelp) {
  Ran r = Run("--help");
  EXPECT_EQ(r.rc, 0);
  EXPECT_NE(r.out.find("EXIT STATUS"), std::string::npos);
  for (const char* command : {"dump", "classes", "schema", "decode", "encode", "default"}) {
    SCOPED_TRACE(command);
    r = Run(std::string(command) + " --help");
    EXPECT_EQ(r.rc, 0);
    EXPECT_NE(r.out.find(std::string("Usage: kelohes ") + command), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("2  usage"), std::string::npos);
  }
  struct {
    const char* args;
    int rc;
  } const usage[] = {{"", 2},
                     {"frobnicate", 2},
                     {"dump", 2},
                     {"dump --bogus -", 2},
                     {"decode -", 2},
                     {"decode --as kelo.cl.Nope -", 2},
                     {"schema Nope", 2},
                     {"default Nope", 2},
                     {"encode --as kelo.cl.Log --call m --reply", 2},
                     {"dump /nonexistent/file", 1},
                     {"dump --hex /dev/null extra", 2},
                     {"classes extra", 2}};
  for (const auto& u : usage) {
    SCOPED_TRACE(u.args);
    r = Run(u.args);
    EXPECT_EQ(r.rc, u.rc);
    EXPECT_TRUE(r.out.empty());
    EXPECT_FALSE(r.err.empty());
  }
}

TEST_F(Tool, VersionAndHexInput) {
  Ran r = Run("--version");
  EXPECT_EQ(r.rc, 0);
  EXPECT_EQ(r.out, "kelohes " KELOHES_VERSION "\n");
  // Hex text as xxd -p and captures print it reads as the bytes it spells; anything else is
  // refused with its offset.
  struct {
    const char* args;
    std::string input;
    int rc;
    std::string out;
    std::string err;
  } const cases[] = {
      {"dump --hex -", "72 01 00\n4E\t7a\n", 0, "r 01 00\n  N\n", ""},
      {"dump --hex -", "720100 4e7", 1, "", "kelohes: -: odd number of hex digits\n"},
      {"dump --hex -", "7201g0", 1, "", "kelohes: -: not hex text at offset 4 (got 0x67)\n"},
      {"decode --hex --reply --as kelo.cl.Header -", "7201004e7a", 0,
       Run("decode --reply --as kelo.cl.Header -", Hex("72 01 00 4e 7a")).out, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args + (" < " + c.input));
    r = Run(c.args, c.input);
    EXPECT_EQ(r.rc, c.rc);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, c.err);
  }
}

#if KELOHES_HAVE_HTTP
// `call` failures that need no server, each one line on stderr with exit 1: nothing listening at
// the port, a server that accepts the connection and never answers, and command lines that
// cannot work. The exchanges with a real server are in interop/http_test.cpp.
TEST_F(Tool, CallFailsInOneLineWithoutAServer) {
  const int listening = socket(AF_INET, SOCK_STREAM, 0);
  const int closed = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listening, 0);
  ASSERT_GE(closed, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int ports[2];
  for (int i = 0; i < 2; ++i) {
    const int s = i == 0 ? listening : closed;
    address.sin_port = 0;
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(getsockname(s, reinterpret_cast<sockaddr*>(&address), &length), 0);
    ports[i] = ntohs(address.sin_port);
  }
  ASSERT_EQ(listen(listening, 4), 0);  // the kernel accepts; nobody ever answers
  close(closed);                       // nothing listens there any more
  const std::string to = " getTopology --as ReqTopology --reply-as ResTopology ";
  const std::string silent = "http://127.0.0.1:" + std::to_string(ports[0]) + "/client";
  const std::string refused = "http://127.0.0.1:" + std::to_string(ports[1]) + "/client";
  struct {
    std::string args;
    int rc;
    std::string err;  // the start of the one line
  } const cases[] = {
      {"call " + refused + to + "-", 1, "kelohes: POST " + refused + ": Couldn't connect"},
      {"call --timeout 0.5 " + silent + to + "-", 1,
       "kelohes: POST " + silent + ": Timeout was reached"},
      {"call --header nocolon " + refused + to + "-", 2, "kelohes: --header takes NAME:VALUE"},
      {"call --timeout 0 " + refused + to + "-", 2, "kelohes: --timeout takes seconds"},
      {"call " + refused + " getTopology --as ReqTopology --reply-as Nope -", 2,
       "kelohes: unknown class 'Nope'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const Ran r = Run(c.args, "{}");
    EXPECT_EQ(r.rc, c.rc);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(r.err.rfind(c.err, 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  }
  close(listening);
}
#endif

TEST_F(Tool, ClassesAndSchemaComeFromTheCatalogue) {
  Ran r = Run("classes");
  ASSERT_EQ(r.rc, 0);
  EXPECT_EQ(static_cast<unsigned int>(std::count(r.out.begin(), r.out.end(), '\n')),
            kelo::CatalogueSize());
  EXPECT_NE(r.out.find("VarantoTypes.CT_CnrID"), std::string::npos);
  r = Run("schema ResRegister");
  ASSERT_EQ(r.rc, 0);
  EXPECT_EQ(r.out,
            "kelo.cl.ResRegister: message class ResRegister, base kelo.cl.Response, 4 members\n"
            "  resID        int32                   CKeloHesInt32\n"
            "  header       message kelo.cl.Header  Header\n"
            "  status       uint8                   CKeloHesUInt8\n"
            "  description  string                  CKeloHesString\n");
}

TEST_F(Tool, EncodeDecodeAndDefaultAgreeWithTheLibrary) {
  const kelo::ClassInfo& info = *kelohes::FindClass("kelo.cl.ResTopology");
  std::unique_ptr<CKeloHesClass> filled(kelotest::NewFilled(info, 4, 3));
  const std::string bytes = kelotest::Encode(*filled);
  const std::string json = kelohes::ToJson(*filled, info) + "\n";

  Ran r = Run("decode --as kelo.cl.ResTopology " + File("value.bin", bytes));
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out, json);
  EXPECT_TRUE(r.err.empty());

  r = Run("encode --as kelo.cl.ResTopology -", json);
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out, bytes);

  r = Run("encode --as ResTopology --call getTopology", json);
  ASSERT_EQ(r.rc, 0) << r.err;
  CKeloOutput call;
  ASSERT_EQ(KeloHessianBuildRequest("getTopology", 11, *filled, call), 0);
  EXPECT_EQ(r.out, std::string(call.Data(), call.DataSize()));
  // Read back as a server reads it: the method, and the argument one level further in.
  r = Run("decode --call --as ResTopology " + File("call.bin", r.out));
  ASSERT_EQ(r.rc, 0) << r.err;
  std::string nested = json.substr(0, json.size() - 1);
  for (size_t at = nested.find('\n'); at != std::string::npos; at = nested.find('\n', at + 1))
    nested.insert(at + 1, "  ");
  EXPECT_EQ(r.out, "{\n  \"method\": \"getTopology\",\n  \"argument\": " + nested + "\n}\n");

  r = Run("encode --as ResTopology --reply " + File("value.json", json));
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out, "r\x01" + std::string(1, '\0') + bytes + "z");
  r = Run("decode --reply --as ResTopology " + File("reply.bin", r.out));
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out, json);

  // A missing member keeps its default: {} encodes as the default object does.
  std::unique_ptr<CKeloHesClass> fresh = Create(info);
  r = Run("encode --as ResTopology", "{}");
  ASSERT_EQ(r.rc, 0) << r.err;
  EXPECT_EQ(r.out, kelotest::Encode(*fresh));
  EXPECT_EQ(Run("default kelo.cl.ResTopology").out, r.out);

  r = Run("encode --as ResTopology", R"({"apList": [{"nope": 1}]})");
  EXPECT_EQ(r.rc, 1);
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(r.err, "kelohes: apList[0].nope: no such member in kelo.cl.ApRes\n");
}

// Every refusal of the library reaches stderr with its code and its exact text.
TEST_F(Tool, DecodeFailuresPrintTheLibrarysText) {
  const kelo::ClassInfo& info = *kelohes::FindClass("kelo.cl.ResRegister");
  std::unique_ptr<CKeloHesClass> filled(kelotest::NewFilled(info, 1, 0));
  const std::string value = kelotest::Encode(*filled);
  const std::string reply = "r\x01" + std::string(1, '\0') + value + "z";
  std::string wrongClass = value;
  wrongClass[12] = 'X';  // inside the type name "kelo.cl.ResRegister"
  std::string badUtf8 = value;
  const size_t description = badUtf8.rfind("\x43\x61\x66\xc3\xa9");  // "Café" of the filled text
  ASSERT_NE(description, std::string::npos);
  badUtf8[description + 3] = '\xff';
  struct {
    const char* name;
    std::string bytes;
    bool reply;
  } const cases[] = {
      {"empty value", "", false},
      {"cut inside the type name", value.substr(0, 10), false},
      {"cut inside a member", value.substr(0, value.size() / 2), false},
      {"cut before the end", value.substr(0, value.size() - 1), false},
      {"wrong class", wrongClass, false},
      {"corrupt UTF-8", badUtf8, false},
      {"not a map", std::string("I\x00\x00\x00\x01", 5), false},
      {"reply too short", "r\x01", true},
      {"reply opening", "c" + reply.substr(1), true},
      {"reply without its end", reply.substr(0, reply.size() - 1), true},
      {"reply with a wrong end", reply.substr(0, reply.size() - 1) + "Z", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<CKeloHesClass> target = Create(info);
    CKeloInput in(c.bytes.data(), static_cast<unsigned int>(c.bytes.size()));
    CKeloInputParse parse(in);
    const int rc = c.reply ? KeloHessianReadResponse(*target, parse) : target->Deserialize(parse);
    ASSERT_NE(rc, 0);
    ASSERT_TRUE(parse.GetError());
    const std::string expected =
        "kelohes: cannot decode kelo.cl.ResRegister " + std::string(c.reply ? "reply" : "value") +
        ": " + std::to_string(rc) + " (" + kelo::ResultName(rc) + ") at offset " +
        std::to_string(in.GetNumExtracted()) + "\n" + parse.GetError() + "\n";
    const Ran r =
        Run(std::string("decode ") + (c.reply ? "--reply " : "") + "--as kelo.cl.ResRegister -",
            c.bytes);
    EXPECT_EQ(r.rc, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(r.err, expected);
  }

  // Received bytes that the text quotes reach the terminal escaped, and a failure to which the
  // library adds no text (an unknown 8-byte value cut short) is described by the tool.
  const std::string header = std::string("Mt\x00\x13", 4) + "kelo.cl.ResRegister";
  struct {
    std::string bytes;
    std::string shown;
  } const texts[] = {
      {std::string("Mt\x00\x05", 4) + "\x1b[2J\x07z", "but got \"\\x1b[2J\\x07\""},
      {header + std::string("S\x00\x01q", 4) + "L" + std::string(3, '\0'),
       "\n(no text from the library: the input ends inside a value)\n"},
  };
  for (const auto& t : texts) {
    const Ran r = Run("decode --as kelo.cl.ResRegister -", t.bytes);
    EXPECT_EQ(r.rc, 1);
    EXPECT_NE(r.err.find(t.shown), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find_first_of("\x1b\x07"), std::string::npos) << r.err;
  }

  // A fault reply is a fault whatever the class; a call whose argument is not of the class is
  // refused at its argument.
  const std::string faults = std::string(KELOHES_SOURCE_DIR) + "/interop/testdata/faults/";
  Ran f = Run("decode --reply --as kelo.cl.ResRegister " + faults + "java-fault-skeleton.bin");
  EXPECT_EQ(f.rc, 1);
  EXPECT_TRUE(f.out.empty());
  EXPECT_EQ(f.err, "kelohes: fault: ServiceException: no topology for cnc 7 (Z\xc3\xbcrich)\n");
  f = Run("decode --call --as kelo.cl.ResRegister " + faults + "java-call-proxy-getTopology.bin");
  EXPECT_EQ(f.rc, 1);
  EXPECT_EQ(f.err.rfind("kelohes: cannot decode kelo.cl.ResRegister call, at the argument: "
                        "-1999995 (KELO_E_FORMAT)",
                        0),
            0u)
      << f.err;

  // Bytes after the value are refused unless allowed.
  Ran r = Run("decode --as kelo.cl.ResRegister -", value + "NN");
  EXPECT_EQ(r.rc, 1);
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(r.err, "kelohes: 2 bytes left after the value at offset " +
                       std::to_string(value.size()) + " (--allow-trailing accepts them)\n");
  r = Run("decode --allow-trailing --as kelo.cl.ResRegister -", value + "NN");
  EXPECT_EQ(r.rc, 0);
  EXPECT_EQ(r.out, kelohes::ToJson(*filled, info) + "\n");
}

TEST_F(Tool, DumpPrintsNothingOnStdoutWhenItFails) {
  Ran r = Run("dump -", Hex("72 01 00 4d 53 00 01 'k' f0"));
  EXPECT_EQ(r.rc, 1);
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(r.err, "kelohes: offset 8: unknown marker (got 0xF0)\n");
  r = Run("dump --offsets -", Hex("72 01 00 4e 7a"));
  EXPECT_EQ(r.rc, 0);
  EXPECT_EQ(r.out, "00000000 r 01 00\n00000003   N\n");
}

// A reply as another Hessian writer lays it out: version 01 00, members in another order, the
// string in two chunks, a 32768-byte blob chunk. The library reads it into the same object as
// our own reply, and both dump without complaint.
TEST_F(Tool, PeerStyleRepliesReadLikeOurs) {
  std::string peer =
      Hex("72 01 00 4d 74 00 13 'kelo.cl.ResRegister'"
          "  53 00 0b 'description' 73 00 02 'ok' 53 00 02 c3 a9 21"
          "  53 00 06 'status' 49 00 00 00 02"
          "  53 00 06 'header' 4d 74 00 0e 'kelo.cl.Header'"
          "    53 00 03 'cnr' 4c 00 20 00 00 00 00 00 01"
          "    53 00 03 'cnc' 49 ff ff ff fe"
          "  7a"
          "  53 00 05 'resID' 49 00 00 00 05"
          "7a 7a");
  Ran ours = Run("encode --reply --as ResRegister",
                 R"({"resID": 5, "header": {"cnc": -2, "cnr": 9007199254740993}, "status": 2,
                     "description": "ok\u00e9!"})");
  ASSERT_EQ(ours.rc, 0) << ours.err;
  const Ran a = Run("decode --reply --as ResRegister -", peer);
  const Ran b = Run("decode --reply --as ResRegister -", ours.out);
  ASSERT_EQ(a.rc, 0) << a.err;
  EXPECT_EQ(a.out, b.out);
  EXPECT_NE(a.out.find("\"cnr\": 9007199254740993"), std::string::npos);
  EXPECT_EQ(Run("dump -", peer).rc, 0);
  EXPECT_EQ(Run("dump -", ours.out).rc, 0);

  // A peer's 32768-byte blob chunks and 32768-unit string chunks.
  const kelo::ClassInfo& site = *kelohes::FindClass("kelo.cl.VerSite");
  const std::string body = ChunkedBlob(40000, 32768);
  const std::string name = ChunkedString(40000, 32768);
  const std::string bytes = "M" + Hex("74 00 0f 'kelo.cl.VerSite' 53 00 04 'body'") + body +
                            Hex("53 00 04 'name'") + name + "z";
  const Ran decoded = Run("decode --as VerSite -", bytes);
  ASSERT_EQ(decoded.rc, 0) << decoded.err;
  const Ran again = Run("encode --as VerSite", decoded.out);
  ASSERT_EQ(again.rc, 0) << again.err;
  EXPECT_EQ(Run("decode --as VerSite -", again.out).out, decoded.out);
  // Our bytes cut the same value into 65535 chunks: same dump once member order is ours.
  std::unique_ptr<CKeloHesClass> object = Create(site);
  ASSERT_EQ(kelotest::Decode(*object, bytes).rc, 0);
  EXPECT_EQ(again.out, kelotest::Encode(*object));
}

std::vector<std::string> SortedLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::sort(lines.begin(), lines.end());
  return lines;
}

// Files written by the other Hessian implementations (interop/testdata): every one dumps whole.
// Those named <peer>-<call|reply>-<class>-s<seed>n<items>.bin (or .hes) hold an object filled like
// kelotest::NewFilled(class, seed, items): their dump equals the dump of our own bytes of that
// object (the call's version line aside), and a reply decodes to the same JSON as the object.
TEST_F(Tool, PeerFilesDumpLikeOurOwnBytes) {
  const std::string dir = std::string(KELOHES_SOURCE_DIR) + "/interop/testdata";
  DIR* d = opendir(dir.c_str());
  if (!d) GTEST_SKIP() << "no " << dir;
  std::vector<std::string> files;
  while (dirent* e = readdir(d)) {
    const std::string name = e->d_name;
    if (name.size() > 4 && (name.compare(name.size() - 4, 4, ".hes") == 0 ||
                            name.compare(name.size() - 4, 4, ".bin") == 0))
      files.push_back(name);
  }
  closedir(d);
  if (files.empty()) GTEST_SKIP() << "no .bin or .hes files in " << dir;
  std::sort(files.begin(), files.end());
  int compared = 0;
  for (const std::string& file : files) {
    SCOPED_TRACE(file);
    const std::string path = dir + "/" + file;
    const std::string name = file.substr(0, file.size() - 4);
    const Ran dumped = Run("dump " + path);
    EXPECT_EQ(dumped.rc, 0) << dumped.err;
    EXPECT_FALSE(dumped.out.empty());

    const size_t kindStart = name.find('-');
    const size_t classStart = name.find('-', kindStart + 1);
    const size_t seedStart = name.rfind("-s");
    const size_t itemsStart = name.rfind('n');
    if (kindStart == std::string::npos || classStart == std::string::npos ||
        seedStart == std::string::npos || seedStart <= classStart ||
        itemsStart == std::string::npos || itemsStart < seedStart)
      continue;
    const std::string kind = name.substr(kindStart + 1, classStart - kindStart - 1);
    const std::string className = name.substr(classStart + 1, seedStart - classStart - 1);
    char* end = nullptr;
    const unsigned long seed = strtoul(name.c_str() + seedStart + 2, &end, 10);
    if (end != name.c_str() + itemsStart) continue;
    const int items = atoi(name.c_str() + itemsStart + 1);
    const kelo::ClassInfo* info = kelohes::FindClass(className);
    if (!info || (kind != "call" && kind != "reply")) continue;

    std::unique_ptr<CKeloHesClass> filled(
        kelotest::NewFilled(*info, static_cast<unsigned int>(seed), items));
    ASSERT_TRUE(filled);
    CKeloOutput ours(0);
    if (kind == "call") {
      ASSERT_EQ(KeloHessianBuildRequest("m", 1, *filled, ours), 0);
    } else {
      ASSERT_EQ(ours.Append("r\x01\x00", 3), 0);
      ASSERT_EQ(filled->Serialize(ours), 0);
      ASSERT_EQ(ours.Append('z'), 0);
    }
    // A peer may write the members in another order, so the dumps are compared as sorted
    // lines: the same values at the same depths. The envelope's first line (method, version
    // bytes) is left out.
    const std::string ourDump = DumpText(std::string(ours.Data(), ours.DataSize()));
    EXPECT_EQ(SortedLines(dumped.out.substr(dumped.out.find('\n') + 1)),
              SortedLines(ourDump.substr(ourDump.find('\n') + 1)));
    // The object inside decodes to the same JSON: a reply through the library's reply reader,
    // a call's one argument (behind 'c' v1 v2 'm' length method) as a bare value.
    std::string args = "decode --reply --as " + className + " " + path;
    if (kind == "call") {
      const std::string bytes = kelotest::ReadFile(path);
      ASSERT_GT(bytes.size(), 6u);
      ASSERT_EQ(bytes[3], 'm');
      const size_t methodLength =
          (static_cast<unsigned char>(bytes[4]) << 8) | static_cast<unsigned char>(bytes[5]);
      args = "decode --allow-trailing --as " + className + " " +
             File("argument.bin", bytes.substr(6 + methodLength));
    }
    const Ran decoded = Run(args);
    EXPECT_EQ(decoded.rc, 0) << decoded.err;
    EXPECT_EQ(decoded.out, kelohes::ToJson(*filled, *info) + "\n");
    ++compared;
  }
  RecordProperty("compared", compared);
}

}  // namespace
