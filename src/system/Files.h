#pragma once

// Files named by UTF-8 paths ('/' separates folders on every system; Windows also
// takes '\'). On Windows every call goes through the wide-character API, so any name
// works, and files are opened sharing read, write and delete: a file another instance
// has open can still be replaced, as on POSIX. Any thread.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// fopen by UTF-8 path ("rb", "wb", "r", ...); the descriptor is not inherited by
// programs the process starts.
FILE* openFile(const std::string& path, const char* mode);

struct FileStatus {
  bool isFolder = false;
  bool isRegular = false;
  uint64_t size = 0;
  int64_t modifiedNanoseconds = 0;  // since an epoch of the system's
  uint64_t volume = 0;              // volume and file number together name the file
  uint64_t fileNumber = 0;
  bool sameFile(const FileStatus& other) const {
    return volume == other.volume && fileNumber == other.fileNumber;
  }
};
// False when nothing is at the path (errno ENOENT) or it cannot be examined.
bool statusOf(const std::string& path, FileStatus* status);
bool statusOfDescriptor(int descriptor, FileStatus* status);

bool fileExists(const std::string& path);
// Creates one folder (not its parents); true when it is there afterwards.
bool makeFolder(const std::string& path);
// Creates the folder and any missing parent (a fresh account often lacks its Music
// folder); new folders get mode 0777 less the umask on POSIX.
bool makeFolders(const std::string& path);
bool removeFile(const std::string& path);
// Puts `from` in place of `to` in one step (an existing `to` is replaced).
bool replaceFile(const std::string& from, const std::string& to);
// Puts `from` at `to` only when nothing is there, in one step; `from` is gone after
// success. False with errno EEXIST when `to` exists.
bool placeNewFile(const std::string& from, const std::string& to);

enum class OpenFor {
  kRead,             // read only; a pipe or device does not block the open
  kCreateExclusive,  // read and write, a new file that must not exist yet
  kWrite,            // write only, created when missing (a symbolic link is refused)
};
// Opens a descriptor (-1 on failure, errno ENOENT when nothing is there); new files
// get mode 0666 less the umask on POSIX.
int openDescriptor(const std::string& path, OpenFor purpose);
bool closeDescriptor(int descriptor);  // false when a deferred write failed
// One read or write, retried when interrupted: bytes moved, 0 at the end, -1 on error.
long readDescriptor(int descriptor, void* data, size_t size);
long writeDescriptor(int descriptor, const void* data, size_t size);
bool truncateDescriptor(int descriptor);
// Back to the first byte.
bool rewindDescriptor(int descriptor);
// Makes the written bytes durable before a rename publishes them.
bool syncDescriptor(int descriptor);
// Gives the descriptor's file the permission bits of the file at `path` (POSIX).
void copyPermissions(const std::string& path, int descriptor);
// A number that tells this process apart from others, for temporary names.
unsigned long processNumber();
