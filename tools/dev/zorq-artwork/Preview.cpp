#include "Preview.h"

#include "Layout.h"
#include "Painter.h"
#include "shell/ZorqVersion.h"

#include <cairo.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace layout;

namespace {

struct SurfaceDeleter {
  void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;

Surface surfaceFromImage(const RgbaImage& image) {
  Surface s(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height));
  unsigned char* data = cairo_image_surface_get_data(s.get());
  const int stride = cairo_image_surface_get_stride(s.get());
  for (int y = 0; y < image.height; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
    for (int x = 0; x < image.width; ++x) {
      const uint8_t* px = &image.pixels[(static_cast<size_t>(y) * image.width + x) * 4];
      const uint32_t a = px[3];
      auto pre = [a](uint32_t c) { return (c * a + 127) / 255; };
      row[x] = a << 24 | pre(px[0]) << 16 | pre(px[1]) << 8 | pre(px[2]);
    }
  }
  cairo_surface_mark_dirty(s.get());
  return s;
}

// Draws frame `frame` (1-based) of a picture of `frames` frames with its top-left at (x, y).
void place(cairo_t* cr, const RgbaImage& image, int frames, int frame, double x, double y) {
  Surface s = surfaceFromImage(image);
  const int h = image.height / frames;
  cairo_save(cr);
  cairo_rectangle(cr, x, y, image.width, h);
  cairo_clip(cr);
  cairo_set_source_surface(cr, s.get(), x, y - (frame - 1) * h);
  cairo_paint(cr);
  cairo_restore(cr);
}

int frameFor(double normalised, int frames) {
  const int i = static_cast<int>(std::lround((frames - 1) * normalised)) + 1;
  return i < 1 ? 1 : (i > frames ? frames : i);
}

// A text in one of the editor's styles, centred (or right-aligned) in a rectangle and
// vertically centred on its capitals.
void styledText(const Painter& p, const std::string& s, const Box& box, double size,
                const Colour& colour, Align align) {
  TextStyle style{Face::Regular, size, colour, 0};
  const double baseline = box.t + box.h() / 2.0 + size * 0.729 / 2;
  const double x = align == Align::Right ? box.r : box.l + box.w() / 2.0;
  p.text(s, x, baseline, align, style);
}

struct Canvas {
  Surface surface{cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight)};
  cairo_t* cr = cairo_create(surface.get());
  ~Canvas() { cairo_destroy(cr); }
  RgbaImage image() { return imageFromSurface(surface.get()); }
};

void drawNormalControls(cairo_t* cr, const ArtworkImages& images) {
  const int knobFrames[] = {33, 1, 49, 45, 12, 20, 65, 40, 17, 1};
  int i = 0;
  for (const Knob& k : kMainKnobs)
    place(cr, images.at("knob"), kKnobFrames, knobFrames[i++], k.at.x, k.at.y);
  place(cr, images.at("knob_big"), kKnobFrames, 41, kFinalVolume.x, kFinalVolume.y);
  place(cr, images.at("switch_v"), 2, 1, kOctaveUp.x, kOctaveUp.y);
  place(cr, images.at("switch_v"), 2, 2, kEnsemble.x, kEnsemble.y);
  place(cr, images.at("switch_v"), 2, 2, kKeyboard.x, kKeyboard.y);
  place(cr, images.at("switch_h"), 2, 2, kMeterMode.x, kMeterMode.y);
  // Meter at -3 dB.
  place(cr, images.at("vumeter"), kMeterFrames, frameFor(27.0 / 36.0, kMeterFrames), kMeterAt.x,
        kMeterAt.y);
}

void drawCommonControls(const Painter& p, const ArtworkImages& images, bool tweak) {
  cairo_t* cr = p.cr();
  const Colour menu(1, 1, 1, 192 / 255.0);
  styledText(p, tweak ? "voice take 3" : "MIC Input",
             {kWavControl.l, kWavControl.t + 1, kWavControl.r, kWavControl.b}, 12,
             tweak ? Colour(1, 32 / 255.0, 32 / 255.0, 192 / 255.0) : menu, Align::Centre);
  styledText(p, tweak ? "VE-10 Full Bands" : "VE-10 Standard",
             {kModeMenu.l, kModeMenu.t + 1, kModeMenu.r, kModeMenu.b}, 12, menu, Align::Centre);
  const Colour program(1, 1, 1, 160 / 255.0);
  styledText(p, tweak ? "17" : "00", kProgramNumber, 15, program, Align::Centre);
  styledText(p, tweak ? "Whisper Strings" : "Robot Choir Classic", kProgramName, 15, program,
             Align::Centre);
  place(cr, images.at("prev"), 2, 1, kPrev.x, kPrev.y);
  place(cr, images.at("next"), 2, tweak ? 2 : 1, kNext.x, kNext.y);
  place(cr, images.at(tweak ? "unlearn" : "learn"), 2, tweak ? 2 : 1, kLearn.x, kLearn.y);
  styledText(p, std::string("v") + ZorqVersion::kText + ".0", kVersion, 9,
             Colour(1, 1, 1, 128 / 255.0), Align::Right);
}

// A small knob with its value text under it, as the editor draws it.
void smallKnob(const Painter& p, const ArtworkImages& images, int x, int y, double normalised,
               const std::string& text, bool zero) {
  place(p.cr(), images.at("trimpot"), kKnobFrames, frameFor(normalised, kKnobFrames), x, y);
  const Colour normal(1, 1, 192 / 255.0, 160 / 255.0);
  const Colour atZero(128 / 255.0, 128 / 255.0, 96 / 255.0, 160 / 255.0);
  const Box area{x - 4, y + kTrimpot.h + kValueTextTop, x + kTrimpot.w + 4,
                 y + kTrimpot.h + kValueTextBottom};
  styledText(p, text, area, 11, zero ? atZero : normal, Align::Centre);
}

