// The bytes of every kind of value, worked out from the encoding rules and read back into fresh
// objects; then the rules around them: string storage, UTF-8 and chunking, typed maps and their
// member registry of hand-registered and derived classes, lists and calls.
#include <gtest/gtest.h>

#include <string.h>

#include <memory>
#include <string>

#include "support/test_support.h"

namespace kelo {
struct RegistryAccess {
  static int Create(CKeloHesClass& c) { return c.CreateMemberHash(); }
  static void Clear(CKeloHesClass& c) { c.ClearMemberHash(); }
};
}  // namespace kelo

namespace {

using kelotest::Decode;
using kelotest::Encode;
using kelotest::Hex;
using kelotest::StringUnits;
using namespace VarantoTypes;

CKeloHesString Text(const std::u16string& text) {
  CKeloHesString s;
  const short* units = reinterpret_cast<const short*>(text.data());
  EXPECT_EQ(s.Copy(units, static_cast<unsigned int>(text.size())), 0);
  return s;
}
CKeloHesBinary Blob(const char* bytes, unsigned int n) {
  CKeloHesBinary b;
  EXPECT_EQ(b.Copy(bytes, n), 0);
  return b;
}

// The default Point: numbers zero, strings and blobs null.
#define POINT_MEMBERS                                                                          \
  "'Mt' 00 0a 'test.Point' 'S' 00 01 'x' 'I' 00 00 00 00  'S' 00 05 'small' 'I' 00 00 00 00"   \
  "'S' 00 03 'big' 'L' 00 00 00 00 00 00 00 00  'S' 00 05 'ratio' 'D' 00 00 00 00 00 00 00 00" \
  "'S' 00 04 'when' 'd' 00 00 00 00 00 00 00 00  'S' 00 04 'flag' 'F'"                         \
  "'S' 00 05 'label' 'N'  'S' 00 04 'blob' 'N'"
#define POINT POINT_MEMBERS "'z'"

// Derived classes get exactly what they register: one member more, or for a value class a type
// name of their own.
class PointAndMore : public kelotest::Point {
 public:
  CKeloHesInt32 more;

 protected:
  int HashMembers() override {
    if (int rc = kelotest::Point::HashMembers(); rc) return rc;
    return InsertMember(kMore, more);
  }

 private:
  static constexpr CKeloHesName kMore{"more", 4};
};

class RenamedCncId : public CT_CncId {
 public:
  const CKeloHesName& ClassName() const override { return kName; }

