// vumeter: a row of 30 LED segments behind glass. Frame k (1-based) lights k - 1 of them;
// segment j stands for levels above -30 + 1.2 (j - 1) dB, so frame 1 shows nothing
// (-30 dB or less) and frame 31 all (+6 dB). Green up to -6 dB, amber to 0 dB, red above.

#include "Artwork.h"
#include "Layout.h"

namespace {

constexpr double kSegmentPitch = 4.0;
constexpr double kSegmentWidth = 3.0;
constexpr double kFirstSegmentX = 6.5;

Colour segmentColour(int segment) {  // 1-based
  if (segment > 25) return Colour::hex(0xff3a2e);
  if (segment > 20) return Colour::hex(0xffc53a);
  return Colour::hex(0x45e07c);
}

}  // namespace

void drawMeter(const Painter& p, int index, int) {
  using layout::kMeter;
  cairo_t* cr = p.cr();
  p.fillVertical({0, 0, double(kMeter.w), double(kMeter.h)}, 4, Colour::hex(0x0c0f13),
                 Colour::hex(0x2a313a));
  const Rect glass{2, 2, kMeter.w - 4.0, kMeter.h - 4.0};
  p.fillVertical(glass, 3, Colour::hex(0x020304), Colour::hex(0x080b0f));
  const int lit = index;
  for (int j = 1; j <= layout::kMeterSegments; ++j) {
    const double x = kFirstSegmentX + (j - 1) * kSegmentPitch;
    const Colour c = segmentColour(j);
    if (j <= lit) {
      p.fillRect({x - 1, 4.5, kSegmentWidth + 2, 13}, c.withAlpha(0.28));
      p.fillRect({x, 5, kSegmentWidth, 12}, c);
      p.fillRect({x + 0.5, 6, kSegmentWidth - 1, 4}, c.mix(Colour(1, 1, 1), 0.5));
    } else {
      p.fillRect({x, 5, kSegmentWidth, 12}, c.mix(Colour::hex(0x05070a), 0.82));
    }
  }
  // Glass sheen over the upper half.
  cairo_pattern_t* sheen = cairo_pattern_create_linear(0, 2, 0, 11);
  cairo_pattern_add_color_stop_rgba(sheen, 0, 1, 1, 1, 0.10);
  cairo_pattern_add_color_stop_rgba(sheen, 1, 1, 1, 1, 0.02);
  p.roundedRect({2, 2, kMeter.w - 4.0, 9}, 3);
  cairo_set_source(cr, sheen);
  cairo_fill(cr);
  cairo_pattern_destroy(sheen);
}