double shaped(double value, double min, double max, double shape) {
  return std::pow((value - min) / (max - min), 1.0 / shape);
}

}  // namespace

RgbaImage previewNormal(const ArtworkImages& images, const Fonts& fonts) {
  Canvas canvas;
  Painter p(canvas.cr, fonts);
  place(canvas.cr, images.at("back"), 1, 1, 0, 0);
  drawNormalControls(canvas.cr, images);
  place(canvas.cr, images.at("responce"), 1, 1, kBadgeAt.x, kBadgeAt.y);
  drawCommonControls(p, images, false);
  return canvas.image();
}

RgbaImage previewTweak(const ArtworkImages& images, const Fonts& fonts) {
  static const double kFrequency[kBands] = {240.6,  290.0,  342.7,  418.9,  514.1,  628.3,  754.0,
                                            942.5,  1131.0, 1379.3, 1663.2, 2019.7, 2406.4, 2900.0,
                                            3427.3, 4188.9, 5140.9, 6283.4, 7540.1, 9425.1};
  Canvas canvas;
  Painter p(canvas.cr, fonts);
  place(canvas.cr, images.at("back"), 1, 1, 0, 0);
  drawNormalControls(canvas.cr, images);
  place(canvas.cr, images.at("tweak"), 1, 1, 0, 0);
  // The nine small knobs at their defaults, a few of them turned.
  struct Small {
    double value, min, max, shape;
    const char* text;
  };
  const Small small[] = {{0, -1, 1, 1, "0.00"},           {0.35, 0, 1, 1, "0.35"},
                         {-0.4, -1, 1, 1, "-0.40"},       {0, 0, 1, 1, "0.00"},
                         {0.12, 0, 1, 1, "0.12"},         {0.65, 0.001, 24.999, 2, "0.65"},
                         {5.7, 0.001, 24.999, 2, "5.70"}, {0.55, 0.001, 24.999, 2, "0.55"},
                         {6.3, 0.001, 24.999, 2, "6.30"}};
  for (int i = 0; i < 9; ++i) {
    const Small& s = small[i];
    smallKnob(p, images, kSmallKnobX[i], kSmallKnobRow, shaped(s.value, s.min, s.max, s.shape),
              s.text, s.value == 0);
  }
  for (int b = 0; b < kBands; ++b) {
    const int x = kBandKnobX0 + kBandPitch * b;
    const double f = kFrequency[b];
    char text[16];
    std::snprintf(text, sizeof text, "%.0f", f);
    smallKnob(p, images, x, kAnalysisRow, shaped(f, 16, 16000, 4), text, false);
    const double g = b == 3 ? f * 1.5 : f;
    std::snprintf(text, sizeof text, "%.0f", g);
    smallKnob(p, images, x, kSynthesisRow, shaped(g, 16, 16000, 4), text, false);
    const double level = b == 19 ? 0.0 : (b % 5 == 2 ? 1.6 : 1.0);
    if (level > 0)
      std::snprintf(text, sizeof text, "%.1f", 20 * std::log10(level));
    else
      std::snprintf(text, sizeof text, "-oo");
    smallKnob(p, images, x, kLevelRow, level / 2, text, level == 0);
    place(canvas.cr, images.at("switch_v"), 2, (b == 0 || b == 7 || b == 8) ? 2 : 1,
          kBandSwitchX0 + kBandPitch * b, kFixedRow);
  }
  drawCommonControls(p, images, true);
  return canvas.image();
}

RgbaImage previewStrips(const ArtworkImages& images, int scale) {
  const int frames[] = {1, 17, 33, 49, 65};
  const int width = 5 * (kKnobBig.w + 8) + 8;
  const int meterRows = (kMeterFrames + 1) / 2;
  const int height = kKnobBig.h + kKnob.h + kTrimpot.h + 4 * 8 + meterRows * (kMeter.h + 4) + 8;
  Surface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height));
  cairo_t* cr = cairo_create(surface.get());
  cairo_set_source_rgb(cr, 0.16, 0.21, 0.28);
  cairo_paint(cr);
  double y = 8;
  for (const char* name : {"knob_big", "knob", "trimpot"}) {
    const RgbaImage& image = images.at(name);
    for (int i = 0; i < 5; ++i)
      place(cr, image, kKnobFrames, frames[i], 8 + i * (kKnobBig.w + 8), y);
    const int frameHeight = image.height / kKnobFrames;  // the strip holds whole frames
    y += static_cast<double>(frameHeight) + 8;
  }
  for (int f = 1; f <= kMeterFrames; ++f) {
    const int column = (f - 1) / meterRows, row = (f - 1) % meterRows;
    place(cr, images.at("vumeter"), kMeterFrames, f, 8 + column * (kMeter.w + 16),
          y + row * (kMeter.h + 4));
  }
  cairo_destroy(cr);
  const RgbaImage strips = imageFromSurface(surface.get());
  return enlarged(strips, 0, 0, strips.width, strips.height, scale);
}

RgbaImage enlarged(const RgbaImage& image, int x, int y, int w, int h, int scale) {
  RgbaImage big;
  big.width = w * scale;
  big.height = h * scale;
  big.pixels.resize(static_cast<size_t>(big.width) * big.height * 4);
  for (int yy = 0; yy < big.height; ++yy)
    for (int xx = 0; xx < big.width; ++xx)
      for (int c = 0; c < 4; ++c)
        big.pixels[(static_cast<size_t>(yy) * big.width + xx) * 4 + c] =
            image.pixels[(static_cast<size_t>(y + yy / scale) * image.width + x + xx / scale) * 4 +
                         c];
  return big;
}
