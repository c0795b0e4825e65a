// Allocation failure: every allocation of an encode and a decode is made to fail in turn. Each
// failure returns -1999997, leaks nothing, leaves the objects in the promised states, and a retry
// succeeds with identical bytes. The global operator new is replaced in this program only;
// nothing test-only is compiled into the library.
#include <gtest/gtest.h>

#include <new>
#include <string>

#include "support/failing_new.h"
#include "support/filled.h"

namespace {

void FailAt(unsigned long nth) {
  kelotest::FailAllocationAt(nth);
}

// Decodes with the nth allocation of the library's work failing; nothing else allocates while it
// is armed.
kelotest::Decoded DecodeFailing(CKeloHesObject& object, const std::string& bytes, unsigned long n) {
  CKeloInput in(bytes.data(), static_cast<unsigned int>(bytes.size()));
  CKeloInputParse parse(in);
  FailAt(n);
  const int rc = object.Deserialize(parse);
  FailAt(0);
  kelotest::Decoded d;
  d.rc = rc;
  d.error = parse.GetError() ? std::string(parse.GetError()) : std::string();
  d.consumed = in.GetNumExtracted();
  return d;
}

}  // namespace

namespace {

using kelotest::Crate;

// Encoding: a fresh object per attempt (so its registry is built under the failure too).
TEST(AllocationFailure, EveryAllocationOfAnEncodeFailsCleanly) {
  std::string expected;
  {
    Crate c;
    kelotest::FillCrate(c);
    expected = kelotest::Encode(c);
  }
  int failures = 0;
  for (unsigned long n = 1;; ++n) {
    Crate c;
    kelotest::FillCrate(c);
    CKeloOutput out(0);
    FailAt(n);
    const int rc = static_cast<const CKeloHesObject&>(c).Serialize(out);
    FailAt(0);
    if (rc == 0) {
      EXPECT_EQ(std::string(out.Data(), out.DataSize()), expected);
      break;
    }
    ASSERT_EQ(rc, KELO_E_NO_MEMORY) << n;
    ++failures;
    // A retry on the same object gives the same bytes.
    CKeloOutput retry(0);
    ASSERT_EQ(static_cast<const CKeloHesObject&>(c).Serialize(retry), 0) << n;
    EXPECT_EQ(std::string(retry.Data(), retry.DataSize()), expected) << n;
  }
  // The output's growth steps and the strings of a copy; generated classes build no registry.
  EXPECT_GT(failures, 2);
}

TEST(AllocationFailure, EveryAllocationOfADecodeFailsCleanly) {
  std::string wire;
  {
    Crate c;
    kelotest::FillCrate(c);
    wire = kelotest::Encode(c);
  }
  int failures = 0;
  for (unsigned long n = 1;; ++n) {
    const long before = kelotest::LiveAllocations();
    {
      Crate target;
      const kelotest::Decoded d = DecodeFailing(target, wire, n);
      if (d.rc == 0) {
        EXPECT_EQ(kelotest::Encode(target), wire);
        break;
      }
      ASSERT_EQ(d.rc, KELO_E_NO_MEMORY) << n << ": " << d.error;
      ++failures;
      // Decoding again into the same object succeeds with the same contents.
      ASSERT_EQ(kelotest::Decode(target, wire).rc, 0) << n;
      EXPECT_EQ(kelotest::Encode(target), wire) << n;
    }
    EXPECT_EQ(kelotest::LiveAllocations(), before) << "leak when allocation " << n << " failed";
  }
  EXPECT_GT(failures, 10);
}

TEST(AllocationFailure, StringAndBlobReadsKeepTheOldValue) {
  const std::string text = kelotest::Hex("'s' 00 01 'a' 'S' 00 02 c3 a9 'b'");
  for (unsigned long n = 1;; ++n) {
    CKeloHesString s;
    ASSERT_EQ(s.Copy("old"), 0);
    const kelotest::Decoded d = DecodeFailing(s, text, n);
    if (d.rc == 0) {
      EXPECT_EQ(kelotest::StringUnits(s), u"a\u00e9b");
      break;
    }
    EXPECT_EQ(d.rc, KELO_E_NO_MEMORY);
    EXPECT_EQ(kelotest::StringUnits(s), u"old");
  }
  const std::string blob = kelotest::Hex("'b' 00 01 01 'B' 00 02 02 03");
  for (unsigned long n = 1;; ++n) {
    CKeloHesBinary b;
    ASSERT_EQ(b.Copy("old", 3), 0);
    const kelotest::Decoded d = DecodeFailing(b, blob, n);
    const char* data;
    if (d.rc == 0) {
      ASSERT_EQ(b.Data(data), 3u);
      EXPECT_EQ(std::string(data, 3), "\x01\x02\x03");
      break;
    }
    EXPECT_EQ(d.rc, KELO_E_NO_MEMORY);
    EXPECT_EQ(
        d.error.rfind("Internal error: failed to store binary data. Last chars read: 'b...", 0),
        0u);
    ASSERT_EQ(b.Data(data), 3u);
    EXPECT_EQ(std::string(data, 3), "old");
  }
}

// Registers three members: the first two in a block reserved for two, the third in a node of
// its own, so that a failure can leave a partial registry of either kind of node.
class Trio : public CKeloHesClass {
 public:
  CKeloHesInt32 a, b, c;
  const CKeloHesName& Namespace() const override { return kEmpty; }
  const CKeloHesName& ClassName() const override { return kName; }

 protected:
  int HashMembers() override {
    if (int rc = ReserveMembers(2); rc) return rc;
    if (int rc = InsertMember(kA, a); rc) return rc;
    if (int rc = InsertMember(kB, b); rc) return rc;
    return InsertMember(kC, c);
  }

 private:
  static constexpr CKeloHesName kEmpty{};
  static constexpr CKeloHesName kName{"Trio", 4};
  static constexpr CKeloHesName kA{"a", 1}, kB{"b", 1}, kC{"c", 1};
};

TEST(AllocationFailure, FailedRegistrationIsDiscarded) {
  // A partial registry (the reserved block full, the node beyond it missing) is discarded, and
  // nothing leaks; the next read builds all three nodes.
  const long before = kelotest::LiveAllocations();
  Trio trio;
  kelotest::Decoded d = DecodeFailing(trio, kelotest::Hex("'Mt' 00 04 'Trio' 'z'"), 2);
  EXPECT_EQ(d.rc, KELO_E_NO_MEMORY);
  EXPECT_EQ(trio.FirstMember(), nullptr);
  EXPECT_EQ(kelotest::LiveAllocations(), before);
  ASSERT_EQ(
      kelotest::Decode(trio, kelotest::Hex("'Mt' 00 04 'Trio' 'S' 00 01 'c' 'I' 00 00 00 07 'z'"))
          .rc,
      0);
  EXPECT_EQ(static_cast<int>(trio.c), 7);
  int nodes = 0;
  for (const CKeloMemberData* m = trio.FirstMember(); m; m = m->m_next) ++nodes;
  EXPECT_EQ(nodes, 3);
}

TEST(AllocationFailure, CopiesThatCannotAllocateBecomeNull) {
  CKeloHesString s;
  ASSERT_EQ(s.Copy("text"), 0);
  FailAt(1);
  CKeloHesString copy(s);
  FailAt(0);
  EXPECT_TRUE(copy.IsNull());
  EXPECT_EQ(copy.Length(), 0u);
  EXPECT_EQ(kelotest::Encode(copy), "N");
}

}  // namespace
