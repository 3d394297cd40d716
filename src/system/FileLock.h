#pragma once

// Advisory whole-file locks between processes on an open descriptor (flock on POSIX,
// LockFileEx on Windows). Blocks until granted; false when the descriptor cannot be
// locked. Any thread.
bool lockDescriptor(int descriptor, bool exclusive);
void unlockDescriptor(int descriptor);
