#include "Artwork.h"

#include "Layout.h"

const std::vector<Artwork>& allArtwork() {
  using namespace layout;
  static const std::vector<Artwork> list = {
      {"back", kWidth, kHeight, 1, drawPanel},
      {"knob", kKnob.w, kKnob.h, kKnobFrames, drawKnob},
      {"knob_big", kKnobBig.w, kKnobBig.h, kKnobFrames, drawKnobBig},
      {"trimpot", kTrimpot.w, kTrimpot.h, kKnobFrames, drawTrimpot},
      {"switch_v", kSwitchV.w, kSwitchV.h, 2, drawSwitchV},
      {"switch_h", kSwitchH.w, kSwitchH.h, 2, drawSwitchH},
      {"vumeter", kMeter.w, kMeter.h, kMeterFrames, drawMeter},
      {"learn", kLearnButton.w, kLearnButton.h, 2, drawLearn},
      {"unlearn", kLearnButton.w, kLearnButton.h, 2, drawUnlearn},
      {"prev", kArrow.w, kArrow.h, 2, drawPrev},
      {"next", kArrow.w, kArrow.h, 2, drawNext},
      {"responce", kBadge.w, kBadge.h, 1, drawBadge},
      {"tweak", kWidth, kHeight, 1, drawTweakOverlay},
  };
  return list;
}

RgbaImage renderArtwork(const Artwork& artwork, const Fonts& fonts) {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, artwork.frameWidth,
                                                        artwork.frameHeight * artwork.frames);
  cairo_t* cr = cairo_create(surface);
  Painter painter(cr, fonts);
  for (int i = 0; i < artwork.frames; ++i) {
    cairo_save(cr);
    cairo_rectangle(cr, 0, i * artwork.frameHeight, artwork.frameWidth, artwork.frameHeight);
    cairo_clip(cr);
    cairo_translate(cr, 0, i * artwork.frameHeight);
    artwork.draw(painter, i, artwork.frames);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  RgbaImage image = imageFromSurface(surface);
  cairo_surface_destroy(surface);
  return image;
}
