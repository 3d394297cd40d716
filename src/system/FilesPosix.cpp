#include "system/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace {
void fill(const struct stat& st, FileStatus* status) {
  status->isFolder = S_ISDIR(st.st_mode);
  status->isRegular = S_ISREG(st.st_mode);
  status->size = uint64_t(st.st_size);
  status->modifiedNanoseconds = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  status->volume = uint64_t(st.st_dev);
  status->fileNumber = uint64_t(st.st_ino);
}
}  // namespace

FILE* openFile(const std::string& path, const char* mode) {
  return std::fopen(path.c_str(), (std::string(mode) + "e").c_str());
}

bool statusOf(const std::string& path, FileStatus* status) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return false;
  fill(st, status);
  return true;
}

bool statusOfDescriptor(int descriptor, FileStatus* status) {
  struct stat st;
  if (::fstat(descriptor, &st) != 0) return false;
  fill(st, status);
  return true;
}

bool fileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool makeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0777) == 0) return true;
  struct stat st;
  return errno == EEXIST && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool makeFolders(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && !makeFolders(path.substr(0, slash))) return false;
  return makeFolder(path);
}

bool removeFile(const std::string& path) { return ::unlink(path.c_str()) == 0; }

bool replaceFile(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

// A hard link never replaces a file; where the file system has none (errno other
// than EEXIST), a rename stands in when nothing is at the target.
bool placeNewFile(const std::string& from, const std::string& to) {
  if (::link(from.c_str(), to.c_str()) == 0) {
    ::unlink(from.c_str());
    return true;
  }
  if (errno == EEXIST) return false;
  struct stat existing;
  if (::stat(to.c_str(), &existing) == 0) {
    errno = EEXIST;
    return false;
  }
  return replaceFile(from, to);
}

int openDescriptor(const std::string& path, OpenFor purpose) {
  switch (purpose) {
    case OpenFor::kRead: return ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    case OpenFor::kCreateExclusive:
      return ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    case OpenFor::kWrite:
      return ::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
  }
  return -1;
}

bool closeDescriptor(int descriptor) { return ::close(descriptor) == 0; }

long readDescriptor(int descriptor, void* data, size_t size) {
  for (;;) {
    const ssize_t n = ::read(descriptor, data, size);
    if (n >= 0 || errno != EINTR) return long(n);
  }
}

long writeDescriptor(int descriptor, const void* data, size_t size) {
  for (;;) {
    const ssize_t n = ::write(descriptor, data, size);
    if (n >= 0 || errno != EINTR) return long(n);
  }
}

bool truncateDescriptor(int descriptor) { return ::ftruncate(descriptor, 0) == 0; }

bool rewindDescriptor(int descriptor) { return ::lseek(descriptor, 0, SEEK_SET) == 0; }

bool syncDescriptor(int descriptor) { return ::fsync(descriptor) == 0; }

void copyPermissions(const std::string& path, int descriptor) {
  struct stat target;
  if (::stat(path.c_str(), &target) == 0) ::fchmod(descriptor, target.st_mode & 07777);
}

unsigned long processNumber() { return static_cast<unsigned long>(::getpid()); }
