#include "system/ModuleFolder.h"

#include <windows.h>

#include <vector>

#include "system/WideText.h"

std::string moduleFolderOf(const void* codeAddress) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          static_cast<LPCWSTR>(codeAddress), &module))
    return "";
  // Long paths: grow the buffer until the whole name fits.
  std::vector<wchar_t> name(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, name.data(), DWORD(name.size()));
    if (length == 0) return "";
    if (length < name.size()) break;
    name.resize(name.size() * 2);
  }
  const std::string file = narrow(name.data());
  const size_t separator = file.find_last_of("\\/");
  return separator == std::string::npos ? "" : file.substr(0, separator + 1);
}
