// Members that hold any value (CKeloHesAny): what Caucho's Java writes for Object and
// Map<String,Object> fields (interop/testdata/lists/java-reply-lab.Holder*.bin, written by
// interop/lists/MakeLists.java), and the numbering of 'R' across the classes around them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/bag.h"
#include "support/run.h"
#include "support/test_support.h"

#define KELO_TEST_Outer_MEMBERS(X)          \
  X(CKeloHesArray<kelotest::Point>, points) \
  X(kelotest::Point, corner)                \
  X(CKeloHesAny, any)

namespace lab {
KELO_LOCAL_MESSAGE(Outer, CKeloHesClass, KELO_TEST_Outer_MEMBERS)
KELO_MESSAGE_DEFINE(Outer, "lab", CKeloHesClass, KELO_TEST_Outer_MEMBERS)
}  // namespace lab

namespace {

using kelotest::Hex;

std::string Reply(const CKeloHesClass& object) {
  std::vector<std::uint8_t> out;
  const kelo::Status s = kelo::EncodeReply(object, out);
  EXPECT_TRUE(s) << s.message();
  return std::string(out.begin(), out.end());
}

kelo::Status Read(const std::string& bytes, CKeloHesClass& object) {
  return kelo::DecodeReply(bytes.data(), bytes.size(), object);
}

// The map Java wrote as inner, and its bytes.
const std::string kInner =
    Hex("'Mt' 00 17 'java.util.LinkedHashMap' 'S' 00 01 'k' 'I' 00000001 'z'");

// Written back byte for byte, the 'R's included: any is [1, "x", inner, inner, null, 2.5], inner's
// second appearance 'R' 3 (after the holder, tags and the list); attrs's "self" is 'R' 4.
TEST(AnyMembers, JavaFieldsOfAnyValueReadAndWriteBackToJavasBytes) {
  const std::string bytes = kelotest::JavaListsFile("java-reply-lab.Holder.bin");
  lab::Holder h;
  ASSERT_TRUE(Read(bytes, h));
  EXPECT_TRUE(h.any.Get()[2].same(h.any.Get()[3]));
  EXPECT_TRUE(h.attrs.Get().get("self").same(h.attrs.Get()));
  EXPECT_EQ(h.attrs.Get().get("big").as_long(), 1LL << 40);
  EXPECT_EQ(kelotest::ToHex(Reply(h)), kelotest::ToHex(bytes));
}

TEST(AnyMembers, SharingBetweenMembersIsReadAsOneNodeAndWrittenAsACopy) {
  const std::string bytes = kelotest::JavaListsFile("java-reply-lab.Holder-shared.bin");
  lab::Holder h;
  ASSERT_TRUE(Read(bytes, h));
  EXPECT_TRUE(h.again.Get().same(h.any.Get()[2]));
  const std::string ref = Hex("'S' 00 05 'again' 'R' 00000003 'z' 'z'");
  ASSERT_EQ(bytes.substr(bytes.size() - ref.size()), ref);
  const std::string copied = bytes.substr(0, bytes.size() - ref.size()) + Hex("'S' 00 05 'again'") +
                             kInner + Hex("'z' 'z'");
  EXPECT_EQ(kelotest::ToHex(Reply(h)), kelotest::ToHex(copied));
}

TEST(AnyMembers, ReferencesCountEveryMapAndListOfTheMessage) {
  // An unknown member before the values: skipped, its map still takes number 1 as in Java.
  std::string bytes = kelotest::JavaListsFile("java-reply-lab.Holder.bin");
  bytes.replace(bytes.find("tags"), 4, "tagz");
  lab::Holder h;
  ASSERT_TRUE(Read(bytes, h));
  EXPECT_TRUE(h.attrs.Get().get("self").same(h.attrs.Get()));

  // Written: the outer map 0, the typed list 1, its items 2 and 3, the corner 4, so the
  // member's list is 5 and refers to itself as 'R' 5; read back, it is itself.
  lab::Outer outer;
  outer.points.Emplace();
  outer.points.Emplace();
  kelo::Value list = kelo::Value::List();
  ASSERT_TRUE(list.Push(list));
  outer.any = list;
  const std::string written = Reply(outer);
  EXPECT_NE(written.find(Hex("'V' 'l' 00000001 'R' 00000005 'z'")), std::string::npos)
      << kelotest::ToHex(written);
  lab::Outer read;
  ASSERT_TRUE(Read(written, read));
  EXPECT_TRUE(read.any.Get()[0].same(read.any.Get()));
  EXPECT_EQ(kelotest::ToHex(Reply(read)), kelotest::ToHex(written));
}

TEST(AnyMembers, ReferencesOutsideTheValuesAreRefused) {
  // Java's "any = this": 'R' 0 is the holder itself, which no value holds.
  lab::Holder h;
  const kelo::Status s = Read(kelotest::JavaListsFile("java-reply-lab.Holder-owner.bin"), h);
  EXPECT_EQ(s.code(), KELO_E_FORMAT);
  EXPECT_EQ(std::string(s.message()).find("'R' refers to map or list 0, which was not read as a"),
            0u)
      << s.message();
  EXPECT_EQ(s.path(), "any");

  // Read alone, the member keeps its value and the text is the value reader's.
  CKeloHesAny member(kelo::Value("kept"));
  const std::string r0 = Hex("'R' 00000000");
  CKeloInput in(r0.data(), static_cast<unsigned int>(r0.size()));
  CKeloInputParse parse(in);
  EXPECT_EQ(static_cast<CKeloHesObject&>(member).Deserialize(parse), KELO_E_FORMAT);
  EXPECT_EQ(member.Get().as_string(), "kept");
  EXPECT_STREQ(parse.GetError(), "'R' refers to map or list 0, but only 0 came before it");
}

TEST(AnyMembers, CallArgumentsShareOneNumbering) {
  // A class argument (the map 0 and its seven value classes, maps 1 to 7), then a value that
  // refers to itself ('R' 8) or to one of the class's maps (refused).
  CommEngine::VKAP_IE_NetworkProfile first;
  std::vector<std::uint8_t> call;
  ASSERT_TRUE(kelo::EncodeCall("m", first, call));
  const std::string head(call.begin(), call.end() - 1);  // without the call's 'z'
  for (const char* ref : {"00000008", "00000001"}) {
    const std::string bytes =
        head + Hex((std::string("'V' 'l' 00000001 'R' ") + ref + " 'z' 'z'").c_str());
    kelo::CallReader reader(bytes.data(), bytes.size());
    std::string method;
    CommEngine::VKAP_IE_NetworkProfile arg;
    kelo::Value value;
    ASSERT_TRUE(reader.ReadMethod(method) && reader.ReadArg(arg));
    const kelo::Status s = reader.ReadArg(value);
    EXPECT_EQ(s.code(), ref[7] == '8' ? KELO_OK : KELO_E_FORMAT) << s.message();
    EXPECT_TRUE(!s || (value[0].same(value) && reader.Finish()));
  }
  // Written after the class into one buffer, a value's list is numbered 8 too.
  CKeloOutput out;
  kelo::Value self = kelo::Value::List();
  ASSERT_TRUE(self.Push(self));
  const CKeloHesAny any(self);
  ASSERT_EQ(static_cast<const CKeloHesObject&>(first).Serialize(out), KELO_OK);
  ASSERT_EQ(static_cast<const CKeloHesObject&>(any).Serialize(out), KELO_OK);
  const std::string list = Hex("'V' 'l' 00000001 'R' 00000008 'z'");
  EXPECT_EQ(std::string(out.Data(), out.DataSize()).substr(out.DataSize() - list.size()), list);
}

}  // namespace
