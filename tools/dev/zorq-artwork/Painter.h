#pragma once

// Drawing helpers shared by every picture: colours, text, bevels, windows, screws and
// the tick scales around knobs. A Painter draws into one Cairo context it does not own.

#include "Fonts.h"

#include <cairo.h>

#include <initializer_list>
#include <string>

struct Colour {
  double r, g, b, a;
  constexpr Colour(double red, double green, double blue, double alpha = 1.0)
      : r(red), g(green), b(blue), a(alpha) {}
  // From 0xRRGGBB.
  static constexpr Colour hex(unsigned rgb, double alpha = 1.0) {
    return {((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0, (rgb & 0xff) / 255.0, alpha};
  }
  Colour withAlpha(double alpha) const { return {r, g, b, alpha}; }
  Colour mix(const Colour& other, double t) const {
    return {r + (other.r - r) * t, g + (other.g - g) * t, b + (other.b - b) * t,
            a + (other.a - a) * t};
  }
};

enum class Align { Left, Centre, Right };

struct ColourStop {
  double offset;  // 0..1 along the gradient
  Colour colour;
};

struct TextStyle {
  Face face = Face::Bold;
  double size = 9.0;
  Colour colour = Colour(1, 1, 1);
  double tracking = 0.0;  // extra space after every character (2.5 times after a space), pixels
};

struct Rect {
  double x, y, w, h;
  double right() const { return x + w; }
  double bottom() const { return y + h; }
  double centreX() const { return x + w / 2; }
  double centreY() const { return y + h / 2; }
  Rect inset(double d) const { return {x + d, y + d, w - 2 * d, h - 2 * d}; }
};

class Painter {
 public:
  Painter(cairo_t* cr, const Fonts& fonts);

  cairo_t* cr() const { return cr_; }
  const Fonts& fonts() const { return fonts_; }

  void setColour(const Colour& c) const;
  void roundedRect(const Rect& r, double radius) const;
  void fillRect(const Rect& r, const Colour& c) const;
  void fillRounded(const Rect& r, double radius, const Colour& c) const;
  void fillVertical(const Rect& r, double radius, const Colour& top, const Colour& bottom) const;
  // A disc of `radius` around (cx, cy), shaded by a radial gradient that starts as a
  // circle of `focusRadius` at (fx, fy) and ends at the disc's rim.
  void radialDisc(double cx, double cy, double radius, double fx, double fy, double focusRadius,
                  std::initializer_list<ColourStop> stops) const;
  // A circle stroked `width` wide, shaded from its top to its bottom.
  void shadedRing(double cx, double cy, double radius, double width,
                  std::initializer_list<ColourStop> stops) const;

  // Text with its baseline at y; x is the left end, the centre or the right end.
  // Returns the drawn width.
  double text(const std::string& s, double x, double y, Align align, const TextStyle& style) const;
  double textWidth(const std::string& s, const TextStyle& style) const;
  // Text cut into the surface: a dark copy above, a light copy below, the ink between.
  void engravedText(const std::string& s, double x, double y, Align align,
                    const TextStyle& style) const;

  // A groove: a dark line with a highlight one pixel below or to the right.
  void engravedHLine(double x0, double x1, double y) const;
  void engravedVLine(double x, double y0, double y1) const;
  void engravedFrame(const Rect& r, double radius) const;

  // A recessed dark display window with a bevelled rim and a faint glass sheen.
  void displayWindow(const Rect& r, double radius) const;
  // A raised plate of the panel's lighter metal.
  void raisedPlate(const Rect& r, double radius, const Colour& top, const Colour& bottom) const;
  // A cross-head screw seen from the front.
  void screw(double cx, double cy, double radius, double slotAngle) const;
  // Tick marks over the 270 degree sweep of a knob, `count` ticks, every `majorEvery`-th long.
  void knobScale(double cx, double cy, double inner, double outer, int count, int majorEvery,
                 const Colour& colour) const;
  // A push button face: raised when up, sunk and darker when pressed.
  void buttonFace(const Rect& r, double radius, bool pressed) const;
  // The one-pixel edge of a rounded rectangle, shaded from its top to its bottom.
  void shadedEdge(const Rect& r, double radius, std::initializer_list<ColourStop> stops) const;
  // A round indicator lamp, dark or lit in `lit`.
  void lamp(double cx, double cy, double radius, const Colour& lit, bool on) const;

 private:
  void selectFont(const TextStyle& style) const;

  cairo_t* cr_;
  const Fonts& fonts_;
};

// The knob sweep: value 0 points to the lower left, 1 to the lower right, 0.5 straight up.
// Returns the angle in radians clockwise from straight up.
double knobAngle(double value);
