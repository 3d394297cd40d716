#pragma once

// The panel's palette and lettering, shared by the background and the tweak overlay.

#include "Painter.h"

#include <cstdint>

namespace style {

constexpr Colour kBaseTop = Colour::hex(0x1b2636);
constexpr Colour kBaseBottom = Colour::hex(0x0f1620);
constexpr Colour kHeaderTop = Colour::hex(0x080c12);
constexpr Colour kHeaderBottom = Colour::hex(0x111923);
constexpr Colour kPlateTop = Colour::hex(0x34455c);
constexpr Colour kPlateBottom = Colour::hex(0x253347);
constexpr Colour kLabel = Colour::hex(0xdfe6ef);
constexpr Colour kLegend = Colour::hex(0x9fb0c4);
constexpr Colour kTick = Colour::hex(0xc5d0dd, 0.85);
constexpr Colour kAccent = Colour::hex(0xff9a3c);
constexpr Colour kCyan = Colour::hex(0x5ed6f2);

inline TextStyle label() { return {Face::Bold, 8.0, kLabel, 0.45}; }
inline TextStyle legend() { return {Face::Bold, 6.5, kLegend, 0.3}; }
inline TextStyle caption() { return {Face::Bold, 7.0, kAccent, 1.2}; }

// Deterministic pseudo-random numbers for the metal texture.
class Noise {
 public:
  explicit Noise(uint32_t seed) : state_(seed * 2654435761u + 1) {}
  double next() {  // 0 <= x < 1
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return (state_ >> 8) / 16777216.0;
  }

 private:
  uint32_t state_;
};

// Fine horizontal brushing: faint light and dark streaks of random length.
void brushed(const Painter& p, const Rect& r, uint32_t seed, double strength);

}  // namespace style
