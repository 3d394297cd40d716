#include "system/DynamicLibrary.h"

#include <windows.h>

#include "system/WideText.h"

void* openLibrary(const char* path) {
  return path ? static_cast<void*>(LoadLibraryW(widen(path).c_str())) : nullptr;
}

void* librarySymbol(void* library, const char* name) {
  return library ? reinterpret_cast<void*>(GetProcAddress(HMODULE(library), name)) : nullptr;
}

void closeLibrary(void* library) {
  if (library) FreeLibrary(HMODULE(library));
}
