// Hostile replies that try to exhaust the stack, the heap or the processor: nesting far beyond
// the skip bound, counts and lengths far beyond the input, millions of tiny chunks, long chains
// of unknown members, and lists of items that cost one byte each. Each is refused cleanly or
// read with work and memory in proportion to the input. Nothing here measures time: linear work
// is shown through allocation counts and peak heap (support/counting_heap.h), which stay flat or
// grow in proportion where a quadratic decoder would not.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

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

// Every construct that repeats on the wire, repeated so often (kReps) that work in the square of
// the count would take minutes: this program's ctest timeout (tests/CMakeLists.txt) then fails
// the suite instead of letting it pass slowly. Memory is checked as well, through allocation
// counts and peak heap, which stay flat or grow in proportion where a quadratic reader would not.
const unsigned int kReps = 300000;

std::string Repeat(const std::string& piece, unsigned int n) {
  std::string bytes;
  bytes.reserve(piece.size() * n);
  for (unsigned int i = 0; i < n; ++i) bytes += piece;
  return bytes;
}

// A chunked value: n chunks of the given piece (of length characters or bytes) under the
// non-final marker, then an empty final chunk.
std::string Chunks(char marker, const std::string& piece, unsigned int n, unsigned int length) {
  const char last = static_cast<char>(marker - 'a' + 'A');
  return Repeat(std::string{marker} + U16(length) + piece, n) + std::string{last, 0, 0};
}
std::string Chunks(char marker, const std::string& piece, unsigned int n) {
  return Chunks(marker, piece, n, static_cast<unsigned int>(piece.size()));
}

const std::string kOneChar = "x";
const std::string kNoChar;

TEST(RepeatBomb, ChunkedValuesAreStoredOnceAtTheirSize) {
  // A chunked value is sized by one look-ahead at its first chunk and stored in one block, which
  // the value then owns: one allocation, and never more heap than the value itself.
  struct Case {
    char marker;
    const std::string& piece;
    unsigned int length;  // of the value read
  } cases[] = {
      {'s', kOneChar, kReps}, {'s', kNoChar, 0}, {'b', kOneChar, kReps}, {'b', kNoChar, 0}};
  for (const Case& c : cases) {
    const std::string wire = Chunks(c.marker, c.piece, kReps);
    CKeloHesString text;
    CKeloHesBinary blob;
    CKeloHesObject& value = c.marker == 's' ? static_cast<CKeloHesObject&>(text) : blob;
    const Outcome run = Read(value, wire);
    ASSERT_EQ(run.rc, 0) << c.marker << c.length;
    EXPECT_EQ(run.consumed, wire.size());
    EXPECT_EQ(c.marker == 's' ? text.Length() : blob.Length(), c.length);
    EXPECT_LE(run.allocations, c.length ? 1u : 0u) << c.marker << c.length;
    const size_t unit = c.marker == 's' ? sizeof(short) : 1;
    EXPECT_LE(run.peak, c.length * unit + 64u) << c.marker << c.length;
  }
}

TEST(RepeatBomb, FullChunkStringsPeakAtTwoBytesOfHeapPerInputByte) {
  // Strings as writers send long text: chunks of 65535 characters, one and three bytes each.
  for (const std::string& character : {std::string("x"), std::string("\xe2\x82\xac")}) {
    std::string chunk;
    for (unsigned int i = 0; i < 0xFFFF; ++i) chunk += character;
    const std::string wire = Chunks('s', chunk, 40, 0xFFFF);
    CKeloHesString text;
    const Outcome run = Read(text, wire);
    ASSERT_EQ(run.rc, 0) << run.error;
    EXPECT_EQ(text.Length(), 40u * 0xFFFF);
    EXPECT_EQ(run.allocations, 1u);
    EXPECT_LE(run.peak, 2 * wire.size());
  }
}

// Values an unknown member may hold that repeat something inside them kReps times.
struct RepeatedValue {
  const char* what;
  std::string bytes;
};
std::vector<RepeatedValue> RepeatedValues() {
  return {
      {"string chunks", Chunks('s', kOneChar, kReps)},
      {"empty string chunks", Chunks('s', kNoChar, kReps)},
      {"blob chunks", Chunks('b', kOneChar, kReps)},
      {"empty blob chunks", Chunks('b', kNoChar, kReps)},
      {"typed list items", ListHeader("x", kReps) + Repeat("N", kReps) + "z"},
      {"nested lists", ListHeader("x", kReps) + Repeat(ListHeader("y", 0) + "z", kReps) + "z"},
      {"map entries", MapHeader("x") + Repeat(Member("q") + "L" + U32(0) + U32(1), kReps) + "z"},
      {"nested maps", MapHeader("x") + Repeat(Member("k") + MapHeader("y") + "z", kReps) + "z"},
      {"members of every kind",
       MapHeader("x") +
           Repeat(Member("t") + "T" + Member("n") + "N" + Member("i") + "I" + U32(1) + Member("d") +
                      "D" + U32(0) + U32(0) + Member("s") + "S" + U16(1) + "s" + Member("b") + "B" +
                      U16(1) + "b",
                  kReps / 6) +
           "z"},
  };
}

