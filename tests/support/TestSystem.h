// Operating-system calls the suites need: with one implementation per system
// (TestSystemPosix.cpp, TestSystemWin32.cpp), or through std::filesystem and the
// system library.
#pragma once

#include <atomic>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "system/Files.h"
#include "system/UserFolders.h"

void setEnvironment(const std::string& name, const std::string& value);
void unsetEnvironment(const std::string& name);
// The current user's home for the code under test: HOME, and on Windows also
// USERPROFILE (system/UserFolders.h reads it).
void setHomeFolder(const std::string& path);
inline std::string currentHomeFolder() { return homeFolder(); }
// A new, empty folder under the system's temporary folder; throws when none can be made.
inline std::string makeTemporaryFolder(const std::string& prefix) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 1000; ++attempt) {
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        (prefix + "-" + std::to_string(processNumber()) + "-" + std::to_string(counter++));
    if (std::filesystem::create_directory(folder)) return folder.u8string();
  }
  throw std::runtime_error("no new temporary folder could be made");
}

// The most memory the process has held so far, in kilobytes.
long peakMemoryKilobytes();
