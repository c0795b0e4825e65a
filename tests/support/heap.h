// The one replacement of the global operator new and delete (but the unused over-aligned forms) for
// programs that make allocations fail or count them and their bytes. Include it in exactly one
// source file of a program; none is built on Windows, where a DLL's allocations bypass it.
#pragma once

#include <stdlib.h>

#include <new>

#if defined(__APPLE__)
#include <malloc/malloc.h>
#define KELOTEST_BLOCK_SIZE malloc_size
#else
#include <malloc.h>
#define KELOTEST_BLOCK_SIZE malloc_usable_size
#endif

namespace kelotest {
namespace heap {

inline unsigned long made = 0;    // allocations since the last FailAt
inline unsigned long failAt = 0;  // the allocation to fail, counted in made; 0 for none
inline bool exhausted = false;    // every allocation fails
inline long live = 0;             // allocations not freed yet: a leak shows as a difference
inline size_t liveBytes = 0, peakBytes = 0;  // their bytes, now and at most since the last FailAt

// Fails the nth allocation from now on (1 = the next one; 0 fails none); both restart the count
// of allocations made and the peak from what is live now.
inline void FailAt(unsigned long nth) {
  made = 0;
  failAt = nth;
  peakBytes = liveBytes;
}
inline void StartCounting() {
  FailAt(0);
}

inline void* Allocate(size_t size, bool nothrow) {
  ++made;
  void* p = exhausted || made == failAt ? nullptr : malloc(size ? size : 1);
  if (!p) {
    if (nothrow) return nullptr;
    throw std::bad_alloc();
  }
  ++live;
  liveBytes += KELOTEST_BLOCK_SIZE(p);
  if (liveBytes > peakBytes) peakBytes = liveBytes;
  return p;
}

inline void Release(void* p) {
  if (!p) return;
  --live;
  liveBytes -= KELOTEST_BLOCK_SIZE(p);
  free(p);
}

}  // namespace heap

// Every allocation fails while one of these lives.
struct ExhaustedHeap {
  ExhaustedHeap() { heap::exhausted = true; }
  ~ExhaustedHeap() { heap::exhausted = false; }
};

}  // namespace kelotest

void* operator new(size_t n) {
  return kelotest::heap::Allocate(n, false);
}
void* operator new[](size_t n) {
  return kelotest::heap::Allocate(n, false);
}
void* operator new(size_t n, const std::nothrow_t&) noexcept {
  return kelotest::heap::Allocate(n, true);
}
void* operator new[](size_t n, const std::nothrow_t&) noexcept {
  return kelotest::heap::Allocate(n, true);
}
void operator delete(void* p) noexcept {
  kelotest::heap::Release(p);
}
void operator delete[](void* p) noexcept {
  kelotest::heap::Release(p);
}
void operator delete(void* p, size_t) noexcept {
  kelotest::heap::Release(p);
}
void operator delete[](void* p, size_t) noexcept {
  kelotest::heap::Release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  kelotest::heap::Release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  kelotest::heap::Release(p);
}
