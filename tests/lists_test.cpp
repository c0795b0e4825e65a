// Lists of strings, booleans, 32- and 64-bit integers and doubles as members of a program's own
// classes: what Caucho's Java writes for arrays and java.util.Lists (interop/testdata/lists/,
// written by interop/lists/MakeLists.java), the other shapes a list may take, hostile lists.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "support/bag.h"
#include "support/run.h"
#include "support/test_support.h"

namespace {

using kelotest::Hex;

std::string EncodedReply(const CKeloHesClass& object) {
  std::vector<std::uint8_t> out;
  EXPECT_TRUE(kelo::EncodeReply(object, out));
  return kelotest::ToHex(std::string(out.begin(), out.end()));
}

// Read and written again, Java's arrays give Java's bytes, its Lists those of its arrays.
TEST(PlainLists, JavaArraysAndListsReadAndWriteBackAsJavaWritesArrays) {
  const std::string arrays = kelotest::JavaListsFile("java-reply-lab.Bag-arrays.bin");
  const std::string body = arrays.substr(Hex("'r' 01 00 'Mt' 00 07 'lab.Bag'").size());
  const struct {
    const char* file;
    std::string written;  // empty: the file itself
  } rows[] = {
      {"java-reply-lab.Bag-arrays.bin", ""},
      {"java-reply-lab.Bag-empty.bin", ""},  // empty arrays, and null ones ('N')
      // An ArrayList (untyped 'V' with 'l'), a LinkedList, an Arrays$ArrayList and a Vector.
      {"java-reply-lab.BagLists.bin", Hex("'r' 01 00 'Mt' 00 0c 'lab.BagLists'") + body},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.file);
    const std::string bytes = kelotest::JavaListsFile(row.file);
    lab::Bag bag;
    lab::BagLists lists;
    CKeloHesClass& object = row.written.empty() ? static_cast<CKeloHesClass&>(bag) : lists;
    const kelo::Status s = kelo::DecodeReply(bytes.data(), bytes.size(), object);
    ASSERT_TRUE(s) << s.message();
    EXPECT_EQ(EncodedReply(object), kelotest::ToHex(row.written.empty() ? bytes : row.written));
    for (size_t cut = 0; cut < bytes.size(); ++cut) {  // refused wherever it is cut
      const int code = kelo::DecodeReply(bytes.data(), cut, object).code();
      EXPECT_TRUE(code == KELO_E_EXHAUSTED || code == KELO_E_FORMAT) << "cut at " << cut;
    }
  }
  lab::Bag bag;
  kelotest::FillJavaBag(bag);
  EXPECT_EQ(EncodedReply(bag), kelotest::ToHex(arrays));

  // Java cuts strings into chunks of 32768 characters.
  const std::string chunked = kelotest::JavaListsFile("java-reply-lab.Bag-chunked.bin");
  ASSERT_TRUE(kelo::DecodeReply(chunked.data(), chunked.size(), bag));
  ASSERT_EQ(bag.names.Count(), 2);
  EXPECT_EQ(kelo::ToUtf8(*bag.names.GetAt(0)).substr(32766, 4), "ghij");  // across the chunks
}

// The list of a bag whose items are of the kind named: 's', 'b', 'i', 'l', 'd'.
CKeloHesPlainArrayBase& ListOf(lab::Bag& bag, char kind) {
  CKeloHesPlainArrayBase* lists[] = {&bag.names, &bag.flags, &bag.counts, &bag.totals, &bag.levels};
  return *lists[strchr("sbild", kind) - "sbild"];
}

