// Scalars, strings and blobs: wire forms, widening rules, UTF-8 both ways, chunking at 65535,
// and the exact failure texts.
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace {

using kelotest::Decode;
using kelotest::Encode;
using kelotest::Hex;

TEST(Scalars, WireForms) {
  EXPECT_EQ(Encode(CKeloHesBool(true)), "T");
  EXPECT_EQ(Encode(CKeloHesBool(false)), "F");
  EXPECT_EQ(Encode(CKeloHesInt8(static_cast<char>(-1))), Hex("'I' ff ff ff ff"));
  EXPECT_EQ(Encode(CKeloHesUInt8(255)), Hex("'I' 00 00 00 ff"));
  EXPECT_EQ(Encode(CKeloHesInt16(-2)), Hex("'I' ff ff ff fe"));
  EXPECT_EQ(Encode(CKeloHesUInt16(0xFFFF)), Hex("'I' 00 00 ff ff"));
  EXPECT_EQ(Encode(CKeloHesUInt32(0xFFFFFFFFu)), Hex("'I' ff ff ff ff"));
  EXPECT_EQ(Encode(CKeloHesInt64(-2)), Hex("'L' ff ff ff ff ff ff ff fe"));
  EXPECT_EQ(Encode(CKeloHesUInt64(0x8000000000000001ull)), Hex("'L' 80 00 00 00 00 00 00 01"));
  EXPECT_EQ(Encode(CKeloHesDouble(1.0)), Hex("'D' 3f f0 00 00 00 00 00 00"));
  EXPECT_EQ(Encode(CKeloHesDate(1000)), Hex("'d' 00 00 00 00 00 00 03 e8"));
}

TEST(Scalars, NarrowTypesKeepTheWholeWireValueAndConvertTheLowBits) {
  CKeloHesInt8 i8;
  ASSERT_EQ(Decode(i8, Hex("'I' 00 00 01 2c")).rc, 0);
  EXPECT_EQ(static_cast<char>(i8), 44);
  EXPECT_EQ(Encode(i8), Hex("'I' 00 00 01 2c"));  // 300 kept whole in the field

  CKeloHesUInt16 u16;
  CKeloHesInt16 s16;
  ASSERT_EQ(Decode(u16, Hex("'I' ff ff ff ff")).rc, 0);
  ASSERT_EQ(Decode(s16, Hex("'I' ff ff ff ff")).rc, 0);
  EXPECT_EQ(static_cast<unsigned short>(u16), 65535);
  EXPECT_EQ(static_cast<short>(s16), -1);

  CKeloHesUInt8 u8(static_cast<unsigned char>(200));
  EXPECT_EQ(Encode(u8), Hex("'I' 00 00 00 c8"));  // zero-extended, never sign-extended
}

TEST(Scalars, AreNeverNull) {
  CKeloHesInt32 n(7);
  CKeloHesObject& object = n;
  EXPECT_EQ(object.SetNull(true), KELO_E_NOT_SUPPORTED);
  EXPECT_FALSE(n.IsNull());
  // 'N' where a number belongs is a format error, not a null (given the bytes an 'I' needs).
  const kelotest::Decoded d = Decode(n, Hex("'N' 00 00 00 00"));
  EXPECT_EQ(d.rc, KELO_E_FORMAT);
  EXPECT_EQ(static_cast<int>(n), 7);
}

TEST(Scalars, FailureTexts) {
  CKeloHesBool b;
  EXPECT_EQ(Decode(b, "").error, "Failed to read boolean. Last chars read: ''");
  kelotest::Decoded d = Decode(b, "x");
  EXPECT_EQ(d.rc, KELO_E_FORMAT);
  EXPECT_EQ(d.error, "Expected boolean ('T' or 'F') but got something else. Last chars read: 'x'");

  CKeloHesInt32 i(9);
  d = Decode(i, Hex("'I' 00 00 01"));  // 4 bytes left: nothing is taken
  EXPECT_EQ(d.rc, KELO_E_EXHAUSTED);
  EXPECT_EQ(d.consumed, 0u);
  EXPECT_EQ(d.error, "Failed to read integer. Last chars read: ''");
  d = Decode(i, Hex("'L' 00 00 00 01"));
  EXPECT_EQ(d.rc, KELO_E_FORMAT);
  EXPECT_EQ(d.consumed, 5u);
  EXPECT_EQ(static_cast<int>(i), 9);
  EXPECT_EQ(d.error, "Expected integer ('I'), but got something else. Last chars read: 'L....'");

  CKeloHesInt64 l;
  d = Decode(l, Hex("'D' 3f f0 00 00 00 00 00 00"));
  EXPECT_EQ(d.rc, KELO_E_FORMAT);
  EXPECT_EQ(
      d.error,
      "Expected 64 bit value (with 'L') but got something else. Last chars read: 'D?.......'");
  CKeloHesDate date;
  d = Decode(date, Hex("'d' 00"));
  EXPECT_EQ(d.rc, KELO_E_EXHAUSTED);
  EXPECT_EQ(d.error, "Failed to read integer64 value. Last chars read: ''");
}

TEST(Scalars, RoundTripEveryKind) {
  CKeloHesDouble dbl(-2.5);
  CKeloHesDouble dblBack;
  ASSERT_EQ(Decode(dblBack, Encode(dbl)).rc, 0);
  EXPECT_EQ(static_cast<double>(dblBack), -2.5);
  CKeloHesUInt64 u(0xFFFFFFFFFFFFFFFFull), uBack;
  ASSERT_EQ(Decode(uBack, Encode(u)).rc, 0);
  EXPECT_EQ(static_cast<unsigned long long>(uBack), 0xFFFFFFFFFFFFFFFFull);
}

CKeloHesString MakeString(const std::u16string& units) {
  CKeloHesString s;
  EXPECT_EQ(
      s.Copy(reinterpret_cast<const short*>(units.data()), static_cast<unsigned int>(units.size())),
      0);
  return s;
}

TEST(Strings, NullEmptyAndCopyRules) {
  CKeloHesString s;
  EXPECT_TRUE(s.IsNull());
  EXPECT_EQ(Encode(s), "N");
  ASSERT_EQ(s.Copy(""), 0);
  EXPECT_FALSE(s.IsNull());
  EXPECT_EQ(s.GetData(), nullptr);
  EXPECT_EQ(Encode(s), Hex("'S' 00 00"));
  ASSERT_EQ(s.Copy(static_cast<const char*>(nullptr), 5), 0);  // nothing to copy from: null
  EXPECT_TRUE(s.IsNull());
  EXPECT_EQ(s.Length(), 0u);
  ASSERT_EQ(s.Copy("\xe9t\xe9"), 0);  // bytes are code points 0 to 255
  EXPECT_EQ(kelotest::StringUnits(s), u"\u00e9t\u00e9");
  EXPECT_EQ(CKeloHesString::pszNullString[0], 0);
}

TEST(Strings, CopiesOfOwnedTextAreIndependentAndExternalTextStaysExternal) {
  CKeloHesString owned = MakeString(u"abc");
  CKeloHesString copy(owned);
  EXPECT_NE(copy.GetData(), owned.GetData());
  owned.GetData()[0] = 'x';
  EXPECT_EQ(kelotest::StringUnits(copy), u"abc");

  static const short kExternal[] = {'h', 'i'};
  CKeloHesString external;
  external.SetExternal(kExternal, 2);
  CKeloHesString assigned;
  assigned = external;
  EXPECT_EQ(assigned.GetData(), kExternal);
  // Reading 'N' into an external string leaves the caller's units alone.
  ASSERT_EQ(Decode(external, "N").rc, 0);
  EXPECT_TRUE(external.IsNull());
  EXPECT_EQ(kExternal[0], 'h');
}

TEST(Strings, Utf8WireForms) {
  EXPECT_EQ(Encode(MakeString(u"\u00e9")), Hex("'S' 00 01 c3 a9"));
  EXPECT_EQ(Encode(MakeString(u"\u20ac")), Hex("'S' 00 01 e2 82 ac"));
  EXPECT_EQ(Encode(MakeString(u"a\u07ff\u0800\uffff")),
            Hex("'S' 00 04 'a' df bf e0 a0 80 ef bf bf"));

  CKeloHesString s;
  const std::string wire = Hex("'S' 00 02 c3 a9 61 'tail'");
  const kelotest::Decoded d = Decode(s, wire);
  ASSERT_EQ(d.rc, 0);
  EXPECT_EQ(d.consumed, 6u);  // the count is of characters, not bytes
  EXPECT_EQ(kelotest::StringUnits(s), u"\u00e9a");
}

TEST(Strings, SurrogatesCannotBeWrittenAndLeaveTheOutputAlone) {
  CKeloHesString s = MakeString(u"ab\xd800");
  CKeloOutput out;
  ASSERT_EQ(out.Append("keep", 4), 0);
  EXPECT_EQ(s.Serialize(out), KELO_E_NOT_SUPPORTED);
  EXPECT_EQ(std::string(out.Data(), out.DataSize()), "keep");
  // Encoded surrogates and overlong forms are read as they decode.
  CKeloHesString r;
  ASSERT_EQ(Decode(r, Hex("'S' 00 02 ed a0 80 c0 80")).rc, 0);
  EXPECT_EQ(kelotest::StringUnits(r), std::u16string(u"\xd800") + char16_t(0));
}

TEST(Strings, Utf8FailuresAndTheirTexts) {
  struct Case {
    const char* hex;
    int rc;
    const char* error;
  } cases[] = {
      {"'S' 00 01 c3", KELO_E_FORMAT,
       "Corrupted utf8: Sequence terminated in the middle of a 2-byte char"},
      {"'S' 00 01 e2 82", KELO_E_FORMAT,
       "Corrupted utf8: Sequence terminated in the middle of a 3-byte char"},
      {"'S' 00 01 c3 41", KELO_E_FORMAT,
       "Corrupted utf8: Format of second byte in a two-byte encoding is not 10zzzzzz"},
      {"'S' 00 01 e2 82 41", KELO_E_FORMAT,
       "Corrupted utf8: Format of second or third byte in a three-byte encoding is not 10zzzzzz"},
      {"'S' 00 01 f0 9f 98 80", KELO_E_FORMAT,
       "utf8: Unicode value greater than 0xFFFF not supported yet"},
      {"'S' 00 01 80", KELO_E_FORMAT, "Corrupted utf8: Unsupported leading byte"},
      {"'S' 00 01 f8", KELO_E_FORMAT, "Corrupted utf8: Unsupported leading byte"},
      {"'S' 00 02 'a'", KELO_E_EXHAUSTED, "Failed to read string value. Last chars read: 'S..a'"},
      {"'S' 00", KELO_E_EXHAUSTED, "Failed to read length of string value. Last chars read: 'S'"},
      {"'s' 00 01 'a'", KELO_E_EXHAUSTED,
       "Expected next block of string data, but got something else. Last chars read: 's..a'"},
      {"'s' 00 01 'a' 'N'", KELO_E_FORMAT,
       "Expected string ('S', 's' or 'N') but got something else. Last chars read: 's..aN'"},
      {"'B' 00 00", KELO_E_FORMAT,
       "Expected string ('S', 's' or 'N') but got something else. Last chars read: 'B'"},
      {"", KELO_E_EXHAUSTED, "Failed to read string value. Last chars read: ''"},
  };
  for (const Case& c : cases) {
    CKeloHesString s = MakeString(u"old");
    const kelotest::Decoded d = Decode(s, Hex(c.hex));
    EXPECT_EQ(d.rc, c.rc) << c.hex;
    EXPECT_EQ(d.error, c.error) << c.hex;
    EXPECT_EQ(kelotest::StringUnits(s), u"old") << c.hex;  // the old value stays
  }
}

TEST(Strings, ChunkAt65535CharactersBothWays) {
  for (unsigned int n : {65535u, 65536u, 2u * 65535u + 3u}) {
    std::u16string text(n, u'\u00e9');
    for (unsigned int i = 0; i < n; i += 7) text[i] = u'a';
    const std::string wire = Encode(MakeString(text));
    // Walk the chunk headers: full chunks are 's' ff ff, the last one 'S' with the rest.
    size_t pos = 0;
    unsigned int remaining = n;
    while (remaining > 65535) {
      ASSERT_EQ(wire.substr(pos, 3), Hex("'s' ff ff"));
      size_t bytes = 0;
      for (unsigned int i = 0; i < 65535; ++i) bytes += text[n - remaining + i] == u'a' ? 1 : 2;
      pos += 3 + bytes;
      remaining -= 65535;
    }
    ASSERT_EQ(wire[pos], 'S');
    EXPECT_EQ((static_cast<unsigned char>(wire[pos + 1]) << 8) |
                  static_cast<unsigned char>(wire[pos + 2]),
              static_cast<int>(remaining));
    CKeloHesString back;
    ASSERT_EQ(Decode(back, wire).rc, 0);
    EXPECT_EQ(kelotest::StringUnits(back), text);
  }
}

TEST(Strings, ReaderAcceptsSmallerChunks) {
  CKeloHesString s;
  ASSERT_EQ(Decode(s, Hex("'s' 00 02 'ab' 's' 00 01 c3 a9 'S' 00 00")).rc, 0);
  EXPECT_EQ(kelotest::StringUnits(s), u"ab\u00e9");
}

TEST(Binaries, WireFormsAndChunking) {
  CKeloHesBinary b;
  EXPECT_EQ(Encode(b), "N");
  ASSERT_EQ(b.Copy("", 0), 0);
  EXPECT_EQ(Encode(b), Hex("'B' 00 00"));
  std::string big(65536, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  ASSERT_EQ(b.Copy(big.data(), 65536), 0);
  const std::string wire = Encode(b);
  EXPECT_EQ(wire, Hex("'b' ff ff") + big.substr(0, 65535) + Hex("'B' 00 01") + big.substr(65535));
  CKeloHesBinary back;
  ASSERT_EQ(Decode(back, wire).rc, 0);
  const char* data;
  ASSERT_EQ(back.Data(data), 65536u);
  EXPECT_EQ(std::string(data, 65536), big);
}

TEST(Binaries, FailuresKeepTheOldValue) {
  struct Case {
    const char* hex;
    int rc;
    const char* error;
  } cases[] = {
      {"'B' 00 05 01 02 03", KELO_E_EXHAUSTED,
       "Failed to read binary value. Last chars read: 'B..'"},
      {"'B' 00", KELO_E_EXHAUSTED, "Failed to read length of binary value. Last chars read: 'B'"},
      {"'b' 00 01 07", KELO_E_EXHAUSTED,
       "Expected next block of binary data, but got something else. Last chars read: 'b...'"},
      {"'b' 00 01 07 'N'", KELO_E_FORMAT,
       "Expected binary ('B', 'b' or 'N') but got something else. Last chars read: 'b...N'"},
      {"'S' 00 00", KELO_E_FORMAT,
       "Expected binary ('B', 'b' or 'N') but got something else. Last chars read: 'S'"},
  };
  for (const Case& c : cases) {
    CKeloHesBinary b;
    ASSERT_EQ(b.Copy("old", 3), 0);
    const kelotest::Decoded d = Decode(b, Hex(c.hex));
    EXPECT_EQ(d.rc, c.rc) << c.hex;
    EXPECT_EQ(d.error, c.error) << c.hex;
    const char* data;
    ASSERT_EQ(b.Data(data), 3u);
    EXPECT_EQ(std::string(data, 3), "old");
  }
}

}  // namespace
