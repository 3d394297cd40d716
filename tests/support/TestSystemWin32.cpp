#include "support/TestSystem.h"

#include <windows.h>

#include <psapi.h>

#include <cstdlib>

#include "system/WideText.h"

void setEnvironment(const std::string& name, const std::string& value) {
  _wputenv_s(widen(name).c_str(), widen(value).c_str());
}

void unsetEnvironment(const std::string& name) { _wputenv_s(widen(name).c_str(), L""); }

void setHomeFolder(const std::string& path) {
  setEnvironment("HOME", path);
  setEnvironment("USERPROFILE", path);
}

long peakMemoryKilobytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
  return long(counters.PeakWorkingSetSize / 1024);
}