// Written by hand: shapes Java does not write for these members but other peers may, read and
// written again as Java writes arrays.
TEST(PlainLists, AnyShapeOfListWhoseItemsAreOfItsKindReads) {
  const struct {
    char kind;
    const char* bytes;
    const char* written;
  } rows[] = {
      {'s', "'V' 'S' 00 01 'a' 'N' 'z'",  // untyped, no count
       "'Vt' 00 07 '[string' 'l' 00 00 00 02 'S' 00 01 'a' 'N' 'z'"},
      {'s',
       "'V' 't' 00 00 'l' 00 00 00 01 's' 00 01 'a' 'S' 00 01 c3 a9 'z'",  // empty type, chunks
       "'Vt' 00 07 '[string' 'l' 00 00 00 01 'S' 00 02 'a' c3 a9 'z'"},
      {'i', "'V' 't' 00 0e 'java.util.List' 'I' 00 00 00 07 'z'",
       "'Vt' 00 04 '[int' 'l' 00 00 00 01 'I' 00 00 00 07 'z'"},
      {'l', "'V' 'z'", "'Vt' 00 05 '[long' 'l' 00 00 00 00 'z'"},
      // Any type name: the items say what they are.
      {'b', "'V' 't' 00 04 '[int' 'l' 00 00 00 02 'T' 'F' 'z'",
       "'Vt' 00 08 '[boolean' 'l' 00 00 00 02 'T' 'F' 'z'"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.bytes);
    lab::Bag bag;
    CKeloHesPlainArrayBase& list = ListOf(bag, row.kind);
    list.AppendItem();  // replaced by what is read
    const std::string bytes = Hex(row.bytes);
    const kelotest::Decoded d = kelotest::Decode(list, bytes);
    EXPECT_EQ(d.rc, 0) << d.error;
    EXPECT_EQ(d.consumed, bytes.size());
    EXPECT_EQ(kelotest::ToHex(kelotest::Encode(list)), kelotest::ToHex(Hex(row.written)));
  }
}

TEST(PlainLists, HostileListsFailWithTheirCodeAndLeaveTheListEmpty) {
  const struct {
    char kind;
    const char* bytes;
    int code;
    const char* text;  // the start of the error text
  } rows[] = {
      {'i', "", KELO_E_EXHAUSTED, "Failed to get array content indicator"},
      {'i', "'Vt' 00 04 '[int' 'l' ff ff ff ff 'z'", KELO_E_NOT_SUPPORTED,
       "Got negative length, indicating variable length list"},
      // A huge count: the third item is the 'z'.
      {'i', "'V' 'l' 7f ff ff ff 'I' 00 00 00 01 'I' 00 00 00 02 'z' 'S' 00 01 'x'", KELO_E_FORMAT,
       "Expected integer ('I'), but got something else"},
      {'l', "'V' 'l' 00 00 00 01 'I' 00 00 00 01 'I' 00 00 00 02 'z'", KELO_E_FORMAT,
       "Expected 64 bit value (with 'L')"},
      // Booleans and numbers are never null, in a list neither.
      {'b', "'V' 'l' 00 00 00 02 'T' 'N' 'z'", KELO_E_FORMAT, "Expected boolean ('T' or 'F')"},
      {'s', "'V' 'I' 00 00 00 01 'z'", KELO_E_FORMAT, "Expected string ('S', 's' or 'N')"},
      {'s', "'V' 'l' 00 00 00 01 'N' 'N' 'z'", KELO_E_FORMAT,  // more items than the count
       "Expected array's terminating 'z', but got something else"},
      // Not a list: a list Java shares ('R'), an integer.
      {'s', "'R' 00 00 00 01", KELO_E_FORMAT, "Expected array content indicator ('V' or 'N')"},
      {'s', "'I' 00", KELO_E_FORMAT, "Expected array content indicator"},  // and cut short
      // Cut short in the opening, between items, before the 'z'.
      {'s', "'V' 't' 00", KELO_E_EXHAUSTED, "Failed to read the list's type name or length"},
      {'s', "'V' 'N'", KELO_E_EXHAUSTED, "Failed to read array's terminating 'z'"},
      {'s', "'V' 'l' 00 00 00 01 'S' 00 05 'ab'", KELO_E_EXHAUSTED, "Failed to read string value"},
      {'s', "'V' 't' 00 01 ff 'z'", KELO_E_FORMAT, "Corrupted utf8"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.bytes);
    lab::Bag bag;
    CKeloHesPlainArrayBase& list = ListOf(bag, row.kind);
    list.AppendItem();
    const kelotest::Decoded d = kelotest::Decode(list, Hex(row.bytes));
    EXPECT_EQ(d.rc, row.code);
    EXPECT_EQ(d.error.rfind(row.text, 0), 0u) << d.error;
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(list.IsNull());
  }
  // Through the modern face a failed item is named by its path and where it began.
  std::string bytes = kelotest::JavaListsFile("java-reply-lab.Bag-arrays.bin");
  const size_t at = bytes.find(Hex("'I' 7f ff ff ff"));
  ASSERT_NE(at, std::string::npos);
  bytes[at] = 'X';
  lab::Bag bag;
  const kelo::Status s = kelo::DecodeReply(bytes.data(), bytes.size(), bag);
  EXPECT_EQ(s.code(), KELO_E_FORMAT);
  EXPECT_EQ(s.path(), "counts[2]");
  EXPECT_EQ(s.offset(), at);
}

}  // namespace
