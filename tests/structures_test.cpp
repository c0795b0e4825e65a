// Typed maps, the member registry, skipping of unregistered members and typed lists, driven
// through small test-only structures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace kelo {
struct RegistryAccess {
  static int Create(CKeloHesClass& c) { return c.CreateMemberHash(); }
  static void Clear(CKeloHesClass& c) { c.ClearMemberHash(); }
  static void Nullify(CKeloHesClass& c) { c.NullifyAllMembers(); }
};
}  // namespace kelo

namespace {

using kelotest::Decode;
using kelotest::Encode;
using kelotest::Hex;

// The default Point, worked out from the map rules.
const char kDefaultPoint[] =
    "'Mt' 00 0a 'test.Point'"
    "'S' 00 01 'x'     'I' 00 00 00 00"
    "'S' 00 05 'small' 'I' 00 00 00 00"
    "'S' 00 03 'big'   'L' 00 00 00 00 00 00 00 00"
    "'S' 00 05 'ratio' 'D' 00 00 00 00 00 00 00 00"
    "'S' 00 04 'when'  'd' 00 00 00 00 00 00 00 00"
    "'S' 00 04 'flag'  'F'"
    "'S' 00 05 'label' 'N'"
    "'S' 00 04 'blob'  'N'"
    "'z'";

// A class with two members under one name, and no namespace: exercises the registry rules.
class Twice : public CKeloHesClass {
 public:
  CKeloHesInt32 first, second;
  const CKeloHesName& Namespace() const override { return kEmpty; }
  const CKeloHesName& ClassName() const override { return kName; }

 protected:
  int HashMembers() override {
    if (int rc = InsertMember(kMember, first); rc) return rc;
    return InsertMember(kMember, second);
  }

 private:
  static constexpr CKeloHesName kEmpty{};
  static constexpr CKeloHesName kName{"Twice", 5};
  static constexpr CKeloHesName kMember{"v", 1};
};

// A structure whose class registers nothing at all: the root's HashMembers answers.
class NoSchema : public CKeloHesClass {
 public:
  const CKeloHesName& Namespace() const override { return kName; }
  const CKeloHesName& ClassName() const override { return kName; }

