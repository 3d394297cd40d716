#pragma once

#include "framework/ByteChunk.h"

#include <cstddef>
#include <string>

// Whole-file reads and crash-safe whole-file writes for program and bank files.

// Program and bank files are a few hundred kilobytes at most; anything larger than
// this is not one of ours and is refused rather than read into memory.
constexpr int kMaxFileBytes = 64 * 1024 * 1024;

// Reads the whole file into out. False (out emptied) for an empty path, a file that
// cannot be opened or read, or one larger than maxBytes.
bool readWholeFile(const std::string& path, ByteChunk* out, int maxBytes = kMaxFileBytes);

// Writes every byte to the descriptor, retrying short and interrupted writes; false
// on the first error (the disk is full, the descriptor is bad).
bool writeAll(int fd, const void* data, size_t size);

// Creates a new, empty file beside `path` under a name no other file has (O_EXCL), with
// mode 0666 less the process's umask; returns its descriptor (-1 on failure) and name.
int createTemporaryBeside(const std::string& path, std::string* temporaryPath);

// Writes data to a new file in the target's folder and renames it over the target
// only after every byte reached the disk (ReplacementFile), so a failed write (disk
// full, no permission) leaves an existing file untouched and no temporary file behind.
bool writeFileAtomically(const std::string& path, const ByteChunk& data);
