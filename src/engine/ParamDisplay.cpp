#include "engine/ParamDisplay.h"

#include <cmath>
#include <cstdio>

#include "framework/NumberText.h"

namespace {
constexpr size_t kTextSize = 32;

// "a:b" as percentages of the two sides of a balance, or a word at its ends.
void writeBalance(double value, char* text, const char* atZero, const char* atOne) {
  if (value == 0.0 || value == 1.0) {
    std::snprintf(text, kTextSize, "%s", value == 0.0 ? atZero : atOne);
    return;
  }
  char first[kTextSize / 2 - 1], second[kTextSize / 2 - 1];
  numbertext::WriteFixed((1.0 - value) * 100.0, 0, first, sizeof first);
  numbertext::WriteFixed(value * 100.0, 0, second, sizeof second);
  std::snprintf(text, kTextSize, "%s:%s", first, second);
}
}  // namespace

void setDisplayTextForDB(double value, char* text) {
  if (!(value > 0.0))
    std::snprintf(text, kTextSize, "-oo");
  else
    numbertext::WriteFixed(20.0 * std::log10(value), 1, text, kTextSize);
}

void setDisplayTextForOutBalance(double value, char* text) {
  writeBalance(value, text, "Simulator", "Mic");
}

void setDisplayTextForInBalance(double value, char* text) {
  writeBalance(value, text, "KBD", "Noise");
}

void setDisplayTextForPercent(double value, char* text) {
  char number[kTextSize - 1];
  numbertext::WriteFixed(value * 100.0, 0, number, sizeof number);
  std::snprintf(text, kTextSize, "%s%%", number);
}
