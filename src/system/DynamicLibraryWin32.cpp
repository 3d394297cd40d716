#include "system/DynamicLibrary.h"

#include <windows.h>

#include "system/WideText.h"

// The loader treats a name as a path only with backslashes: '/' is turned into them.
void* openLibrary(const char* path) {
  if (!path) return nullptr;
  std::wstring name = widen(path);
  for (wchar_t& c : name)
    if (c == L'/') c = L'\\';
  return LoadLibraryW(name.c_str());
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
