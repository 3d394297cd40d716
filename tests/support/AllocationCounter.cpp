#include "support/AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

// Counts every heap allocation of the test binary so tests can require none on
// the audio path: operator new always, and malloc, calloc and realloc (the MIDI
// queue grows with realloc) outside GCC's sanitizer builds, whose runtimes own malloc, and
// outside Windows, whose C runtime is a system DLL that cannot be replaced.
namespace {
std::atomic<size_t> allocations{0};
}  // namespace

size_t allocationCount() { return allocations.load(); }

#if defined(__clang__)
#if __has_feature(thread_sanitizer) || __has_feature(address_sanitizer)
#define ZORQ_CLANG_SANITIZER 1
#endif
#endif

#if defined(ZORQ_CLANG_SANITIZER)
#include <sanitizer/allocator_interface.h>

// Clang links its sanitizer runtime, operator new and malloc included, into the program:
// they cannot be replaced, but the runtime tells a hook of every block it hands out.
bool countsMalloc() { return true; }

namespace {
const int kHooksInstalled = __sanitizer_install_malloc_and_free_hooks(
    [](const volatile void*, std::size_t) { allocations.fetch_add(1); },
    [](const volatile void*) {});
}  // namespace
#elif defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || defined(_WIN32)
bool countsMalloc() { return false; }

namespace {
void* allocate(std::size_t size) {
  allocations.fetch_add(1);
  return std::malloc(size);
}
}  // namespace
#else
bool countsMalloc() { return true; }

// glibc's own entry points, which the replacements below forward to.
extern "C" {
// NOLINTBEGIN(bugprone-reserved-identifier): the C library's names
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);
void __libc_free(void* p);
// NOLINTEND(bugprone-reserved-identifier)

void* malloc(std::size_t size) noexcept {
  allocations.fetch_add(1);
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) noexcept {
  allocations.fetch_add(1);
  return __libc_calloc(count, size);
}
void* realloc(void* p, std::size_t size) noexcept {
  allocations.fetch_add(1);
  return __libc_realloc(p, size);
}
void free(void* p) noexcept { __libc_free(p); }
}

namespace {
void* allocate(std::size_t size) { return std::malloc(size); }  // counted by malloc
}  // namespace
#endif

#if !defined(ZORQ_CLANG_SANITIZER)
void* operator new(std::size_t size) {
  if (void* p = allocate(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void* operator new[](std::size_t size) { return operator new(size); }
// The nothrow forms too: their blocks are freed by the replaced delete below.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return allocate(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return allocate(size ? size : 1);
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
#endif
