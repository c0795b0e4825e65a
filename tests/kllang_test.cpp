// The kllang layer: the wide string, the exception hierarchy as handlers see it, and the
// out-of-memory error that MeasureReq::setBssid throws with the heap exhausted (support/heap.h).
#include "support/heap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cwchar>
#include <string>
#include <type_traits>
#include <utility>

#include <kelohessian/client/client.h>
#include <kelohessian/kllang/kllang.h>

#include "support/test_support.h"

namespace {

using kelotest::ExhaustedHeap;
using kllang::CKlString;

std::wstring Text(const CKlString& s) {
  EXPECT_EQ(s.c_str()[s.length()], L'\0');
  return std::wstring(s.c_str(), s.length());
}

// Whether call throws std::bad_alloc with every allocation failing while it runs.
template <class Call>
bool ThrowsBadAlloc(Call call) {
  try {
    ExhaustedHeap heap;
    call();
  } catch (const std::bad_alloc&) {
    return true;
  }
  return false;
}

TEST(KlString, TextNumbersConcatenationCopiesAndAllocationFailure) {
  const std::pair<CKlString, std::wstring> texts[] = {
      {CKlString(L"abc"), L"abc"},
      {CKlString(static_cast<const wchar_t*>(nullptr)), L""},
      {CKlString(L""), L""},
      {CKlString(0), L"0"},
      {CKlString(42), L"42"},
      {CKlString(INT_MAX), L"2147483647"},
      {CKlString(INT_MIN), L"-2147483648"},
      {CKlString(L"Got error: ") + CKlString(-1999993), L"Got error: -1999993"},
      {CKlString(L"") + CKlString(L"x") + CKlString(L""), L"x"}};
  for (const auto& t : texts) EXPECT_EQ(Text(t.first), t.second);

  // Copies own their text; assignment copies before it frees, so a failed one keeps the target.
  CKlString a(L"first"), c(L"other");
  const CKlString b(a);
  EXPECT_NE(a.c_str(), b.c_str());
  c = a;
  a = CKlString(L"changed");
  EXPECT_EQ(Text(b), L"first");
  EXPECT_EQ(Text(c), L"first");
  EXPECT_TRUE(ThrowsBadAlloc([] { CKlString(L"abc"); }));
  EXPECT_TRUE(ThrowsBadAlloc([&] { CKlString{a}; }));
  EXPECT_TRUE(ThrowsBadAlloc([&] { c = a; }));
  EXPECT_EQ(Text(c), L"first");
  EXPECT_FALSE(ThrowsBadAlloc([] { CKlString(L""); }));  // the empty text needs no storage
}

// A handler for To catches a thrown From exactly when From* converts to To* (a public, unambiguous
// base): the hierarchy as handlers see it, checked as this compiles.
template <class From, class To>
constexpr bool kCaughtAs = std::is_convertible<From*, To*>::value;
static_assert(kCaughtAs<kllang::IllegalArgumentException, kllang::RuntimeException> &&
              kCaughtAs<kllang::RuntimeException, kllang::Exception> &&
              kCaughtAs<kllang::Exception, kllang::Throwable> &&
              kCaughtAs<kllang::OutOfMemoryError, kllang::Throwable>);
static_assert(!kCaughtAs<kllang::OutOfMemoryError, kllang::Exception> &&
              !kCaughtAs<kllang::Exception, kllang::RuntimeException> &&
              !kCaughtAs<kllang::RuntimeException, kllang::IllegalArgumentException>);

// setBssid needs no heap (a BSSID's six bytes are kept inside the blob), so it works on an
// exhausted heap; the out-of-memory error it would throw for a failed allocation is thrown and
// copied (as a handler taking it by value does) without the heap too.
TEST(KlExceptions, SetBssidAndTheOutOfMemoryErrorNeedNoHeap) {
  kelo::cl::MeasureReq record;
  record.setBssid("\x01\x02\x03\x04\x05\x06", 6);
  {
    ExhaustedHeap heap;
    record.setBssid("\x0a\x0b\x0c\x0d\x0e\x0f", 6);
  }
  EXPECT_EQ(kelotest::BlobBytes(record.bssid), "\x0a\x0b\x0c\x0d\x0e\x0f");
  bool caught = false;
  try {
    ExhaustedHeap heap;
    kllang::OutOfMemoryError::ThrowInstance();
  } catch (const kllang::OutOfMemoryError& e) {
    ExhaustedHeap heap;
    const kllang::OutOfMemoryError copy(e);
    caught = wcscmp(copy.GetMessage(), L"Out of memory") == 0;
  }
  EXPECT_TRUE(caught);
}

}  // namespace
