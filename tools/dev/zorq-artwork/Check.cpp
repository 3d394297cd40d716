#include "Check.h"

#include "Artwork.h"

#include <cstdio>
#include <cstdlib>

namespace {

// Library updates may move antialiased edges by a step or two; real changes move more.
constexpr int kTolerance = 2;

// Number of pixels that differ by more than the tolerance; transparent pixels compare
// equal whatever their colour.
long differingPixels(const RgbaImage& a, const RgbaImage& b) {
  long count = 0;
  for (size_t i = 0; i < a.pixels.size(); i += 4) {
    if (a.pixels[i + 3] == 0 && b.pixels[i + 3] == 0) continue;
    for (int c = 0; c < 4; ++c) {
      if (std::abs(a.pixels[i + c] - b.pixels[i + c]) > kTolerance) {
        ++count;
        break;
      }
    }
  }
  return count;
}

}  // namespace

bool checkArtwork(const ArtworkImages& fresh, const std::string& folder) {
  bool ok = true;
  for (const Artwork& artwork : allArtwork()) {
    const std::string path = folder + "/" + artwork.name + ".png";
    RgbaImage committed;
    if (!readPng(path, &committed)) {
      std::fprintf(stderr, "%s: missing or unreadable\n", path.c_str());
      ok = false;
      continue;
    }
    if (committed.height % artwork.frames != 0 || committed.width != artwork.frameWidth ||
        committed.height / artwork.frames != artwork.frameHeight) {
      std::fprintf(stderr, "%s: %d x %d, expected %d frames of %d x %d\n", path.c_str(),
                   committed.width, committed.height, artwork.frames, artwork.frameWidth,
                   artwork.frameHeight);
      ok = false;
      continue;
    }
    const long differing = differingPixels(committed, fresh.at(artwork.name));
    if (differing > 0) {
      std::fprintf(stderr,
                   "%s: %ld pixels differ from the generator's drawing "
                   "(run `make artwork`)\n",
                   path.c_str(), differing);
      ok = false;
    }
  }
  if (ok) std::printf("%zu pictures match the generator\n", allArtwork().size());
  return ok;
}
