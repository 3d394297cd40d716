// zorq-render: the offline plug-in host for the command line (see --help).
#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>
// CommandLineToArgvW
#include <shellapi.h>

#include "system/WideText.h"
#else
#include <limits.h>
#include <unistd.h>
#endif

#include "system/Files.h"
#include "zorq-render/Interruption.h"
#include "zorq-render/RenderApp.h"

#ifndef ZORQ_RENDER_DEFAULT_PLUGIN
#define ZORQ_RENDER_DEFAULT_PLUGIN "ZORQ.so"
#endif

namespace {

bool isFile(const std::string& path) {
  FileStatus status;
  return statusOf(path, &status) && status.isRegular;
}

bool isAbsolute(const std::string& path) {
#ifdef _WIN32
  return path.size() > 2 && (path[1] == ':' || (path[0] == '\\' && path[1] == '\\'));
#else
  return !path.empty() && path[0] == '/';
#endif
}

// The folders hosts scan for VST 2 plug-ins, where `make install` puts it on Linux:
// $LXVST_PATH, $VST_PATH, ~/.vst, /usr/local/lib/vst, /usr/lib/vst; on Windows
// %VST_PATH% and the two usual VstPlugins folders.
std::vector<std::string> pluginFolders() {
  std::vector<std::string> folders;
#ifdef _WIN32
  const char separator = ';';
  const char* const variables[] = {"VST_PATH"};
#else
  const char separator = ':';
  const char* const variables[] = {"LXVST_PATH", "VST_PATH"};
#endif
  for (const char* variable : variables) {
    std::istringstream list(std::getenv(variable) ? std::getenv(variable) : "");
    for (std::string folder; std::getline(list, folder, separator);)
      if (!folder.empty()) folders.push_back(folder);
  }
#ifdef _WIN32
  folders.push_back("C:/Program Files/VSTPlugins");
  folders.push_back("C:/Program Files/Steinberg/VstPlugins");
#else
  if (const char* home = std::getenv("HOME")) folders.push_back(std::string(home) + "/.vst");
  folders.push_back("/usr/local/lib/vst");
  folders.push_back("/usr/lib/vst");
#endif
  return folders;
}

std::string executableFolder() {
#ifdef _WIN32
  wchar_t self[32768] = {};
  const DWORD length = GetModuleFileNameW(nullptr, self, 32767);
  const std::string executable = length > 0 ? narrow(std::wstring(self, length)) : "";
  const size_t separator = executable.find_last_of("/\\");
#else
  char self[PATH_MAX] = {};
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  const std::string executable = length > 0 ? std::string(self, size_t(length)) : "";
  const size_t separator = executable.rfind('/');
#endif
  return separator == std::string::npos ? "" : executable.substr(0, separator);
}

// The default plug-in: an absolute build setting as it stands. A relative one is
// looked for beside this executable (the build folder), then in the plug-in folders.
// Not found anywhere: the name beside the executable, which the error message shows.
std::string defaultPluginPath() {
  std::string configured = ZORQ_RENDER_DEFAULT_PLUGIN;
  if (isAbsolute(configured)) return configured;
  std::vector<std::string> folders;
  const std::string self = executableFolder();
  if (!self.empty()) folders.push_back(self);
  for (const std::string& folder : pluginFolders()) folders.push_back(folder);
  for (const std::string& folder : folders)
    if (isFile(folder + "/" + configured)) return folder + "/" + configured;
  return folders.empty() ? configured : folders.front() + "/" + configured;
}

// The command line's arguments in UTF-8 (on Windows from the wide command line, so
// that any file name comes through).
std::vector<std::string> arguments(int argc, char** argv) {
#ifdef _WIN32
  int count = 0;
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    std::vector<std::string> utf8;
    for (int i = 1; i < count; ++i) utf8.push_back(narrow(wide[i]));
    LocalFree(wide);
    return utf8;
  }
#endif
  return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace

int main(int argc, char** argv) {
  Interruption::install();
  const int status =
      RenderApp::run(arguments(argc, argv), defaultPluginPath(), std::cout, std::cerr);
  std::cout.flush();
  Interruption::reraise();
  return status;
}
