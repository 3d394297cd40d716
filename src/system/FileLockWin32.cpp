#include "system/FileLock.h"

#include <windows.h>

#include <io.h>

// The whole file: every byte a 64-bit offset can name. Unlike flock, these locks are
// enforced on other handles' reads and writes; the files locked here are only read
// and written through the handle that holds the lock.
bool lockDescriptor(int descriptor, bool exclusive) {
  const intptr_t handle = _get_osfhandle(descriptor);
  if (handle == -1) return false;
  OVERLAPPED from{};
  return LockFileEx(HANDLE(handle), exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0, 0, MAXDWORD, MAXDWORD,
                    &from) != 0;
}

void unlockDescriptor(int descriptor) {
  const intptr_t handle = _get_osfhandle(descriptor);
  if (handle == -1) return;
  OVERLAPPED from{};
  UnlockFileEx(HANDLE(handle), 0, MAXDWORD, MAXDWORD, &from);
}
