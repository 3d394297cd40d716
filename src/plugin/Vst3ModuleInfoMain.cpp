// zorq-vst3-moduleinfo BUNDLE: writes BUNDLE/Contents/Resources/moduleinfo.json from
// the factory the plug-in file builds (the same description), at build time.
#include <cstdio>
#include <fstream>
#include <iostream>

#include "plugin/Vst3ModuleInfo.h"
#include "plugin/Vst3Description.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: zorq-vst3-moduleinfo BUNDLE\n";
    return 2;
  }
  Vst3Factory factory(zorqVst3Description(), nullptr);
  const std::string json =
      vst3moduleinfo::write(&factory, zorqVst3Description().name, zorqVst3Description().version);
  const std::string path = std::string(argv[1]) + "/Contents/Resources/moduleinfo.json";
  std::ofstream out(path, std::ios::binary);
  out << json;
  if (json.empty() || !out.flush()) {
    std::cerr << "zorq-vst3-moduleinfo: cannot write " << path << "\n";
    return 1;
  }
  return 0;
}
