#include "system/ModuleFolder.h"

#include <dlfcn.h>

std::string moduleFolderOf(const void* codeAddress) {
  Dl_info info{};
  if (!dladdr(codeAddress, &info) || !info.dli_fname) return "";
  const std::string file = info.dli_fname;
  const size_t slash = file.rfind('/');
  return slash == std::string::npos ? "" : file.substr(0, slash + 1);
}
