#include "dsp/Wavetables.h"

#include <cassert>
#include <cmath>
#include <mutex>

namespace wavetables {

namespace {

double tables[kCount][kLength];
std::once_flag builtOnce;

void build() {
  // sin(2 pi h j / N) is read from one period of N samples at position (h j) mod N.
  static double sine[kLength];
  for (int j = 0; j < kLength; ++j) sine[j] = std::sin(2.0 * M_PI * j / kLength);
  for (int k = 0; k < kCount; ++k) {
    const int n = harmonics(k);
    double* table = tables[k];
    for (int j = 0; j < kLength; ++j) table[j] = 0.5 * sine[j];
    // Harmonic h has amplitude 0.5 / h under a raised-cosine (Hamming-like) taper.
    for (int h = 2; h <= n; ++h) {
      const double amplitude = (0.54 + 0.46 * std::cos((h - 1) * (M_PI / 2) / (n - 1))) * 0.5 / h;
      for (int j = 0; j < kLength; ++j) {
        assert(((h * j) & (kLength - 1)) < kLength);
        table[j] += amplitude * sine[(h * j) & (kLength - 1)];
      }
    }
  }
}

}  // namespace

int harmonics(int index) {
  return static_cast<int>(std::lround(2048.0 / std::pow(std::sqrt(2.0), index)));
}

void ensureBuilt() { std::call_once(builtOnce, build); }

const double* saw(int index) {
  assert(index >= 0 && index < kCount);
  return tables[index];
}

}  // namespace wavetables
