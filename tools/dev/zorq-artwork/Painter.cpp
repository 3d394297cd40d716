#include "Painter.h"

#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Splits UTF-8 text into its characters, so tracking can space them.
std::vector<std::string> characters(const std::string& s) {
  std::vector<std::string> out;
  for (size_t i = 0; i < s.size();) {
    size_t n = 1;
    const auto lead = static_cast<unsigned char>(s[i]);
    if (lead >= 0xf0)
      n = 4;
    else if (lead >= 0xe0)
      n = 3;
    else if (lead >= 0xc0)
      n = 2;
    out.push_back(s.substr(i, n));
    i += n;
  }
  return out;
}

}  // namespace

double knobAngle(double value) { return (value - 0.5) * 1.5 * kPi; }

Painter::Painter(cairo_t* cr, const Fonts& fonts) : cr_(cr), fonts_(fonts) {
  Fonts::applyOptions(cr_);
}

void Painter::setColour(const Colour& c) const { cairo_set_source_rgba(cr_, c.r, c.g, c.b, c.a); }

void Painter::roundedRect(const Rect& r, double radius) const {
  const double rad = std::fmin(radius, std::fmin(r.w, r.h) / 2);
  cairo_new_sub_path(cr_);
  if (rad <= 0) {
    cairo_rectangle(cr_, r.x, r.y, r.w, r.h);
    return;
  }
  cairo_arc(cr_, r.right() - rad, r.y + rad, rad, -kPi / 2, 0);
  cairo_arc(cr_, r.right() - rad, r.bottom() - rad, rad, 0, kPi / 2);
  cairo_arc(cr_, r.x + rad, r.bottom() - rad, rad, kPi / 2, kPi);
  cairo_arc(cr_, r.x + rad, r.y + rad, rad, kPi, 1.5 * kPi);
  cairo_close_path(cr_);
}

void Painter::fillRect(const Rect& r, const Colour& c) const {
  cairo_rectangle(cr_, r.x, r.y, r.w, r.h);
  setColour(c);
  cairo_fill(cr_);
}

void Painter::fillRounded(const Rect& r, double radius, const Colour& c) const {
  roundedRect(r, radius);
  setColour(c);
  cairo_fill(cr_);
}

void Painter::fillVertical(const Rect& r, double radius, const Colour& top,
                           const Colour& bottom) const {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, r.y, 0, r.bottom());
  cairo_pattern_add_color_stop_rgba(p, 0, top.r, top.g, top.b, top.a);
  cairo_pattern_add_color_stop_rgba(p, 1, bottom.r, bottom.g, bottom.b, bottom.a);
  roundedRect(r, radius);
  cairo_set_source(cr_, p);
  cairo_fill(cr_);
  cairo_pattern_destroy(p);
}

namespace {

void addStops(cairo_pattern_t* p, std::initializer_list<ColourStop> stops) {
  for (const ColourStop& s : stops)
    cairo_pattern_add_color_stop_rgba(p, s.offset, s.colour.r, s.colour.g, s.colour.b, s.colour.a);
}

}  // namespace

void Painter::radialDisc(double cx, double cy, double radius, double fx, double fy,
                         double focusRadius, std::initializer_list<ColourStop> stops) const {
  cairo_pattern_t* p = cairo_pattern_create_radial(fx, fy, focusRadius, cx, cy, radius);
  addStops(p, stops);
  cairo_arc(cr_, cx, cy, radius, 0, 2 * kPi);
  cairo_set_source(cr_, p);
  cairo_fill(cr_);
  cairo_pattern_destroy(p);
}

void Painter::shadedRing(double cx, double cy, double radius, double width,
                         std::initializer_list<ColourStop> stops) const {
  cairo_pattern_t* p = cairo_pattern_create_linear(cx, cy - radius, cx, cy + radius);
  addStops(p, stops);
  cairo_set_line_width(cr_, width);
  cairo_new_sub_path(cr_);
  cairo_arc(cr_, cx, cy, radius, 0, 2 * kPi);
  cairo_set_source(cr_, p);
  cairo_stroke(cr_);
  cairo_pattern_destroy(p);
}

void Painter::shadedEdge(const Rect& r, double radius,
                         std::initializer_list<ColourStop> stops) const {
  cairo_pattern_t* p = cairo_pattern_create_linear(0, r.y, 0, r.bottom());
  addStops(p, stops);
  cairo_set_line_width(cr_, 1);
  roundedRect({r.x + 0.5, r.y + 0.5, r.w - 1, r.h - 1}, radius);
  cairo_set_source(cr_, p);
  cairo_stroke(cr_);
  cairo_pattern_destroy(p);
}

void Painter::selectFont(const TextStyle& style) const {
  cairo_set_font_face(cr_, fonts_.face(style.face));
  cairo_set_font_size(cr_, style.size);
}

