// responce: the picture the editor shows now and then after a program change, a speech
// bubble saying that the instrument talks.

#include "Artwork.h"
#include "Layout.h"

void drawBadge(const Painter& p, int, int) {
  cairo_t* cr = p.cr();
  const Colour orange = Colour::hex(0xff9535);
  const Colour deep = Colour::hex(0xe0621c);
  // The bubble with its tail up to the left, towards the name plate.
  auto bubble = [&](double dx, double dy) {
    p.roundedRect({10 + dx, 14 + dy, 116, 50}, 16);
    cairo_move_to(cr, 30 + dx, 18 + dy);
    cairo_line_to(cr, 14 + dx, 2 + dy);
    cairo_line_to(cr, 50 + dx, 16 + dy);
    cairo_close_path(cr);
  };
  bubble(1.5, 3);
  p.setColour(Colour(0, 0, 0, 0.35));
  cairo_fill(cr);
  bubble(0, 0);
  cairo_pattern_t* fill = cairo_pattern_create_linear(0, 2, 0, 64);
  cairo_pattern_add_color_stop_rgb(fill, 0, orange.r, orange.g, orange.b);
  cairo_pattern_add_color_stop_rgb(fill, 1, deep.r, deep.g, deep.b);
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);
  cairo_set_line_width(cr, 1.5);
  p.setColour(Colour(1, 0.95, 0.85, 0.85));
  cairo_stroke(cr);
  // Sound waves beside the words.
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_width(cr, 2);
  p.setColour(Colour::hex(0x1a2433, 0.8));
  for (int i = 0; i < 3; ++i) {
    const double r = 5 + i * 4.5;
    cairo_arc(cr, 104, 39, r, -0.75, 0.75);
    cairo_stroke(cr);
  }
  TextStyle words{Face::BoldItalic, 19, Colour::hex(0x16202e), 0};
  p.text("it talks!", 60, 45, Align::Centre, words);
}
