#include "dsp/EnvelopeLaw.h"

#include <algorithm>
#include <cmath>

namespace envelope {

double coefficient(double sampleRate, double setting) {
  if (!(sampleRate > 0.0)) return 0.0;
  return std::min(1.0, std::log(10.0) / sampleRate * std::pow(10.0, 2.3 - 4.5 * setting));
}

}  // namespace envelope
