#include "engine/ParamDisplay.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
constexpr size_t kTextSize = 32;

// "a:b" as percentages of the two sides of a balance, or a word at its ends.
void writeBalance(double value, char* text, const char* atZero, const char* atOne) {
  if (value == 0.0)
    std::snprintf(text, kTextSize, "%s", atZero);
  else if (value == 1.0)
    std::snprintf(text, kTextSize, "%s", atOne);
  else
    std::snprintf(text, kTextSize, "%.0f:%.0f", (1.0 - value) * 100.0, value * 100.0);
}
}  // namespace

void setDisplayTextForDB(double value, char* text) {
  if (!(value > 0.0))
    std::snprintf(text, kTextSize, "-oo");
  else
    std::snprintf(text, kTextSize, "%.1f", 20.0 * std::log10(value));
}

void setDisplayTextForOutBalance(double value, char* text) {
  writeBalance(value, text, "Simulator", "Mic");
}

void setDisplayTextForInBalance(double value, char* text) {
  writeBalance(value, text, "KBD", "Noise");
}

void setDisplayTextForPercent(double value, char* text) {
  std::snprintf(text, kTextSize, "%.0f%s", value * 100.0, "%");
}