double Painter::textWidth(const std::string& s, const TextStyle& style) const {
  selectFont(style);
  cairo_text_extents_t e;
  cairo_text_extents(cr_, s.c_str(), &e);
  double extra = 0;
  const std::vector<std::string> chars = characters(s);
  for (size_t i = 0; i + 1 < chars.size(); ++i)
    extra += style.tracking * (chars[i] == " " ? 2.5 : 1.0);
  return e.x_advance + extra;
}

double Painter::text(const std::string& s, double x, double y, Align align,
                     const TextStyle& style) const {
  const double width = textWidth(s, style);
  double left = x;
  if (align == Align::Centre) left = x - width / 2;
  if (align == Align::Right) left = x - width;
  selectFont(style);
  setColour(style.colour);
  if (style.tracking == 0) {
    cairo_move_to(cr_, left, y);
    cairo_show_text(cr_, s.c_str());
    return width;
  }
  double pen = left;
  for (const std::string& ch : characters(s)) {
    cairo_text_extents_t e;
    cairo_text_extents(cr_, ch.c_str(), &e);
    cairo_move_to(cr_, pen, y);
    cairo_show_text(cr_, ch.c_str());
    pen += e.x_advance + style.tracking + (ch == " " ? style.tracking * 1.5 : 0);
  }
  return width;
}

void Painter::engravedText(const std::string& s, double x, double y, Align align,
                           const TextStyle& style) const {
  TextStyle shade = style;
  shade.colour = Colour(0, 0, 0, 0.55 * style.colour.a);
  text(s, x, y - 0.6, align, shade);
  TextStyle light = style;
  light.colour = Colour(1, 1, 1, 0.10 * style.colour.a);
  text(s, x, y + 0.8, align, light);
  text(s, x, y, align, style);
}

void Painter::engravedHLine(double x0, double x1, double y) const {
  cairo_set_line_width(cr_, 1);
  setColour(Colour(0, 0, 0, 0.45));
  cairo_move_to(cr_, x0, y + 0.5);
  cairo_line_to(cr_, x1, y + 0.5);
  cairo_stroke(cr_);
  setColour(Colour(1, 1, 1, 0.09));
  cairo_move_to(cr_, x0, y + 1.5);
  cairo_line_to(cr_, x1, y + 1.5);
  cairo_stroke(cr_);
}

void Painter::engravedVLine(double x, double y0, double y1) const {
  cairo_set_line_width(cr_, 1);
  setColour(Colour(0, 0, 0, 0.45));
  cairo_move_to(cr_, x + 0.5, y0);
  cairo_line_to(cr_, x + 0.5, y1);
  cairo_stroke(cr_);
  setColour(Colour(1, 1, 1, 0.09));
  cairo_move_to(cr_, x + 1.5, y0);
  cairo_line_to(cr_, x + 1.5, y1);
  cairo_stroke(cr_);
}

void Painter::engravedFrame(const Rect& r, double radius) const {
  cairo_set_line_width(cr_, 1);
  roundedRect({r.x + 1.5, r.y + 1.5, r.w - 1, r.h - 1}, radius);
  setColour(Colour(1, 1, 1, 0.08));
  cairo_stroke(cr_);
  roundedRect({r.x + 0.5, r.y + 0.5, r.w - 1, r.h - 1}, radius);
  setColour(Colour(0, 0, 0, 0.5));
  cairo_stroke(cr_);
}

void Painter::displayWindow(const Rect& r, double radius) const {
  // Rim: shadow above and to the left, highlight below, as if cut into the panel.
  fillVertical({r.x - 1, r.y - 1, r.w + 2, r.h + 2}, radius + 1, Colour(0, 0, 0, 0.55),
               Colour(1, 1, 1, 0.16));
  fillVertical(r, radius, Colour::hex(0x05080c), Colour::hex(0x0b131c));
  // Inner shadow along the top edge.
  cairo_save(cr_);
  roundedRect(r, radius);
  cairo_clip(cr_);
  cairo_pattern_t* p = cairo_pattern_create_linear(0, r.y, 0, r.y + 4);
  cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0.7);
  cairo_pattern_add_color_stop_rgba(p, 1, 0, 0, 0, 0);
  cairo_rectangle(cr_, r.x, r.y, r.w, 4);
  cairo_set_source(cr_, p);
  cairo_fill(cr_);
  cairo_pattern_destroy(p);
  // A faint reflection on the upper half of the glass.
  p = cairo_pattern_create_linear(0, r.y, 0, r.centreY());
  cairo_pattern_add_color_stop_rgba(p, 0, 0.6, 0.8, 1.0, 0.05);
  cairo_pattern_add_color_stop_rgba(p, 1, 0.6, 0.8, 1.0, 0.015);
  cairo_rectangle(cr_, r.x, r.y + 1, r.w, r.h / 2 - 1);
  cairo_set_source(cr_, p);
  cairo_fill(cr_);
  cairo_pattern_destroy(p);
  cairo_restore(cr_);
}

