// Every class of the catalogue, driven through its table: identity and description, round trips
// of default and filled objects through both faces, copies that carry values but never registries,
// and copyability exactly when no list is held.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "support/filler.h"
#include "support/test_support.h"

namespace {

using Object = std::unique_ptr<CKeloHesClass>;

std::string Bytes(const CKeloHesClass& object) {
  int rc = -1;
  const std::string bytes = kelotest::Encode(object, &rc);
  EXPECT_EQ(rc, 0) << kelotest::ToHex(bytes);
  return bytes;
}

// A class cannot be copied exactly when it holds a list, directly or in a nested message.
bool HoldsList(const kelo::ClassInfo& info) {
  for (unsigned int i = 0; i < kelo::CatalogueMemberCount(info); ++i) {
    const kelo::MemberInfo& m = *kelo::CatalogueMemberAt(info, i);
    if (m.kind == kelo::KELO_KIND_LIST || (m.kind == kelo::KELO_KIND_MESSAGE && HoldsList(*m.type)))
      return true;
  }
  return false;
}

// Known members are read recursively, uncounted: no class may contain itself (stops past 8 levels).
unsigned int Depth(const kelo::ClassInfo& info, unsigned int onPath = 0) {
  unsigned int deepest = 0;
  for (unsigned int i = 0; i < kelo::CatalogueMemberCount(info) && onPath <= 8; ++i) {
    const kelo::MemberInfo& member = *kelo::CatalogueMemberAt(info, i);
    if (member.type) deepest = std::max(deepest, Depth(*member.type, onPath + 1));
  }
  return deepest + 1;
}

void CheckIdentity(const kelo::ClassInfo& info) {
  Object object(info.create());
  ASSERT_TRUE(object);
  std::string typeName(object->Namespace().Data(), object->Namespace().Length());
  typeName += ".";
  typeName.append(object->ClassName().Data(), object->ClassName().Length());
  EXPECT_EQ(typeName, info.typeName);
  EXPECT_EQ(kelo::CatalogueFind(info.typeName), &info);
  EXPECT_EQ(object->Description(), &info);
  EXPECT_EQ(Bytes(*object).substr(4, typeName.size()), typeName);
  EXPECT_EQ(kelo::CatalogueMemberAt(info, kelo::CatalogueMemberCount(info)), nullptr);
}

// The typed map of object with its members in reverse order and an unknown member of every
// structured kind in front: a reader must find members by name and read past what it does not know.
std::string Reordered(CKeloHesClass& object, const kelo::ClassInfo& info) {
  std::string body = Bytes(object).substr(0, 4 + info.typeNameLength) +
                     kelotest::Hex(
                         "'S' 00 02 'f1' 'Mt' 00 03 'x.y' 'S' 00 01 'l' 'Vt' 00 04 '[x.y'"
                         "  'l' 00 00 00 01 'N' 'z' 'z'"
                         "'S' 00 02 'f2' 'S' 00 01 c3 a9 'S' 00 02 'f3' 'B' 00 01 ff");
  for (unsigned int i = kelo::CatalogueMemberCount(info); i-- > 0;) {
    const kelo::MemberInfo& m = *kelo::CatalogueMemberAt(info, i);
    body += kelotest::Hex("'S' 00") + static_cast<char>(m.nameLength) + m.name +
            kelotest::Encode(m.access(object));
  }
  return body + "z";
}

// Classic Serialize/Deserialize (also reordered), and the one-call functions: a call read back
// through CallReader, a reply through DecodeReply.
void CheckRoundTrips(const kelo::ClassInfo& info) {
  for (int items : {-1, 0, 1, 3}) {
    SCOPED_TRACE(items);
    Object source(items < 0 ? info.create() : kelotest::NewFilled(info, 11 + items, items));
    const std::string bytes = Bytes(*source);
    EXPECT_EQ(Bytes(*source), bytes);  // writing twice gives the same bytes
    Object back(info.create());
    const kelotest::Decoded d = kelotest::Decode(*back, bytes);
    ASSERT_EQ(d.rc, 0) << d.error;
    EXPECT_EQ(d.consumed, bytes.size());
    EXPECT_EQ(Bytes(*back), bytes);
    if (info.classKind != kelo::KELO_CLASS_VALUE) {
      Object reordered(info.create());
      const kelotest::Decoded r = kelotest::Decode(*reordered, Reordered(*source, info));
      ASSERT_EQ(r.rc, 0) << r.error;
      EXPECT_EQ(Bytes(*reordered), bytes);
    }

    std::vector<std::uint8_t> out = {1, 2, 3};  // replaced, not appended to
    ASSERT_TRUE(kelo::EncodeCall("getTopology", *source, out));
    kelo::CallReader reader(out.data(), out.size());
    std::string method;
    Object argument(info.create());
    ASSERT_TRUE(reader.ReadMethod(method) && reader.ReadArg(*argument) && reader.AtEnd());
    EXPECT_TRUE(reader.Finish());
    EXPECT_EQ(Bytes(*argument), bytes);

    ASSERT_TRUE(kelo::EncodeReply(*source, out));
    EXPECT_EQ(std::string(out.begin(), out.end()), kelotest::Reply(bytes));
    Object replied(info.create());
    const kelo::Status status = kelo::DecodeReply(out.data(), out.size(), *replied);
    ASSERT_TRUE(status) << status.message();
    EXPECT_EQ(status.offset(), out.size());
    EXPECT_EQ(Bytes(*replied), bytes);
  }
}

void CheckCopies(const kelo::ClassInfo& info) {
  EXPECT_EQ(info.copyable, !HoldsList(info));
  if (!info.copyable) {
    EXPECT_EQ(info.copy, nullptr);
    return;
  }
  Object source(kelotest::NewFilled(info, 3, 1));
  const std::string original = Bytes(*source);  // the source is registered now
  Object copy(info.copy(*source));
  kelotest::FillObject(*source, info, 40, 1);
  const std::string changed = Bytes(*source);
  EXPECT_NE(changed, original);
  EXPECT_EQ(Bytes(*copy), original);

  Object target(info.create());
  Bytes(*target);  // registered before the assignment
  info.assign(*target, *source);
  EXPECT_EQ(Bytes(*target), changed);
  source.reset();  // each object frees only its own registry
  EXPECT_EQ(Bytes(*target), changed);
  EXPECT_EQ(Bytes(*copy), original);
}

TEST(Catalogue, EveryClassWalksItsTable) {
  std::set<std::string> names;
  for (unsigned int c = 0; c < kelo::CatalogueSize(); ++c) {
    const kelo::ClassInfo& info = *kelo::CatalogueAt(c);
    SCOPED_TRACE(info.typeName);
    EXPECT_TRUE(names.insert(info.typeName).second);
    EXPECT_LE(Depth(info), 8u);  // the bound SECURITY.md states for known members
    CheckIdentity(info);
    CheckRoundTrips(info);
    CheckCopies(info);
  }
  EXPECT_GE(names.size(), 90u);
  EXPECT_EQ(kelo::CatalogueAt(kelo::CatalogueSize()), nullptr);
  EXPECT_EQ(kelo::CatalogueFind("VarantoTypes.CT_Nope"), nullptr);
  EXPECT_EQ(kelo::CatalogueFind("VarantoTypes.CT_CncI", 20), nullptr);
  EXPECT_EQ(kelo::CatalogueFind(nullptr), nullptr);
}

}  // namespace
