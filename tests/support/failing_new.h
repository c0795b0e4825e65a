// Replaces every form of the global operator new and delete of the test program that includes
// this header (in exactly one of its source files), so that allocations can be made to fail on
// demand and the live ones counted. Nothing of this reaches the library itself: the library's
// own calls of operator new resolve to these replacements at run time.
#pragma once

#include <stdlib.h>

#include <new>

namespace kelotest {

namespace failing_new {
inline unsigned long made = 0;
inline unsigned long failAt = 0;
inline bool failAll = false;
inline long live = 0;

inline void* Allocate(size_t size, size_t align, bool nothrow) {
  ++made;
  void* p = nullptr;
  if (!failAll && (failAt == 0 || made != failAt)) {
    p = align ? aligned_alloc(align, (size + align - 1) / align * align) : malloc(size ? size : 1);
  }
  if (!p) {
    if (nothrow) return nullptr;
    throw std::bad_alloc();
  }
  ++live;
  return p;
}

inline void Release(void* p) {
  if (!p) return;
  --live;
  free(p);
}
}  // namespace failing_new

// Fails the nth allocation from now on (1 = the next one); 0 fails none.
inline void FailAllocationAt(unsigned long nth) {
  failing_new::made = 0;
  failing_new::failAt = nth;
}
// Allocations not freed yet: a failure path that leaks shows up as a difference.
inline long LiveAllocations() {
  return failing_new::live;
}

// Every allocation fails while one of these lives.
struct ExhaustedHeap {
  ExhaustedHeap() { failing_new::failAll = true; }
  ~ExhaustedHeap() { failing_new::failAll = false; }
  ExhaustedHeap(const ExhaustedHeap&) = delete;
  ExhaustedHeap& operator=(const ExhaustedHeap&) = delete;
};

}  // namespace kelotest

void* operator new(size_t n) {
  return kelotest::failing_new::Allocate(n, 0, false);
}
void* operator new[](size_t n) {
  return kelotest::failing_new::Allocate(n, 0, false);
}
void* operator new(size_t n, const std::nothrow_t&) noexcept {
  return kelotest::failing_new::Allocate(n, 0, true);
}
void* operator new[](size_t n, const std::nothrow_t&) noexcept {
  return kelotest::failing_new::Allocate(n, 0, true);
}
void* operator new(size_t n, std::align_val_t a) {
  return kelotest::failing_new::Allocate(n, static_cast<size_t>(a), false);
}
void* operator new[](size_t n, std::align_val_t a) {
  return kelotest::failing_new::Allocate(n, static_cast<size_t>(a), false);
}
void* operator new(size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return kelotest::failing_new::Allocate(n, static_cast<size_t>(a), true);
}
void* operator new[](size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return kelotest::failing_new::Allocate(n, static_cast<size_t>(a), true);
}
void operator delete(void* p) noexcept {
  kelotest::failing_new::Release(p);
}
void operator delete[](void* p) noexcept {
  kelotest::failing_new::Release(p);
}
void operator delete(void* p, size_t) noexcept {
  kelotest::failing_new::Release(p);
}
void operator delete[](void* p, size_t) noexcept {
  kelotest::failing_new::Release(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  kelotest::failing_new::Release(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  kelotest::failing_new::Release(p);
}
void operator delete(void* p, std::align_val_t) noexcept {
  kelotest::failing_new::Release(p);
}
void operator delete[](void* p, std::align_val_t) noexcept {
  kelotest::failing_new::Release(p);
}
void operator delete(void* p, size_t, std::align_val_t) noexcept {
  kelotest::failing_new::Release(p);
}
void operator delete[](void* p, size_t, std::align_val_t) noexcept {
  kelotest::failing_new::Release(p);
}
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept {
  kelotest::failing_new::Release(p);
}
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept {
  kelotest::failing_new::Release(p);
}
