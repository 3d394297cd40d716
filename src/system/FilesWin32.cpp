#include "system/Files.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cerrno>

#include "system/WideText.h"

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

void setErrnoFromLastError() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: errno = ENOENT; break;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: errno = EEXIST; break;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION: errno = EACCES; break;
    default: errno = EIO;
  }
}

// A C runtime descriptor over a handle opened with every share mode: unlike _wopen's,
// the file can then be renamed over or removed while it is open, as on POSIX.
int descriptorFor(const std::string& path, DWORD access, DWORD disposition, DWORD flags,
                  int descriptorFlags) {
  HANDLE handle = CreateFileW(widen(path).c_str(), access, kShareAll, nullptr, disposition,
                              flags | FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    setErrnoFromLastError();
    return -1;
  }
  const int descriptor = _open_osfhandle(intptr_t(handle), descriptorFlags | _O_BINARY);
  if (descriptor < 0) CloseHandle(handle);
  return descriptor;
}

bool statusOfHandle(HANDLE handle, FileStatus* status) {
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(handle, &info)) return false;
  status->isFolder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  status->isRegular = !status->isFolder && GetFileType(handle) == FILE_TYPE_DISK;
  status->size = (uint64_t(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  const uint64_t ticks =
      (uint64_t(info.ftLastWriteTime.dwHighDateTime) << 32) | info.ftLastWriteTime.dwLowDateTime;
  status->modifiedNanoseconds = int64_t(ticks) * 100;  // 100 ns ticks since 1601
  status->volume = info.dwVolumeSerialNumber;
  status->fileNumber = (uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
  return true;
}

}  // namespace

FILE* openFile(const std::string& path, const char* mode) {
  const std::string m = mode;
  const bool plus = m.find('+') != std::string::npos;
  DWORD access = GENERIC_READ, disposition = OPEN_EXISTING;
  int flags = plus ? _O_RDWR : _O_RDONLY;
  if (m[0] == 'w') {
    access = plus ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE;
    disposition = CREATE_ALWAYS;
    flags = plus ? _O_RDWR : _O_WRONLY;
  } else if (m[0] == 'a') {
    access = plus ? GENERIC_READ | GENERIC_WRITE : GENERIC_WRITE;
    disposition = OPEN_ALWAYS;
    flags = (plus ? _O_RDWR : _O_WRONLY) | _O_APPEND;
  } else if (plus) {
    access = GENERIC_READ | GENERIC_WRITE;
  }
  if (m.find('t') == std::string::npos) flags |= _O_BINARY;
  const int descriptor = descriptorFor(path, access, disposition, 0, flags & ~_O_BINARY);
  if (descriptor < 0) return nullptr;
  std::string fdMode = m;
  if (fdMode.find('b') == std::string::npos && fdMode.find('t') == std::string::npos) fdMode += 'b';
  FILE* file = _fdopen(descriptor, fdMode.c_str());
  if (!file) _close(descriptor);
  return file;
}

bool statusOf(const std::string& path, FileStatus* status) {
  if (path.empty()) {
    errno = ENOENT;
    return false;
  }
  // No access rights asked for: examining a file another process holds open works.
  HANDLE handle = CreateFileW(widen(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    setErrnoFromLastError();
    return false;
  }
  const bool ok = statusOfHandle(handle, status);
  CloseHandle(handle);
  return ok;
}

bool statusOfDescriptor(int descriptor, FileStatus* status) {
  const intptr_t handle = _get_osfhandle(descriptor);
  return handle != -1 && statusOfHandle(HANDLE(handle), status);
}

bool fileExists(const std::string& path) {
  return !path.empty() && GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool makeFolder(const std::string& path) {
  if (CreateDirectoryW(widen(path).c_str(), nullptr)) return true;
  const DWORD attributes = GetFileAttributesW(widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Either separator; a drive ("C:") or a share's root ("\\\\server\\share") ends the walk
// up, as a folder that cannot be made.
bool makeFolders(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(widen(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const size_t separator = path.find_last_of("\\/");
  if (separator != std::string::npos && separator > 0 && path[separator - 1] != ':' &&
      !makeFolders(path.substr(0, separator)))
    return false;
  return makeFolder(path);
}

bool removeFile(const std::string& path) { return DeleteFileW(widen(path).c_str()) != 0; }

bool replaceFile(const std::string& from, const std::string& to) {
  if (MoveFileExW(widen(from).c_str(), widen(to).c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return true;
  setErrnoFromLastError();
  return false;
}

bool placeNewFile(const std::string& from, const std::string& to) {
  if (MoveFileExW(widen(from).c_str(), widen(to).c_str(), MOVEFILE_WRITE_THROUGH)) return true;
  setErrnoFromLastError();
  return false;
}

int openDescriptor(const std::string& path, OpenFor purpose) {
  switch (purpose) {
    case OpenFor::kRead:  // a folder opens too, and then reads as one
      return descriptorFor(path, GENERIC_READ, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                           _O_RDONLY);
    case OpenFor::kCreateExclusive:
      return descriptorFor(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW, 0, _O_RDWR);
    case OpenFor::kWrite:
      // A reparse point (a symbolic link) is opened as itself and then refused.
      {
        const int descriptor = descriptorFor(path, GENERIC_WRITE, OPEN_ALWAYS,
                                             FILE_FLAG_OPEN_REPARSE_POINT, _O_WRONLY);
        FILE_ATTRIBUTE_TAG_INFO tag{};
        if (descriptor >= 0 &&
            GetFileInformationByHandleEx(HANDLE(_get_osfhandle(descriptor)), FileAttributeTagInfo,
                                         &tag, sizeof tag) &&
            (tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
          _close(descriptor);
          errno = ELOOP;
          return -1;
        }
        return descriptor;
      }
  }
  return -1;
}

bool closeDescriptor(int descriptor) { return _close(descriptor) == 0; }

long readDescriptor(int descriptor, void* data, size_t size) {
  return _read(descriptor, data, unsigned(size > 0x40000000 ? 0x40000000 : size));
}

long writeDescriptor(int descriptor, const void* data, size_t size) {
  return _write(descriptor, data, unsigned(size > 0x40000000 ? 0x40000000 : size));
}

bool truncateDescriptor(int descriptor) { return _chsize_s(descriptor, 0) == 0; }

bool rewindDescriptor(int descriptor) { return _lseeki64(descriptor, 0, SEEK_SET) == 0; }

bool syncDescriptor(int descriptor) { return _commit(descriptor) == 0; }

// Windows files carry access lists, not permission bits: a new file inherits its
// folder's, as the file it replaces did.
void copyPermissions(const std::string&, int) {}

unsigned long processNumber() { return GetCurrentProcessId(); }
