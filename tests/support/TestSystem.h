// Operating-system calls the suites need, with one implementation per system
// (TestSystemPosix.cpp, TestSystemWin32.cpp), and the skip of a test that cannot run
// on Windows, which says why.
#pragma once

#include <string>

void setEnvironment(const std::string& name, const std::string& value);
void unsetEnvironment(const std::string& name);
// The current user's home for the code under test: HOME, and on Windows also
// USERPROFILE (system/UserFolders.h reads it).
void setHomeFolder(const std::string& path);
std::string currentHomeFolder();
// A new, empty folder under the system's temporary folder; throws when none can be made.
std::string makeTemporaryFolder(const std::string& prefix);
// The most memory the process has held so far, in kilobytes.
long peakMemoryKilobytes();

#ifdef _WIN32
#define ZORQ_SKIP_ON_WINDOWS(reason) GTEST_SKIP() << "not on Windows: " << reason
#else
#define ZORQ_SKIP_ON_WINDOWS(reason) static_cast<void>(0)
#endif
