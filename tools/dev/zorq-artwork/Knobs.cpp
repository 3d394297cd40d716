// knob, knob_big and trimpot: a dark fluted skirt with a bright rim, a raised cap and a
// pointer line. Only the pointer turns; the light stays put, so the frames differ in
// the pointer alone (which also keeps the strips small).

#include "Artwork.h"
#include "Layout.h"

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct KnobStyle {
  double radius;    // skirt
  double capRatio;  // cap radius / skirt radius
  int flutes;       // grip notches around the skirt
  double pointerWidth;
  Colour pointer;
  Colour capLight;
  Colour capDark;
};

void drawKnobFrame(const Painter& p, double cx, double cy, const KnobStyle& s, double value) {
  cairo_t* cr = p.cr();
  const double R = s.radius;
  const double Rc = R * s.capRatio;

  // Drop shadow, light from the upper left.
  p.radialDisc(cx + 1, cy + 2.2, R + 3.5, cx + 1, cy + 2.2, R * 0.7,
               {{0, Colour(0, 0, 0, 0.6)}, {1, Colour(0, 0, 0, 0)}});

  // Skirt.
  cairo_pattern_t* skirt = cairo_pattern_create_linear(cx - R, cy - R, cx + R, cy + R);
  cairo_pattern_add_color_stop_rgb(skirt, 0, 0.36, 0.39, 0.44);
  cairo_pattern_add_color_stop_rgb(skirt, 0.5, 0.16, 0.18, 0.21);
  cairo_pattern_add_color_stop_rgb(skirt, 1, 0.06, 0.07, 0.08);
  cairo_arc(cr, cx, cy, R, 0, 2 * kPi);
  cairo_set_source(cr, skirt);
  cairo_fill(cr);

  // Grip flutes: alternating dark grooves and lit ridges around the skirt.
  cairo_set_line_width(cr, std::fmax(0.9, R * 0.07));
  for (int i = 0; i < s.flutes; ++i) {
    const double a = 2 * kPi * i / s.flutes;
    const double lit = 0.5 + 0.5 * std::cos(a + kPi * 0.75);  // brightest to the upper left
    const double sx = std::sin(a), sy = -std::cos(a);
    cairo_move_to(cr, cx + sx * (Rc + 1.2), cy + sy * (Rc + 1.2));
    cairo_line_to(cr, cx + sx * (R - 0.6), cy + sy * (R - 0.6));
    cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
    cairo_stroke(cr);
    const double b = a + kPi / s.flutes;
    const double bx = std::sin(b), by = -std::cos(b);
    cairo_move_to(cr, cx + bx * (Rc + 1.2), cy + by * (Rc + 1.2));
    cairo_line_to(cr, cx + bx * (R - 0.6), cy + by * (R - 0.6));
    cairo_set_source_rgba(cr, 1, 1, 1, 0.05 + 0.12 * lit);
    cairo_stroke(cr);
  }

  // Rim: a thin bright edge, lit at the top.
  p.shadedRing(
      cx, cy, R - 0.5, 1.0,
      {{0, Colour(1, 1, 1, 0.55)}, {0.5, Colour(1, 1, 1, 0.12)}, {1, Colour(0, 0, 0, 0.6)}});
  cairo_pattern_destroy(skirt);

  // Cap: a step down to the skirt (dark ring), then the cap lit from the upper left.
  cairo_arc(cr, cx, cy + 0.6, Rc + 0.9, 0, 2 * kPi);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
  cairo_fill(cr);
  p.radialDisc(cx, cy, Rc, cx - Rc * 0.35, cy - Rc * 0.45, Rc * 0.1,
               {{0, s.capLight}, {1, s.capDark}});
  p.shadedRing(
      cx, cy, Rc - 0.45, 0.9,
      {{0, Colour(1, 1, 1, 0.45)}, {0.55, Colour(1, 1, 1, 0.04)}, {1, Colour(0, 0, 0, 0.35)}});

  // Pointer: from near the centre across the cap onto the skirt, with a dark edge so it
  // reads on light and dark parts alike.
  const double a = knobAngle(value);
  const double sx = std::sin(a), sy = -std::cos(a);
  const double r0 = Rc * 0.28, r1 = R - 1.6;
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, s.pointerWidth + 1.4);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
  cairo_move_to(cr, cx + sx * r0, cy + sy * r0);
  cairo_line_to(cr, cx + sx * r1, cy + sy * r1);
  cairo_stroke(cr);
  cairo_set_line_width(cr, s.pointerWidth);
  p.setColour(s.pointer);
  cairo_move_to(cr, cx + sx * r0, cy + sy * r0);
  cairo_line_to(cr, cx + sx * r1, cy + sy * r1);
  cairo_stroke(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

double frameValue(int index, int frames) {
  return frames > 1 ? static_cast<double>(index) / (frames - 1) : 0.0;
}

}  // namespace

void drawKnob(const Painter& p, int index, int frames) {
  const KnobStyle style{
      18.5, 0.66, 28, 2.2, Colour::hex(0xf3efe6), Colour::hex(0x59616b), Colour::hex(0x1c2026)};
  drawKnobFrame(p, layout::kKnobCentre, layout::kKnobCentre, style, frameValue(index, frames));
}

void drawKnobBig(const Painter& p, int index, int frames) {
  const KnobStyle style{
      25.5, 0.68, 36, 2.8, Colour::hex(0xff9a3c), Colour::hex(0x5d6570), Colour::hex(0x1a1e24)};
  drawKnobFrame(p, layout::kKnobBigCentreX, layout::kKnobBigCentreY, style,
                frameValue(index, frames));
}

void drawTrimpot(const Painter& p, int index, int frames) {
  const KnobStyle style{
      11.5, 0.64, 18, 1.8, Colour::hex(0xffc25a), Colour::hex(0x56606c), Colour::hex(0x1b2027)};
  drawKnobFrame(p, layout::kTrimpotCentre, layout::kTrimpotCentre, style,
                frameValue(index, frames));
}
