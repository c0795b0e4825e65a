// One replacement of the global operator new and delete (all but the over-aligned forms, which
// the library never uses), for the programs that make allocations fail or weigh them. It fails the
// nth allocation after FailAt(n), or every one while an ExhaustedHeap lives (std::bad_alloc, or
// null from the nothrow forms), and counts allocations made, live and their bytes as the allocator
// reports them (rounding included), with the peak. The library's own calls of operator new resolve
// to it at run time; nothing test-only is built into the library. Include it in exactly one source
// file of a program: it defines the replacements. On Windows a DLL's allocations bypass it, so
// tests/CMakeLists.txt builds no test that includes it there.
#pragma once

#include <stdlib.h>

#include <new>

#if defined(__APPLE__)
#include <malloc/malloc.h>
#else
#include <malloc.h>
#endif

namespace kelotest {
namespace heap {

inline unsigned long made = 0;    // allocations since the last FailAt or StartCounting
inline unsigned long failAt = 0;  // the allocation to fail, counted in made; 0 for none
inline bool exhausted = false;    // every allocation fails
inline long live = 0;             // allocations not freed yet: a leak shows as a difference
inline size_t liveBytes = 0;
inline size_t peakBytes = 0;

// Fails the nth allocation from now on (1 = the next one); 0 fails none.
inline void FailAt(unsigned long nth) {
  made = 0;
  failAt = nth;
}
// Restarts the count of allocations made and the peak, from what is live now.
inline void StartCounting() {
  made = 0;
  peakBytes = liveBytes;
}

inline size_t BlockSize(void* p) {
#if defined(_WIN32)
  return _msize(p);
#elif defined(__APPLE__)
  return malloc_size(p);
#else
  return malloc_usable_size(p);
#endif
}

inline void* Allocate(size_t size, bool nothrow) {
  ++made;
  void* p = exhausted || made == failAt ? nullptr : malloc(size ? size : 1);
  if (!p) {
    if (nothrow) return nullptr;
    throw std::bad_alloc();
  }
  ++live;
  liveBytes += BlockSize(p);
  if (liveBytes > peakBytes) peakBytes = liveBytes;
  return p;
}

inline void Release(void* p) {
  if (!p) return;
  --live;
  liveBytes -= BlockSize(p);
  free(p);
}

}  // namespace heap

// Every allocation fails while one of these lives.
struct ExhaustedHeap {
  ExhaustedHeap() { heap::exhausted = true; }
  ~ExhaustedHeap() { heap::exhausted = false; }
  ExhaustedHeap(const ExhaustedHeap&) = delete;
  ExhaustedHeap& operator=(const ExhaustedHeap&) = delete;
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
