#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "raster/Bitmap.h"

struct FontRequest {
  std::string family;
  int pixelHeight;  // the em size in pixels (clamped to 1..1024)
  bool bold;
  bool italic;
  int orientationDegrees;  // not supported: text is always drawn horizontally
  int quality;             // not used: glyphs are always greyscale anti-aliased
};

// A scalable font face found through fontconfig by family name and rendered with
// FreeType. Common families of other systems map to installed metric-compatible
// faces ("Arial", "Helvetica" to Liberation Sans, "Monaco" to Liberation Mono);
// an unknown family gets fontconfig's default face. Rendered glyphs are cached per
// font. Measure and Draw may run on several threads at once on one font (each
// font has its own FreeType library and a mutex).
class RasterFont {
 public:
  // Null when no face can be found or opened for the family.
  static std::unique_ptr<RasterFont> Create(const FontRequest& request);
  ~RasterFont();
  RasterFont(const RasterFont&) = delete;
  RasterFont& operator=(const RasterFont&) = delete;

  // Pixels from the top of the line box to its bottom (ascent plus descent),
  // for the size asked.
  int LineHeight() const;
  // One line of UTF-8 text: width is the sum of the advances, height = LineHeight().
  void Measure(const char* utf8, int* width, int* height) const;
  // Draws one line whose line box has its top-left corner at (x, y), greyscale
  // anti-aliased, blended over dest with the colour's alpha (255 = opaque glyph
  // coverage). Clipped to the bitmap only. Invalid UTF-8 draws U+FFFD.
  void Draw(LICE_IBitmap* dest, const char* utf8, int x, int y, uint8_t a, uint8_t r, uint8_t g,
            uint8_t b) const;

  // The family name of the face actually used (for example "Liberation Sans").
  const std::string& FaceFamily() const;

 private:
  struct Impl;
  explicit RasterFont(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};