// The heap a skipped value may hold per byte of it (SECURITY.md): a list of one-byte items.
const size_t kMaxSkipHeapPerInputByte = 64;

TEST(RepeatBomb, SkippedValuesAreReadWholeInLinearTime) {
  for (const RepeatedValue& value : RepeatedValues()) {
    const std::string wire = InUnknownMember(value.bytes);
    kelo::cl::Header header;
    const Outcome run = Read(header, wire);
    EXPECT_EQ(run.rc, 0) << value.what << ": " << run.error;
    EXPECT_EQ(run.consumed, wire.size()) << value.what;
    // A skipped list holds a small temporary per item until its end; nothing else is kept.
    EXPECT_LE(run.peak, kMaxSkipHeapPerInputByte * value.bytes.size() + 4096u) << value.what;
  }
}

// A Header with n unknown members, each holding the given value.
std::string UnknownMembers(unsigned int n, const std::string& value) {
  return MapHeader("kelo.cl.Header") + Repeat(Member("q") + value, n) + "z";
}

TEST(RepeatBomb, UnknownMemberChainsCostTheSameForEveryMember) {
  const std::string values[] = {
      "I" + U32(7),                              // scalars: nothing is allocated per member
      MapHeader("x") + Member("y") + "N" + "z",  // maps: one temporary each, freed at once
      ListHeader("x", 1) + "T" + "z",            // lists: a temporary list and item each
      "S" + U16(3) + "abc",                      // strings: a temporary each
      "B" + U16(3) + "abc",                      // blobs: the same
  };
  for (const std::string& value : values) {
    kelo::cl::Header small, large;
    const Outcome few = Read(small, UnknownMembers(10, value));
    const Outcome many = Read(large, UnknownMembers(kReps, value));
    ASSERT_EQ(few.rc, 0);
    ASSERT_EQ(many.rc, 0);
    EXPECT_EQ(many.consumed, UnknownMembers(kReps, value).size());
    // Each member costs the same fixed number of allocations (none for scalars)...
    EXPECT_EQ((many.allocations - few.allocations) % (kReps - 10), 0u) << kelotest::ToHex(value);
    EXPECT_LE(many.allocations - few.allocations, 3u * (kReps - 10));
    // ...and nothing is kept: the peak does not grow with the number of members.
    EXPECT_LE(many.peak, few.peak + 256u) << kelotest::ToHex(value);
  }
}

TEST(RepeatBomb, RepeatedKnownMembersReplaceWhatTheyHold) {
  // The same known member sent kReps times: each occurrence replaces the last one's value, so
  // the object ends as one occurrence leaves it and the peak does not grow with the count.
  struct Case {
    const char* type;
    std::string member;
  } cases[] = {
      {"kelo.cl.ResTopology", Member("resID") + "I" + U32(7)},
      {"kelo.cl.ResTopology",
       Member("header") + MapHeader("kelo.cl.Header") + Member("cnc") + "I" + U32(3) + "z"},
      {"kelo.cl.ResTopology", Member("apList") + ListHeader("kelo.cl.ApRes", 2) + "NN" + "z"},
      {"kelo.cl.ResPartition", Member("pidName") + "S" + U16(3) + "abc"},
      {"kelo.cl.ScanResInfo", Member("bssid") + "B" + U16(3) + "abc"},
  };
  for (const Case& c : cases) {
    const kelo::ClassInfo& info = *kelo::CatalogueFind(c.type);
    std::unique_ptr<CKeloHesClass> once(info.create()), often(info.create());
    const Outcome one = Read(*once, MapHeader(c.type) + c.member + "z");
    const std::string wire = MapHeader(c.type) + Repeat(c.member, kReps) + "z";
    const Outcome run = Read(*often, wire);
    ASSERT_EQ(one.rc, 0) << one.error;
    ASSERT_EQ(run.rc, 0) << run.error;
    EXPECT_EQ(run.consumed, wire.size());
    EXPECT_EQ(kelotest::Encode(*often), kelotest::Encode(*once));
    EXPECT_LE(run.peak, one.peak + 1024u) << kelotest::ToHex(c.member);
  }
}

TEST(RepeatBomb, KnownListItemsAreAddedInLinearTime) {
  const std::string wire = MapHeader("test.Box") + Member("points") +
                           ListHeader("test.Point", kReps) + Repeat("N", kReps) + "zz";
  kelotest::Box box;
  const Outcome run = Read(box, wire);
  ASSERT_EQ(run.rc, 0) << run.error;
  EXPECT_EQ(box.points.Count(), static_cast<int>(kReps));
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
const size_t kMaxHeapPerInputByte = 2048;

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
