// Hostile replies that try to exhaust the stack, the heap or the processor: deep nesting, counts
// and lengths beyond the input, constructs repeated hundreds of thousands of times, lists of
// one-byte items. Each is refused early or read whole, within bounds of peak heap per input byte
// and of allocations (support/heap.h). Work in the square of a repeat count fails on the ctest
// timeout (tests/CMakeLists.txt) instead of passing slowly.
#include "support/heap.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <string>

#include "support/test_support.h"

namespace {

namespace heap = kelotest::heap;
using kelotest::Hex;

std::string U16(unsigned int n) {
  return std::string{static_cast<char>((n >> 8) & 0xFF), static_cast<char>(n & 0xFF)};
}
std::string MapHeader(const std::string& type) {
  return "Mt" + U16(static_cast<unsigned int>(type.size())) + type;
}
std::string Member(const std::string& name) {
  return "S" + U16(static_cast<unsigned int>(name.size())) + name;
}
std::string ListHeader(const std::string& itemType, unsigned int count) {
  return "Vt" + U16(static_cast<unsigned int>(itemType.size() + 1)) + "[" + itemType + "l" +
         U16(count >> 16) + U16(count & 0xFFFF);
}
std::string Repeat(const std::string& piece, unsigned int n) {
  std::string bytes;
  for (unsigned int i = 0; i < n; ++i) bytes += piece;
  return bytes;
}
// n chunks of piece (length characters or bytes) under the non-final marker, then an empty final
// chunk.
std::string Chunks(char marker, const std::string& piece, unsigned int n, unsigned int length = 1) {
  const char last = static_cast<char>(marker - 'a' + 'A');
  return Repeat(std::string{marker} + U16(piece.empty() ? 0 : length) + piece, n) +
         std::string{last, 0, 0};
}
// A Header whose unknown members, n of them, each hold value.
std::string Unknown(const std::string& value, unsigned int n = 1) {
  return MapHeader("kelo.cl.Header") + Repeat(Member("q") + value, n) + "z";
}

const unsigned int kReps = 300000;
const char kTooDeep[] = "Cannot skip a value nested deeper than 64 levels";
// The peak heap per input byte that SECURITY.md states for the worst reply (a known list of items
// written as 'N', each a default object). A value skipped whole allocates nothing.
const double kMaxHeapPerByte = 2048;

// A reply shape, the result of reading it, and what the read may cost: peak heap above the start
// of at most heapPerByte per input byte plus heapSlack, and at most `allocations` allocations.
struct Shape {
  std::string what;
  const kelo::ClassInfo* type;  // read into a default object of this class
  std::string wire;
  int rc;
  double heapPerByte;
  size_t heapSlack;
  unsigned long allocations;
};

void Check(const Shape& shape) {
  SCOPED_TRACE(shape.what);
  std::unique_ptr<CKeloHesClass> object(shape.type->create());
  CKeloInput in(shape.wire.data(), static_cast<unsigned int>(shape.wire.size()));
  CKeloInputParse parse(in);
  const size_t base = heap::liveBytes;
  heap::StartCounting();
  const int rc = object->Deserialize(parse);
  const size_t peak = heap::peakBytes - base;
  const unsigned long allocations = heap::made;
  const std::string error = parse.GetError() ? parse.GetError() : "";
  EXPECT_EQ(rc, shape.rc) << error;
  // Read whole, or refused where the shape starts rather than at its end.
  EXPECT_TRUE(rc != 0 || in.GetNumExtracted() == shape.wire.size());
  EXPECT_TRUE(rc == 0 || in.GetNumExtracted() <= 4096u) << in.GetNumExtracted();
  EXPECT_EQ(error.rfind(kTooDeep, 0) == 0, rc == KELO_E_NOT_SUPPORTED) << error;
  EXPECT_LE(peak, shape.heapPerByte * shape.wire.size() + shape.heapSlack)
      << peak / shape.wire.size() << " bytes of heap per input byte";
  EXPECT_LE(allocations, shape.allocations);
}

// Each shape is built just before it is read: together they weigh a hundred megabytes.
TEST(Bombs, EveryShapeIsRefusedEarlyOrReadWithinItsBounds) {
  const kelo::ClassInfo* header = kelo::CatalogueFind("kelo.cl.Header");
  const kelo::ClassInfo* topology = kelo::CatalogueFind("kelo.cl.ResTopology");
  const kelo::ClassInfo* partition = kelo::CatalogueFind("kelo.cl.ResPartition");
  const kelo::ClassInfo* scan = kelo::CatalogueFind("kelo.cl.ScanResInfo");
  const unsigned long any = ULONG_MAX;

  // Skipping stops at the 65th level of maps and lists alike, however deep the input goes on:
  // nothing beyond it is read, and the temporaries of 64 levels are all that is held at once.
  const std::string levels[] = {MapHeader("x") + Member("m"), ListHeader("x", 1)};
  for (const std::string& level : levels) {
    for (unsigned int depth : {64u, 65u, 200000u}) {
      Check({std::to_string(depth) + " levels of " + level.substr(0, 1), header,
             Unknown(Repeat(level, depth) + "N" + std::string(depth, 'z')),
             depth == 64 ? 0 : KELO_E_NOT_SUPPORTED, 0, 64 * 1024, any});
    }
  }
  Check({"maps and lists alternating", header, Unknown(Repeat(levels[0] + levels[1], 40) + "N"),
         KELO_E_NOT_SUPPORTED, 0, 64 * 1024, any});

  // Counts and lengths (of a first or a later chunk) far beyond the input: only what arrives is
  // ever allocated.
  Check({"known list of 2^31-1 items", topology,
         MapHeader("kelo.cl.ResTopology") + Member("apList") +
             ListHeader("kelo.cl.ApRes", 0x7FFFFFFF) + "NNN",
         KELO_E_EXHAUSTED, 0, 4 * sizeof(kelo::cl::ApRes) + 16 * 1024, any});
  Check({"skipped list of 2^31-1 items", header,
         MapHeader("kelo.cl.Header") + Member("q") + ListHeader("x", 0x7FFFFFFF) + "NNN",
         KELO_E_EXHAUSTED, 0, 16 * 1024, any});
  for (const std::string& head :
       {"S" + U16(0xFFFF), "s" + U16(1) + "x" + "s" + U16(0xFFFF), "B" + U16(0xFFFF),
        "b" + U16(1) + "x" + "b" + U16(0xFFFF), "Mt" + U16(0xFFFF),
        MapHeader("x") + "S" + U16(0xFFFF), "Vt" + U16(0xFFFF) + "["}) {
    Check({"length 65535 of " + kelotest::ToHex(head), header, Unknown(head + "abc"),
           KELO_E_EXHAUSTED, 0, 8 * 1024, any});
  }

  // A chunked value is sized by one look-ahead and stored once, in one block the value keeps:
  // 2 bytes per character, 1 per byte, plus a page where the allocator rounds a large block up
  // (32-bit glibc). Skipped, it costs nothing.
  const auto chunked = [&](const char* what, const kelo::ClassInfo* type, const std::string& value,
                           double heapPerByte, unsigned long allocations) {
    const std::string member = type == scan ? "bssid" : "pidName";
    Check({what, type, MapHeader(type->typeName) + Member(member) + value + "z", 0, heapPerByte,
           4096, allocations});
    Check({std::string("skipped ") + what, header, Unknown(value), 0, 0, 0, 0});
  };
  chunked("1-character chunks", partition, Chunks('s', "x", kReps), 0.5, 1);
  chunked("empty string chunks", partition, Chunks('s', "", kReps), 0, 0);
  chunked("1-byte chunks", scan, Chunks('b', "x", kReps), 0.25, 1);
  chunked("empty blob chunks", scan, Chunks('b', "", kReps), 0, 0);
  chunked("full chunks of 1-byte characters", partition,
          Chunks('s', std::string(0xFFFF, 'x'), 40, 0xFFFF), 2, 1);
  chunked("full chunks of 3-byte characters", partition,
          Chunks('s', Repeat("\xe2\x82\xac", 0xFFFF), 40, 0xFFFF), 2, 1);

  // Skipped values that repeat something inside them: read whole, with nothing allocated.
  for (const std::string& value : {
           ListHeader("x", kReps) + Repeat("N", kReps) + "z",
           ListHeader("x", kReps) + Repeat(ListHeader("y", 0) + "z", kReps) + "z",
           MapHeader("x") + Repeat(Member("q") + Hex("'L' 00 00 00 00 00 00 00 01"), kReps) + "z",
           MapHeader("x") + Repeat(Member("k") + MapHeader("y") + "z", kReps) + "z",
       }) {
    Check({"skipped " + kelotest::ToHex(value.substr(0, 8)) + "...", header, Unknown(value), 0, 0,
           0, 0});
  }

  // Long chains of unknown members, each skipped with nothing allocated.
  for (const std::string& value :
       {Hex("'I' 00 00 00 07"), MapHeader("x") + Member("y") + "N" + "z",
        ListHeader("x", 1) + "T" + "z", Hex("'S' 00 03 'abc'"), Hex("'B' 00 03 'abc'")}) {
    Check({"unknown members of " + kelotest::ToHex(value.substr(0, 1)), header,
           Unknown(value, kReps), 0, 0, 0, 0});
  }

  // The same known member over and over: each occurrence replaces what the last one left.
  const std::pair<const kelo::ClassInfo*, std::string> known[] = {
      {topology, Hex("'S' 00 05 'resID' 'I' 00 00 00 07")},
      {topology,
       Hex("'S' 00 06 'header' 'Mt' 00 0e 'kelo.cl.Header' 'S' 00 03 'cnc' 'I' 00 00 00 03 'z'")},
      {topology, Member("apList") + ListHeader("kelo.cl.ApRes", 2) + "NN" + "z"},
      {partition, Hex("'S' 00 07 'pidName' 'S' 00 03 'abc'")},
      {scan, Hex("'S' 00 05 'bssid' 'B' 00 03 'abc'")},
  };
  for (const auto& k : known) {
    Check({"known member repeated: " + kelotest::ToHex(k.second.substr(0, 8)), k.first,
           MapHeader(k.first->typeName) + Repeat(k.second, kReps) + "z", 0, 0,
           4 * sizeof(kelo::cl::ApRes) + 1024, any});
  }

  // The worst shape: known lists of items written as 'N', each a full default object. Every list
  // of the catalogue, and one of small items long enough to show work in the square of its count.
  for (unsigned int c = 0; c < kelo::CatalogueSize(); ++c) {
    const kelo::ClassInfo& owner = *kelo::CatalogueAt(c);
    for (unsigned int m = 0; m < owner.memberCount; ++m) {
      const kelo::MemberInfo& list = owner.members[m];
      if (list.kind != kelo::KELO_KIND_LIST) continue;
      Check({std::string(owner.typeName) + "." + list.name + " of 'N' items", &owner,
             MapHeader(owner.typeName) + Member(list.name) + ListHeader(list.type->typeName, 2000) +
                 std::string(2000, 'N') + "zz",
             0, kMaxHeapPerByte, 0, any});
    }
  }
  Check({"test.Box.points of 'N' items", &kelotest::Box::mClassInfo,
         MapHeader("test.Box") + Member("points") + ListHeader("test.Point", kReps) +
             std::string(kReps, 'N') + "zz",
         0, kMaxHeapPerByte, 0, any});
}

}  // namespace