 private:
  static constexpr CKeloHesName kName{"n", 1};
};

TEST(Maps, DefaultObjectWritesEveryMemberInOrder) {
  kelotest::Point p;
  EXPECT_EQ(Encode(p), Hex(kDefaultPoint));
  EXPECT_EQ(Encode(p), Hex(kDefaultPoint));  // the registry is built once and reused
}

TEST(Maps, NullStructuresAndEmptyNamespaces) {
  kelotest::Point p;
  p.x = 5;
  p.SetNull(true);
  EXPECT_EQ(Encode(p), "N");
  p.SetNull(false);
  ASSERT_EQ(Decode(p, "N").rc, 0);
  EXPECT_TRUE(p.IsNull());
  EXPECT_EQ(static_cast<int>(p.x), 5);  // reading 'N' leaves the members untouched

  kelotest::Bare bare;
  bare.n = 1;
  EXPECT_EQ(Encode(bare), Hex("'Mt' 00 04 'Bare' 'S' 00 01 'n' 'I' 00 00 00 01 'z'"));
  EXPECT_EQ(Decode(bare, Hex("'Mt' 00 04 'Bare' 'z'")).rc, 0);
  const kelotest::Decoded d = Decode(bare, Hex("'Mt' 00 05 '.Bare' 'z'"));
  EXPECT_EQ(d.rc, KELO_E_FORMAT);
  EXPECT_EQ(d.error, "Expected class \"Bare\" but got \".Bare\". Last chars read: 'Mt...Bare'");
}

TEST(Maps, TypeNameMustMatchExactly) {
  kelotest::Point p;
  for (const char* wrong : {"'Mt' 00 05 'Point'", "'Mt' 00 0b 'xtest.Point'",
                            "'Mt' 00 0b 'test.Points'", "'Mt' 00 0a 'test.point'"}) {
    const kelotest::Decoded d = Decode(p, Hex(wrong) + "z");
    EXPECT_EQ(d.rc, KELO_E_FORMAT) << wrong;
    EXPECT_EQ(d.error.rfind("Expected class \"test.Point\" but got \"", 0), 0u) << d.error;
  }
  // A skip structure checks nothing.
  CKeloHesSkipClass any;
  EXPECT_EQ(Decode(any, Hex("'Mt' 00 03 'a.b' 'z'")).rc, 0);
}

TEST(Maps, EmptyMapNullsNullableMembersAndKeepsNumbers) {
  kelotest::Point p;
  p.x = 7;
  p.flag = true;
  ASSERT_EQ(p.label.Copy("text"), 0);
  ASSERT_EQ(Decode(p, Hex("'Mt' 00 0a 'test.Point' 'z'")).rc, 0);
  EXPECT_EQ(static_cast<int>(p.x), 7);
  EXPECT_TRUE(static_cast<bool>(p.flag));
  EXPECT_TRUE(p.label.IsNull());
  EXPECT_TRUE(p.blob.IsNull());
}

TEST(Maps, MembersInAnyOrderAndRepeatedMembersKeepTheLastValue) {
  kelotest::Point p;
  const std::string wire =
      Hex("'Mt' 00 0a 'test.Point' 'S' 00 04 'flag' 'T' 'S' 00 01 'x' 'I' 00 00 00 01"
          "'S' 00 01 'x' 'I' 00 00 00 02 'z'");
  const kelotest::Decoded d = Decode(p, wire + "rest");
  ASSERT_EQ(d.rc, 0);
  EXPECT_EQ(static_cast<int>(p.x), 2);
  EXPECT_TRUE(static_cast<bool>(p.flag));
  EXPECT_EQ(d.consumed, wire.size());  // the reader stops right behind the map's 'z'
}

TEST(Maps, UnregisteredMembersOfEveryTypeAreSkipped) {
  const std::string unknown =
      Hex("'S' 00 01 'a' 'T'  'S' 00 01 'b' 'F'  'S' 00 01 'c' 'N'"
          "'S' 00 01 'd' 'I' 01 02 03 04"
          "'S' 00 01 'e' 'L' 01 02 03 04 05 06 07 08"
          "'S' 00 01 'f' 'D' 01 02 03 04 05 06 07 08"
          "'S' 00 01 'g' 'd' 01 02 03 04 05 06 07 08"
          "'S' 00 01 'h' 's' 00 01 c3 a9 'S' 00 01 'z'"
          "'S' 00 01 'i' 'b' 00 01 00 'B' 00 02 'zz'"
          "'S' 00 01 'j' 'Mt' 00 05 'other' 'S' 00 01 'k' 'Vt' 00 06 '[other' 'l' 00 00 00 02"
          "    'N' 'Mt' 00 01 'q' 'S' 00 01 'r' 'Vt' 00 01 '[' 'l' 00 00 00 00 'z' 'z' 'z'"
          "  'S' 00 01 'X' 'I' 00 00 00 09 'z'");  // "X" differs from "x" only in case
  kelotest::Point p;
  const std::string wire =
      Hex("'Mt' 00 0a 'test.Point'") + unknown + Hex("'S' 00 01 'x' 'I' 00 00 00 03 'z'");
  const kelotest::Decoded d = Decode(p, wire);
  ASSERT_EQ(d.rc, 0) << d.error;
  EXPECT_EQ(d.consumed, wire.size());
  EXPECT_EQ(static_cast<int>(p.x), 3);
}

TEST(Maps, SkippingFailures) {
  kelotest::Point p;
  const std::string head = Hex("'Mt' 00 0a 'test.Point' 'S' 00 01 'u'");
  kelotest::Decoded d = Decode(p, head + "R");
  EXPECT_EQ(d.rc, KELO_E_FORMAT);
  EXPECT_EQ(d.error, "Cannot skip: Unknown type marker: 'R'. Last chars read: '.test.PointS..uR'");
  d = Decode(p, head + Hex("'L' 00 00"));  // cut short: no text of its own, no member clause
  EXPECT_EQ(d.rc, KELO_E_EXHAUSTED);
  EXPECT_EQ(d.error, "");
  d = Decode(p, head);
  EXPECT_EQ(d.rc, KELO_E_EXHAUSTED);
  EXPECT_EQ(d.error, "Cannot get variable type");
  d = Decode(p, head + Hex("'Vt' 00 01 '[' 'l' ff ff ff ff"));
  EXPECT_EQ(d.rc, KELO_E_NOT_SUPPORTED);
}

TEST(Maps, FramingFailures) {
  struct Case {
    const char* hex;
    int rc;
    const char* error;
  } cases[] = {
      {"", KELO_E_EXHAUSTED, "Failed to get content indicator ('M' or 'N'). Last chars read: ''"},
      {"'S'", KELO_E_FORMAT, "Expected 'M' or 'N' but got something else. Last chars read: 'S'"},
      {"'M'", KELO_E_EXHAUSTED, "Failed to get class type indicator ('t'). Last chars read: 'M'"},
      {"'Mx'", KELO_E_FORMAT,
       "Expected 't' and then length but got something else. Last chars read: 'Mx'"},
      {"'Mt' 00", KELO_E_EXHAUSTED,
       "Failed to get class name length (after 't'). Last chars read: 'Mt'"},
      {"'Mt' 00 05 'abc'", KELO_E_EXHAUSTED,
       "Failed to get read class name. Last chars read: 'Mt..'"},
      {"'Mt' 00 04 'Bare'", KELO_E_EXHAUSTED,
       "While parsing class \"Bare\", expected either 'S' or 'z' but could not get data. Last "
       "chars read: 'Mt..Bare'"},
      {"'Mt' 00 04 'Bare' 'Q'", KELO_E_FORMAT,
       "While parsing class \"Bare\", expected either 'S' or 'z' but got something else. Last "
       "chars read: 'Mt..BareQ'"},
      {"'Mt' 00 04 'Bare' 'S' 00", KELO_E_EXHAUSTED,
       "While parsing class \"Bare\", expected member name length (after 'S') but got no data. "
       "Last chars read: 'Mt..BareS'"},
      {"'Mt' 00 04 'Bare' 'S' 00 02 'n'", KELO_E_EXHAUSTED,
       "While parsing class \"Bare\", Got member data length, but could not get the name. Last "
       "chars read: 'Mt..BareS..'"},
  };
  for (const Case& c : cases) {
    kelotest::Bare bare;
    const kelotest::Decoded d = Decode(bare, Hex(c.hex));
    EXPECT_EQ(d.rc, c.rc) << c.hex;
    EXPECT_EQ(d.error, c.error) << c.hex;
  }
}

TEST(Maps, NestedFailureReadsInnermostFirstWithOneClausePerLevel) {
  kelotest::Crate crate;
  const std::string wire =
      Hex("'Mt' 00 0f 'test.deep.Crate' 'S' 00 03 'box'"
          " 'Mt' 00 08 'test.Box' 'S' 00 06 'corner'"
          "  'Mt' 00 0a 'test.Point' 'S' 00 01 'x' 'S' 00 00 00 00");
  const kelotest::Decoded d = Decode(crate, wire);
  EXPECT_EQ(d.rc, KELO_E_FORMAT);
  EXPECT_EQ(d.error,
            "Expected integer ('I'), but got something else. Last chars read: 't.PointS..xS....'"
            ". This happens in member \"x\" of class \"test.Point\""
            ". This happens in member \"corner\" of class \"test.Box\""
            ". This happens in member \"box\" of class \"test.deep.Crate\"");
}

TEST(Maps, EncodingFailuresOfClassesWithoutMembers) {
  NoSchema none;
  int rc = 0;
  EXPECT_EQ(Encode(none, &rc), "");
  EXPECT_EQ(rc, KELO_E_NOT_SUPPORTED);
  EXPECT_EQ(Decode(none, Hex("'Mt' 00 01 'n' 'z'")).rc, KELO_E_NOT_SUPPORTED);

  CKeloHesSkipClass skip;  // registers nothing, successfully
  EXPECT_EQ(Encode(skip, &rc), Hex("'Mt' 00 00"));
  EXPECT_EQ(rc, KELO_E_INVALID_STATE);
}

// Writes a Bare map by hand through the protected building blocks.
class HandWritten : public kelotest::Bare {
 public:
  int Write(CKeloOutput& out) const {
    if (int rc = StartSerialize(out); rc) return rc;
    if (int rc = SerializeOneMember("n", 1, n, out); rc) return rc;
    return EndSerialize(out);
  }
};

TEST(Maps, BuildingBlocksWriteTheSameMap) {
  HandWritten h;
  h.n = 12;
  CKeloOutput out;
  ASSERT_EQ(h.Write(out), 0);
  EXPECT_EQ(std::string(out.Data(), out.DataSize()), Encode(h));
}

TEST(Maps, ClientMessageExamples) {
  kelo::cl::GeneralReq general;
  general.isLan = 1;
  EXPECT_EQ(Encode(general),
            Hex("'Mt' 00 12 'kelo.cl.GeneralReq' 'S' 00 05 'isLan' 'I' 00 00 00 01 'z'"));
  kelo::cl::ResConnectV2 res;
  res.verSite.Add(*new kelo::cl::VerSite());
  res.verSite.Add(*new kelo::cl::VerSite());
  const std::string list = Encode(res.verSite);
  const std::string item = Encode(kelo::cl::VerSite());
  EXPECT_EQ(list, Hex("'Vt' 00 10 '[kelo.cl.VerSite' 'l' 00 00 00 02") + item + item + "z");
}

TEST(Registry, DuplicateNamesAreAllWrittenAndTheFirstIsRead) {
  Twice t;
  t.first = 1;
  t.second = 2;
  EXPECT_EQ(Encode(t), Hex("'Mt' 00 05 'Twice' 'S' 00 01 'v' 'I' 00 00 00 01"
                           "'S' 00 01 'v' 'I' 00 00 00 02 'z'"));
  ASSERT_EQ(Decode(t, Hex("'Mt' 00 05 'Twice' 'S' 00 01 'v' 'I' 00 00 00 07"
                          "'S' 00 01 'v' 'I' 00 00 00 08 'z'"))
                .rc,
            0);
  EXPECT_EQ(static_cast<int>(t.first), 8);
  EXPECT_EQ(static_cast<int>(t.second), 2);
}

TEST(Registry, ExplicitRegistryOperations) {
  kelotest::Point p;
  EXPECT_EQ(p.FirstMember(), nullptr);
  ASSERT_EQ(kelo::RegistryAccess::Create(p), 0);
  ASSERT_NE(p.FirstMember(), nullptr);
  const CKeloMemberData* first = p.FirstMember();
  ASSERT_EQ(kelo::RegistryAccess::Create(p), 0);  // already built: unchanged
  EXPECT_EQ(p.FirstMember(), first);
  ASSERT_EQ(p.label.Copy("x"), 0);
  kelo::RegistryAccess::Nullify(p);
  EXPECT_TRUE(p.label.IsNull());
  kelo::RegistryAccess::Clear(p);
  EXPECT_EQ(p.FirstMember(), nullptr);
  kelo::RegistryAccess::Clear(p);            // clearing an empty registry does nothing
  EXPECT_EQ(Encode(p), Hex(kDefaultPoint));  // rebuilt on the next write
}

TEST(Registry, CopiesRegisterTheirOwnMembers) {
  kelotest::Point source;
  source.x = 1;
  ASSERT_EQ(Encode(source).empty(), false);  // source is registered
  kelotest::Point copy(source);
  EXPECT_EQ(copy.FirstMember(), nullptr);
  source.x = 2;
  EXPECT_EQ(static_cast<int>(copy.x), 1);
  kelotest::Point target;
  ASSERT_FALSE(Encode(target).empty());
  target = source;
  kelotest::Point check;
  ASSERT_EQ(Decode(check, Encode(target)).rc, 0);
  EXPECT_EQ(static_cast<int>(check.x), 2);
}

// Classes derived from generated ones, without overrides: they are written and read through the
// member registry of CKeloHesClass, which the generated classes' own path must match exactly.
class RegistryPoint : public kelotest::Point {};
class RegistryCrate : public kelotest::Crate {};
class RegistryBareTwice : public kelotest::BareTwice {};

// Every prefix of the bytes and every single-byte change: both paths give the same result code,
// error text, cursor position and contents (also after a failure part-way).
template <class Generated, class ViaRegistry>
void ExpectSameReads(const std::string& bytes) {
  std::vector<std::string> inputs;
  for (size_t cut = 0; cut <= bytes.size(); ++cut) inputs.push_back(bytes.substr(0, cut));
  for (size_t at = 0; at < bytes.size(); ++at) {
    for (char to : {'z', 'S', 'N', '\x00', '\x7f'}) {
      std::string changed = bytes;
      changed[at] = to;
      inputs.push_back(changed);
    }
  }
  for (const std::string& input : inputs) {
    Generated generated;
    ViaRegistry viaRegistry;
    const kelotest::Decoded a = Decode(generated, input);
    const kelotest::Decoded b = Decode(viaRegistry, input);
    ASSERT_EQ(a.rc, b.rc) << kelotest::ToHex(input);
    ASSERT_EQ(a.error, b.error) << kelotest::ToHex(input);
    ASSERT_EQ(a.consumed, b.consumed) << kelotest::ToHex(input);
    ASSERT_EQ(Encode(generated), Encode(viaRegistry)) << kelotest::ToHex(input);
  }
  EXPECT_EQ(Generated().FirstMember(), nullptr);
}

TEST(Descriptions, GeneratedClassesReadAndWriteAsTheRegistryDoes) {
  kelotest::Crate crate;
  ASSERT_EQ(crate.name.Copy("crate"), 0);
  crate.box.id = 9;
  crate.box.corner.x = -3;
  ASSERT_EQ(crate.box.corner.label.Copy("\xe9t\xe9"), 0);
  for (int i = 0; i < 2; ++i) {
    kelotest::Point* item = new kelotest::Point();
    item->big = 1ll << (40 + i);
    ASSERT_EQ(crate.box.points.Add(*item), 0);
  }
  const std::string bytes = Encode(crate);
  RegistryCrate viaRegistry;
  ASSERT_EQ(Decode(viaRegistry, bytes).rc, 0);
  EXPECT_EQ(Encode(viaRegistry), bytes);
  EXPECT_NE(viaRegistry.FirstMember(), nullptr);
  // Writing and reading the generated class built no registry; asking for one builds it.
  EXPECT_EQ(crate.FirstMember(), nullptr);
  ASSERT_EQ(crate.EnsureMembers(), 0);
  ASSERT_NE(crate.FirstMember(), nullptr);
  EXPECT_EQ(crate.FirstMember()->m_object, &crate.name);
  EXPECT_EQ(Encode(crate), bytes);
  ExpectSameReads<kelotest::Crate, RegistryCrate>(bytes);
  // A wire name that the base and the class share: every occurrence goes to the base's member.
  kelotest::BareTwice twice;
  ASSERT_EQ(Decode(twice, Hex("'Mt' 00 09 'BareTwice' 'S' 00 01 'n' 'I' 00 00 00 01"
                              "'S' 00 01 'n' 'I' 00 00 00 02 'z'"))
                .rc,
            0);
  EXPECT_EQ(static_cast<int>(static_cast<kelotest::Bare&>(twice).n), 2);
  EXPECT_EQ(static_cast<int>(twice.n), 0);
  ExpectSameReads<kelotest::BareTwice, RegistryBareTwice>(Encode(twice));
  // Members out of order, repeated and unknown.
  ExpectSameReads<kelotest::Point, RegistryPoint>(
      Hex("'Mt' 00 0a 'test.Point' 'S' 00 04 'blob' 'B' 00 01 'b' 'S' 00 01 'x' 'I' 00 00 00 01"
          "'S' 00 03 'odd' 'I' 00 00 00 05 'S' 00 01 'x' 'I' 00 00 00 02 'z'"));
}

// A read first nulls every member that can be null: strings, blobs, nested structures (value
// classes among them) and lists; numbers keep their values.
class RegistryLoginReq : public CommEngine::VKAP_IE_LoginReq {};

TEST(Descriptions, AReadNullsWhatCanBeNull) {
  const std::string empty = Hex("'Mt' 00 1b 'CommEngine.VKAP_IE_LoginReq' 'z'");
  CommEngine::VKAP_IE_LoginReq generated;
  RegistryLoginReq viaRegistry;
  for (CommEngine::VKAP_IE_LoginReq* req :
       {&generated, static_cast<CommEngine::VKAP_IE_LoginReq*>(&viaRegistry)}) {
    req->m_ieId = 5;
    ASSERT_EQ(req->m_userName.Copy("u", 1), 0);
    ASSERT_EQ(Decode(*req, empty).rc, 0);
    EXPECT_EQ(static_cast<int>(req->m_ieId), 5);
    EXPECT_TRUE(req->m_cncId.IsNull());
    EXPECT_TRUE(req->m_macAddr.IsNull());
    EXPECT_TRUE(req->m_userName.IsNull());
  }
}

// A class derived from a generated class that registers one member more, and one that writes
// only some of its members: each gets exactly what it registers or writes.
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

class PointXOnly : public kelotest::Point {
 protected:
  int SerializeMembers(CKeloOutput& out) const override {
    return SerializeOneMember("x", 1, x, out);
  }
};

TEST(Descriptions, DerivedClassesGetWhatTheyRegisterOrWrite) {
  PointAndMore p;
  p.more = 7;
  std::string expected = Hex(kDefaultPoint);
  expected.insert(expected.size() - 1, Hex("'S' 00 04 'more' 'I' 00 00 00 07"));
  EXPECT_EQ(Encode(p), expected);
  PointAndMore back;
  ASSERT_EQ(Decode(back, expected).rc, 0);
  EXPECT_EQ(static_cast<int>(back.more), 7);

  PointXOnly x;
  x.x = 4;
  EXPECT_EQ(Encode(x), Hex("'Mt' 00 0a 'test.Point' 'S' 00 01 'x' 'I' 00 00 00 04 'z'"));
}

// A domain type writes the type header of its description, unless a derived class names itself
// otherwise.
class RenamedCncId : public VarantoTypes::CT_CncId {
 public:
  const CKeloHesName& ClassName() const override { return kName; }

