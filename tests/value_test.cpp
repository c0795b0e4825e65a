// kelo::Value and its codec: values Caucho's Java wrote, read, compared and written back byte for
// byte; calls and replies of any shape; hostile input; shared and cyclic graphs; classes as maps.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "support/run.h"
#include "support/test_support.h"

namespace kelo {
// Failures show a value as the hex of its bytes.
void PrintTo(const Value& v, std::ostream* os) {
  std::vector<std::uint8_t> out;
  const Status s = EncodeValue(v, out);
  *os << (s.ok() ? kelotest::ToHex(std::string(out.begin(), out.end())) : s.message());
}
}  // namespace kelo

namespace {

using Bytes = std::vector<std::uint8_t>;
using kelo::Value;
using kelotest::Hex;

std::string Java(const std::string& name) {
  return kelotest::ReadFile(KELO_TESTDATA_DIR "/values/" + name + ".bin");
}

Value ListOf(std::initializer_list<Value> items, std::string_view type = {}) {
  Value list = Value::List(type);
  for (const Value& item : items) EXPECT_TRUE(list.Push(item).ok());
  return list;
}

// A map with a 't' type name even when it is empty, as Java writes a java.util.HashMap.
Value MapOf(std::initializer_list<std::pair<Value, Value>> entries, std::string_view type) {
  Value map = Value::Map(type);
  EXPECT_TRUE(map.SetType(type).ok());
  for (const auto& [k, v] : entries) EXPECT_TRUE(map.Append(k, v).ok());
  return map;
}

std::string Encoded(const Value& v) {
  Bytes out;
  const kelo::Status s = kelo::EncodeValue(v, out);
  EXPECT_TRUE(s.ok()) << s.message();
  return std::string(out.begin(), out.end());
}

Value Decoded(const std::string& bytes) {
  Value v;
  const kelo::Status s = kelo::DecodeValue(bytes.data(), bytes.size(), v);
  EXPECT_TRUE(s.ok()) << s.message() << " at " << s.offset();
  return v;
}

// The node of MakeValues.Node whose next field points at itself.
Value SelfNode() {
  Value node = MapOf({{"name", "first"}, {"tags", ListOf({"t1", "t2"})}}, "MakeValues$Node");
  EXPECT_TRUE(node.Append("next", node).ok());
  return node;
}

// Every value MakeValues.java wrote: read, compared with the value expected, written back to the
// same bytes.
TEST(JavaValues, ReadCompareAndWriteBack) {
  std::string longText;
  for (int i = 0; i < 32767; ++i) longText += static_cast<char>('a' + i % 26);
  longText += "\xF0\x9F\x98\x80";  // U+1F600, across the first chunk's end
  for (size_t units = 32769; units < 40000; ++units) longText += "\xC3\xA9";
  std::string blob(70000, '\0');
  for (size_t i = 0; i < blob.size(); ++i) blob[i] = static_cast<char>(i * 7);

  Value selfList = ListOf({"me"});
  EXPECT_TRUE(selfList.Push(selfList).ok());
  const Value shared = MapOf({{"k", "v"}}, "");
  const Value first = SelfNode();

  const struct {
    const char* file;
    Value expected;
  } rows[] = {
      {"int", 42},
      {"int-min", INT32_MIN},
      {"long", std::int64_t{(1LL << 53) | 1}},
      {"double", -2.5},
      {"true", true},
      {"null", Value()},
      {"date", Value::Date(1700000000123LL)},
      {"string-ascii", "hello"},
      {"string-emoji", "k\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"},
      {"string-empty", ""},
      {"string-long", Value(longText)},
      {"binary-long", Value::Binary(blob.data(), blob.size())},
      {"binary-empty", Value::Binary(nullptr, 0)},
      {"string-array", ListOf({"a", nullptr, "\xC3\xBC"}, "[string")},
      {"int-array", ListOf({1, -2, 3}, "[int")},
      {"arraylist", ListOf({1, "two", nullptr, std::int64_t{4}, 5.5, false})},
      {"hashmap", MapOf({{"a", 1}, {"b", ListOf({"x", "y"}, "java.util.Arrays$ArrayList")}}, "")},
      {"hashmap-empty", MapOf({}, "")},
      {"map-keys", MapOf({{7, "seven"}, {nullptr, true}, {Value::Date(0), std::int64_t{8}}},
                         "java.util.LinkedHashMap")},
      {"shared", ListOf({shared, shared, "end"})},
      {"self-list", selfList},
      {"class-self", SelfNode()},
      {"class-chain", ListOf({first, MapOf({{"name", "second"}, {"tags", nullptr}, {"next", first}},
                                           "MakeValues$Node")},
                             "[object")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    const std::string bytes = Java(row.file);
    const Value value = Decoded(bytes);
    EXPECT_EQ(value, row.expected);
    EXPECT_EQ(kelotest::ToHex(Encoded(value)), kelotest::ToHex(bytes));
    // What the program builds writes what Java wrote.
    EXPECT_EQ(kelotest::ToHex(Encoded(row.expected)), kelotest::ToHex(bytes));
  }
}

// Java's call: the arguments one at a time, the third an 'R' to the first; written back with our
// header ('c' 00 01, as the classic framing writes it).
TEST(JavaValues, CallOfThreeArgumentsSharingAMap) {
  const std::string bytes = Java("call-add2");
  kelo::CallReader reader(bytes.data(), bytes.size());
  std::string method;
  ASSERT_TRUE(reader.ReadMethod(method).ok());
  EXPECT_EQ(method, "add2");
  std::vector<Value> args;
  while (!reader.AtEnd()) ASSERT_TRUE(reader.ReadArg(args.emplace_back()).ok());
  ASSERT_TRUE(reader.Finish().ok());
  ASSERT_EQ(args.size(), 3u);  // the third is written back as an 'R' only if it is the first
  Bytes out;
  ASSERT_TRUE(kelo::EncodeCall("add2", args, out).ok());
  EXPECT_EQ(kelotest::ToHex(std::string(out.begin(), out.end())),
            kelotest::ToHex(Hex("'c' 00 01") + bytes.substr(3)));
}

// Replies of any value, Java's and the catalogue's: read and written back unchanged.
TEST(JavaValues, RepliesRoundTrip) {
  for (const char* file : {"values/reply-list.bin", "java-reply-kelo.cl.ResTopology-s1550n3.bin",
                           "java-reply-services.TopologyServiceResponse-s1450n3.bin",
                           "java-reply-kelo.cl.VerSite-long.bin"}) {
    SCOPED_TRACE(file);
    const std::string bytes = kelotest::ReadFile(std::string(KELO_TESTDATA_DIR "/") + file);
    Value result;
    const kelo::Status s = kelo::DecodeReply(bytes.data(), bytes.size(), result);
    ASSERT_TRUE(s.ok()) << s.message();
    EXPECT_EQ(s.offset(), bytes.size());
    Bytes out;
    ASSERT_TRUE(kelo::EncodeReply(result, out).ok());
    EXPECT_EQ(std::string(out.begin(), out.end()), bytes);
  }
  const std::string fault = kelotest::ReadFile(KELO_TESTDATA_DIR "/faults/java-fault-skeleton.bin");
  Value untouched = 5;
  const kelo::Status s = kelo::DecodeReply(fault.data(), fault.size(), untouched);
  EXPECT_EQ(s.fault_code(), "ServiceException");
  EXPECT_EQ(untouched, Value(5));
}

// Calls of every shape: what EncodeCall writes, CallReader reads back.
TEST(Calls, AnyNumberOfArgumentsOfAnyKind) {
  const std::vector<std::vector<Value>> calls = {
      {}, {7}, {"text", std::int64_t{-1}}, {ListOf({1, 2}), Value::Date(5), nullptr, 2.0}};
  for (const auto& args : calls) {
    Bytes out;
    ASSERT_TRUE(kelo::EncodeCall("m\xC3\xA9", args, out).ok());
    EXPECT_EQ(kelotest::ToHex(std::string(out.begin(), out.begin() + 8)),
              kelotest::ToHex(Hex("'c' 00 01 'm' 00 02 'm' c3")));
    kelo::CallReader reader(out.data(), out.size());
    std::string method;
    ASSERT_TRUE(reader.ReadMethod(method).ok());
    EXPECT_EQ(method, "m\xC3\xA9");
    for (const Value& expected : args) {
      Value arg;
      ASSERT_TRUE(reader.ReadArg(arg).ok());
      EXPECT_EQ(arg, expected);
    }
    Value none;
    EXPECT_EQ(reader.ReadArg(none).code(), KELO_E_FORMAT);
    EXPECT_TRUE(reader.Finish().ok());
  }
}

// Hostile and malformed bytes: each refused with its code at the byte at fault, or read when it is
// valid however odd.
TEST(DecodeValue, HostileInput) {
  const std::string deep = std::string(kelo::kMaxValueDepth + 1, 'V');
  const std::string ok =
      std::string(kelo::kMaxValueDepth, 'V') + std::string(kelo::kMaxValueDepth, 'z');
  const struct {
    std::string bytes;
    int code;
    size_t offset;
    const char* text;
  } rows[] = {
      {"", KELO_E_EXHAUSTED, 0, "ends"},
      {Hex("'R' 00 00 00 00"), KELO_E_FORMAT, 0, "only 0 came before"},
      {Hex("'V' 'R' 00 00 00 01 'z'"), KELO_E_FORMAT, 1, "map or list 1"},
      {Hex("'N' 'N'"), KELO_E_FORMAT, 1, "1 bytes follow"},
      {Hex("'M' 'N' 'z'"), KELO_E_FORMAT, 2, "without a value"},
      {Hex("'z'"), KELO_E_FORMAT, 0, "'z'"},
      {Hex("'S' ff ff 'ab'"), KELO_E_EXHAUSTED, 0, "ends"},
      {Hex("'S' 00 01 f0 9f 98 80"), KELO_E_FORMAT, 3, "not UTF-8"},
      {Hex("'s' 00 01 'a' 'N'"), KELO_E_FORMAT, 4, "chunk"},
      {Hex("'V' 'l' 7f ff ff ff 'z'"), KELO_OK, 7, ""},  // a length beyond the items is kept
      {deep, KELO_E_NOT_SUPPORTED, kelo::kMaxValueDepth, "at most 256"},
      {ok, KELO_OK, ok.size(), ""},
      {Hex("'Q'"), KELO_E_FORMAT, 0, "cannot begin"},
      {Hex("'c' 00 01 'z'"), KELO_E_FORMAT, 0, "cannot begin"},  // an envelope is no value
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(kelotest::ToHex(row.bytes.substr(0, 16)));
    Value v = 3;
    const kelo::Status s = kelo::DecodeValue(row.bytes.data(), row.bytes.size(), v);
    EXPECT_EQ(s.code(), row.code) << s.message();
    EXPECT_EQ(s.offset(), row.offset);
    EXPECT_NE(std::string(s.message()).find(row.text), std::string::npos) << s.message();
    // Left alone (the 3 it held) on a failure, else written back as read.
    EXPECT_EQ(Encoded(v), row.code ? Hex("'I' 00 00 00 03") : row.bytes);
  }
}

// Lists of references to lists of references: a billion items once expanded, read and written in
// time and memory linear in the bytes.
TEST(DecodeValue, ReferenceBombIsLinear) {
  // The outer list is map or list 0, L0 1; L(k) holds 1000 references to L(k-1), number k.
  std::string bytes = Hex("'V' 'V' 'l' 00 00 00 01 'N' 'z'");
  for (char level = 1; level <= 20; ++level) {
    bytes += Hex("'V' 'l' 00 00 03 e8");
    for (int i = 0; i < 1000; ++i) bytes += Hex("'R' 00 00 00") + level;
    bytes += "z";
  }
  bytes += "z";
  Value v;
  const kelo::Status s = kelo::DecodeValue(bytes.data(), bytes.size(), v);
  ASSERT_TRUE(s.ok()) << s.message();
  EXPECT_EQ(Encoded(v), bytes);
}

TEST(DecodeValue, SurrogatesAndOverlongFormsBecomeStandardUtf8) {
  const struct {
    std::string wire;
    std::string text;
  } rows[] = {
      {Hex("'S' 00 01 ed a0 bd"), "\xEF\xBF\xBD"},     // a lone half: U+FFFD
      {Hex("'S' 00 01 c0 80"), std::string(1, '\0')},  // overlong NUL
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(kelotest::ToHex(row.wire));
    EXPECT_EQ(Decoded(row.wire).as_string(), row.text);
  }
  EXPECT_EQ(Encoded(Value("\xEF\xBF\xBF\xF0\x90\x80\x80")),
            Hex("'S' 00 03 ef bf bf ed a0 80 ed b0 80"));
  Bytes out;
  EXPECT_EQ(kelo::EncodeValue(Value("\xFF"), out).code(), KELO_E_FORMAT);
  EXPECT_TRUE(out.empty());
}

// Graphs built through the interface, cycles included: shared, equal, written with 'R', and freed
// (the asan build's leak check and heap_test's count see any that is not).
TEST(ValueApi, CyclesSharingAndJoinedGraphs) {
  Value list = Value::List();
  ASSERT_TRUE(list.Push(list).ok());
  Value map = Value::Map("T");
  ASSERT_TRUE(map.Insert("self", map).ok());
  ASSERT_TRUE(map.Insert("list", 0).ok() && map.Insert("list", list).ok());  // replaced: shared
  {
    Value other = Value::List("[int");
    ASSERT_TRUE(other.Push(map).ok());  // joins map's graph into other's
    ASSERT_TRUE(map.Insert("back", other).ok());
  }
  EXPECT_TRUE(map.get("back")[0].same(map));
  EXPECT_EQ(Encoded(map), Hex("'M' 't' 00 01 'T' 'S' 00 04 'self' 'R' 00 00 00 00 'S' 00 04 'list'"
                              "'V' 'l' 00 00 00 01 'R' 00 00 00 01 'z' 'S' 00 04 'back'"
                              "'V' 't' 00 04 '[int' 'l' 00 00 00 01 'R' 00 00 00 00 'z' 'z'"));
  const Value copy = Decoded(Encoded(map));
  EXPECT_EQ(copy, map);
  // Equal graphs of different shape are told apart: [itself] and [[1]].
  Value b = Value::List();
  Value c = Value::List();
  ASSERT_TRUE(b.Push(c).ok());
  ASSERT_TRUE(c.Push(Value(1)).ok());
  EXPECT_NE(list, b);
}

TEST(ValueApi, AccessorsNeverFail) {
  const Value i = 7;
  EXPECT_EQ(i.as_int(), 7);
  EXPECT_EQ(i.as_long(), 7);
  EXPECT_EQ(i.as_double(), 7.0);
  EXPECT_EQ(i.as_string("none"), "none");
  EXPECT_EQ(i.if_long(), nullptr);
  EXPECT_EQ(i[3], Value());
  EXPECT_NE(Value(std::int64_t{7}), i);
  EXPECT_NE(Value::Date(7), Value(std::int64_t{7}));
  Value m = Value::Map();
  ASSERT_TRUE(m.Insert("a", 1).ok());
  ASSERT_TRUE(m.Insert(2, "b").ok());
  ASSERT_TRUE(m.Insert("a", 3).ok());  // replaces, keeps its place
  EXPECT_EQ(m.size(), 2u);
  EXPECT_EQ(m.key_at(0), Value("a"));
  EXPECT_EQ(m.value_at(0), Value(3));
  EXPECT_EQ(*m.Find(2), Value("b"));
  EXPECT_FALSE(m.Find(std::int64_t{2}).has_value());
  Value notList = i;
  EXPECT_EQ(notList.Push(1).code(), KELO_E_INVALID_STATE);
  Value l = Value::List();
  EXPECT_EQ(l.Set(0, 1).code(), KELO_E_OUT_OF_RANGE);
  ASSERT_TRUE(l.set_sized(false).ok());
  EXPECT_EQ(Encoded(l), "Vz");
}

// A map read from anywhere fills a class, and a class gives its map.
TEST(Classes, ConvertBothWays) {
  const std::string bytes =
      kelotest::ReadFile(KELO_TESTDATA_DIR "/java-reply-kelo.cl.ResTopology-s1550n3.bin");
  Value generic;
  ASSERT_TRUE(kelo::DecodeReply(bytes.data(), bytes.size(), generic).ok());
  kelo::cl::ResTopology typed;
  ASSERT_TRUE(kelo::ToClass(generic, typed).ok());
  kelo::cl::ResTopology classic;
  ASSERT_TRUE(kelo::DecodeReply(bytes.data(), bytes.size(), classic).ok());
  EXPECT_EQ(kelotest::Encode(typed), kelotest::Encode(classic));
  Value back;
  ASSERT_TRUE(kelo::FromClass(typed, back).ok());
  EXPECT_EQ(back.type(), "kelo.cl.ResTopology");
  kelo::cl::ResTopology again;
  ASSERT_TRUE(kelo::ToClass(back, again).ok());
  EXPECT_EQ(kelotest::Encode(again), kelotest::Encode(classic));
  EXPECT_EQ(kelo::ToClass(Value::Map("kelo.cl.Other"), again).code(), KELO_E_FORMAT);
}

}  // namespace
