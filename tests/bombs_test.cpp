// Hostile replies that try to exhaust the stack, the heap or the processor: nesting far beyond
// the skip bound, counts and lengths far beyond the input, millions of tiny chunks, long chains
// of unknown members, and lists of items that cost one byte each. Each is refused cleanly or
// read with work and memory in proportion to the input. Nothing here measures time: linear work
// is shown through allocation counts and peak heap (support/counting_heap.h), which stay flat or
// grow in proportion where a quadratic decoder would not.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/counting_heap.h"
#include "support/test_support.h"

namespace {

namespace heap = kelotest::heap;

std::string U16(unsigned int n) {
  return std::string{static_cast<char>((n >> 8) & 0xFF), static_cast<char>(n & 0xFF)};
}
std::string U32(unsigned int n) {
  return U16(n >> 16) + U16(n & 0xFFFF);
}
std::string MapHeader(const std::string& type) {
  return "Mt" + U16(static_cast<unsigned int>(type.size())) + type;
}
std::string Member(const std::string& name) {
  return "S" + U16(static_cast<unsigned int>(name.size())) + name;
}
std::string ListHeader(const std::string& itemType, unsigned int count) {
  return "Vt" + U16(static_cast<unsigned int>(itemType.size() + 1)) + "[" + itemType + "l" +
         U32(count);
}

// What one decode did: result, bytes consumed, allocations made and peak heap above the start.
struct Outcome {
  int rc;
  unsigned int consumed;
  std::string error;
  unsigned long allocations;
  size_t peak;
};

Outcome Read(CKeloHesObject& object, const std::string& bytes) {
  CKeloInput in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  CKeloInputParse parse(in);
  const size_t base = heap::LiveBytes();
  heap::StartCounting();
  Outcome run;
  run.rc = object.Deserialize(parse);
  run.allocations = heap::Made();
  run.peak = heap::PeakBytes() - base;
  run.consumed = in.GetNumExtracted();
  run.error = parse.GetError() ? std::string(parse.GetError(), parse.GetErrorLength()) : "";
  return run;
}

// A message with an unknown member whose value is the given bytes.
std::string InUnknownMember(const std::string& value) {
  return MapHeader("kelo.cl.Header") + Member("unknown") + value + "z";
}

const char kTooDeep[] = "Cannot skip a value nested deeper than 64 levels";

TEST(NestingBomb, SkippingStopsAtSixtyFourLevelsWhateverTheDepth) {
  const std::string map = MapHeader("x") + Member("m");
  const std::string list = ListHeader("x", 1);
  for (const std::string& level : {map, list}) {
    for (int depth : {64, 65, 1000, 200000}) {
      std::string value;
      for (int i = 0; i < depth; ++i) value += level;
      value += "N" + std::string(static_cast<size_t>(depth), 'z');
      kelo::cl::Header header;
      const Outcome run = Read(header, InUnknownMember(value));
      if (depth == 64) {
        EXPECT_EQ(run.rc, 0) << depth;
        continue;
      }
      EXPECT_EQ(run.rc, KELO_E_NOT_SUPPORTED) << depth;
      EXPECT_EQ(run.error.rfind(kTooDeep, 0), 0u) << run.error;
      // The refusal comes at the 65th level, however much input follows: nothing beyond it is
      // read, and the temporaries of 64 levels are all that was ever allocated at once.
      EXPECT_LE(run.consumed, 30u + 65u * level.size()) << depth;
      EXPECT_LT(run.peak, 64u * 1024u) << depth;
    }
  }
}

TEST(NestingBomb, MapsAndListsCountTogetherTowardsTheBound) {
  std::string value;
  for (int i = 0; i < 40; ++i) value += MapHeader("x") + Member("m") + ListHeader("x", 1);
  value += "N";
  kelo::cl::Header header;
  const Outcome run = Read(header, InUnknownMember(value));
  EXPECT_EQ(run.rc, KELO_E_NOT_SUPPORTED);
  EXPECT_EQ(run.error.rfind(kTooDeep, 0), 0u);
}

TEST(CountBomb, ListCountsFarBeyondTheInputAllocateOnlyWhatArrives) {
  // Known lists: three items arrive out of two billion announced.
  kelo::cl::ResTopology response;
  Outcome run = Read(response, MapHeader("kelo.cl.ResTopology") + Member("apList") +
                                   ListHeader("kelo.cl.ApRes", 0x7FFFFFFF) + "NNN");
  EXPECT_EQ(run.rc, KELO_E_EXHAUSTED) << run.error;
  EXPECT_EQ(response.apList.Count(), 0);
  EXPECT_LT(run.peak, 4u * sizeof(kelo::cl::ApRes) + 16u * 1024u);
  // Skipped lists: the same with one small skip object per item.
  kelo::cl::Header header;
  run = Read(header,
             MapHeader("kelo.cl.Header") + Member("unknown") + ListHeader("x", 0x7FFFFFFF) + "NNN");
  EXPECT_EQ(run.rc, KELO_E_EXHAUSTED) << run.error;
  EXPECT_LT(run.peak, 16u * 1024u);
}

TEST(CountBomb, LengthsFarBeyondTheInputAllocateOnlyWhatArrives) {
  const std::string cases[] = {
      "S" + U16(0xFFFF) + "abc",                   // string characters
      "B" + U16(0xFFFF) + "abc",                   // blob bytes
      "Mt" + U16(0xFFFF) + "abc",                  // type name
      MapHeader("x") + "S" + U16(0xFFFF) + "abc",  // member name
      "Vt" + U16(0xFFFF) + "[abc",                 // list item type
  };
  for (const std::string& value : cases) {
    kelo::cl::Header header;
    const Outcome run = Read(header, InUnknownMember(value));
    EXPECT_EQ(run.rc, KELO_E_EXHAUSTED) << kelotest::ToHex(value);
    // Nothing near 64 KiB (or 128 KiB of 16-bit units) is ever reserved for 3 bytes of input.
    EXPECT_LT(run.peak, 8u * 1024u) << kelotest::ToHex(value);
  }
}

// A string of n one-character chunks, each 's' 00 01 'x', closed by an empty final chunk.
std::string OneCharChunks(unsigned int n, char marker, char last) {
  std::string bytes;
  bytes.reserve(4u * n + 3u);
  for (unsigned int i = 0; i < n; ++i) bytes += std::string{marker, 0, 1, 'x'};
  return bytes + std::string{last, 0, 0};
}

TEST(ChunkBomb, MillionsOfTinyChunksGrowTheValueGeometrically) {
  const unsigned int n = 2000000;
  CKeloHesString text;
  Outcome run = Read(text, OneCharChunks(n, 's', 'S'));
  ASSERT_EQ(run.rc, 0);
  EXPECT_EQ(text.Length(), n);
  // Storage doubles, so two million chunks take a few dozen allocations (one per chunk would be
  // quadratic copying); the peak stays within a small multiple of the 8 MB input.
  EXPECT_LT(run.allocations, 64u);
  EXPECT_LT(run.peak, 2u * 4u * n);

  CKeloHesBinary blob;
  run = Read(blob, OneCharChunks(n, 'b', 'B'));
  ASSERT_EQ(run.rc, 0);
  EXPECT_EQ(blob.Length(), n);
  EXPECT_LT(run.allocations, 64u);
  EXPECT_LT(run.peak, 2u * 4u * n);

  // Empty chunks add nothing and allocate nothing.
  std::string empty;
  for (unsigned int i = 0; i < n; ++i) empty += std::string{'s', 0, 0};
  run = Read(text, empty + std::string{'S', 0, 0});
  ASSERT_EQ(run.rc, 0);
  EXPECT_EQ(text.Length(), 0u);
  EXPECT_LE(run.allocations, 1u);

  // Skipped as an unknown member, the chunks cost the same.
  kelo::cl::Header header;
  run = Read(header, InUnknownMember(OneCharChunks(n, 's', 'S')));
  EXPECT_EQ(run.rc, 0);
  EXPECT_LT(run.allocations, 80u);
}

// A Header with n unknown members, each holding the given value.
std::string UnknownMembers(unsigned int n, const std::string& value) {
  std::string bytes = MapHeader("kelo.cl.Header");
  const std::string one = Member("q") + value;
  bytes.reserve(bytes.size() + n * one.size() + 1);
  for (unsigned int i = 0; i < n; ++i) bytes += one;
  return bytes + "z";
}

TEST(UnknownMemberChain, CostsStayFlatPerMember) {
  const std::string values[] = {
      "I" + U32(7),                              // scalars: nothing is allocated per member
      MapHeader("x") + Member("y") + "N" + "z",  // maps: one temporary each, freed at once
      ListHeader("x", 1) + "T" + "z",            // lists: a temporary list and item each
      "S" + U16(3) + "abc",                      // strings: a temporary each
  };
  for (const std::string& value : values) {
    kelo::cl::Header small, large;
    const Outcome few = Read(small, UnknownMembers(10, value));
    const Outcome many = Read(large, UnknownMembers(200000, value));
    ASSERT_EQ(few.rc, 0);
    ASSERT_EQ(many.rc, 0);
    EXPECT_EQ(many.consumed, UnknownMembers(200000, value).size());
    // Each member costs the same fixed number of allocations (none for scalars)...
    EXPECT_EQ((many.allocations - few.allocations) % (200000 - 10), 0u) << kelotest::ToHex(value);
    EXPECT_LE(many.allocations - few.allocations, 3u * (200000 - 10));
    // ...and nothing is kept: the peak does not grow with the number of members.
    EXPECT_LE(many.peak, few.peak + 256u) << kelotest::ToHex(value);
  }
}

TEST(UnknownMemberChain, ARepeatedListMemberReplacesItsItems) {
  // The same known list sent 10000 times: each occurrence replaces the last one's items.
  const std::string list = Member("apList") + ListHeader("kelo.cl.ApRes", 2) + "NN" + "z";
  std::string many = MapHeader("kelo.cl.ResTopology");
  for (int i = 0; i < 10000; ++i) many += list;
  kelo::cl::ResTopology once, often;
  const Outcome one = Read(once, MapHeader("kelo.cl.ResTopology") + list + "z");
  const Outcome run = Read(often, many + "z");
  ASSERT_EQ(one.rc, 0);
  ASSERT_EQ(run.rc, 0);
  EXPECT_EQ(often.apList.Count(), 2);
  EXPECT_LE(run.peak, one.peak + 1024u);
}

// The nesting depth of a class: 1 for a class with no nested message, list or value class.
// Returns 0 when the class can reach itself (a cycle would let input nest without bound).
unsigned int SchemaDepth(const kelo::ClassInfo& info, unsigned int onPath) {
  if (onPath > kelo::CatalogueSize()) return 0;
  unsigned int deepest = 0;
  for (unsigned int i = 0; i < kelo::CatalogueMemberCount(info); ++i) {
    const kelo::MemberInfo& member = *kelo::CatalogueMemberAt(info, i);
    if (!member.type) continue;
    const unsigned int depth = SchemaDepth(*member.type, onPath + 1);
    if (depth == 0) return 0;
    if (depth > deepest) deepest = depth;
  }
  return deepest + 1;
}

TEST(NestingBomb, KnownMessagesNestOnlyAsDeepAsTheSchema) {
  // Known members recurse into their own classes without a depth counter: that is safe only
  // because no class can contain itself, so the schema bounds the depth. A class that did would
  // need a depth limit like the skipping one.
  unsigned int deepest = 0;
  for (unsigned int c = 0; c < kelo::CatalogueSize(); ++c) {
    const unsigned int depth = SchemaDepth(*kelo::CatalogueAt(c), 0);
    ASSERT_GT(depth, 0u) << kelo::CatalogueAt(c)->typeName << " can contain itself";
    if (depth > deepest) deepest = depth;
  }
  EXPECT_LE(deepest, 8u);  // SECURITY.md states the depth
}

// The bound that SECURITY.md states for the worst reply shape: peak heap per input byte while a
// list of items written as 'N' is read, each item becoming a full default object.
const size_t kMaxHeapPerInputByte = 4096;

TEST(Amplification, NullListItemsStayWithinTheDocumentedBound) {
  const unsigned int items = 2000;
  for (unsigned int c = 0; c < kelo::CatalogueSize(); ++c) {
    const kelo::ClassInfo& owner = *kelo::CatalogueAt(c);
    for (unsigned int m = 0; m < owner.memberCount; ++m) {
      const kelo::MemberInfo& member = owner.members[m];
      if (member.kind != kelo::KELO_KIND_LIST) continue;
      const std::string itemType(member.type->typeName, member.type->typeNameLength);
      const std::string wire = MapHeader(owner.typeName) + Member(member.name) +
                               ListHeader(itemType, items) + std::string(items, 'N') + "zz";
      std::unique_ptr<CKeloHesClass> object(owner.create());
      const Outcome run = Read(*object, wire);
      ASSERT_EQ(run.rc, 0) << owner.typeName << "." << member.name << ": " << run.error;
      ASSERT_EQ(member.list->count(member.access(*object)), static_cast<int>(items));
      EXPECT_LE(run.peak, kMaxHeapPerInputByte * wire.size())
          << owner.typeName << "." << member.name << ": " << run.peak / wire.size()
          << " bytes of heap per input byte";
    }
  }
}

}  // namespace
