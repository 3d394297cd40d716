// Counts the file calls of the test binary, the way AllocationCounter counts heap
// allocations: the C library's entry points are replaced here and forward to the
// next definition (the C library's, or a sanitizer runtime's). No C library header
// that declares them is included, so these definitions cannot clash with its.
#include "support/FileCallCounter.h"

#include <dlfcn.h>

#include <atomic>
#include <cstdarg>
#include <cstdint>

namespace {

std::atomic<size_t> calls{0};
std::atomic<void (*)()> observer{nullptr};

void countCall() {
  calls.fetch_add(1);
  if (void (*f)() = observer.load()) f();
}

template <typename Function>
Function next(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// open's flags that take a mode argument: O_CREAT, and O_TMPFILE (Linux x86-64 values).
constexpr int kCreate = 0100;
constexpr int kTemporary = 020200000;

// open and open64 take a mode only with those flags.
int forwardOpen(const char* name, const char* path, int flags, va_list arguments) {
  countCall();
  const auto real = next<int (*)(const char*, int, ...)>(name);
  const unsigned mode = flags & (kCreate | kTemporary) ? va_arg(arguments, unsigned) : 0;
  return real(path, flags, mode);
}

}  // namespace

size_t fileCallCount() { return calls.load(); }

void setFileCallObserver(void (*f)()) { observer.store(f); }

struct FileStream;
// fseeko takes the C library's own off_t (as wide as long: 32 bits on 32-bit x86);
// fseeko64 always 64 bits.
using SeekOffset = long;
using SeekOffset64 = int64_t;

extern "C" {

// `parameters` and `arguments` are parenthesised lists already.
// NOLINTBEGIN(bugprone-macro-parentheses)
#define ZORQ_FORWARD(name, result, parameters, arguments)       \
  result name parameters {                                      \
    countCall();                                                \
    static const auto real = next<result(*) parameters>(#name); \
    return real arguments;                                      \
  }
// NOLINTEND(bugprone-macro-parentheses)

ZORQ_FORWARD(fopen, FileStream*, (const char* path, const char* mode), (path, mode))
ZORQ_FORWARD(fopen64, FileStream*, (const char* path, const char* mode), (path, mode))
ZORQ_FORWARD(fread, size_t, (void* to, size_t size, size_t count, FileStream* file),
             (to, size, count, file))
ZORQ_FORWARD(fseek, int, (FileStream * file, long offset, int whence), (file, offset, whence))
ZORQ_FORWARD(fseeko, int, (FileStream * file, SeekOffset offset, int whence),
             (file, offset, whence))
ZORQ_FORWARD(fseeko64, int, (FileStream * file, SeekOffset64 offset, int whence),
             (file, offset, whence))
ZORQ_FORWARD(fsetpos, int, (FileStream * file, const void* position), (file, position))
ZORQ_FORWARD(fsetpos64, int, (FileStream * file, const void* position), (file, position))
ZORQ_FORWARD(read, long, (int fd, void* to, size_t size), (fd, to, size))
// Looking a file up, locking it and renaming it: the INI store does these.
ZORQ_FORWARD(stat, int, (const char* path, void* status), (path, status))
ZORQ_FORWARD(stat64, int, (const char* path, void* status), (path, status))
ZORQ_FORWARD(lstat, int, (const char* path, void* status), (path, status))
ZORQ_FORWARD(fstat, int, (int fd, void* status), (fd, status))
ZORQ_FORWARD(flock, int, (int fd, int operation), (fd, operation))
ZORQ_FORWARD(rename, int, (const char* from, const char* to), (from, to))

#undef ZORQ_FORWARD

#define ZORQ_FORWARD_OPEN(name)                                \
  int name(const char* path, int flags, ...) {                 \
    va_list arguments;                                         \
    va_start(arguments, flags);                                \
    const int fd = forwardOpen(#name, path, flags, arguments); \
    va_end(arguments);                                         \
    return fd;                                                 \
  }

ZORQ_FORWARD_OPEN(open)
ZORQ_FORWARD_OPEN(open64)

#undef ZORQ_FORWARD_OPEN

}  // extern "C"

bool fileCallsAreCounted() { return true; }
