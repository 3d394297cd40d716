// back: the normal view. A dark blue brushed face with a header, two lighter control
// plates (voice and levels on the left, output on the right), the name plate in the
// middle and the displays and buttons along the bottom.

#include "Artwork.h"
#include "Layout.h"
#include "PanelParts.h"
#include "Style.h"

#include <cmath>
#include <string>
#include <vector>

using namespace layout;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kHeaderHeight = 44;
constexpr Rect kLeftPlate{20, 52, 334, 296};
constexpr Rect kRightPlate{700, 52, 90, 251};

void drawHeader(const Painter& p) {
  p.fillVertical({0, 0, kWidth, kHeaderHeight}, 0, style::kHeaderTop, style::kHeaderBottom);
  style::brushed(p, {0, 0, kWidth, kHeaderHeight}, 7, 0.035);
  p.fillRect({0, kHeaderHeight, kWidth, 1}, Colour(0, 0, 0, 0.8));
  p.fillRect({0, kHeaderHeight + 1, kWidth, 1}, Colour(1, 1, 1, 0.10));
  cairo_t* cr = p.cr();
  // Maker's emblem: a lightning bolt in a ring.
  const double ex = 34, ey = 22;
  cairo_arc(cr, ex, ey, 12.5, 0, 2 * kPi);
  p.setColour(style::kAccent);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
  cairo_move_to(cr, ex + 3.0, ey - 10);
  cairo_line_to(cr, ex - 5.5, ey + 1.5);
  cairo_line_to(cr, ex - 0.5, ey + 1.5);
  cairo_line_to(cr, ex - 3.0, ey + 10);
  cairo_line_to(cr, ex + 5.5, ey - 1.5);
  cairo_line_to(cr, ex + 0.5, ey - 1.5);
  cairo_close_path(cr);
  cairo_fill(cr);
  p.text("Zander Volt Music", 54, 28, Align::Left,
         {Face::BoldItalic, 17, Colour::hex(0xeef2f7), 0.2});
  // Right: what the instrument is; the version label sits under it.
  p.text("STEREO 20-BAND CHANNEL VOCODER", 776, 18, Align::Right,
         {Face::Bold, 7.5, style::kLegend, 1.6});
  for (double x : {9.0, 791.0}) p.screw(x, 9, 4.2, 0.6);
}

void drawLogo(const Painter& p) {
  cairo_t* cr = p.cr();
  const std::string name = "ZORQ";
  const double size = 80, tracking = 6, baseline = 140, centre = 527;
  cairo_set_font_face(cr, p.fonts().face(Face::BoldItalic));
  cairo_set_font_size(cr, size);
  double width = 0;
  for (char c : name) {
    cairo_text_extents_t e;
    const char s[2] = {c, 0};
    cairo_text_extents(cr, s, &e);
    width += e.x_advance + tracking;
  }
  width -= tracking;
  auto letters = [&](double dx, double dy) {
    double pen = centre - width / 2 + dx;
    for (char c : name) {
      const char s[2] = {c, 0};
      cairo_text_extents_t e;
      cairo_text_extents(cr, s, &e);
      cairo_move_to(cr, pen, baseline + dy);
      cairo_text_path(cr, s);
      pen += e.x_advance + tracking;
    }
  };
  // Cap height of the face: 0.729 em.
  const double top = baseline - size * 0.729;
  // A band of the letters is sliced into thinning stripes; top and foot stay whole, so
  // every letter (the tail of the Q too) keeps its shape.
  struct Band {
    double from, to;
  };
  const double sliceTop = baseline - size * 0.36, sliceBottom = baseline - size * 0.10;
  std::vector<Band> kept{{top - 2, sliceTop}};
  const double bars[] = {3.4, 2.9, 2.5, 2.1};
  const double gap = 1.9;
  double y = sliceTop + gap;
  for (double bar : bars) {
    kept.push_back({y, y + bar});
    y += bar + gap;
  }
  kept.push_back({sliceBottom, baseline + size * 0.3});
  auto keptBands = [&](double dy) {
    for (const Band& b : kept) cairo_rectangle(cr, 300, b.from + dy, 460, b.to - b.from);
  };
  // Shadow.
  cairo_save(cr);
  letters(2, 3);
  cairo_clip(cr);
  keptBands(3);
  p.setColour(Colour(0, 0, 0, 0.55));
  cairo_fill(cr);
  cairo_restore(cr);
  // Letters: polished metal, bright at the top, with an orange glint at the foot.
  cairo_save(cr);
  letters(0, 0);
  cairo_clip(cr);
  cairo_pattern_t* metal = cairo_pattern_create_linear(0, top, 0, baseline);
  cairo_pattern_add_color_stop_rgb(metal, 0, 0.97, 0.98, 1.0);
  cairo_pattern_add_color_stop_rgb(metal, 0.45, 0.70, 0.75, 0.82);
  cairo_pattern_add_color_stop_rgb(metal, 0.52, 0.86, 0.89, 0.93);
  cairo_pattern_add_color_stop_rgb(metal, 0.70, 1.00, 0.66, 0.30);
  cairo_pattern_add_color_stop_rgb(metal, 1, 0.93, 0.40, 0.12);
  keptBands(0);
  cairo_set_source(cr, metal);
  cairo_fill(cr);
  cairo_pattern_destroy(metal);
  cairo_restore(cr);
}

