// zorq-render: the offline VST 2 host for the command line (see --help).
#include <limits.h>
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "zorq-render/RenderApp.h"

#ifndef ZORQ_RENDER_DEFAULT_PLUGIN
#define ZORQ_RENDER_DEFAULT_PLUGIN "ZORQ.so"
#endif

namespace {

// The default plug-in: an absolute build setting as it stands, a relative one
// taken from the folder that holds this executable.
std::string defaultPluginPath() {
  const std::string configured = ZORQ_RENDER_DEFAULT_PLUGIN;
  if (!configured.empty() && configured[0] == '/') return configured;
  char self[PATH_MAX] = {};
  const ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return configured;
  std::string folder(self, size_t(length));
  folder = folder.substr(0, folder.rfind('/') + 1);
  return folder + configured;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return RenderApp::run(arguments, defaultPluginPath(), std::cout, std::cerr);
}
