#include "Style.h"

#include <cmath>

namespace style {

void brushed(const Painter& p, const Rect& r, uint32_t seed, double strength) {
  Noise noise(seed);
  cairo_t* cr = p.cr();
  for (int y = static_cast<int>(r.y); y < static_cast<int>(r.bottom()); ++y) {
    double x = r.x - noise.next() * 80;
    while (x < r.right()) {
      const double length = 30 + noise.next() * 170;
      const double v = noise.next() * 2 - 1;
      const double a = strength * v * v;
      if (v > 0)
        cairo_set_source_rgba(cr, 1, 1, 1, a);
      else
        cairo_set_source_rgba(cr, 0, 0, 0, a * 1.5);
      cairo_rectangle(cr, std::fmax(x, r.x), y,
                      std::fmin(x + length, r.right()) - std::fmax(x, r.x), 1);
      cairo_fill(cr);
      x += length;
    }
  }
}

}  // namespace style