// A filter bank printed under the name: twenty overlapping band-pass curves.
void drawBandCurves(const Painter& p) {
  cairo_t* cr = p.cr();
  const double x0 = 372, x1 = 684, base = 244, height = 44;
  cairo_set_line_width(cr, 1.0);
  for (int b = 0; b < kBands; ++b) {
    const double centre = x0 + (x1 - x0) * (b + 0.5) / kBands;
    const double halfWidth = (x1 - x0) / kBands * 0.9;
    cairo_move_to(cr, centre - 3 * halfWidth, base);
    for (double x = centre - 3 * halfWidth; x <= centre + 3 * halfWidth; x += 1) {
      const double u = (x - centre) / halfWidth;
      cairo_line_to(cr, x, base - height / (1 + u * u * u * u));
    }
    const double t = static_cast<double>(b) / (kBands - 1);
    p.setColour(style::kCyan.mix(style::kAccent, t).withAlpha(0.30));
    cairo_stroke(cr);
  }
  p.fillRect({x0 - 6, base, x1 - x0 + 12, 1}, style::kLegend.withAlpha(0.35));
}

void drawLeftPlate(const Painter& p) {
  drawPlate(p, kLeftPlate, 11);
  // Sections: voice (left column), input (upper right), modulation (bottom row), each
  // with its name in the top left corner.
  p.engravedVLine(108, 58, 246);
  const TextStyle caption = style::caption();
  p.text("VOICE", 28, 63, Align::Left, caption);
  p.text("INPUT", 116, 63, Align::Left, caption);
  const double width = p.text("MODULATION", 28, 255, Align::Left, caption);
  p.engravedHLine(28 + width + 6, 348, 251);

  const TextStyle label = style::label();
  for (const Knob& k : kMainKnobs) {
    if (k.at.x > 400) continue;
    drawMainKnobScale(p, k.at.x, k.at.y);
    p.engravedText(k.label, k.at.x + kKnobCentre, k.at.y + kKnobCentre + 34, Align::Centre, label);
  }
  // Scale legends where a knob's ends mean something, beside the ends of the scale.
  const TextStyle legend = style::legend();
  struct Ends {
    int knob;
    const char *low, *high;
  };
  for (const Ends& e : {Ends{0, "-100", "+100"}, Ends{1, "KBD", "NOISE"}, Ends{7, "-12", "+12"}}) {
    const Knob& k = kMainKnobs[e.knob];
    const double cx = k.at.x + kKnobCentre, cy = k.at.y + kKnobCentre;
    p.text(e.low, cx - 19, cy + 23, Align::Right, legend);
    p.text(e.high, cx + 19, cy + 23, Align::Left, legend);
  }

  // Switches: their names under them, on the knob label rows.
  p.engravedText("OCTAVE UP", kOctaveUp.x + kSwitchV.w / 2.0, 238, Align::Centre, label);
  p.engravedText("ENSEMBLE", kEnsemble.x + kSwitchV.w / 2.0, kEnsemble.y - 6, Align::Centre, label);

  // Level meter: its name, the dB scale under it, the mode switch below.
  const double mx = kMeterAt.x, my = kMeterAt.y + kMeter.h;
  p.engravedText("LEVEL", mx - 6, kMeterAt.y + 14, Align::Right, label);
  const TextStyle scale{Face::Bold, 6.5, style::kLegend, 0};
  for (int dB = -30; dB <= 6; dB += 6) {
    const double x = mx + meterScaleX(dB);
    p.fillRect({x - 0.5, my + 2, 1, 3}, dB > 0 ? Colour::hex(0xff5a4a) : style::kTick);
    TextStyle s = scale;
    if (dB > 0) s.colour = Colour::hex(0xff6a55);
    p.text(dB > 0 ? "+6" : std::to_string(dB), x, my + 12, Align::Centre, s);
  }
  for (double dB = -28.8; dB < 6; dB += 1.2) {
    const double x = mx + meterScaleX(dB);
    if (std::fmod(std::fabs(dB) + 0.01, 6.0) < 0.1) continue;
    p.fillRect({x - 0.25, my + 2, 0.5, 1.5}, style::kTick.withAlpha(0.5));
  }
  p.text("dB", mx + kMeter.w + 4, my + 12, Align::Left, scale);
  const double sy = kMeterMode.y + kSwitchH.h / 2.0 + 3;
  p.engravedText("METER", kMeterMode.x + kSwitchH.w / 2.0, kMeterMode.y - 6, Align::Centre, label);
  p.text("SIGNAL", kMeterMode.x - 5, sy, Align::Right, legend);
  p.text("MIC", kMeterMode.x + kSwitchH.w + 5, sy, Align::Left, legend);
}

