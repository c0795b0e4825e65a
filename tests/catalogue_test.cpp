// Every class of the catalogue, driven through its table: default and filled objects round-trip,
// writing twice gives the same bytes, copies and assignments carry values but never registries,
// and the catalogue agrees with what each class registers.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

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

class EveryClass : public ::testing::TestWithParam<unsigned int> {
 protected:
  const kelo::ClassInfo& Info() const { return *kelo::CatalogueAt(GetParam()); }
};

TEST_P(EveryClass, IdentityMatchesTheCatalogue) {
  const kelo::ClassInfo& info = Info();
  Object object(info.create());
  ASSERT_TRUE(object);
  std::string typeName(object->Namespace().Data(), object->Namespace().Length());
  typeName += ".";
  typeName.append(object->ClassName().Data(), object->ClassName().Length());
  EXPECT_EQ(typeName, info.typeName);
  EXPECT_EQ(kelo::CatalogueFind(info.typeName), &info);
  EXPECT_EQ(Bytes(*object).substr(4, typeName.size()), typeName);
}

TEST_P(EveryClass, RegistryFollowsTheTableInWireOrder) {
  const kelo::ClassInfo& info = Info();
  if (info.classKind == kelo::KELO_CLASS_VALUE) return;  // its "value" is never registered
  Object object(info.create());
  ASSERT_EQ(object->EnsureMembers(), 0);
  const CKeloMemberData* node = object->FirstMember();
  for (unsigned int i = 0; i < kelo::CatalogueMemberCount(info); ++i, node = node->m_next) {
    const kelo::MemberInfo& member = *kelo::CatalogueMemberAt(info, i);
    ASSERT_NE(node, nullptr) << member.name;
    EXPECT_EQ(std::string(node->m_name->Data(), node->m_name->Length()), member.name);
    EXPECT_EQ(node->m_object, &member.access(*object)) << member.name;
  }
  EXPECT_EQ(node, nullptr);
}

TEST_P(EveryClass, DefaultAndFilledObjectsRoundTrip) {
  const kelo::ClassInfo& info = Info();
  for (int items : {-1, 0, 1, 3}) {
    Object source(items < 0 ? info.create() : kelotest::NewFilled(info, 11, items));
    const std::string bytes = Bytes(*source);
    EXPECT_EQ(Bytes(*source), bytes);  // writing twice gives the same bytes
    Object back(info.create());
    const kelotest::Decoded d = kelotest::Decode(*back, bytes);
    ASSERT_EQ(d.rc, 0) << d.error;
    EXPECT_EQ(d.consumed, bytes.size());
    EXPECT_EQ(Bytes(*back), bytes) << items;
  }
}

TEST_P(EveryClass, CopiesAndAssignmentsCarryValuesNotRegistries) {
  const kelo::ClassInfo& info = Info();
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

// A class cannot be copied exactly when it holds a list, directly or in a nested message.
bool HoldsList(const kelo::ClassInfo& info) {
  for (unsigned int i = 0; i < kelo::CatalogueMemberCount(info); ++i) {
    const kelo::MemberInfo& m = *kelo::CatalogueMemberAt(info, i);
    if (m.kind == kelo::KELO_KIND_LIST || (m.kind == kelo::KELO_KIND_MESSAGE && HoldsList(*m.type)))
      return true;
  }
  return false;
}

TEST_P(EveryClass, CopyableExactlyWhenNoListIsHeld) {
  EXPECT_EQ(Info().copyable, !HoldsList(Info()));
}

INSTANTIATE_TEST_SUITE_P(Catalogue, EveryClass, ::testing::Range(0u, kelo::CatalogueSize()),
                         [](const ::testing::TestParamInfo<unsigned int>& p) {
                           std::string name = kelo::CatalogueAt(p.param)->typeName;
                           for (char& c : name)
                             if (c == '.') c = '_';
                           return name;
                         });

TEST(Catalogue, NamesAreUniqueAndLookupsFail) {
  std::set<std::string> names;
  for (unsigned int i = 0; i < kelo::CatalogueSize(); ++i)
    EXPECT_TRUE(names.insert(kelo::CatalogueAt(i)->typeName).second);
  EXPECT_EQ(kelo::CatalogueFind("VarantoTypes.CT_Nope"), nullptr);
  EXPECT_EQ(kelo::CatalogueFind("VarantoTypes.CT_CncI", 20), nullptr);
  EXPECT_EQ(kelo::CatalogueFind(nullptr), nullptr);
  EXPECT_EQ(kelo::CatalogueAt(kelo::CatalogueSize()), nullptr);
  ASSERT_NE(kelo::CatalogueFind("VarantoTypes.CT_CncId"), nullptr);
  EXPECT_STREQ(kelo::MemberKindName(kelo::KELO_KIND_UINT16), "uint16");
  const kelo::ClassInfo& mac = *kelo::CatalogueFind("VarantoTypes.CT_MacAddr");
  EXPECT_EQ(mac.classKind, kelo::KELO_CLASS_VALUE);
  EXPECT_EQ(kelo::CatalogueMemberAt(mac, 0)->kind, kelo::KELO_KIND_BINARY);
}

}  // namespace
