#include "framework/FileBytes.h"

#include "framework/ReplacementFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "system/Files.h"

bool readWholeFile(const std::string& path, ByteChunk* out, int maxBytes) {
  out->Clear();
  if (path.empty()) return false;
  FILE* file = openFile(path, "rb");
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

bool writeAll(int fd, const void* data, size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const long written = writeDescriptor(fd, bytes, size);
    if (written <= 0) return false;
    bytes += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

// O_EXCL guards against reusing a stale file of the same name.
int createTemporaryBeside(const std::string& path, std::string* temporaryPath) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    *temporaryPath = path + ".tmp-" + std::to_string(processNumber()) + "-" +
                     std::to_string(counter.fetch_add(1));
    const int fd = openDescriptor(*temporaryPath, OpenFor::kCreateExclusive);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

bool writeFileAtomically(const std::string& path, const ByteChunk& data) {
  ReplacementFile file(path);
  return file.write(data.GetBytes(), static_cast<size_t>(data.Size())) && file.place();
}
