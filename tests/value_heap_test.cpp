// The heap a Value takes and gives back: peak bytes per input byte of DecodeValue on the shapes
// that cost the most per byte (the bound SECURITY.md states), every allocation of a decode, an
// encode and the interface made to fail in turn without a leak or an exception, cycles included.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/heap.h"
#include "support/test_support.h"

namespace {

using kelo::Value;
namespace heap = kelotest::heap;

// The bound SECURITY.md states: peak heap of a decode per byte of input.
constexpr double kHeapPerByte = 80;

std::string Repeat(const std::string& piece, size_t times) {
  std::string out;
  for (size_t i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(ValueHeap, PeakPerInputByteIsBounded) {
  const size_t n = 20000;
  const struct {
    const char* name;
    std::string bytes;
  } rows[] = {
      {"empty lists", "V" + Repeat("Vz", n) + "z"},
      {"empty maps", "V" + Repeat("Mz", n) + "z"},
      {"typed empty lists",
       "V" + Repeat(kelotest::Hex("'V' 't' 00 10 'abcdefghijklmnop' 'z'"), n) + "z"},
      {"nulls", "V" + Repeat("N", n) + "z"},
      {"null entries", "M" + Repeat("NN", n) + "z"},
      {"empty strings", "V" + Repeat(kelotest::Hex("'S' 00 00"), n) + "z"},
      {"one-letter strings", "V" + Repeat(kelotest::Hex("'S' 00 01 'a'"), n) + "z"},
      {"empty blobs", "V" + Repeat(kelotest::Hex("'B' 00 00"), n) + "z"},
      {"references", "V" + Repeat(kelotest::Hex("'R' 00 00 00 00"), n) + "z"},
      {"remotes", "V" + Repeat(kelotest::Hex("'r' 't' 00 00 'S' 00 00"), n) + "z"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const long before = heap::live;
    Value v;
    heap::StartCounting();
    const size_t base = heap::liveBytes;
    ASSERT_TRUE(kelo::DecodeValue(row.bytes.data(), row.bytes.size(), v).ok());
    const double perByte = static_cast<double>(heap::peakBytes - base) / row.bytes.size();
    v = Value();
    EXPECT_EQ(heap::live, before);  // everything freed with the value
    printf("  %-20s %6.1f heap bytes per input byte\n", row.name, perByte);
    EXPECT_LE(perByte, kHeapPerByte);
  }
}

// Building a list or map through the interface, item by item, allocates in amortised constant
// time: the items and the graph's block list grow geometrically (an exact reserve per item would
// copy them all each time, the square of the length).
TEST(ValueHeap, BuildingItemByItemGrowsGeometrically) {
  const int n = 10000;
  Value list = Value::List();
  heap::StartCounting();
  for (int i = 0; i < n; ++i) ASSERT_TRUE(list.Push(i));
  EXPECT_LT(heap::made, 64u);  // measured: 15
  Value map = Value::Map();
  heap::StartCounting();
  for (int i = 0; i < n; ++i) ASSERT_TRUE(map.Append(i, Value::List()));
  // Each list is a graph of its own (a few blocks), joined into the map's.
  const unsigned long perItem = heap::made / n;
  EXPECT_LE(perItem, 3u) << heap::made;
}

// Every allocation made to fail in turn: a clean KELO_E_NO_MEMORY, nothing leaked, and the same
// result once memory suffices.
TEST(ValueHeap, AllocationFailuresLeakNothing) {
  const std::string bytes = kelotest::Hex(
      "'V' 'l' 00 00 00 03 'M' 't' 00 01 'T' 'S' 00 01 'k' 'S' 00 02 ed a0 bd ed b8 80 'z'"
      "'R' 00 00 00 01 'V' 'R' 00 00 00 00 'B' 00 01 ff 'z' 'z'");
  for (unsigned long nth = 1;; ++nth) {
    SCOPED_TRACE(nth);
    const long before = heap::live;
    bool done = false;
    {
      Value v;
      heap::FailAt(nth);
      const kelo::Status read = kelo::DecodeValue(bytes.data(), bytes.size(), v);
      std::vector<std::uint8_t> out;
      const kelo::Status written = read ? kelo::EncodeValue(v, out) : kelo::Status();
      Value built = Value::List("T");
      const kelo::Status pushed = built.Push(Value("text"));
      const kelo::Status cycled = built.Push(built);  // a cycle the interface made
      heap::FailAt(0);
      for (const kelo::Status& s : {read, written, pushed, cycled})
        EXPECT_TRUE(s.ok() || s.code() == KELO_E_NO_MEMORY) << s.message();
      EXPECT_EQ(std::string(out.begin(), out.end()), read.ok() && written.ok() ? bytes : "");
      done = read.ok() && written.ok() && pushed.ok() && cycled.ok() && built.ok();
    }
    EXPECT_EQ(heap::live, before);
    if (done) break;
  }
  kelotest::ExhaustedHeap none;
  EXPECT_FALSE(Value("x").ok());
  Value list = Value::List();
  EXPECT_FALSE(list.ok());
  EXPECT_EQ(list.Push(1).code(), KELO_E_NO_MEMORY);
}

}  // namespace