void drawRightPlate(const Painter& p) {
  drawPlate(p, kRightPlate, 13);
  const TextStyle label = style::label();
  p.text("OUTPUT", kRightPlate.centreX(), 66, Align::Centre, style::caption());
  const double bx = kFinalVolume.x + kKnobBigCentreX, by = kFinalVolume.y + kKnobBigCentreY;
  p.knobScale(bx, by, 29.5, 33.5, 11, 5, style::kTick);
  p.engravedText("VOLUME", bx, by + 41, Align::Centre, label);
  const Knob& balance = kMainKnobs[8];
  const Knob& velocity = kMainKnobs[9];
  drawMainKnobScale(p, balance.at.x, balance.at.y);
  drawMainKnobScale(p, velocity.at.x, velocity.at.y);
  p.engravedText(balance.label, balance.at.x + kKnobCentre, balance.at.y + kKnobCentre + 34,
                 Align::Centre, label);
  // Closer under its knob than the others: the MIDI learn button follows below.
  p.engravedText(velocity.label, velocity.at.x + kKnobCentre, velocity.at.y + kKnobCentre + 31,
                 Align::Centre, label);
  p.engravedText("KBD", kKeyboard.x + kSwitchV.w / 2.0, kKeyboard.y + kSwitchV.h + 11,
                 Align::Centre, label);
}

Rect boxRect(const Box& b) { return {double(b.l), double(b.t), double(b.w()), double(b.h())}; }

void drawBottomRow(const Painter& p) {
  const TextStyle label = style::label();
  // Sample / input display and the vocoder mode display.
  p.displayWindow(boxRect(kWavControl).inset(-2), 3);
  p.displayWindow(boxRect(kModeMenu).inset(-2), 3);
  p.engravedText("MODULATOR", kWavControl.l + kWavControl.w() / 2.0, 292, Align::Centre, label);
  p.engravedText("VOCODER MODE", kModeMenu.l + kModeMenu.w() / 2.0, 292, Align::Centre, label);
  // Program: number, name, and the buttons around them.
  p.displayWindow({389, 305, 26, 22}, 3);
  p.displayWindow({441 - 1, 305, 633 - 441 + 2, 22}, 3);
  p.engravedText("PROGRAM", 365, 340, Align::Left, label);
  drawLegendButton(p, boxRect(kOptionsMenu), "OPTIONS");
  p.engravedText("MIDI", kLearn.x + kLearnButton.w / 2.0, 340, Align::Centre, label);
  drawLegendButton(p, boxRect(kTweakSwitch), "");
  drawTweakCaption(p, false);
  for (double x : {9.0, 791.0}) p.screw(x, 351, 4.2, 1.1);
}

}  // namespace

void drawBase(const Painter& p, const Rect& r) {
  p.fillVertical(r, 0, style::kBaseTop, style::kBaseBottom);
  style::brushed(p, r, 3, 0.03);
}

void drawPlate(const Painter& p, const Rect& r, unsigned seed) {
  p.raisedPlate(r, 5, style::kPlateTop, style::kPlateBottom);
  cairo_save(p.cr());
  p.roundedRect(r.inset(1), 4);
  cairo_clip(p.cr());
  style::brushed(p, r, seed, 0.035);
  cairo_restore(p.cr());
}

void drawMainKnobScale(const Painter& p, double x, double y) {
  p.knobScale(x + kKnobCentre, y + kKnobCentre, 21.5, 25, 11, 5, style::kTick);
}

void drawTrimpotScale(const Painter& p, double x, double y) {
  p.knobScale(x + kTrimpotCentre, y + kTrimpotCentre, 13.2, 15.6, 11, 5,
              style::kTick.withAlpha(0.6));
}

void drawLegendButton(const Painter& p, const Rect& r, const char* legend) {
  p.fillRounded({r.x - 1, r.y - 1, r.w + 2, r.h + 3}, 4, Colour(0, 0, 0, 0.35));
  p.buttonFace(r, 3.5, false);
  if (*legend)
    p.text(legend, r.centreX(), r.centreY() + 3, Align::Centre,
           {Face::Bold, 7.5, Colour::hex(0xe2e8ef), 0.3});
}

void drawTweakCaption(const Painter& p, bool lit) {
  const double cx = kTweakSwitch.l + kTweakSwitch.w() / 2.0;
  if (!lit) {
    // The switch face: three little faders at different settings.
    const double levels[] = {11, 6, 9};
    for (int i = 0; i < 3; ++i) {
      const double x = kTweakSwitch.l + 5.5 + i * 4.5;
      p.fillRect({x, kTweakSwitch.t + 4.0, 1, 12}, Colour(0, 0, 0, 0.7));
      p.fillRect({x - 1.5, kTweakSwitch.t + levels[i], 4, 2.5}, Colour::hex(0xf0f3f6));
    }
    p.engravedText("TWEAK", cx + 4, 340, Align::Centre, style::label());
  }
  p.lamp(cx - 17, 337, 2.2, style::kAccent, lit);
}

void drawPanel(const Painter& p, int, int) {
  drawBase(p, {0, 0, kWidth, kHeight});
  drawHeader(p);
  drawLogo(p);
  drawBandCurves(p);
  drawLeftPlate(p);
  drawRightPlate(p);
  drawBottomRow(p);
}
