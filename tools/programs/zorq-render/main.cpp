// zorq-render: the offline VST 2 host for the command line (see --help).
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "zorq-render/Interruption.h"
#include "zorq-render/RenderApp.h"

#ifndef ZORQ_RENDER_DEFAULT_PLUGIN
#define ZORQ_RENDER_DEFAULT_PLUGIN "ZORQ.so"
#endif

namespace {

bool isFile(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The default plug-in: an absolute build setting as it stands. A relative one is
// looked for beside this executable (the build folder), then in the folders Linux
// hosts scan ($LXVST_PATH, $VST_PATH, ~/.vst, /usr/local/lib/vst, /usr/lib/vst), where
// `make install` puts it. Not found anywhere: the name beside the executable, which
// the error message then shows.
std::string defaultPluginPath() {
  const std::string configured = ZORQ_RENDER_DEFAULT_PLUGIN;
  if (!configured.empty() && configured[0] == '/') return configured;
  std::vector<std::string> folders;
  char self[PATH_MAX] = {};
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length > 0) {
    const std::string executable(self, size_t(length));
    folders.push_back(executable.substr(0, executable.rfind('/')));
  }
  for (const char* variable : {"LXVST_PATH", "VST_PATH"}) {
    std::istringstream list(std::getenv(variable) ? std::getenv(variable) : "");
    for (std::string folder; std::getline(list, folder, ':');)
      if (!folder.empty()) folders.push_back(folder);
  }
  if (const char* home = std::getenv("HOME")) folders.push_back(std::string(home) + "/.vst");
  folders.push_back("/usr/local/lib/vst");
  folders.push_back("/usr/lib/vst");
  for (const std::string& folder : folders)
    if (isFile(folder + "/" + configured)) return folder + "/" + configured;
  return folders.empty() ? configured : folders.front() + "/" + configured;
}

}  // namespace

int main(int argc, char** argv) {
  Interruption::install();
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const int status = RenderApp::run(arguments, defaultPluginPath(), std::cout, std::cerr);
  std::cout.flush();
  Interruption::reraise();
  return status;
}
