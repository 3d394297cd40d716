// zorq-lv2-ttl FOLDER: writes the LV2 bundle's Turtle files into FOLDER from the
// instrument itself (parameter table and built-in programs). The build runs it with a
// HOME of its own, so no user's configuration or startup bank reaches the bundle.
#include <cstdio>

#include "plugin/lv2/Lv2Ttl.h"
#include "framework/IPlugBase.h"
#include "plugin/lv2/ZorqLv2Description.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: zorq-lv2-ttl FOLDER\n");
    return 2;
  }
  const Lv2Description description = zorqLv2Description();
  std::unique_ptr<IPlugBase> plug = description.createPlugin();
  if (!Lv2Ttl::writeBundle(argv[1], description, *plug)) {
    std::fprintf(stderr, "zorq-lv2-ttl: cannot write into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
