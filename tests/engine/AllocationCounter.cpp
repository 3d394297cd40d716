#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Counts every allocation of the test binary so tests can require none on the audio path.
namespace {
std::atomic<size_t> allocations{0};
}  // namespace

size_t allocationCount() { return allocations.load(); }

void* operator new(std::size_t size) {
  allocations.fetch_add(1);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void* operator new[](std::size_t size) { return operator new(size); }

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
