// zorq-live-icon: the application's icon, cut from the editor's own background
// picture: its "ZORQ" lettering on the panel colour around it, in a square with
// rounded corners, scaled to the size asked for by averaging.
//   zorq-live-icon BACK.png OUTPUT.png SIZE
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "raster/LICE.h"

namespace {
// The lettering's rectangle in the 800 x 360 background.
constexpr int kLogoX = 398, kLogoY = 64, kLogoWidth = 264, kLogoHeight = 96;

// Box average of the square source into a size x size bitmap.
void scaleInto(const LICE_IBitmap& source, LICE_IBitmap* out, int size) {
  const int n = source.getWidth();
  out->resize(size, size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const int x0 = x * n / size, x1 = std::max(x0 + 1, (x + 1) * n / size);
      const int y0 = y * n / size, y1 = std::max(y0 + 1, (y + 1) * n / size);
      double a = 0, r = 0, g = 0, b = 0;
      for (int sy = y0; sy < y1; ++sy)
        for (int sx = x0; sx < x1; ++sx) {
          const LICE_pixel p = LICE_RowPointer(&source, sy)[sx];
          const double alpha = LICE_PixelA(p) / 255.0;
          a += alpha;
          r += alpha * LICE_PixelR(p);
          g += alpha * LICE_PixelG(p);
          b += alpha * LICE_PixelB(p);
        }
      const double count = double((x1 - x0) * (y1 - y0));
      const auto byte = [](double v) { return uint8_t(std::clamp(v + 0.5, 0.0, 255.0)); };
      LICE_RowPointer(out, y)[x] =
          a > 0 ? LICE_PackPixel(byte(255 * a / count), byte(r / a), byte(g / a), byte(b / a))
                : LICE_PackPixel(0, 0, 0, 0);
    }
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: zorq-live-icon BACK.png OUTPUT.png SIZE\n");
    return 2;
  }
  const int size = std::atoi(argv[3]);
  std::unique_ptr<LICE_IBitmap> back(LICE_LoadPNG(argv[1]));
  if (!back || back->getWidth() < kLogoX + kLogoWidth || back->getHeight() < kLogoY + kLogoHeight ||
      size < 16 || size > 1024) {
    std::fprintf(
        stderr,
        "zorq-live-icon: %s is not the editor's background, or the size is not 16 to 1024\n",
        argv[1]);
    return 1;
  }
  const int side = kLogoWidth;
  LICE_MemBitmap square(side, side);
  // The panel above and below the lettering repeats the rows at the lettering's edges.
  const int top = (side - kLogoHeight) / 2;
  for (int y = 0; y < side; ++y) {
    const int row = std::clamp(y - top, 0, kLogoHeight - 1);
    LICE_Blit(&square, back.get(), 0, y, kLogoX, kLogoY + row, kLogoWidth, 1, 1.0f,
              LICE_BLIT_MODE_COPY);
  }
  // Rounded corners: pixels outside a corner radius of a sixth of the side are clear.
  const int radius = side / 6;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      const int dx = std::max({radius - x, x - (side - 1 - radius), 0});
      const int dy = std::max({radius - y, y - (side - 1 - radius), 0});
      if (dx * dx + dy * dy > radius * radius)
        LICE_RowPointer(&square, y)[x] = LICE_PackPixel(0, 0, 0, 0);
    }
  LICE_MemBitmap icon;
  scaleInto(square, &icon, size);
  if (!LICE_WritePNG(argv[2], &icon)) {
    std::fprintf(stderr, "zorq-live-icon: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
