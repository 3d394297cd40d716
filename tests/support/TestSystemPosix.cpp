#include "support/TestSystem.h"

#include <sys/resource.h>

#include <cstdlib>

void setEnvironment(const std::string& name, const std::string& value) {
  setenv(name.c_str(), value.c_str(), 1);
}

void unsetEnvironment(const std::string& name) { unsetenv(name.c_str()); }

void setHomeFolder(const std::string& path) { setEnvironment("HOME", path); }

long peakMemoryKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}
