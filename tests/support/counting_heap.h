// A measuring global heap for test programs and tools that weigh what a decode costs: replaces
// every form of the global operator new and delete, counts the allocations made and those still
// live with their bytes (as the allocator reports them, malloc_usable_size or _msize, so the
// figures include its rounding), and keeps the peak. To make allocations fail, use
// failing_new.h instead (a program includes one of the two).
//
// Include this file in exactly ONE source file of a program; it defines the replacements. It is
// deliberately a header and not a .cpp in tests/support/, which every test program links.
#pragma once

#include <stdlib.h>

#include <new>

#if defined(_WIN32)
#include <malloc.h>
#elif defined(__APPLE__)
#include <malloc/malloc.h>
#else
#include <malloc.h>
#endif

namespace kelotest {
namespace heap {

unsigned long g_made = 0;  // allocations since the last StartCounting
long g_live = 0;           // allocations not yet released
size_t g_liveBytes = 0;
size_t g_peakBytes = 0;

// Restarts the count of allocations made and the peak, from what is live now.
inline void StartCounting() {
  g_made = 0;
  g_peakBytes = g_liveBytes;
}
inline unsigned long Made() {
  return g_made;
}
inline long Live() {
  return g_live;
}
inline size_t LiveBytes() {
  return g_liveBytes;
}
inline size_t PeakBytes() {
  return g_peakBytes;
}

// The platform's own allocation calls: the usable size of a block, aligned blocks.
inline size_t BlockSize(void* p, size_t align) {
#if defined(_WIN32)
  // Over-aligned blocks (which the library never asks for) are counted, not measured, here.
  return align ? 0 : _msize(p);
#elif defined(__APPLE__)
  (void)align;
  return malloc_size(p);
#else
  (void)align;
  return malloc_usable_size(p);
#endif
}
inline void* AllocateBlock(size_t size, size_t align) {
  if (!align) return malloc(size ? size : 1);
#if defined(_WIN32)
  return _aligned_malloc(size ? size : 1, align);
#else
  return aligned_alloc(align, (size + align - 1) / align * align);
#endif
}
inline void FreeBlock(void* p, size_t align) {
#if defined(_WIN32)
  if (align) {
    _aligned_free(p);
    return;
  }
#endif
  (void)align;
  free(p);
}

inline void* Allocate(size_t size, size_t align, bool nothrow) {
  ++g_made;
  void* p = AllocateBlock(size, align);
  if (!p) {
    if (nothrow) return nullptr;
    throw std::bad_alloc();
  }
  ++g_live;
  g_liveBytes += BlockSize(p, align);
  if (g_liveBytes > g_peakBytes) g_peakBytes = g_liveBytes;
  return p;
}

inline void Release(void* p, size_t align = 0) {
  if (!p) return;
  --g_live;
  g_liveBytes -= BlockSize(p, align);
  FreeBlock(p, align);
}

}  // namespace heap
}  // namespace kelotest

void* operator new(size_t n) {
  return kelotest::heap::Allocate(n, 0, false);
}
void* operator new[](size_t n) {
  return kelotest::heap::Allocate(n, 0, false);
}
void* operator new(size_t n, const std::nothrow_t&) noexcept {
  return kelotest::heap::Allocate(n, 0, true);
}
void* operator new[](size_t n, const std::nothrow_t&) noexcept {
  return kelotest::heap::Allocate(n, 0, true);
}
void* operator new(size_t n, std::align_val_t a) {
  return kelotest::heap::Allocate(n, static_cast<size_t>(a), false);
}
void* operator new[](size_t n, std::align_val_t a) {
  return kelotest::heap::Allocate(n, static_cast<size_t>(a), false);
}
void* operator new(size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return kelotest::heap::Allocate(n, static_cast<size_t>(a), true);
}
void* operator new[](size_t n, std::align_val_t a, const std::nothrow_t&) noexcept {
  return kelotest::heap::Allocate(n, static_cast<size_t>(a), true);
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
void operator delete(void* p, std::align_val_t a) noexcept {
  kelotest::heap::Release(p, static_cast<size_t>(a));
}
void operator delete[](void* p, std::align_val_t a) noexcept {
  kelotest::heap::Release(p, static_cast<size_t>(a));
}
void operator delete(void* p, size_t, std::align_val_t a) noexcept {
  kelotest::heap::Release(p, static_cast<size_t>(a));
}
void operator delete[](void* p, size_t, std::align_val_t a) noexcept {
  kelotest::heap::Release(p, static_cast<size_t>(a));
}
void operator delete(void* p, std::align_val_t a, const std::nothrow_t&) noexcept {
  kelotest::heap::Release(p, static_cast<size_t>(a));
}
void operator delete[](void* p, std::align_val_t a, const std::nothrow_t&) noexcept {
  kelotest::heap::Release(p, static_cast<size_t>(a));
}
