// switch_v, switch_h, learn, unlearn, prev and next: frame 1 is off (or up), frame 2 on
// (or pressed).

#include "Artwork.h"
#include "Layout.h"

#include <cmath>

namespace {

constexpr Colour kAmber = Colour::hex(0xffa133);
constexpr Colour kRed = Colour::hex(0xff3b2f);

// The metal slider cap of a slide switch, with a grip line across it.
void sliderCap(const Painter& p, const Rect& r, bool vertical) {
  cairo_t* cr = p.cr();
  p.fillRounded({r.x, r.y + 1, r.w, r.h}, 2, Colour(0, 0, 0, 0.55));
  p.fillVertical(r, 2, Colour::hex(0xd2d7de), Colour::hex(0x7b838e));
  cairo_set_line_width(cr, 1);
  p.roundedRect({r.x + 0.5, r.y + 0.5, r.w - 1, r.h - 1}, 1.5);
  p.setColour(Colour(0, 0, 0, 0.35));
  cairo_stroke(cr);
  // Grip ridges.
  for (int i = -1; i <= 1; ++i) {
    if (vertical) {
      const double y = r.centreY() + i * 2.5;
      p.fillRect({r.x + 2, y - 0.5, r.w - 4, 1}, Colour(0, 0, 0, 0.35));
      p.fillRect({r.x + 2, y + 0.5, r.w - 4, 0.8}, Colour(1, 1, 1, 0.35));
    } else {
      const double x = r.centreX() + i * 2.5;
      p.fillRect({x - 0.5, r.y + 2, 1, r.h - 4}, Colour(0, 0, 0, 0.35));
      p.fillRect({x + 0.5, r.y + 2, 0.8, r.h - 4}, Colour(1, 1, 1, 0.35));
    }
  }
}

void slot(const Painter& p, const Rect& r, double radius) {
  p.fillVertical({r.x - 1, r.y - 1, r.w + 2, r.h + 2}, radius + 1, Colour(0, 0, 0, 0.6),
                 Colour(1, 1, 1, 0.18));
  p.fillVertical(r, radius, Colour::hex(0x030405), Colour::hex(0x14181d));
}

void legendButton(const Painter& p, const char* legend, const Colour& lit, bool on) {
  const Rect face{0.5, 0.5, layout::kLearnButton.w - 1.0, layout::kLearnButton.h - 1.0};
  p.buttonFace(face, 3.5, on);
  const double shift = on ? 0.6 : 0;
  p.lamp(8.5, 11 + shift, 2.6, lit, on);
  TextStyle style{Face::Bold, 7.2, on ? lit.mix(Colour(1, 1, 1), 0.35) : Colour::hex(0xd7dee8), 0};
  p.text(legend, 31.5, 13.8 + shift, Align::Centre, style);
}

void arrowButton(const Painter& p, bool pointsLeft, bool pressed) {
  const Rect face{0.5, 0.5, layout::kArrow.w - 1.0, layout::kArrow.h - 1.0};
  p.buttonFace(face, 3.5, pressed);
  cairo_t* cr = p.cr();
  const double cx = 11 + (pointsLeft ? -0.5 : 0.5), cy = 11 + (pressed ? 0.6 : 0);
  const double d = pointsLeft ? -1 : 1;
  for (int pass = 0; pass < 2; ++pass) {
    const double oy = pass == 0 ? 0.8 : 0;
    cairo_move_to(cr, cx + d * 3.8, cy + oy);
    cairo_line_to(cr, cx - d * 2.8, cy - 4.6 + oy);
    cairo_line_to(cr, cx - d * 2.8, cy + 4.6 + oy);
    cairo_close_path(cr);
    p.setColour(pass == 0 ? Colour(0, 0, 0, 0.5) : (pressed ? kAmber : Colour::hex(0xe4e9ef)));
    cairo_fill(cr);
  }
}

}  // namespace

void drawSwitchV(const Painter& p, int index, int) {
  const bool on = index == 1;
  const Rect channel{3, 2, 10, 24};
  slot(p, channel, 3);
  if (on) {
    // The uncovered part of the slot glows.
    cairo_t* cr = p.cr();
    cairo_pattern_t* glow = cairo_pattern_create_linear(0, 13, 0, 25);
    cairo_pattern_add_color_stop_rgba(glow, 0, kAmber.r, kAmber.g, kAmber.b, 1);
    cairo_pattern_add_color_stop_rgba(glow, 1, kAmber.r, kAmber.g, kAmber.b, 0.55);
    p.roundedRect({4.5, 13, 7, 11.5}, 2.5);
    cairo_set_source(cr, glow);
    cairo_fill(cr);
    cairo_pattern_destroy(glow);
    p.fillRounded({6, 14.5, 4, 8}, 1.5, Colour(1, 0.93, 0.75, 0.85));
  }
  sliderCap(p, {1.5, on ? 1.5 : 14.5, 13, 12}, true);
}

void drawSwitchH(const Painter& p, int index, int) {
  const bool right = index == 1;
  slot(p, {4, 5, 40, 8}, 3);
  // Position marks in the slot's ends.
  p.fillRounded({7, 8, 2, 2}, 1, Colour(1, 1, 1, right ? 0.15 : 0.0));
  p.fillRounded({39, 8, 2, 2}, 1, Colour(1, 1, 1, right ? 0.0 : 0.15));
  sliderCap(p, {right ? 26.5 : 2.5, 1.5, 19, 15}, false);
}

void drawLearn(const Painter& p, int index, int) { legendButton(p, "LEARN", kAmber, index == 1); }

void drawUnlearn(const Painter& p, int index, int) { legendButton(p, "UNLEARN", kRed, index == 1); }

void drawPrev(const Painter& p, int index, int) { arrowButton(p, true, index == 1); }

void drawNext(const Painter& p, int index, int) { arrowButton(p, false, index == 1); }
