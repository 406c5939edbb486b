// A file of its own, so that the compiler does not see malloc and free pair
// with new and delete through inlining. The array forms reach these through
// the standard library's own operator new[] and delete[].

#include "tests/heap/LiveAllocations.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> live{0};
}  // namespace

long kelpo::test::LiveAllocations() {
  return live.load(std::memory_order_relaxed);
}

void* operator new(std::size_t size) {
  if (void* p = std::malloc(size ? size : 1)) {
    live.fetch_add(1, std::memory_order_relaxed);
    return p;
  }
  throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
  if (!p) return;
  live.fetch_sub(1, std::memory_order_relaxed);
  std::free(p);
}

void operator delete(void* p, std::size_t) noexcept {
  operator delete(p);
}
