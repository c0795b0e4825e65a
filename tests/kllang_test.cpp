// The kllang layer: the wide string, the exception hierarchy as handlers see it, and the
// out-of-memory error, which must be thrown, caught and copied with the heap exhausted, as
// MeasureReq::setBssid does. The program replaces the global operator new (support/heap.h).
#include "support/heap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cwchar>
#include <new>
#include <string>

#include <kelohessian/client/client.h>
#include <kelohessian/kllang/kllang.h>

#include "support/test_support.h"

namespace {

using kelotest::Caught;
using kelotest::ExhaustedHeap;
using kllang::CKlString;

std::wstring Text(const CKlString& s) {
  EXPECT_EQ(s.c_str()[s.length()], L'\0');
  return std::wstring(s.c_str(), s.length());
}

TEST(KlString, TextNumbersConcatenationAndCopies) {
  EXPECT_EQ(Text(CKlString(L"abc")), L"abc");
  EXPECT_EQ(Text(CKlString(static_cast<const wchar_t*>(nullptr))), L"");
  EXPECT_EQ(Text(CKlString(L"")), L"");
  EXPECT_EQ(Text(CKlString(0)), L"0");
  EXPECT_EQ(Text(CKlString(42)), L"42");
  EXPECT_EQ(Text(CKlString(INT_MAX)), L"2147483647");
  EXPECT_EQ(Text(CKlString(INT_MIN)), L"-2147483648");
  EXPECT_EQ(Text(CKlString(L"MeasureReq::setBssid(). Got error: ") + CKlString(-1999993)),
            L"MeasureReq::setBssid(). Got error: -1999993");
  EXPECT_EQ(Text(CKlString(L"") + CKlString(L"x") + CKlString(L"")), L"x");

  CKlString a(L"first");
  CKlString b(a);
  EXPECT_NE(a.c_str(), b.c_str());
  CKlString c(L"other");
  c = a;
  a = CKlString(L"changed");
  const CKlString& self = c;
  c = self;
  EXPECT_EQ(Text(b), L"first");
  EXPECT_EQ(Text(c), L"first");
}

// Whether call throws std::bad_alloc with every allocation failing (and only while it runs:
// the test's own checks allocate).
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

TEST(KlString, AllocationFailureThrowsBadAllocAndKeepsTheTarget) {
  const CKlString source(L"text");
  CKlString target(L"kept");
  EXPECT_TRUE(ThrowsBadAlloc([] { CKlString(L"abc"); }));
  EXPECT_TRUE(ThrowsBadAlloc([] { CKlString(7); }));
  EXPECT_TRUE(ThrowsBadAlloc([&] { CKlString{source}; }));
  EXPECT_TRUE(ThrowsBadAlloc([&] { target = source; }));
  EXPECT_EQ(Text(target), L"kept");
  EXPECT_FALSE(ThrowsBadAlloc([] { CKlString(L""); }));  // the empty text needs no storage
}

// The handlers that catch what call throws.
template <class Call>
std::string Handlers(Call call) {
  std::string names;
  if (Caught<kllang::Throwable>(call)) names += "Throwable ";
  if (Caught<kllang::Exception>(call)) names += "Exception ";
  if (Caught<kllang::RuntimeException>(call)) names += "RuntimeException ";
  if (Caught<kllang::IllegalArgumentException>(call)) names += "IllegalArgumentException ";
  if (Caught<kllang::OutOfMemoryError>(call)) names += "OutOfMemoryError ";
  return names;
}

TEST(KlExceptions, HandlersCatchAlongTheHierarchy) {
  const auto illegal = [] { throw kllang::IllegalArgumentException(CKlString(L"bad")); };
  const auto runtime = [] { throw kllang::RuntimeException(CKlString(L"runtime")); };
  const auto plain = [] { throw kllang::Exception(CKlString(L"plain")); };
  const auto oom = [] { kllang::OutOfMemoryError::ThrowInstance(); };
  EXPECT_EQ(Handlers(illegal), "Throwable Exception RuntimeException IllegalArgumentException ");
  EXPECT_EQ(Handlers(runtime), "Throwable Exception RuntimeException ");
  EXPECT_EQ(Handlers(plain), "Throwable Exception ");
  EXPECT_EQ(Handlers(oom), "Throwable OutOfMemoryError ");
  EXPECT_EQ(Caught<kllang::Throwable>(illegal), L"bad");
  EXPECT_EQ(Caught<kllang::Exception>(runtime), L"runtime");
  EXPECT_EQ(Caught<kllang::Throwable>(oom), L"Out of memory");
}

TEST(KlExceptions, OutOfMemoryErrorNeedsNoHeap) {
  bool caught = false;
  try {
    ExhaustedHeap heap;
    kllang::OutOfMemoryError::ThrowInstance();
  } catch (const kllang::OutOfMemoryError& e) {
    ExhaustedHeap heap;
    const kllang::OutOfMemoryError copy(e);  // what a handler taking it by value does
    caught = wcscmp(copy.GetMessage(), L"Out of memory") == 0;
  }
  EXPECT_TRUE(caught);
}

TEST(KlExceptions, SetBssidOnAnExhaustedHeapThrowsOutOfMemoryAndKeepsTheBytes) {
  kelo::cl::MeasureReq record;
  record.setBssid("\x01\x02\x03\x04\x05\x06", 6);
  const auto exhausted = [&record] {
    ExhaustedHeap heap;
    record.setBssid("\x0a\x0b\x0c\x0d\x0e\x0f", 6);
  };
  EXPECT_EQ(Handlers(exhausted), "Throwable OutOfMemoryError ");
  EXPECT_EQ(Caught<kllang::Throwable>(exhausted), L"Out of memory");
  EXPECT_EQ(kelotest::BlobBytes(record.bssid), "\x01\x02\x03\x04\x05\x06");
}

}  // namespace
