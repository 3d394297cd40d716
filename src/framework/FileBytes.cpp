#include "framework/FileBytes.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

bool readWholeFile(const std::string& path, ByteChunk* out, int maxBytes) {
  out->Clear();
  if (path.empty()) return false;
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  // Read in blocks up to the limit instead of trusting the reported size: devices and
  // pipes report none, and the file may change while we read.
  constexpr int kBlock = 64 * 1024;
  bool ok = true;
  for (;;) {
    const int size = out->Size();
    if (size > maxBytes) {
      ok = false;
      break;
    }
    out->Resize(size + kBlock);
    const size_t got = std::fread(out->GetBytes() + size, 1, kBlock, file);
    out->Resize(size + static_cast<int>(got));
    if (got < static_cast<size_t>(kBlock)) {
      ok = !std::ferror(file) && out->Size() <= maxBytes;
      break;
    }
  }
  std::fclose(file);
  if (!ok) out->Clear();
  return ok;
}

static bool writeAll(int fd, const uint8_t* data, int size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<int>(written);
  }
  return true;
}

// O_EXCL guards against reusing a stale file of the same name.
int createTemporaryBeside(const std::string& path, std::string* temporaryPath) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    *temporaryPath = path + ".tmp-" + std::to_string(::getpid()) + "-" +
                     std::to_string(counter.fetch_add(1));
    const int fd = ::open(temporaryPath->c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool writeFileAtomically(const std::string& path, const ByteChunk& data) {
  if (path.empty()) return false;
  std::string temporaryPath;
  const int fd = createTemporaryBeside(path, &temporaryPath);
  if (fd < 0) return false;
  bool ok = writeAll(fd, data.GetBytes(), data.Size()) && ::fsync(fd) == 0;
  ok = ::close(fd) == 0 && ok;
  ok = ok && std::rename(temporaryPath.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(temporaryPath.c_str());
  return ok;
}
