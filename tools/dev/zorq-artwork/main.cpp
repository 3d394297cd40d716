// zorq-artwork: draws the editor's pictures.
//
//   zorq-artwork --output DIR [--preview DIR]   writes DIR/<name>.png for every picture,
//                                               and optionally the preview composites
//   zorq-artwork --check DIR                    compares DIR/<name>.png with a fresh
//                                               drawing; exit status 1 on any difference

#include "Artwork.h"
#include "Check.h"
#include "Fonts.h"
#include "Preview.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: zorq-artwork --output DIR [--preview DIR]\n"
               "       zorq-artwork --check DIR\n");
  return 2;
}

bool writeOrComplain(const RgbaImage& image, const std::string& path) {
  if (writePng(image, path)) return true;
  std::fprintf(stderr, "zorq-artwork: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  std::string output, preview, check;
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (!std::strcmp(argv[i], "--output") && hasValue)
      output = argv[++i];
    else if (!std::strcmp(argv[i], "--preview") && hasValue)
      preview = argv[++i];
    else if (!std::strcmp(argv[i], "--check") && hasValue)
      check = argv[++i];
    else
      return usage();
  }
  if (output.empty() == check.empty() || (!preview.empty() && output.empty())) return usage();

  Fonts fonts;
  std::string error;
  if (!fonts.load(&error)) {
    std::fprintf(stderr, "zorq-artwork: %s\n", error.c_str());
    return 1;
  }
  ArtworkImages images;
  for (const Artwork& artwork : allArtwork()) images[artwork.name] = renderArtwork(artwork, fonts);

  if (!check.empty()) return checkArtwork(images, check) ? 0 : 1;

  bool ok = true;
  for (const Artwork& artwork : allArtwork())
    ok = writeOrComplain(images[artwork.name], output + "/" + artwork.name + ".png") && ok;
  if (!preview.empty()) {
    const RgbaImage views[2] = {previewNormal(images, fonts), previewTweak(images, fonts)};
    const char* viewNames[2] = {"normal", "tweak"};
    for (int v = 0; v < 2; ++v) {
      const std::string stem = preview + "/preview-" + viewNames[v];
      ok = writeOrComplain(views[v], stem + ".png") && ok;
      // Quarters at twice the size, for a close look.
      for (int q = 0; q < 4; ++q)
        ok = writeOrComplain(enlarged(views[v], (q % 2) * 400, (q / 2) * 180, 400, 180, 2),
                             stem + "-zoom-" + std::to_string(q + 1) + ".png") &&
             ok;
    }
    ok = writeOrComplain(previewStrips(images, 4), preview + "/preview-strips.png") && ok;
  }
  return ok ? 0 : 1;
}