 private:
  static constexpr CKeloHesName kName{"Id", 2};
};

// An object, its bytes, and a fresh object of its class to read them back into.
struct Row {
  std::shared_ptr<CKeloHesObject> value, fresh;
  const char* hex;
};
template <class T>
Row Is(std::shared_ptr<T> value, const char* hex) {
  return {value, std::make_shared<T>(), hex};
}
template <class T>
Row Is(const T& value, const char* hex) {
  return Is(std::make_shared<T>(value), hex);
}

TEST(Wire, EveryKindWritesItsBytesAndReadsThemBack) {
  auto box = std::make_shared<kelotest::Box>();
  box->id = 9;
  box->corner.SetNull(true);
  ASSERT_EQ(box->points.Add(*new kelotest::Point()), 0);
  ASSERT_EQ(box->points.Add(*new kelotest::Point()), 0);
  box->points.GetAt(1)->SetNull(true);
  CT_CnuId nullFlag(4);  // a value class is written whole whatever its null flag says
  nullFlag.SetNull(true);
  PointAndMore more;
  more.more = 7;
  RenamedCncId renamed;
  static_cast<CT_CncId&>(renamed) = 7;
  const Row rows[] = {
      Is(CKeloHesBool(true), "'T'"),
      Is(CKeloHesInt8(static_cast<char>(-1)), "'I' ff ff ff ff"),             // sign-extended
      Is(CKeloHesUInt8(static_cast<unsigned char>(200)), "'I' 00 00 00 c8"),  // zero-extended
      Is(CKeloHesInt16(-2), "'I' ff ff ff fe"),
      Is(CKeloHesUInt32(0xFFFFFFFFu), "'I' ff ff ff ff"),
      Is(CKeloHesInt64(-2), "'L' ff ff ff ff ff ff ff fe"),
      Is(CKeloHesUInt64(0x8000000000000001ull), "'L' 80 00 00 00 00 00 00 01"),
      Is(CKeloHesDouble(-2.5), "'D' c0 04 00 00 00 00 00 00"),
      Is(CKeloHesDate(0x0102030405060708ull), "'d' 01 02 03 04 05 06 07 08"),
      Is(CKeloHesString(), "'N'"),
      Is(Text(u""), "'S' 00 00"),
      // One to three bytes a character, at each boundary; the count is of characters.
      Is(Text(u"a\u007f\u0080\u00e9\u07ff\u0800\u20ac\uffff"),
         "'S' 00 08 'a' 7f c2 80 c3 a9 df bf e0 a0 80 e2 82 ac ef bf bf"),
      Is(Text(u"abcdefghijk\u00e9"), "'S' 00 0c 'abcdefghijk' c3 a9"),
      Is(CKeloHesBinary(), "'N'"),
      Is(Blob("", 0), "'B' 00 00"),
      Is(Blob("\0\xff", 2), "'B' 00 02 00 ff"),
      Is(box,
         "'Mt' 00 08 'test.Box' 'S' 00 02 'id' 'I' 00 00 00 09 'S' 00 06 'corner' 'N'"
         "'S' 00 06 'points' 'Vt' 00 0b '[test.Point' 'l' 00 00 00 02" POINT "'N' 'z' 'z'"),
      Is(kelotest::Bare(), "'Mt' 00 04 'Bare' 'S' 00 01 'n' 'I' 00 00 00 00 'z'"),  // no namespace
      Is(nullFlag, "'Mt' 00 15 'VarantoTypes.CT_CnuId' 'S' 00 05 'value' 'I' 00 00 00 04 'z'"),
      Is(more, POINT_MEMBERS "'S' 00 04 'more' 'I' 00 00 00 07 'z'"),
      Is(renamed, "'Mt' 00 0f 'VarantoTypes.Id' 'S' 00 05 'value' 'I' 00 00 00 07 'z'"),
  };
  for (const Row& row : rows) {
    const std::string bytes = Hex(row.hex);
    EXPECT_EQ(kelotest::ToHex(Encode(*row.value)), kelotest::ToHex(bytes));
    // Read back with a byte behind: the reader stops right after the value.
    const kelotest::Decoded d = Decode(*row.fresh, bytes + "#");
    EXPECT_EQ(d.rc, 0) << row.hex << d.error;
    EXPECT_EQ(d.consumed, bytes.size()) << row.hex;
    EXPECT_EQ(kelotest::ToHex(Encode(*row.fresh)), kelotest::ToHex(bytes));
  }
  // A class derived from a domain type under a name of its own refuses the base's name.
  const std::string base =
      Hex("'Mt' 00 15 'VarantoTypes.CT_CncId' 'S' 00 05 'value' 'I' 00 00 00 07 'z'");
  EXPECT_EQ(Decode(renamed, base).rc, KELO_E_FORMAT);
  CT_CncId plain;
  EXPECT_EQ(Decode(plain, base).rc, 0);
}

// Type names at the 65535-byte limit of their length field: a map's, and a list's item type,
// which is '[' and the item's type name.
char gLongName[65536];
template <unsigned int N>
class Long : public CKeloHesClass {
 public:
  static constexpr CKeloHesName mNamespace{}, mClassName{gLongName, N};
  const CKeloHesName& Namespace() const override { return mNamespace; }
  const CKeloHesName& ClassName() const override { return mClassName; }

