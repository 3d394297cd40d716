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

std::string libraryError() {
  const DWORD code = GetLastError();
  wchar_t* text = nullptr;
  FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string reason = text ? narrow(text) : "";
  LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
  return reason.empty() ? "error " + std::to_string(code) : reason;
}
