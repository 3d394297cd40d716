#pragma once

#include "system/DynamicLibrary.h"

// A plug-in this build can load: installed, and built for the same pointer size
// (Debian's 64-bit plug-ins in /usr/lib/vst do not load into the 32-bit build, and
// their i386 package cannot be installed beside them).
inline bool loadablePlugin(const char* path) {
  void* library = openLibrary(path);
  if (library) closeLibrary(library);
  return library != nullptr;
}
