// The JSON library: every catalogue class, filled or holding what only the wire gives, goes to JSON
// and back to the same bytes; what does not fit is refused with a code and the member's path.
#include <gtest/gtest.h>

#include <kelohessian/json/json.h>

#include <limits>
#include <memory>
#include <string>

#include "support/bag.h"
#include "support/filler.h"
#include "support/run.h"
#include "support/test_support.h"

namespace {

TEST(Json, EveryClassRoundTrips) {
  for (unsigned int c = 0; c < kelo::CatalogueSize(); ++c) {
    const kelo::ClassInfo& info = *kelo::CatalogueAt(c);
    SCOPED_TRACE(info.typeName);
    for (int items : {0, 2}) {
      std::unique_ptr<CKeloHesClass> filled(kelotest::NewFilled(info, 3 + items, items));
      const std::string json = kelo::ToJson(*filled);
      std::unique_ptr<CKeloHesClass> back(info.create());
      const kelo::Status s = kelo::FromJson(json, *back);
      ASSERT_TRUE(s) << s.message() << "\n" << json;
      EXPECT_EQ(kelotest::Encode(*back), kelotest::Encode(*filled)) << json;
    }
  }
  // The layout is part of what users read: two spaces per level, list items one level in.
  kelo::cl::CommCacheRes object;
  object.maxPartitions = 2;
  ASSERT_EQ(object.partitionElemRes.Emplace()->pidName.Copy("p0"), 0);
  EXPECT_EQ(kelo::ToJson(object), R"({
  "maxPartitions": 2,
  "partitionElemRes": [
    {
      "pidName": "p0",
      "url": null
    }
  ]
})");
}

