// Where values keep what they hold: short strings and blobs inside the object, the items a list
// reads in shared blocks, the items handed to it in their own allocations.
#include <gtest/gtest.h>

#include "support/heap.h"
#include "support/test_support.h"

namespace {

namespace heap = kelotest::heap;
using kelotest::Decode;
using kelotest::Hex;

std::string U16(size_t n) {
  return std::string{static_cast<char>(n >> 8), static_cast<char>(n & 0xFF)};
}

// Read whole or in two chunks, copied, and copied onto itself: up to the room inside, no heap.
TEST(Storage, ShortStringsAndBlobsLiveInsideTheirObject) {
  const unsigned int room = CKeloHesString::kInlineUnits;
  for (unsigned int n : {1u, room, room + 1}) {
    const std::string text(n, 'q');
    for (const std::string& bytes :
         {"S" + U16(n) + text, "s" + U16(1) + "qS" + U16(n - 1) + text.substr(1)}) {
      SCOPED_TRACE(kelotest::ToHex(bytes.substr(0, 4)));
      CKeloHesString s;
      heap::StartCounting();
      ASSERT_EQ(Decode(s, bytes).rc, 0);
      CKeloHesString copy(s);
      ASSERT_EQ(copy.Copy(copy.GetData(), copy.Length()), 0);
      EXPECT_EQ(heap::made, n <= room ? 0u : 3u);
      EXPECT_EQ(kelotest::StringUnits(copy), std::u16string(n, u'q'));
      EXPECT_NE(copy.GetData(), s.GetData());
    }
    CKeloHesBinary blob;
    const std::string blobBytes = "B" + U16(n) + text;
    heap::StartCounting();
    ASSERT_EQ(Decode(blob, blobBytes).rc, 0);
    const CKeloHesBinary copy(blob);
    EXPECT_EQ(heap::made, n <= CKeloHesBinary::kInlineBytes ? 0u : 2u);
    EXPECT_EQ(kelotest::BlobBytes(copy), text);
  }
}

// A read of n items makes a few blocks and its pointer array; an added item follows them; a read
// replaces all of it, and 'N' frees it and nulls the list.
TEST(Storage, AListReadsItsItemsIntoBlocksAndKeepsAddedItemsApart) {
  const struct {
    int items;
    unsigned long allocations;
  } rows[] = {{1, 2}, {16, 2}, {17, 3}, {100, 7}};
  for (const auto& row : rows) {
    const std::string bytes = Hex("'Vt' 00 0b '[test.Point' 'l' 00 00") + U16(row.items) +
                              std::string(static_cast<size_t>(row.items), 'N') + "z";
    kelotest::Box box;
    const long before = heap::live;
    heap::StartCounting();
    ASSERT_EQ(Decode(box.points, bytes).rc, 0);
    EXPECT_EQ(heap::made, row.allocations);
    kelotest::Point* added = box.points.Emplace();
    int seen = 0;
    for (kelotest::Point& p : box.points) EXPECT_EQ(&p, box.points.GetAt(seen++));
    EXPECT_EQ(seen, row.items + 1);
    EXPECT_EQ(box.points.GetAt(row.items), added);
    ASSERT_EQ(Decode(box.points, bytes).rc, 0);
    EXPECT_EQ(box.points.Count(), row.items);
    ASSERT_EQ(Decode(box.points, "N").rc, 0);
    EXPECT_EQ(heap::live, before + 1);  // the pointer array stays
    EXPECT_EQ(kelotest::Encode(box.points), "N");
  }
}

}  // namespace
