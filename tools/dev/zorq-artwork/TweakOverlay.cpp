// tweak: the band editor laid over the normal view. It is opaque over the main controls
// (the editor draws it after them and before the band controls) and transparent over the
// header, the displays and buttons along the bottom, which stay those of the normal view.

#include "Artwork.h"
#include "Layout.h"
#include "PanelParts.h"
#include "Style.h"

#include <string>

using namespace layout;

namespace {

// The opaque part: everything below the header except the bottom row right of the left
// plate, which keeps the program display, the menus and the buttons.
constexpr double kTop = 46;
constexpr double kBottomRowTop = 258;   // above the mode and sample displays
constexpr double kBottomRowLeft = 358;  // right of the small knobs
constexpr double kRightColumnLeft = 698;
constexpr double kRightColumnBottom = 304;  // above the MIDI learn button

constexpr Rect kBandPlate{6, 50, 788, 206};
constexpr Rect kSmallPlate{6, 262, 348, 90};

void outline(cairo_t* cr) {
  cairo_move_to(cr, 0, kTop);
  cairo_line_to(cr, kWidth, kTop);
  cairo_line_to(cr, kWidth, kRightColumnBottom);
  cairo_line_to(cr, kRightColumnLeft, kRightColumnBottom);
  cairo_line_to(cr, kRightColumnLeft, kBottomRowTop);
  cairo_line_to(cr, kBottomRowLeft, kBottomRowTop);
  cairo_line_to(cr, kBottomRowLeft, kHeight);
  cairo_line_to(cr, 0, kHeight);
  cairo_close_path(cr);
}

double bandCentre(int band) { return kBandKnobX0 + kBandPitch * band + kTrimpot.w / 2.0; }

void drawBandPlate(const Painter& p) {
  drawPlate(p, kBandPlate, 17);
  // Faint columns behind every other band.
  for (int b = 0; b < kBands; b += 2)
    p.fillRect({bandCentre(b) - kBandPitch / 2.0, 56, double(kBandPitch), 196},
               Colour(1, 1, 1, 0.035));
  const TextStyle number{Face::Bold, 8.5, style::kLabel, 0};
  for (int b = 0; b < kBands; ++b)
    p.engravedText(std::to_string(b + 1), bandCentre(b), 72, Align::Centre, number);
  // Bands 17 to 20 carry only the noise in the standard mode.
  const double left = bandCentre(16) - 14, right = bandCentre(19) + 14;
  const TextStyle note{Face::Bold, 6.0, style::kAccent, 0.6};
  const double noteWidth = p.textWidth("NOISE IN STANDARD MODE", note);
  const double mid = (left + right) / 2;
  p.text("NOISE IN STANDARD MODE", mid, 60, Align::Centre, note);
  p.fillRect({left, 57.5, mid - noteWidth / 2 - 4 - left, 1}, style::kAccent.withAlpha(0.6));
  p.fillRect({mid + noteWidth / 2 + 4, 57.5, right - mid - noteWidth / 2 - 4, 1},
             style::kAccent.withAlpha(0.6));
  p.fillRect({left, 57.5, 1, 4}, style::kAccent.withAlpha(0.6));
  p.fillRect({right - 1, 57.5, 1, 4}, style::kAccent.withAlpha(0.6));

  // Row names with their units.
  TextStyle label = style::label();
  label.tracking = 0.2;
  const TextStyle unit = style::legend();
  const double nameX = kBandKnobX0 - 6;
  p.engravedText("BAND", nameX, 72, Align::Right, label);
  struct Row {
    int y;
    const char* name;
    const char* unit;
  };
  const Row rows[] = {{kAnalysisRow, "ANALYSIS", "Hz"},
                      {kSynthesisRow, "SYNTHESIS", "Hz"},
                      {kLevelRow, "LEVEL", "dB"},
                      {kFixedRow - 2, "FIXED", ""}};
  for (const Row& r : rows) {
    p.engravedText(r.name, nameX, r.y + 16, Align::Right, label);
    p.text(r.unit, nameX, r.y + 25, Align::Right, unit);
  }
  for (int b = 0; b < kBands; ++b) {
    const double x = kBandKnobX0 + kBandPitch * b;
    for (int y : {kAnalysisRow, kSynthesisRow, kLevelRow}) drawTrimpotScale(p, x, y);
  }
}

void drawSmallKnobPlate(const Painter& p) {
  drawPlate(p, kSmallPlate, 19);
  struct Group {
    int first, last;  // indexes into kSmallKnobX
    const char* title;
  };
  const Group groups[] = {
      {0, 2, "FOLLOWER"}, {3, 4, "ENVELOPE"}, {5, 6, "ENSEMBLE L"}, {7, 8, "ENSEMBLE R"}};
  const TextStyle title{Face::Bold, 6.5, style::kAccent, 0.3};
  for (const Group& g : groups) {
    const double left = kSmallKnobX[g.first] + 1, right = kSmallKnobX[g.last] + kTrimpot.w - 1;
    const double mid = (left + right) / 2, width = p.textWidth(g.title, title);
    p.text(g.title, mid, 275, Align::Centre, title);
    const Colour line = style::kAccent.withAlpha(0.55);
    if (mid - width / 2 - 4 > left + 2) {
      p.fillRect({left, 271.5, mid - width / 2 - 4 - left, 1}, line);
      p.fillRect({mid + width / 2 + 4, 271.5, right - mid - width / 2 - 4, 1}, line);
    }
    p.fillRect({left, 271.5, 1, 4}, line);
    p.fillRect({right - 1, 271.5, 1, 4}, line);
  }
  const char* names[] = {"BIAS",   "LIMIT",  "SPEED",  "ATTACK", "RELEASE",
                         "RATE 1", "RATE 2", "RATE 1", "RATE 2"};
  const TextStyle label{Face::Bold, 6.3, style::kLabel, 0};
  for (int i = 0; i < 9; ++i) {
    p.engravedText(names[i], kSmallKnobX[i] + kTrimpot.w / 2.0, 288, Align::Centre, label);
    drawTrimpotScale(p, kSmallKnobX[i], kSmallKnobRow);
  }
}

}  // namespace

void drawTweakOverlay(const Painter& p, int, int) {
  cairo_t* cr = p.cr();
  cairo_save(cr);
  outline(cr);
  cairo_clip(cr);
  drawBase(p, {0, 0, kWidth, kHeight});
  // A shadow line where the editor meets the header and the bottom row.
  p.fillRect({0, kTop, kWidth, 1}, Colour(0, 0, 0, 0.5));
  drawBandPlate(p);
  drawSmallKnobPlate(p);
  drawLegendButton(
      p,
      {double(kToolsMenu.l), double(kToolsMenu.t), double(kToolsMenu.w()), double(kToolsMenu.h())},
      "TOOLS");
  cairo_restore(cr);
  // The lamp beside "TWEAK" lights while this view is up.
  drawTweakCaption(p, true);
}