// Values read from the wire that their C++ types do not show whole come back from JSON with the
// same bits: an 8- or 16-bit member beyond its type, NaNs, surrogate units paired or not.
TEST(Json, WireValuesComeBackWhole) {
  struct Case {
    const char* cls;
    const char* member;
    const char* wire;
    const char* json;
  } cases[] = {
      {"kelo.cl.Update", "flags", "'I' 00 20 00 00", R"("flags": 2097152)"},  // C++: 0
      {"kelo.cl.Update", "flags", "'I' ff ff ff ff", R"("flags": 4294967295)"},
      {"CommEngine.VKAP_IE_ConnectRsp", "m_ieId", "'I' 80 00 00 00", R"("m_ieId": -2147483648)"},
      {"kelo.cl.LocationRes", "lat", "'D' ff f8 00 00 00 00 00 01", "\"NaN(0xfff8000000000001)\""},
      {"kelo.cl.LocationRes", "lat", "'D' 7f f0 00 00 00 00 00 01", "\"NaN(0x7ff0000000000001)\""},
      {"kelo.cl.LocationRes", "lat", "'D' 7f f8 00 00 00 00 00 00", R"("lat": "NaN")"},
      {"kelo.cl.LocationRes", "longt", "'D' ff f0 00 00 00 00 00 00", R"("longt": "-Infinity")"},
      {"kelo.cl.ResPartition", "pidName", "'S' 00 03 ed a0 80 00 'a'", R"("\uD800\u0000a")"},
      // A character above U+FFFF as Java writes it: two 3-byte sequences.
      {"kelo.cl.ResPartition", "pidName", "'S' 00 02 ed a0 bd ed b8 80", R"("\uD83D\uDE00")"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    const kelo::ClassInfo& info = *kelo::CatalogueFind(c.cls);
    std::unique_ptr<CKeloHesClass> object(info.create()), back(info.create());
    unsigned int i = 0;
    while (i < kelo::CatalogueMemberCount(info) &&
           kelo::CatalogueMemberAt(info, i)->name != std::string(c.member))
      ++i;
    ASSERT_LT(i, kelo::CatalogueMemberCount(info));
    CKeloHesObject& member = kelo::CatalogueMemberAt(info, i)->access(*object);
    ASSERT_EQ(kelotest::Decode(member, kelotest::Hex(c.wire)).rc, 0);
    const std::string json = kelo::ToJson(*object);
    EXPECT_NE(json.find(c.json), std::string::npos) << json;
    const kelo::Status s = kelo::FromJson(json, *back);
    ASSERT_TRUE(s) << s.message();
    EXPECT_EQ(kelotest::Encode(*back), kelotest::Encode(*object));
  }
}

TEST(Json, RefusalsCarryACodeAndThePath) {
  // {"reqID": [[...]]} of the given number of levels.
  const auto nested = [](size_t levels) {
    return R"({"reqID": )" + std::string(levels - 1, '[') + std::string(levels - 1, ']') + "}";
  };
  std::string items = "{}";  // 100,000 list items: linear work, within the test's timeout
  for (int i = 1; i < 100000; ++i) items += ",{}";
  struct Case {
    const char* cls;
    std::string json;
    int code;
    const char* message;
    bool untouched;  // the first member read is refused, so nothing is set
  } cases[] = {
      {"kelo.cl.ReqConnect", R"({"header": {"cnc": 1, "extra": 2}})", KELO_E_FORMAT,
       "header.extra: no such member in kelo.cl.Header", false},
      {"kelo.cl.ReqConnect", R"({"oneTouch": [{}, {"index": true}]})", KELO_E_FORMAT,
       "oneTouch[1].index: expected an integer from -2147483648 to 2147483647, got true", false},
      {"kelo.cl.ReqConnect", R"({"cellOperator": "a😀"})", KELO_E_NOT_SUPPORTED,
       "cellOperator: the character at byte 1 cannot be carried: utf8: Unicode value greater "
       "than 0xFFFF not supported yet",
       true},
      {"kelo.cl.Update", R"({"flags": 4294967296, "port": 7})", KELO_E_FORMAT,
       "flags: expected an integer from 0 to 4294967295, got 4294967296", true},
      {"CommEngine.VKAP_IE_ConnectRsp", R"({"m_ieId": -2147483649, "m_msgLength": 5})",
       KELO_E_FORMAT, "m_ieId: expected an integer from -2147483648 to 2147483647, got -2147483649",
       true},
      {"kelo.cl.LocationRes", "{\"lat\": \"NaN(0x7ff0000000000000)\"}", KELO_E_FORMAT,
       "lat: expected a number, ", true},
      {"kelo.cl.ReqConnect", R"({"reqID": "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa€€"})", KELO_E_FORMAT,
       R"(reqID: expected an integer from -2147483648 to 2147483647, got "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa...")",
       true},
      {"kelo.cl.ReqConnect", R"({"reqID": )", KELO_E_FORMAT, "not valid JSON: ", true},
      // Nesting is bounded while parsing, and a bad value is quoted flat.
      {"kelo.cl.ReqConnect", nested(64), KELO_E_FORMAT,
       "reqID: expected an integer from -2147483648 to 2147483647, got a list", true},
      {"kelo.cl.ReqConnect", nested(65), KELO_E_FORMAT, "JSON nested deeper than 64 levels", true},
      {"kelo.cl.ReqConnect", nested(100000), KELO_E_FORMAT, "JSON nested deeper than 64", true},
      {"kelo.cl.CommCacheRes", R"({"partitionElemRes": [)" + items + R"(], "zz": 1})",
       KELO_E_FORMAT, "zz: no such member", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json.substr(0, 80));
    std::unique_ptr<CKeloHesClass> object(kelo::CatalogueFind(c.cls)->create());
    const kelo::Status s = kelo::FromJson(c.json, *object);
    EXPECT_EQ(s.code(), c.code);
    EXPECT_EQ(std::string(s.message()).find(c.message), 0u) << s.message();
    std::unique_ptr<CKeloHesClass> fresh(kelo::CatalogueFind(c.cls)->create());
    EXPECT_TRUE(!c.untouched || kelotest::Encode(*object) == kelotest::Encode(*fresh));
  }
  kelo::cl::ReqConnect connect;  // a refused list item ends the read too
  EXPECT_FALSE(kelo::FromJson(R"({"oneTouch": [{"index": true}], "reqID": 5})", connect));
  EXPECT_EQ(static_cast<int>(connect.reqID), 0);
  EXPECT_EQ(kelo::FromJson(std::string_view(nullptr, 5), connect).code(), KELO_E_INVALID_ARGUMENT);
  kelo::cl::ReqTopology topology;  // a message member given as null becomes null
  ASSERT_TRUE(kelo::FromJson(R"({"generalReq": null})", topology));
  EXPECT_TRUE(topology.generalReq.IsNull());
  // A class that registers its members by hand has no description to print or read by.
  CKeloHesSkipClass byHand;
  EXPECT_EQ(kelo::ToJson(byHand), "");
  EXPECT_EQ(kelo::FromJson("{}", byHand).code(), KELO_E_NOT_SUPPORTED);
}

// Lists of strings and numbers are arrays of their items, read back to the bytes Java wrote; an
// item of the wrong kind is refused with its path and leaves its list empty.
TEST(Json, ListsOfStringsAndNumbersAreArrays) {
  const std::string java = kelotest::JavaListsFile("java-reply-lab.Bag-arrays.bin");
  lab::Bag bag, back;
  ASSERT_TRUE(kelo::DecodeReply(java.data(), java.size(), bag));
  const std::string json = kelo::ToJson(bag);
  for (const char* part : {"\"names\": [\n    \"roof\",\n    null,\n    \"\",\n", "    true\n  ],",
                           "-2147483648\n", "9007199254740993,", "\"Infinity\","})
    EXPECT_NE(json.find(part), std::string::npos) << part << " in\n" << json;
  ASSERT_TRUE(kelo::FromJson(json, back));
  EXPECT_EQ(kelotest::Reply(kelotest::Encode(back)), java);

  const std::pair<const char*, const char*> refusals[] = {
      {R"({"names": ["a", 1]})", "names[1]: expected a string, got 1"},
      {R"({"counts": [1, null]})", "counts[1]: expected an integer from -2147483648 to 2147483647"},
  };
  for (const auto& [text, message] : refusals) {
    const kelo::Status s = kelo::FromJson(text, back);
    EXPECT_EQ(s.code(), KELO_E_FORMAT);
    EXPECT_EQ(std::string(s.message()).find(message), 0u) << s.message();
  }
  EXPECT_EQ(back.counts.Count(), 0);
}

// A member of any value is printed by the value mapping, keys in wire order and a cycle as a
// reference, and read back to Java's bytes; a value the mapping refuses names the member.
TEST(Json, MembersOfAnyValueUseTheValueMapping) {
  const std::string java = kelotest::JavaListsFile("java-reply-lab.Holder.bin");
  lab::Holder holder, back;
  ASSERT_TRUE(kelo::DecodeReply(java.data(), java.size(), holder));
  const std::string json = kelo::ToJson(holder);
  for (const char* part :
       {"\"$ref\": 1", "\"$long\": \"1099511627776\"", "\"tags\": [\n    \"a\","})
    EXPECT_NE(json.find(part), std::string::npos) << part << " in\n" << json;
  EXPECT_LT(json.find("\"when\""), json.find("\"big\""));  // not in key order
  ASSERT_TRUE(kelo::FromJson(json, back));
  EXPECT_EQ(kelotest::Reply(kelotest::Encode(back)), java);

  const kelo::Status s = kelo::FromJson(R"({"again": {"$ref": 9}})", back);
  EXPECT_EQ(s.code(), KELO_E_FORMAT);
  EXPECT_EQ(std::string(s.message()).find("again: "), 0u) << s.message();
}

}  // namespace

