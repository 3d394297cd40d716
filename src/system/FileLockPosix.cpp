#include "system/FileLock.h"

#include <sys/file.h>

#include <cerrno>

bool lockDescriptor(int descriptor, bool exclusive) {
  int result;
  while ((result = ::flock(descriptor, exclusive ? LOCK_EX : LOCK_SH)) != 0 && errno == EINTR) {
  }
  return result == 0;
}

void unlockDescriptor(int descriptor) { ::flock(descriptor, LOCK_UN); }