 private:
  static constexpr CKeloHesName kName{"Id", 2};
};

TEST(Descriptions, ValueClassesWriteTheirOwnTypeName) {
  VarantoTypes::CT_CncId id(7);
  RenamedCncId renamed;
  static_cast<VarantoTypes::CT_CncId&>(renamed) = 7;
  EXPECT_EQ(Encode(id),
            Hex("'Mt' 00 15 'VarantoTypes.CT_CncId' 'S' 00 05 'value' 'I' 00 00 00 07 'z'"));
  EXPECT_EQ(Encode(renamed),
            Hex("'Mt' 00 0f 'VarantoTypes.Id' 'S' 00 05 'value' 'I' 00 00 00 07 'z'"));
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

kelotest::Point* NewPoint(int x) {
  kelotest::Point* p = new kelotest::Point();
  p->x = x;
  return p;
}

TEST(Lists, WireFormAndRoundTrip) {
  kelotest::Box box;
  EXPECT_EQ(Encode(box.points), Hex("'Vt' 00 0b '[test.Point' 'l' 00 00 00 00 'z'"));
  box.points.SetNull(true);
  EXPECT_EQ(Encode(box.points), "N");
  box.points.SetNull(false);
  ASSERT_EQ(box.points.Add(*NewPoint(1)), 0);
  ASSERT_EQ(box.points.Add(*NewPoint(2)), 0);
  kelotest::Point* nullItem = NewPoint(3);
  nullItem->SetNull(true);
  ASSERT_EQ(box.points.Add(*nullItem), 0);
  const std::string wire = Encode(box.points);
  EXPECT_EQ(wire.substr(0, 20), Hex("'Vt' 00 0b '[test.Point' 'l' 00 00 00 03"));
  EXPECT_EQ(wire.substr(wire.size() - 2), "Nz");

  kelotest::Box back;
  ASSERT_EQ(back.points.Add(*NewPoint(99)), 0);  // destroyed by the next decoding
  ASSERT_EQ(Decode(back.points, wire).rc, 0);
  ASSERT_EQ(back.points.Count(), 3);
  EXPECT_EQ(static_cast<int>(back.points.GetAt(1)->x), 2);
  EXPECT_TRUE(back.points.GetAt(2)->IsNull());
  EXPECT_EQ(back.points.GetAt(-1), nullptr);
  EXPECT_EQ(back.points.GetAt(3), nullptr);

  ASSERT_EQ(Decode(back.points, "N").rc, 0);
  EXPECT_TRUE(back.points.IsNull());
  EXPECT_EQ(back.points.Count(), 0);
}

TEST(Lists, FailuresAndTheirTexts) {
  struct Case {
    const char* hex;
    int rc;
    const char* error;
  } cases[] = {
      {"", KELO_E_EXHAUSTED, "Failed to get array content indicator. Last chars read: ''"},
      {"'M'", KELO_E_FORMAT,
       "Expected array content indicator ('V' or 'N') but got something else. Last chars read: "
       "'M'"},
      {"'V'", KELO_E_EXHAUSTED, "Failed to read array item type. Last chars read: 'V'"},
      {"'Vl'", KELO_E_FORMAT,
       "Expected 't' and then type length (of array item), but got something else. Last chars "
       "read: 'Vl'"},
      {"'Vt' 00", KELO_E_EXHAUSTED,
       "Failed to get array item's class name length (after 't'). Last chars read: 'Vt'"},
      {"'Vt' 00 00", KELO_E_NOT_SUPPORTED,
       "Anonymous lists not supported. Last chars read: 'Vt..'"},
      {"'Vt' 00 03 '[a'", KELO_E_EXHAUSTED,
       "Failed to read item's class name. Last chars read: 'Vt..'"},
      {"'Vt' 00 0a 'test.Point'", KELO_E_FORMAT,
       "Expected list item class name to start with with '[', but it didn't. Last chars read: "
       "'Vt..test.Point'"},
      {"'Vt' 00 06 '[Point'", KELO_E_FORMAT,
       "Expected item class \"test.Point[]\" but got \"[Point\". Last chars read: 'Vt..[Point'"},
      {"'Vt' 00 0b '[test.Point'", KELO_E_EXHAUSTED,
       "Failed to read array length indicator. Last chars read: 'Vt..[test.Point'"},
      {"'Vt' 00 0b '[test.Point' 'x'", KELO_E_FORMAT,
       "Expected 'l' and then array length , but got something else. Last chars read: "
       "'Vt..[test.Pointx'"},
      {"'Vt' 00 0b '[test.Point' 'l' 00 00", KELO_E_EXHAUSTED,
       "Failed to read array length indicator. Last chars read: 'Vt..[test.Pointl'"},
      {"'Vt' 00 0b '[test.Point' 'l' ff ff ff ff", KELO_E_NOT_SUPPORTED,
       "Got negative length, indicating variable length list, which is currently not supported. "
       "Last chars read: '[test.Pointl....'"},
      {"'Vt' 00 0b '[test.Point' 'l' 00 00 00 00", KELO_E_EXHAUSTED,
       "Failed to read array's terminating 'z'. Last chars read: '[test.Pointl....'"},
      {"'Vt' 00 0b '[test.Point' 'l' 00 00 00 00 'y'", KELO_E_FORMAT,
       "Expected array's terminating 'z', but got something else. Last chars read: "
       "'test.Pointl....y'"},
  };
  for (const Case& c : cases) {
    kelotest::Box box;
    const kelotest::Decoded d = Decode(box.points, Hex(c.hex));
    EXPECT_EQ(d.rc, c.rc) << c.hex;
    EXPECT_EQ(d.error, c.error) << c.hex;
  }
}

TEST(Lists, AFailingItemEmptiesTheList) {
  kelotest::Box box;
  const kelotest::Decoded d =
      Decode(box.points, Hex("'Vt' 00 0b '[test.Point' 'l' 00 00 00 02 'N' 'Mt' 00 01 'x' 'z'"));
  EXPECT_EQ(d.rc, KELO_E_FORMAT);
  EXPECT_EQ(box.points.Count(), 0);
}

TEST(HostileInput, NestingBombFailsCleanly) {
  // 200 maps nested inside an unregistered member.
  std::string wire = Hex("'Mt' 00 0a 'test.Point'");
  for (int i = 0; i < 200; ++i) wire += Hex("'S' 00 01 'u' 'Mt' 00 00");
  kelotest::Point p;
  const kelotest::Decoded d = Decode(p, wire);
  EXPECT_EQ(d.rc, KELO_E_NOT_SUPPORTED);
  EXPECT_EQ(
      d.error.rfind("Cannot skip a value nested deeper than 64 levels. Last chars read: '", 0), 0u);
  // Exactly 64 levels are fine.
  std::string ok = Hex("'Mt' 00 0a 'test.Point'");
  for (int i = 0; i < 64; ++i) ok += Hex("'S' 00 01 'u' 'Mt' 00 00");
  ok += std::string(65, 'z');
  EXPECT_EQ(Decode(p, ok).rc, 0);
  // Lists nest the same way.
  std::string lists = Hex("'Mt' 00 0a 'test.Point' 'S' 00 01 'u'");
  for (int i = 0; i < 100; ++i) lists += Hex("'Vt' 00 01 '[' 'l' 00 00 00 01");
  EXPECT_EQ(Decode(p, lists).rc, KELO_E_NOT_SUPPORTED);
}

TEST(HostileInput, CountBombFailsAtTheFirstMissingItem) {
  kelotest::Box box;
  const kelotest::Decoded d =
      Decode(box.points, Hex("'Vt' 00 0b '[test.Point' 'l' 7f ff ff ff 'N' 'N'"));
  EXPECT_EQ(d.rc, KELO_E_EXHAUSTED);
  EXPECT_EQ(box.points.Count(), 0);
  CKeloHesSkipArray skip;
  EXPECT_EQ(Decode(skip, Hex("'Vt' 00 01 '[' 'l' 7f ff ff ff 'T' 'F'")).rc, KELO_E_EXHAUSTED);
}

}  // namespace