// ---- Any value ----------------------------------------------------------------------------------

namespace {

using kelo::Value;

std::string Compact(const std::string& pretty) {
  std::string out;
  bool inString = false;
  for (size_t i = 0; i < pretty.size(); ++i) {
    const char c = pretty[i];
    if (c == '"' && (i == 0 || pretty[i - 1] != '\\')) inString = !inString;
    if (inString || (c != ' ' && c != '\n')) out += c;
  }
  return out;
}

// Each kind as the mapping prints it, and read back to an equal value.
TEST(JsonValue, MappingOfEveryKind) {
  Value cycle = Value::List();
  ASSERT_TRUE(cycle.Push(cycle).ok());
  Value typedMap = Value::Map("T");
  ASSERT_TRUE(typedMap.Insert("a", 1).ok());
  Value oddKeys = Value::Map();
  ASSERT_TRUE(oddKeys.Insert(7, "x").ok());
  ASSERT_TRUE(oddKeys.Insert("$k", nullptr).ok());
  Value unsized = Value::List("[int");
  ASSERT_TRUE(unsized.set_sized(false).ok());
  Value shared = Value::Map();
  Value twice = Value::List();
  ASSERT_TRUE(twice.Push(shared).ok());
  ASSERT_TRUE(twice.Push(shared).ok());
  const struct {
    Value value;
    const char* json;
  } rows[] = {
      {Value(), "null"},
      {Value(-5), "-5"},
      {Value(std::int64_t{INT64_MAX}), R"({"$long":"9223372036854775807"})"},
      {Value(0.5), "0.5"},
      {Value(1.0), "1.0"},
      {Value(-std::numeric_limits<double>::infinity()), R"({"$double":"-Infinity"})"},
      {Value::Date(-1), R"({"$date":-1})"},
      {Value("\xF0\x9F\x98\x80"), "\"\xF0\x9F\x98\x80\""},
      {Value::Xml("<a/>"), R"({"$xml":"<a/>"})"},
      {Value::Binary("\x00\xff", 2), R"({"$binary":"00ff"})"},
      {Value::Remote("T", "http://h/"), R"({"$remote":"T","url":"http://h/"})"},
      {cycle, R"([{"$ref":0}])"},
      {twice, R"([{},{"$ref":1}])"},
      {typedMap, R"({"$type":"T","a":1})"},
      {oddKeys, R"({"$map":[[7,"x"],["$k",null]]})"},
      {unsized, R"({"$type":"[int","$list":[]})"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.json);
    const std::string json = kelo::ToJson(row.value);
    EXPECT_EQ(Compact(json), row.json);
    Value back;
    const kelo::Status s = kelo::FromJson(json, back);
    ASSERT_TRUE(s.ok()) << s.message();
    EXPECT_EQ(back, row.value);
  }
  Value big;
  ASSERT_TRUE(kelo::FromJson("[9007199254740993, 2147483648, -2147483648]", big).ok());
  EXPECT_EQ(big[0], Value(std::int64_t{9007199254740993}));
  EXPECT_EQ(big[1], Value(std::int64_t{2147483648}));
  EXPECT_EQ(big[2], Value(INT32_MIN));
}

// Every value Java wrote: to JSON and back to the same bytes.
TEST(JsonValue, JavaValuesComeBackToTheirBytes) {
  for (const char* name : {"int", "long", "date", "string-emoji", "string-array", "arraylist",
                           "hashmap", "hashmap-empty", "map-keys", "shared", "self-list",
                           "class-self", "class-chain", "binary-long"}) {
    SCOPED_TRACE(name);
    const std::string bytes =
        kelotest::ReadFile(KELO_TESTDATA_DIR "/values/" + std::string(name) + ".bin");
    Value v;
    ASSERT_TRUE(kelo::DecodeValue(bytes.data(), bytes.size(), v).ok());
    Value back;
    const std::string json = kelo::ToJson(v);
    ASSERT_TRUE(kelo::FromJson(json, back).ok()) << json;
    std::vector<std::uint8_t> out;
    ASSERT_TRUE(kelo::EncodeValue(back, out).ok());
    EXPECT_EQ(std::string(out.begin(), out.end()), bytes) << json;
  }
}

TEST(JsonValue, Refusals) {
  const std::string deep(3 * kelo::kMaxValueDepth + 2, '[');
  const struct {
    std::string json;
    const char* text;
  } rows[] = {
      {R"({"$ref":0})", "refers to no map or list"},
      {R"([{"$ref":1}])", "refers to no map or list"},
      {R"({"$long":"12x"})", "not a 64-bit integer"},
      {R"({"$long":"99999999999999999999"})", "not a 64-bit integer"},
      {R"({"$date":1.5})", "not a 64-bit integer"},
      {R"({"$binary":"abc"})", "hex digits"},
      {R"({"$double":"nan"})", "$double"},
      {R"({"$what":1})", "none the mapping knows"},
      {R"({"a":1,"$b":2})", "keys starting with '$'"},
      {R"({"$map":[[1]]})", "not [key, value]"},
      {R"({"$list":[],"x":1})", "only $type, $length and $list"},
      {R"({"$xml":"a","b":1})", "other keys"},
      {"18446744073709551615", "beyond 64 bits"},
      {deep, "nested deeper"},
      {"[1,", "not valid JSON"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.json.substr(0, 40));
    Value v = 9;
    const kelo::Status s = kelo::FromJson(row.json, v);
    EXPECT_EQ(s.code(), KELO_E_FORMAT);
    EXPECT_NE(std::string(s.message()).find(row.text), std::string::npos) << s.message();
    EXPECT_EQ(v, Value(9));
  }
}

}  // namespace
