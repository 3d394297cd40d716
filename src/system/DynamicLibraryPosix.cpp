#include "system/DynamicLibrary.h"

#include <dlfcn.h>

void* openLibrary(const char* path) { return path ? dlopen(path, RTLD_NOW | RTLD_LOCAL) : nullptr; }

void* librarySymbol(void* library, const char* name) {
  return library ? dlsym(library, name) : nullptr;
}

void closeLibrary(void* library) {
  if (library) dlclose(library);
}

std::string libraryError() {
  const char* reason = dlerror();
  return reason ? reason : "unknown error";
}
