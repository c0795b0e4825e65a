// Allocation-failure sweep over the whole catalogue: for a filled message of every class (lists
// with one item), every allocation of building the call and of reading the reply is made to fail
// in turn, until the operation succeeds. Each failure returns -1999997 with a well-formed error
// text, leaks nothing, leaves the output as it was (call) or the object writable (reply), and a
// retry on the same object succeeds with identical bytes. The program replaces the global
// operator new itself (support/failing_new.h); nothing test-only is compiled into the library.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/failing_new.h"
#include "support/filler.h"
#include "support/test_support.h"

namespace {

const char kMethod[] = "sweep";
const unsigned int kMethodLength = 5;
const char kPrefix[] = "kept";  // output that a failed call must leave untouched

std::string ClassName(const ::testing::TestParamInfo<unsigned int>& param) {
  const kelo::ClassInfo& info = *kelo::CatalogueAt(param.param);
  std::string name;
  for (const char* p = info.typeName; *p; ++p)
    name.push_back((*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9')
                       ? *p
                       : '_');
  return name;
}

std::unique_ptr<CKeloHesClass> Filled(const kelo::ClassInfo& info) {
  return std::unique_ptr<CKeloHesClass>(kelotest::NewFilled(info, 17, 1));
}

std::string Call(const CKeloHesClass& object, int* rc) {
  CKeloOutput out(0);
  *rc = KeloHessianBuildRequest(kMethod, kMethodLength, object, out);
  return std::string(out.Data() ? out.Data() : "", out.DataSize());
}

// Whether an object of the class can hold a string, a blob or a list (its items).
bool HoldsHeap(const kelo::ClassInfo& info) {
  for (unsigned int i = 0; i < kelo::CatalogueMemberCount(info); ++i) {
    const kelo::MemberInfo& m = *kelo::CatalogueMemberAt(info, i);
    if (m.kind == kelo::KELO_KIND_STRING || m.kind == kelo::KELO_KIND_BINARY ||
        m.kind == kelo::KELO_KIND_LIST)
      return true;
    if ((m.kind == kelo::KELO_KIND_MESSAGE || m.kind == kelo::KELO_KIND_VALUE) &&
        HoldsHeap(*m.type))
      return true;
  }
  return false;
}

class AllocationSweep : public ::testing::TestWithParam<unsigned int> {
 protected:
  const kelo::ClassInfo& Info() const { return *kelo::CatalogueAt(GetParam()); }
};

TEST_P(AllocationSweep, EveryAllocationOfACallFailsCleanly) {
  int rc = 0;
  const std::string expected = Call(*Filled(Info()), &rc);
  ASSERT_EQ(rc, 0);
  unsigned long failures = 0;
  for (unsigned long n = 1;; ++n) {
    const long live = kelotest::LiveAllocations();
    {
      // A fresh object each time, so that building its registries is swept as well.
      std::unique_ptr<CKeloHesClass> object = Filled(Info());
      // Small growth steps make the output grow (and fail to grow) many times over.
      CKeloOutput out(16);
      ASSERT_EQ(out.Append(kPrefix, 4), 0);
      kelotest::FailAllocationAt(n);
      rc = KeloHessianBuildRequest(kMethod, kMethodLength, *object, out);
      kelotest::FailAllocationAt(0);
      const std::string written(out.Data(), out.DataSize());
      if (rc == 0) {
        EXPECT_EQ(written, kPrefix + expected);
        break;
      }
      ASSERT_EQ(rc, KELO_E_NO_MEMORY) << "allocation " << n;
      ASSERT_EQ(written, kPrefix) << "allocation " << n;
      ++failures;
      int retry = -1;
      ASSERT_EQ(Call(*object, &retry), expected) << "allocation " << n;
      ASSERT_EQ(retry, 0);
    }
    ASSERT_EQ(kelotest::LiveAllocations(), live) << "leak when allocation " << n << " failed";
  }
  EXPECT_GT(failures, 0u);
}

TEST_P(AllocationSweep, EveryAllocationOfAReplyFailsCleanly) {
  int rc = 0;
  std::string map;
  {
    std::unique_ptr<CKeloHesClass> filled = Filled(Info());
    map = kelotest::Encode(*filled, &rc);
    ASSERT_EQ(rc, 0);
  }
  const std::string reply = std::string("r\x01\x00", 3) + map + "z";
  unsigned long failures = 0;
  for (unsigned long n = 1;; ++n) {
    const long live = kelotest::LiveAllocations();
    {
      std::unique_ptr<CKeloHesClass> object(Info().create());
      ASSERT_NE(object, nullptr);
      {
        CKeloInput in(reply.data(), static_cast<unsigned int>(reply.size()));
        CKeloInputParse parse(in);
        kelotest::FailAllocationAt(n);
        rc = KeloHessianReadResponse(*object, parse);
        kelotest::FailAllocationAt(0);
        if (rc == 0) {
          EXPECT_EQ(in.GetNumExtracted(), reply.size());
          EXPECT_EQ(kelotest::Encode(*object), map);
          break;
        }
        ASSERT_EQ(rc, KELO_E_NO_MEMORY) << "allocation " << n;
        // The text may have failed to grow as well, but it is always terminated where it says.
        if (parse.GetError()) {
          ASSERT_EQ(parse.GetError()[parse.GetErrorLength()], '\0');
        } else {
          ASSERT_EQ(parse.GetErrorLength(), 0u);
        }
      }
      ++failures;
      // What the failed read left is a valid object: it can be written...
      kelotest::Encode(*object, &rc);
      ASSERT_EQ(rc, 0) << "allocation " << n;
      // ...and read again, to the same contents.
      CKeloInput in(reply.data(), static_cast<unsigned int>(reply.size()));
      CKeloInputParse parse(in);
      ASSERT_EQ(KeloHessianReadResponse(*object, parse), 0) << "allocation " << n;
      ASSERT_EQ(kelotest::Encode(*object), map) << "allocation " << n;
    }
    ASSERT_EQ(kelotest::LiveAllocations(), live) << "leak when allocation " << n << " failed";
  }
  // A read builds no member registry: it allocates only for the strings, blobs and list items it
  // holds, so a class of numbers alone reads without allocating at all.
  if (!HoldsHeap(Info())) {
    EXPECT_EQ(failures, 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(Catalogue, AllocationSweep, ::testing::Range(0u, kelo::CatalogueSize()),
                         ClassName);

}  // namespace
