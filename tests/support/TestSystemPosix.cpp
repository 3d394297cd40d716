#include "support/TestSystem.h"

#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

void setEnvironment(const std::string& name, const std::string& value) {
  setenv(name.c_str(), value.c_str(), 1);
}

void unsetEnvironment(const std::string& name) { unsetenv(name.c_str()); }

void setHomeFolder(const std::string& path) { setEnvironment("HOME", path); }

std::string currentHomeFolder() {
  const char* home = std::getenv("HOME");
  return home ? home : "";
}

std::string makeTemporaryFolder(const std::string& prefix) {
  std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

long peakMemoryKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}
