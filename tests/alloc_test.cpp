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
  EXPECT_GT(failures, 10);
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

TEST(AllocationFailure, FailedRegistrationIsDiscardedAndNamesTheMember) {
  kelotest::Box box;
  const std::string empty = kelotest::Hex("'Mt' 00 08 'test.Box' 'z'");
  // The first allocation of a Box decode is the Box's first registry node.
  kelotest::Decoded d = DecodeFailing(box, empty, 1);
  EXPECT_EQ(d.rc, KELO_E_NO_MEMORY);
  EXPECT_EQ(box.FirstMember(), nullptr);
  // A partial registry (two of three nodes) is discarded as well.
  d = DecodeFailing(box, empty, 3);
  EXPECT_EQ(d.rc, KELO_E_NO_MEMORY);
  EXPECT_EQ(box.FirstMember(), nullptr);
  // The nested corner fails to register: nothing was said before, so the clause opens the text.
  ASSERT_EQ(kelotest::Decode(box, empty).rc, 0);
  d = DecodeFailing(box, kelotest::Hex("'Mt' 00 08 'test.Box' 'S' 00 06 'corner' 'N' 'z'"), 1);
  EXPECT_EQ(d.rc, KELO_E_NO_MEMORY);
  EXPECT_EQ(d.error, "Error deserializing member \"corner\" of class \"test.Box\"");
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
