#pragma once

#include <elf.h>

#include <cstdio>
#include <cstring>

// A plug-in this build can load: installed, and built for the same pointer size
// (Debian's 64-bit plug-ins in /usr/lib/vst do not load into the 32-bit build, and
// their i386 package cannot be installed beside them).
inline bool loadablePlugin(const char* path) {
  unsigned char ident[EI_NIDENT] = {};
  std::FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  const bool read = std::fread(ident, 1, sizeof ident, file) == sizeof ident;
  std::fclose(file);
  const int wordSize = sizeof(void*) == 8 ? ELFCLASS64 : ELFCLASS32;
  return read && std::memcmp(ident, ELFMAG, SELFMAG) == 0 && ident[EI_CLASS] == wordSize;
}
