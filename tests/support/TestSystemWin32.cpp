#include "support/TestSystem.h"

#include <windows.h>

#include <psapi.h>

#include <cstdlib>
#include <stdexcept>

#include "system/WideText.h"

void setEnvironment(const std::string& name, const std::string& value) {
  _wputenv_s(widen(name).c_str(), widen(value).c_str());
}

void unsetEnvironment(const std::string& name) { _wputenv_s(widen(name).c_str(), L""); }

void setHomeFolder(const std::string& path) {
  setEnvironment("HOME", path);
  setEnvironment("USERPROFILE", path);
}

std::string currentHomeFolder() {
  const wchar_t* home = _wgetenv(L"USERPROFILE");
  return home ? narrow(home) : "";
}

std::string makeTemporaryFolder(const std::string& prefix) {
  wchar_t base[MAX_PATH + 1];
  const DWORD length = GetTempPathW(MAX_PATH + 1, base);
  if (length == 0) throw std::runtime_error("no temporary folder");
  static unsigned counter = 0;
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::string folder = narrow(base) + prefix + "-" + std::to_string(GetCurrentProcessId()) +
                               "-" + std::to_string(GetTickCount64()) + "-" +
                               std::to_string(counter++);
    if (CreateDirectoryW(widen(folder).c_str(), nullptr)) return folder;
  }
  throw std::runtime_error("CreateDirectoryW failed");
}

long peakMemoryKilobytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return long(counters.PeakWorkingSetSize / 1024);
}
