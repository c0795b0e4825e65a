// The kllang layer: the wide string, the exception hierarchy as handlers see it, and the
// out-of-memory error, which must be thrown, caught and copied with the heap exhausted. This
// program replaces the global operator new so that the heap can be made to fail; that is also
// where MeasureReq::setBssid's out-of-memory path is tested.
#include <gtest/gtest.h>

#include <climits>
#include <cwchar>
#include <new>
#include <string>
#include <type_traits>

#include <kelohessian/client/client.h>
#include <kelohessian/kllang/kllang.h>

#include "support/failing_new.h"

using kelotest::ExhaustedHeap;

namespace {

using kllang::CKlString;

std::wstring Text(const CKlString& s) {
  return std::wstring(s.c_str(), s.length());
}

// Whether a call throws something that a handler for Handler catches.
template <class Handler, class Call>
bool CaughtBy(Call call) {
  try {
    try {
      call();
    } catch (const Handler&) {
      return true;
    }
  } catch (...) {
  }
  return false;
}

TEST(KlString, TextNumbersAndConcatenation) {
  EXPECT_EQ(Text(CKlString(L"abc")), L"abc");
  EXPECT_EQ(Text(CKlString(static_cast<const wchar_t*>(nullptr))), L"");
  EXPECT_EQ(CKlString(L"").c_str()[0], L'\0');
  EXPECT_EQ(Text(CKlString(0)), L"0");
  EXPECT_EQ(Text(CKlString(42)), L"42");
  EXPECT_EQ(Text(CKlString(-1999997)), L"-1999997");
  EXPECT_EQ(Text(CKlString(INT_MAX)), L"2147483647");
  EXPECT_EQ(Text(CKlString(INT_MIN)), L"-2147483648");

  const CKlString joined = CKlString(L"MeasureReq::setBssid(). Got error: ") + CKlString(-1999993);
  EXPECT_EQ(Text(joined), L"MeasureReq::setBssid(). Got error: -1999993");
  EXPECT_EQ(joined.c_str()[joined.length()], L'\0');
  EXPECT_EQ(Text(CKlString(L"") + CKlString(L"x") + CKlString(L"")), L"x");
}

TEST(KlString, CopiesAreIndependent) {
  CKlString a(L"first");
  CKlString b(a);
  EXPECT_NE(a.c_str(), b.c_str());
  CKlString c(L"other");
  c = a;
  a = CKlString(L"changed");
  EXPECT_EQ(Text(b), L"first");
  EXPECT_EQ(Text(c), L"first");
  const CKlString& self = c;
  c = self;
  EXPECT_EQ(Text(c), L"first");
}

TEST(KlString, AllocationFailureThrowsBadAlloc) {
  const CKlString source(L"text");
  CKlString target(L"kept");
  EXPECT_THROW(([] {
                 ExhaustedHeap heap;
                 CKlString s(L"abc");
               })(),
               std::bad_alloc);
  EXPECT_THROW(([] {
                 ExhaustedHeap heap;
                 CKlString s(7);
               })(),
               std::bad_alloc);
  EXPECT_THROW(([&] {
                 ExhaustedHeap heap;
                 CKlString s(source);
               })(),
               std::bad_alloc);
  EXPECT_THROW(([&] {
                 ExhaustedHeap heap;
                 target = source;
               })(),
               std::bad_alloc);
  EXPECT_EQ(Text(target), L"kept");
  // The empty text needs no storage.
  unsigned int length = 1;
  ([&] {
    ExhaustedHeap heap;
    length = CKlString(L"").length();
  })();
  EXPECT_EQ(length, 0u);
}

TEST(KlExceptions, HandlersCatchAlongTheHierarchy) {
  const auto illegal = [] { throw kllang::IllegalArgumentException(CKlString(L"bad")); };
  EXPECT_TRUE(CaughtBy<kllang::IllegalArgumentException>(illegal));
  EXPECT_TRUE(CaughtBy<kllang::RuntimeException>(illegal));
  EXPECT_TRUE(CaughtBy<kllang::Exception>(illegal));
  EXPECT_TRUE(CaughtBy<kllang::Throwable>(illegal));
  EXPECT_FALSE(CaughtBy<kllang::OutOfMemoryError>(illegal));

  const auto plain = [] { throw kllang::Exception(CKlString(L"plain")); };
  EXPECT_TRUE(CaughtBy<kllang::Exception>(plain));
  EXPECT_TRUE(CaughtBy<kllang::Throwable>(plain));
  EXPECT_FALSE(CaughtBy<kllang::RuntimeException>(plain));
  EXPECT_FALSE(CaughtBy<kllang::IllegalArgumentException>(plain));
  EXPECT_FALSE(CaughtBy<kllang::OutOfMemoryError>(plain));

  const auto oom = [] { kllang::OutOfMemoryError::ThrowInstance(); };
  EXPECT_TRUE(CaughtBy<kllang::OutOfMemoryError>(oom));
  EXPECT_TRUE(CaughtBy<kllang::Throwable>(oom));
  EXPECT_FALSE(CaughtBy<kllang::Exception>(oom));
  EXPECT_FALSE(CaughtBy<kllang::RuntimeException>(oom));

  try {
    throw kllang::RuntimeException(CKlString(L"runtime"));
  } catch (const kllang::Throwable& t) {
    EXPECT_EQ(std::wstring(t.GetMessage()), L"runtime");
  }
}

TEST(KlExceptions, OutOfMemoryErrorNeedsNoHeap) {
  bool caught = false;
  try {
    ExhaustedHeap heap;
    kllang::OutOfMemoryError::ThrowInstance();
  } catch (const kllang::OutOfMemoryError& e) {
    ExhaustedHeap heap;
    kllang::OutOfMemoryError copy(e);  // a handler taking it by value copies it
    caught = wcscmp(copy.GetMessage(), L"Out of memory") == 0;
  }
  EXPECT_TRUE(caught);
}

TEST(KlExceptions, SetBssidOnAnExhaustedHeap) {
  kelo::cl::MeasureReq record;
  record.setBssid("\x01\x02\x03\x04\x05\x06", 6);
  const auto exhausted = [&record] {
    ExhaustedHeap heap;
    record.setBssid("\x0a\x0b\x0c\x0d\x0e\x0f", 6);
  };
  EXPECT_TRUE(CaughtBy<kllang::OutOfMemoryError>(exhausted));
  EXPECT_TRUE(CaughtBy<kllang::Throwable>(exhausted));
  EXPECT_FALSE(CaughtBy<kllang::Exception>(exhausted));

  // The previous six bytes stay.
  const char* data;
  ASSERT_EQ(record.bssid.Data(data), 6u);
  EXPECT_EQ(std::string(data, 6), std::string("\x01\x02\x03\x04\x05\x06", 6));

  try {
    exhausted();
    ADD_FAILURE() << "no exception";
  } catch (const kllang::Throwable& t) {
    EXPECT_EQ(std::wstring(t.GetMessage()), L"Out of memory");
  }
}

static_assert(std::is_base_of<kllang::Throwable, kllang::OutOfMemoryError>::value, "");
static_assert(!std::is_base_of<kllang::Exception, kllang::OutOfMemoryError>::value, "");
static_assert(std::has_virtual_destructor<kllang::Throwable>::value, "");

}  // namespace
