#include "hosting/SharedLibrary.h"

#include <dlfcn.h>

#include "hosting/HostError.h"

SharedLibrary::SharedLibrary(const std::string& path) : path_(path) {
  handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle_) return;
  const char* reason = dlerror();
  throw HostError("cannot load plug-in '" + path + "': " + (reason ? reason : "unknown error"));
}

SharedLibrary::~SharedLibrary() { dlclose(handle_); }

void* SharedLibrary::symbol(const char* name) const { return dlsym(handle_, name); }