 protected:
  int HashMembers() override { return InsertMember(mNamespace, member); }
  CKeloHesBool member;
};

TEST(Wire, TypeNamesUpTo65535Bytes) {
  memset(gLongName, 'n', sizeof gLongName);
  const std::string name(gLongName, 65535);
  EXPECT_EQ(Encode(Long<65535>()), Hex("'Mt' ff ff") + name + Hex("'S' 00 00 'F' 'z'"));
  EXPECT_EQ(Encode(CKeloHesArray<Long<65534>>()),
            Hex("'Vt' ff ff '['") + name.substr(1) + Hex("'l' 00 00 00 00 'z'"));
  int rc = 0;
  EXPECT_EQ(Encode(Long<65536>(), &rc), "Mt");  // refused after the marker
  EXPECT_EQ(rc, KELO_E_OUT_OF_RANGE);
  EXPECT_EQ(Encode(CKeloHesArray<Long<65535>>(), &rc), "Vt");
  EXPECT_EQ(rc, KELO_E_OUT_OF_RANGE);
}

TEST(Wire, NullsAndNarrowNumbers) {
  CKeloHesInt8 i8;
  ASSERT_EQ(Decode(i8, Hex("'I' 00 00 01 2c")).rc, 0);
  EXPECT_EQ(static_cast<char>(i8), 44);
  EXPECT_EQ(Encode(i8), Hex("'I' 00 00 01 2c"));  // 300 goes back out as it came in
  CKeloHesUInt16 u16;
  CKeloHesInt16 s16;
  ASSERT_EQ(Decode(u16, Hex("'I' ff ff ff ff")).rc, 0);
  ASSERT_EQ(Decode(s16, Hex("'I' ff ff ff ff")).rc, 0);
  EXPECT_EQ(static_cast<unsigned short>(u16), 65535);
  EXPECT_EQ(static_cast<short>(s16), -1);
  CKeloHesInt32 n(7);  // numbers are never null
  EXPECT_EQ(static_cast<CKeloHesObject&>(n).SetNull(true), KELO_E_NOT_SUPPORTED);
  EXPECT_FALSE(n.IsNull());
  CT_CnuId id(9);  // 'N' makes a value class null and leaves its value alone
  const kelotest::Decoded d = Decode(id, "N#");
  ASSERT_EQ(d.rc, 0);
  EXPECT_EQ(d.consumed, 1u);
  EXPECT_TRUE(id.IsNull());
  EXPECT_EQ(static_cast<int>(id), 9);
}

TEST(Strings, StorageRulesAndUtf8Oddities) {
  CKeloHesString s;
  ASSERT_EQ(s.Copy(""), 0);
  EXPECT_FALSE(s.IsNull());  // empty, not null, and nothing allocated
  EXPECT_EQ(s.GetData(), nullptr);
  ASSERT_EQ(s.Copy(static_cast<const char*>(nullptr), 5), 0);  // nothing to copy from: null
  EXPECT_TRUE(s.IsNull());
  EXPECT_EQ(s.Length(), 0u);
  ASSERT_EQ(s.Copy("\xe9t\xe9"), 0);  // bytes are the code points 0 to 255
  EXPECT_EQ(StringUnits(s), u"\u00e9t\u00e9");
  static const short kExternal[] = {'h', 'i'};
  s.SetExternal(kExternal, 2);
  CKeloHesString copy = Text(u"abc");
  copy = s;  // external units stay external
  EXPECT_EQ(copy.GetData(), kExternal);
  EXPECT_EQ(copy.Length(), 2u);
  CKeloHesBinary blob;  // blobs follow the same rules
  blob.SetExternal("xyz", 2);
  EXPECT_EQ(kelotest::BlobBytes(blob), "xy");
  blob.SetExternal(nullptr, 0);
  EXPECT_TRUE(blob.IsNull());
  // Encoded surrogates and overlong forms are read as they decode...
  ASSERT_EQ(Decode(s, Hex("'S' 00 02 ed a0 80 c0 80")).rc, 0);
  EXPECT_EQ(StringUnits(s), std::u16string(u"\xd800") + char16_t(0));
  // ...but a surrogate unit cannot be written, and the output is left as it was.
  for (const char16_t* bad : {u"ab\xd800", u"\xdfff", u"abcdefgh\xdc00"}) {
    CKeloOutput out;
    ASSERT_EQ(out.Append("keep", 4), 0);
    EXPECT_EQ(Text(bad).Serialize(out), KELO_E_NOT_SUPPORTED);
    EXPECT_EQ(std::string(out.Data(), out.DataSize()), "keep");
    // DoSerialize leaves the chunk header it wrote, whether the buffer had room for it all or not.
    for (bool room : {false, true}) {
      CKeloOutput raw(0);
      if (room) raw.SetDataSize(raw.Append('x') == 0 ? 0 : 1);
      EXPECT_EQ(Text(bad).DoSerialize(raw), KELO_E_NOT_SUPPORTED);
      const char length = static_cast<char>(std::u16string(bad).size());
      EXPECT_EQ(std::string(raw.Data(), raw.DataSize()), std::string({'S', '\0', length}));
    }
  }
}

TEST(Strings, ChunkAt65535CharactersOrBytesBothWays) {
  // Full chunks are 's' ff ff and 65535 characters, here of two bytes each; the last is 'S'.
  std::string full;
  for (int i = 0; i < 65535; ++i) full += "\xc3\xa9";
  const std::pair<unsigned int, std::string> texts[] = {
      {65535, Hex("'S' ff ff") + full},
      {65536, Hex("'s' ff ff") + full + Hex("'S' 00 01 c3 a9")},
      {2 * 65535 + 3,
       Hex("'s' ff ff") + full + Hex("'s' ff ff") + full + Hex("'S' 00 03") + full.substr(0, 6)},
  };
  for (const auto& [n, wire] : texts) {
    const std::u16string text(n, u'\u00e9');
    EXPECT_EQ(Encode(Text(text)), wire) << n;
    CKeloHesString back;
    ASSERT_EQ(Decode(back, wire).rc, 0);
    EXPECT_EQ(StringUnits(back), text);
  }
  std::string big(65536, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  const std::string wire = Encode(Blob(big.data(), 65536));
  EXPECT_EQ(wire, Hex("'b' ff ff") + big.substr(0, 65535) + Hex("'B' 00 01") + big.substr(65535));
  CKeloHesBinary back;
  ASSERT_EQ(Decode(back, wire).rc, 0);
  EXPECT_EQ(kelotest::BlobBytes(back), big);
}

TEST(Maps, MembersInAnyOrderTheUnknownSkippedAndWhatCanBeNullNulled) {
  // Unregistered members of every type, and last "X", which differs from "x" only in case.
  const std::string wire = Hex(
      "'Mt' 00 0a 'test.Point' 'S' 00 04 'flag' 'T'"
      "'S' 00 01 'a' 'T'  'S' 00 01 'b' 'F'  'S' 00 01 'c' 'N'  'S' 00 01 'd' 'I' 01 02 03 04"
      "'S' 00 01 'e' 'L' 01 02 03 04 05 06 07 08  'S' 00 01 'f' 'D' 01 02 03 04 05 06 07 08"
      "'S' 00 01 'g' 'd' 01 02 03 04 05 06 07 08  'S' 00 01 'h' 's' 00 01 c3 a9 'S' 00 01 'z'"
      "'S' 00 01 'i' 'b' 00 01 00 'B' 00 02 'zz'"
      "'S' 00 01 'j' 'Mt' 00 05 'other' 'S' 00 01 'k' 'Vt' 00 06 '[other' 'l' 00 00 00 02"
      "    'N' 'Mt' 00 01 'q' 'S' 00 01 'r' 'Vt' 00 01 '[' 'l' 00 00 00 00 'z' 'z' 'z' 'z'"
      "'S' 00 01 'x' 'I' 00 00 00 01  'S' 00 01 'x' 'I' 00 00 00 03  'S' 00 01 'X' 'I' 00 00 00 09"
      "'z'");
  kelotest::Point p;
  ASSERT_EQ(p.label.Copy("text"), 0);
  const kelotest::Decoded d = Decode(p, wire + "#");
  ASSERT_EQ(d.rc, 0) << d.error;
  EXPECT_EQ(d.consumed, wire.size());
  EXPECT_EQ(static_cast<int>(p.x), 3);  // a repeated member keeps the last value
  EXPECT_TRUE(static_cast<bool>(p.flag));
  EXPECT_TRUE(p.label.IsNull());
  CKeloHesSkipClass any;  // a skip structure takes any type name
  EXPECT_EQ(Decode(any, Hex("'Mt' 00 03 'a.b' 'z'")).rc, 0);
}

// Registers nothing: the root's HashMembers answers.
class NoSchema : public CKeloHesClass {
 public:
  const CKeloHesName& Namespace() const override { return ClassName(); }
  const CKeloHesName& ClassName() const override { return kName; }

 private:
  static constexpr CKeloHesName kName{"n", 1};
};

TEST(Registry, BuiltOnDemandAndCleared) {
  kelotest::Point p;
  EXPECT_EQ(p.FirstMember(), nullptr);
  ASSERT_EQ(kelo::RegistryAccess::Create(p), 0);
  const CKeloMemberData* first = p.FirstMember();
  ASSERT_NE(first, nullptr);
  ASSERT_EQ(kelo::RegistryAccess::Create(p), 0);  // already built: unchanged
  EXPECT_EQ(p.FirstMember(), first);
  kelo::RegistryAccess::Clear(p);
  EXPECT_EQ(p.FirstMember(), nullptr);
  kelo::RegistryAccess::Clear(p);    // clearing an empty registry does nothing
  EXPECT_EQ(Encode(p), Hex(POINT));  // a generated class writes without one
  // Copies and their registries are the catalogue walk's; here, classes that register nothing.
  NoSchema none;
  EXPECT_EQ(none.Description(), nullptr);
  int rc = 0;
  EXPECT_EQ(Encode(none, &rc), "");
  EXPECT_EQ(rc, KELO_E_NOT_SUPPORTED);
  EXPECT_EQ(Decode(none, Hex("'Mt' 00 03 'n.n' 'z'")).rc, KELO_E_NOT_SUPPORTED);
  CKeloHesSkipClass skip;  // registers nothing, successfully: no members to write
  EXPECT_EQ(Encode(skip, &rc), Hex("'Mt' 00 00"));
  EXPECT_EQ(rc, KELO_E_INVALID_STATE);
}

// Derived from a generated class: written and read through its registry, built from the rows.
class RegistryBareTwice : public kelotest::BareTwice {};

TEST(Maps, ANameSharedWithTheBaseIsWrittenTwiceAndReadIntoTheBase) {
  const std::string two =
      Hex("'Mt' 00 09 'BareTwice' 'S' 00 01 'n' 'I' 00 00 00 01 'S' 00 01 'n' 'I' 00 00 00 02 'z'");
  kelotest::BareTwice generated;
  RegistryBareTwice derived;
  for (kelotest::BareTwice* twice : {&generated, static_cast<kelotest::BareTwice*>(&derived)}) {
    static_cast<kelotest::Bare&>(*twice).n = 1;
    twice->n = 2;
    EXPECT_EQ(Encode(*twice), two);
    twice->n = 3;
    ASSERT_EQ(Decode(*twice, two).rc, 0);  // every occurrence goes to the first registered
    EXPECT_EQ(static_cast<int>(static_cast<kelotest::Bare&>(*twice).n), 2);
    EXPECT_EQ(static_cast<int>(twice->n), 3);
  }
  EXPECT_EQ(generated.FirstMember(), nullptr);  // a generated class needs no registry
  EXPECT_NE(derived.FirstMember(), nullptr);
  EXPECT_EQ(derived.Description(), &kelotest::BareTwice::mClassInfo);  // inherited
}

TEST(Names, CompareIsSignedBytewise) {
  const CKeloHesName ab("ab", 2), abc("abc", 3), a("a", 1), b("b", 1), high("\x80", 1);
  EXPECT_EQ(ab.Compare(abc), -1);
  EXPECT_EQ(abc.Compare(ab), 1);
  EXPECT_EQ(ab.Compare(CKeloHesName("ab", 2)), 0);
  EXPECT_EQ(b.Compare(a), 1);
  EXPECT_LT(high.Compare(a), 0);
  EXPECT_EQ(CKeloHesName().Compare(CKeloHesName()), 0);
}

TEST(DomainTypes, IPv4AccessorsAndTheMeasurementMask) {
  CT_IPAddr ip;
  const unsigned char addr[] = {192, 168, 1, 2, 99};
  ASSERT_EQ(ip.Copy(reinterpret_cast<const char*>(addr), 4), 0);
  EXPECT_EQ(static_cast<unsigned int>(ip.GetInHostOrder()), 0xC0A80102u);
  const int network = ip.GetInNetworkOrder();
  EXPECT_EQ(memcmp(&network, addr, 4), 0);  // the address bytes in order, whatever the host
  ASSERT_EQ(ip.Copy(reinterpret_cast<const char*>(addr), 5), 0);  // bytes beyond 4 are ignored
  EXPECT_EQ(static_cast<unsigned int>(ip.GetInHostOrder()), 0xC0A80102u);
  ASSERT_EQ(ip.Copy(reinterpret_cast<const char*>(addr), 3), 0);
  EXPECT_EQ(ip.GetInHostOrder(), 0);
  EXPECT_EQ(ip.GetInNetworkOrder(), 0);

  CT_MeasurementType mask;  // a 32-bit little-endian mask in a 4-byte blob
  ASSERT_EQ(mask.TurnBitsOn(0x100), 0);
  ASSERT_EQ(mask.TurnBitsOn(0x80000001), 0);
  EXPECT_EQ(kelotest::BlobBytes(mask.Value()), std::string("\x01\x01\x00\x80", 4));
  ASSERT_EQ(mask.Copy("abcdef", 6), 0);  // not a mask: left alone
  EXPECT_EQ(mask.TurnBitsOn(1), KELO_E_NOT_SUPPORTED);
  EXPECT_EQ(kelotest::BlobBytes(mask.Value()), "abcdef");
}

// A call of a null request ('N') both ways. The method's length is what differs: the classic
// function writes the number of bytes it is given, behind what the output holds (a refusal leaves
// that alone); EncodeCall writes 16-bit units, as Hessian counts them.
TEST(CallFraming, TheClassicFunctionCountsTheMethodInBytesEncodeCallIn16BitUnits) {
  std::string wide;  // 65535 units in twice as many bytes
  for (int i = 0; i < 65535; ++i) wide += "\xC3\xA9";
  const struct {
    std::string method;
    int code;                   // EncodeCall's result
    const char *bytes, *units;  // the classic and EncodeCall's length field; null: refused
  } rows[] = {
      {"caf\xC3\xA9", KELO_OK, "00 05", "00 04"},
      {std::string("a\0b", 3), KELO_OK, "00 03", "00 03"},  // the whole length, past a zero
      {std::string(65535, 'm'), KELO_OK, "ff ff", "ff ff"},
      {std::string(65536, 'm'), KELO_E_OUT_OF_RANGE, nullptr, nullptr},
      {wide, KELO_OK, nullptr, "ff ff"},
      {wide + "\xC3\xA9", KELO_E_OUT_OF_RANGE, nullptr, nullptr},
      {"caf\xC3", KELO_E_FORMAT, "00 04", nullptr},
      {"\xF0\x9F\x98\x80", KELO_E_NOT_SUPPORTED, "00 04", nullptr},
  };
  kelotest::Bare request;
  request.SetNull(true);
  for (const auto& row : rows) {
    SCOPED_TRACE(kelotest::ToHex(row.method.substr(0, 8)));
    const auto call = [&](const char* length) {
      return length ? Hex("'c' 00 01 'm'") + Hex(length) + row.method + "Nz" : "";
    };
    CKeloOutput classic;
    ASSERT_EQ(classic.Append("before", 6), 0);
    EXPECT_EQ(
        KeloHessianBuildRequest(row.method.data(), static_cast<unsigned int>(row.method.size()),
                                request, classic),
        row.bytes ? KELO_OK : KELO_E_OUT_OF_RANGE);
    EXPECT_EQ(std::string(classic.Data(), classic.DataSize()), "before" + call(row.bytes));
    std::vector<std::uint8_t> out;
    EXPECT_EQ(kelo::EncodeCall(row.method, request, out).code(), row.code);
    EXPECT_EQ(std::string(out.begin(), out.end()), call(row.units));
  }
}

}  // namespace