void Painter::raisedPlate(const Rect& r, double radius, const Colour& top,
                          const Colour& bottom) const {
  // Soft shadow under the plate, then the plate, then its lit top edge.
  for (int i = 3; i >= 1; --i)
    fillRounded({r.x - i * 0.5, r.y + i * 0.7, r.w + i, r.h + i * 0.6}, radius + i,
                Colour(0, 0, 0, 0.10));
  fillVertical(r, radius, top, bottom);
  shadedEdge(
      r, radius,
      {{0, Colour(1, 1, 1, 0.22)}, {0.5, Colour(1, 1, 1, 0.05)}, {1, Colour(0, 0, 0, 0.35)}});
}

void Painter::screw(double cx, double cy, double radius, double slotAngle) const {
  // Countersink shadow, the head with its light from the upper left, the cross slot.
  cairo_arc(cr_, cx + 0.3, cy + 0.6, radius + 1.0, 0, 2 * kPi);
  setColour(Colour(0, 0, 0, 0.45));
  cairo_fill(cr_);
  radialDisc(cx, cy, radius, cx - radius * 0.4, cy - radius * 0.5, 0.5,
             {{0, Colour(0.86, 0.88, 0.92)},
              {0.6, Colour(0.55, 0.58, 0.63)},
              {1, Colour(0.30, 0.32, 0.36)}});
  cairo_set_line_width(cr_, radius * 0.32);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
  setColour(Colour(0.08, 0.09, 0.11, 0.85));
  for (int i = 0; i < 2; ++i) {
    const double a = slotAngle + i * kPi / 2;
    const double dx = std::cos(a) * radius * 0.68, dy = std::sin(a) * radius * 0.68;
    cairo_move_to(cr_, cx - dx, cy - dy);
    cairo_line_to(cr_, cx + dx, cy + dy);
    cairo_stroke(cr_);
  }
}

void Painter::knobScale(double cx, double cy, double inner, double outer, int count, int majorEvery,
                        const Colour& colour) const {
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
  for (int i = 0; i < count; ++i) {
    const double a = knobAngle(static_cast<double>(i) / (count - 1));
    const bool major = i % majorEvery == 0 || i == count - 1;
    const double r0 = major ? inner : inner + (outer - inner) * 0.35;
    const double sx = std::sin(a), sy = -std::cos(a);
    cairo_set_line_width(cr_, major ? 1.3 : 1.0);
    setColour(major ? colour : colour.withAlpha(colour.a * 0.7));
    cairo_move_to(cr_, cx + sx * r0, cy + sy * r0);
    cairo_line_to(cr_, cx + sx * outer, cy + sy * outer);
    cairo_stroke(cr_);
  }
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_BUTT);
}

void Painter::buttonFace(const Rect& r, double radius, bool pressed) const {
  // Bezel hole, then the cap: raised with a lit top edge, or pushed in and darker.
  fillRounded({r.x, r.y, r.w, r.h}, radius, Colour(0, 0, 0, 0.6));
  const Rect cap = r.inset(1);
  if (pressed) {
    fillVertical(cap, radius - 0.5, Colour::hex(0x1b222c), Colour::hex(0x2a3440));
    cairo_set_line_width(cr_, 1);
    roundedRect({cap.x + 0.5, cap.y + 0.5, cap.w - 1, cap.h - 1}, radius - 1);
    setColour(Colour(0, 0, 0, 0.45));
    cairo_stroke(cr_);
  } else {
    fillVertical(cap, radius - 0.5, Colour::hex(0x56626f), Colour::hex(0x2c3540));
    shadedEdge(
        cap, radius - 1,
        {{0, Colour(1, 1, 1, 0.35)}, {0.45, Colour(1, 1, 1, 0.06)}, {1, Colour(0, 0, 0, 0.3)}});
  }
}

void Painter::lamp(double cx, double cy, double radius, const Colour& lit, bool on) const {
  if (on)
    radialDisc(cx, cy, radius * 2.6, cx, cy, 0, {{0, lit.withAlpha(0.55)}, {1, lit.withAlpha(0)}});
  cairo_arc(cr_, cx, cy, radius + 0.8, 0, 2 * kPi);
  setColour(Colour(0, 0, 0, 0.7));
  cairo_fill(cr_);
  const Colour core = on ? lit.mix(Colour(1, 1, 1), 0.55) : lit.mix(Colour(0, 0, 0), 0.75);
  const Colour edge = on ? lit : lit.mix(Colour(0, 0, 0), 0.85);
  radialDisc(cx, cy, radius, cx - radius * 0.3, cy - radius * 0.3, 0, {{0, core}, {1, edge}});
}
