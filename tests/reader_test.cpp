// The wire reader, one row per construct or failure: the tokens it hands out for the bytes, printed
// compactly, or the problem and the offset of the byte at fault. Then skipping whole values.
#include <gtest/gtest.h>

#include <string>

#include <kelohessian/wire/reader.h>
#include <kelohessian/wire/writer.h>

#include "support/test_support.h"

namespace {

using kelo::wire::Kind;
using kelo::wire::Problem;
using kelo::wire::Reader;
using kelo::wire::Token;
using kelotest::Hex;

// One token as text: its marker-like letter, then what it carries, then @offset.
std::string Show(const Token& t) {
  static const char* const kNames[] = {"N", "T", "F", "I", "L", "D", "d", "R", "S", "X",
                                       "B", "M", "V", "z", "r", "c", "r", "H", "m", "f"};
  std::string s = kNames[static_cast<int>(t.kind)];
  switch (t.kind) {
    case Kind::kInt:
    case Kind::kLong:
    case Kind::kDate:
    case Kind::kRef:
      s += std::to_string(t.integer);
      break;
    case Kind::kDouble:
      s += std::to_string(t.real);
      break;
    case Kind::kString:
    case Kind::kXml:
    case Kind::kBinary:
      if (!t.last) s += '+';
      s += std::to_string(t.units) + "'" + std::string(t.text, t.size) + "'";
      break;
    case Kind::kMap:
    case Kind::kList:
      if (t.typed) s += "t'" + std::string(t.text, t.size) + "'";
      if (t.sized) s += "l" + std::to_string(t.integer);
      break;
    case Kind::kRemote:
      s += "'" + std::string(t.text, t.size) + "'" + std::string(t.url, t.urlSize);
      break;
    case Kind::kCall:
    case Kind::kReply:
      s += std::to_string(t.integer);
      break;
    case Kind::kHeader:
    case Kind::kMethod:
      s += "'" + std::string(t.text, t.size) + "'";
      break;
    default:
      break;
  }
  return s + "@" + std::to_string(t.offset);
}

// Every token up to the end of the input (or of the envelope), then "!problem@offset" on failure.
std::string ReadAll(const std::string& bytes, bool envelope, unsigned int depth = 64) {
  Reader reader(bytes.data(), bytes.size(), depth);
  std::string out;
  Token t;
  if (envelope) {
    if (!reader.Envelope(t))
      return "!" + std::to_string(static_cast<int>(reader.problem())) + "@" +
             std::to_string(reader.problemOffset());
    out += Show(t);
  }
  while (reader.left() > 0) {
    if (!reader.Next(t)) {
      out += " !" + std::to_string(static_cast<int>(reader.problem())) + "@" +
             std::to_string(reader.problemOffset());
      if (reader.problem() == Problem::kUtf8) out += "u" + std::to_string(reader.utf8());
      break;
    }
    if (!out.empty()) out += ' ';
    out += Show(t);
  }
  return out;
}

struct Row {
  const char* bytes;
  bool envelope;
  const char* tokens;
};

TEST(WireReader, TokensAndProblems) {
  // Problems print as their number: 1 end, 2 marker, 3 chunk, 4 UTF-8, 5 too deep, 6 unopened.
  const Row rows[] = {
      {"'NTF' 'I' ff ff ff fe 'L' 00 00 00 00 00 00 01 00 'd' 00 00 00 00 00 00 00 05", false,
       "N@0 T@1 F@2 I-2@3 L256@8 d5@17"},
      {"'D' 3f f8 00 00 00 00 00 00 'R' 80 00 00 01", false, "D1.500000@0 R2147483649@9"},
      // Chunks: lengths in characters, bytes handed out as they are.
      {"'s' 00 02 c3 a9 e2 82 ac 'S' 00 01 'x'", false, "S+2'\xc3\xa9\xe2\x82\xac'@0 S1'x'@8"},
      {"'x' 00 01 'a' 'X' 00 00 'b' 00 01 ff 'B' 00 02 'hi'", false,
       "X+1'a'@0 X0''@4 B+1'\xff'@7 B2'hi'@11"},
      {"'Mt' 00 03 'a.B' 'S' 00 01 'k' 'N' 'z' 'M' 'z'", false,
       "Mt'a.B'@0 S1'k'@7 N@11 z@12 M@13 z@14"},
      {"'Vt' 00 04 '[int' 'l' 00 00 00 01 'I' 00 00 00 07 'z' 'V' 'l' ff ff ff ff 'z' 'Vt' 00 00 "
       "'z'",
       false, "Vt'[int'l1@0 I7@13 z@18 Vl-1@19 z@25 Vt''@26 z@30"},
      {"'rt' 00 01 'A' 'S' 00 03 'u:x'", false, "r'A'u:x@0"},
      // Envelopes: headers, method, arguments, a fault and its closing 'z's.
      {"'c' 01 00 'H' 00 01 'h' 'T' 'm' 00 02 'go' 'I' 00 00 00 01 'z'", true,
       "c256@0 H'h'@3 T@7 m'go'@8 I1@13 z@18"},
      {"'r' 01 00 'f' 'S' 00 04 'code' 'S' 00 01 'E' 'z' 'z'", true,
       "r256@0 f@3 S4'code'@4 S1'E'@11 z@15 z@16"},
      {"'r' 01 00 'rt' 00 01 'A' 'S' 00 00 'z'", true, "r256@0 r'A'@3 z@11"},
      // Failures: where the input ends, the offset is the construct's first byte.
      {"'I' 00 00 00", false, " !1@0"},
      {"'N' 'L' 00", false, "N@0 !1@1"},
      {"'S' 00 05 'abc'", false, " !1@0"},
      {"'B' 00 05 'abc'", false, " !1@0"},
      {"'Vt' 00 01 'a' 'l' 00 00", false, " !1@0"},
      {"'s' 00 01 'a'", false, "S+1'a'@0"},
      {"'s' 00 01 'a' 'B' 00 00", false, "S+1'a'@0 !3@4"},
      {"'S' 00 02 'a' c3 'b'", false, " !4@4u6"},
      {"'S' 00 01 f0 9f 98 80", false, " !4@3u2"},
      {"'S' 00 01 e2 82", false, " !1@0"},  // the input ends inside a character
      {"'S' 00 01 e2 28 a1", false, " !4@3u7"},
      {"'B' 00 00", false, "B0''@0"},  // an empty blob that ends the input
      {"'Q'", false, " !2@0"},
      {"'H' 00 01 'h'", false, " !2@0"},
      {"'c' 01 00 'f' 'z'", true, "c256@0 !2@3"},
      {"'z'", false, " !6@0"},
      {"'rt' 00 01 'A' 'I'", false, " !2@5"},
      {"'q' 01 00", true, "!2@0"},
      {"'c' 01", true, "!1@0"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(ReadAll(Hex(row.bytes), row.envelope), row.tokens) << row.bytes;
  }
}

TEST(WireReader, AFailedStepNamesItsConstruct) {
  const std::string bytes = Hex("'c' 01 'L' 00 00");
  Token t;
  Reader envelope(bytes.data(), 2);
  EXPECT_FALSE(envelope.Envelope(t));
  EXPECT_EQ(t.kind, Kind::kCall);
  Reader number(bytes.data() + 2, 3);
  EXPECT_FALSE(number.Next(t));
  EXPECT_EQ(t.kind, Kind::kLong);
}

TEST(WireReader, DepthIsBounded) {
  EXPECT_EQ(ReadAll(Hex("'V' 'V' 'z' 'z'"), false, 2), "V@0 V@1 z@2 z@3");
  EXPECT_EQ(ReadAll(Hex("'V' 'M' 'V'"), false, 2), "V@0 M@1 !5@2");
  // A very deep input costs no stack: the reader keeps only a count.
  const std::string deep(100000, 'V');
  Reader reader(deep.data(), deep.size(), 100000);
  Token t;
  while (reader.Next(t)) {
  }
  EXPECT_EQ(reader.problem(), Problem::kEnd);
  EXPECT_EQ(reader.depth(), 100000u);
}

TEST(WireReader, SkipTakesWholeValues) {
  const std::string bytes =
      Hex("'Mt' 00 01 'a' 'S' 00 01 'k' 'Vl' 00 00 00 02 's' 00 01 'x' 'S' 00 00 'M' 'z' 'z' 'z'"
          "'I' 00 00 00 09");
  Reader reader(bytes.data(), bytes.size());
  Token first;
  ASSERT_TRUE(reader.Skip(first));
  EXPECT_EQ(Show(first), "Mt'a'@0");
  ASSERT_TRUE(reader.Skip(first));
  EXPECT_EQ(Show(first), "I9@26");
  EXPECT_EQ(reader.left(), 0u);
  // A value cut short fails where its innermost construct began.
  const std::string cut = bytes.substr(0, 20);
  Reader short_reader(cut.data(), cut.size());
  EXPECT_FALSE(short_reader.Skip(first));
  EXPECT_EQ(short_reader.problem(), Problem::kEnd);
  EXPECT_EQ(short_reader.problemOffset(), 19u);
  // A null pointer reads as empty input, never as memory.
  Reader none(nullptr, 5);
  EXPECT_FALSE(none.Next(first));
  EXPECT_EQ(none.problem(), Problem::kEnd);
}

// The writer's constructs, read back by the reader: one of each, inside a call.
TEST(WireWriter, WritesWhatTheReaderReads) {
  struct Sink {
    std::string bytes;
    int Append(const char* p, unsigned int n) {
      bytes.append(p, n);
      return 0;
    }
  } sink;
  kelo::wire::Writer<Sink> w(sink);
  const kelo::wire::Name type{"[x", 2, 2};
  const kelo::wire::Name method{"caf\xc3\xa9", 5, 4};
  const kelo::wire::Name url{"u", 1, 1};
  const int32_t two = 2;
  // Each returns 0; || runs them in order and stops at one that does not.
  EXPECT_FALSE(w.Call() || w.Header(type) || w.Null() || w.Method(method) || w.List(&type, &two) ||
               w.Bool(true) || w.Int(-7) || w.End() || w.Map(nullptr) || w.Chunk('s', "ab", 2, 2) ||
               w.Chunk('S', "", 0, 0) || w.Long(1ll << 40) || w.Chunk('B', "\x01", 1, 1) ||
               w.Double(0.5) || w.End() || w.Date(-1) || w.Ref(3) || w.Remote(type, url) ||
               w.End());
  EXPECT_EQ(ReadAll(sink.bytes, true),
            "c256@0 H'[x'@3 N@8 m'caf\xc3\xa9'@9 Vt'[x'l2@17 T@28 I-7@29 z@34 M@35 S+2'ab'@36 "
            "S0''@41 L1099511627776@44 B1'\x01'@53 D0.500000@57 z@66 d-1@67 R3@76 r'[x'u@81 "
            "z@91");
  const kelo::wire::Name huge{"", 0, 0x10000};
  EXPECT_EQ(w.Method(huge), KELO_E_OUT_OF_RANGE);
}

}  // namespace
