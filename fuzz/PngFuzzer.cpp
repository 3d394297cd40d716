// PNG files through the raster layer's decoder and the skin picture check. Input: the
// file. Decoded from memory and from a file into a bitmap the caller owns: a refused
// file fails closed and leaves the caller's bitmap alive; a decoded one has pixels.
// As a skin picture for a built-in picture of 16 x 32 pixels: used exactly when it
// decodes at that size, else refused with a reason.
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "gui/SkinPicture.h"
#include "raster/LICE.h"

namespace {

constexpr int kSkinWidth = 16, kSkinHeight = 32;

void fail(const char* what) {
  std::fprintf(stderr, "zorq fuzz: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::unique_ptr<LICE_IBitmap> decoded(LICE_LoadPNGFromMemory(data, size));
  if (decoded && (decoded->getWidth() <= 0 || decoded->getHeight() <= 0))
    fail("a decoded picture has no pixels");

  const std::string path = fuzz::writeScratchFile("input.png", data, size);
  // A refused file leaves the caller's bitmap alive and whole: every pixel it claims
  // can still be read (AddressSanitizer checks).
  LICE_MemBitmap callers(2, 2);
  if (LICE_LoadPNG(path.c_str(), &callers) != &callers) {
    const LICE_pixel* bits = callers.getBits();
    const std::vector<LICE_pixel> pixels(bits, bits + callers.getRowSpan() * callers.getHeight());
    if (callers.getRowSpan() < callers.getWidth()) fail("a refused file left a short row span");
  } else if (!decoded) {
    fail("the file decodes where the same bytes in memory do not");
  }

  const SkinPicture skin = LoadSkinPicture(path, kSkinWidth, kSkinHeight);
  const bool fits =
      decoded && decoded->getWidth() == kSkinWidth && decoded->getHeight() == kSkinHeight;
  if ((skin.bitmap != nullptr) != fits || skin.refusal.empty() != fits)
    fail("a skin picture was used or refused against its size");
  return 0;
}
