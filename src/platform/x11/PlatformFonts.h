#pragma once

// The faces the platform layer draws its own menus, message boxes and tooltips with,
// at the screen's scale, made once per layer.
#include <memory>

#include "raster/RasterFont.h"

class PlatformFonts {
 public:
  explicit PlatformFonts(int scale) : scale_(scale) {}
  // Pixel sizes are given at scale 1. Null when no face can be found.
  RasterFont* Regular(int size = 13) { return get(regular_, size, false); }
  RasterFont* Bold(int size = 13) { return get(bold_, size, true); }
  int Scale() const { return scale_; }

 private:
  RasterFont* get(std::unique_ptr<RasterFont>& font, int size, bool bold) {
    if (!font) font = RasterFont::Create({"Arial", size * scale_, bold, false, 0, 4});
    return font.get();
  }
  int scale_;
  std::unique_ptr<RasterFont> regular_, bold_;
};
