#include "hosting/SharedLibrary.h"

#include "hosting/HostError.h"
#include "system/DynamicLibrary.h"

SharedLibrary::SharedLibrary(const std::string& path) : path_(path) {
  handle_ = openLibrary(path.c_str());
  if (!handle_) throw HostError("cannot load plug-in '" + path + "': " + libraryError());
}

SharedLibrary::~SharedLibrary() { closeLibrary(handle_); }

void* SharedLibrary::symbol(const char* name) const { return librarySymbol(handle_, name); }
