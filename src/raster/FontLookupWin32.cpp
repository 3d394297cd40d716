#include "raster/FontLookup.h"

#include <cstring>

// The faces built into the program (src/raster/CMakeLists.txt embeds them from
// fonts-liberation2, the files fontconfig picks on Linux).
extern const unsigned char kLiberationSansRegular[];
extern const size_t kLiberationSansRegularSize;
extern const unsigned char kLiberationSansBold[];
extern const size_t kLiberationSansBoldSize;
extern const unsigned char kLiberationMonoRegular[];
extern const size_t kLiberationMonoRegularSize;

namespace {
// Families that map to the monospaced face, as on Linux; every other family gets the
// sans-serif one, the face the editor's styles ask for.
constexpr const char* kMonospaced[] = {"Monaco",      "Menlo",           "Courier",
                                       "Courier New", "Liberation Mono", "monospace"};
}  // namespace

bool findFontFile(const std::string& family, bool bold, bool italic, FontFile* found) {
  (void)italic;  // no italic face is built in: RasterFont slants the upright one
  bool monospaced = false;
  for (const char* name : kMonospaced) monospaced |= _stricmp(name, family.c_str()) == 0;
  found->path.clear();
  found->faceIndex = 0;
  if (monospaced) {
    found->family = "Liberation Mono";
    found->data = kLiberationMonoRegular;
    found->size = kLiberationMonoRegularSize;
  } else {
    found->family = "Liberation Sans";
    found->data = bold ? kLiberationSansBold : kLiberationSansRegular;
    found->size = bold ? kLiberationSansBoldSize : kLiberationSansRegularSize;
  }
  return true;
}
