#include "zorq-render/ParameterSetter.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

#include "zorq-render/PluginHost.h"
#include "zorq-render/RenderError.h"
#include "zorq-render/Text.h"

namespace {

// The number a text starts with; any unit after it is ignored.
bool leadingNumber(const std::string& text, double& value) {
  const std::string t = trimBlanks(text);
  char* end = nullptr;
  value = std::strtod(t.c_str(), &end);
  return end != t.c_str() && !std::isnan(value);
}

}  // namespace

void ParameterSetter::splitAssignment(const std::string& text, std::string& name,
                                      std::string& value) {
  const size_t equals = text.find('=');
  if (equals == std::string::npos || trimBlanks(text.substr(0, equals)).empty())
    throw RenderError("--set needs \"Name=value\", got '" + text + "'");
  name = trimBlanks(text.substr(0, equals));
  value = trimBlanks(text.substr(equals + 1));
}

int ParameterSetter::findParameter(const std::string& name) const {
  const int count = host_.numParams();
  for (int i = 0; i < count; ++i)
    if (trimBlanks(host_.paramName(i)) == name) return i;
  for (int i = 0; i < count; ++i)
    if (equalIgnoringCase(trimBlanks(host_.paramName(i)), name)) return i;
  throw RenderError("unknown parameter '" + name + "' (see --list-params)");
}

void ParameterSetter::probeDisplay(int index, float normalised, std::string& display) {
  host_.setParameter(index, normalised);
  display = trimBlanks(host_.paramDisplay(index));
}

void ParameterSetter::setNormalised(int index, const std::string& value) {
  char* end = nullptr;
  const double normalised = std::strtod(value.c_str(), &end);
  if (value.empty() || *end != '\0' || !(normalised >= 0.0 && normalised <= 1.0))
    throw RenderError("normalised value '" + value + "' is not a number 0..1");
  host_.setParameter(index, float(normalised));
}

void ParameterSetter::setFromText(int index, const std::string& value) {
  if (!value.empty() && host_.setParameterFromText(index, value)) return;
  const float before = host_.getParameter(index);
  if (setFromDisplayText(index, value)) return;
  double target = 0.0;
  if (leadingNumber(value, target) && setFromNumber(index, target)) return;
  host_.setParameter(index, before);
  throw RenderError("parameter '" + trimBlanks(host_.paramName(index)) + "' takes no value '" + value +
                    "' (see --list-params)");
}

bool ParameterSetter::setFromDisplayText(int index, const std::string& value) {
  // Two passes over the probe grid: exact match, then ignoring case.
  std::vector<std::string> displays(kProbeSteps + 1);
  for (int step = 0; step <= kProbeSteps; ++step)
    probeDisplay(index, float(step) / kProbeSteps, displays[step]);
  for (int pass = 0; pass < 2; ++pass) {
    auto matches = [&](int step) {
      return pass == 0 ? displays[step] == value : equalIgnoringCase(displays[step], value);
    };
    for (int first = 0; first <= kProbeSteps; ++first) {
      if (!matches(first)) continue;
      int last = first;
      while (last < kProbeSteps && matches(last + 1)) ++last;
      host_.setParameter(index, float(first + last) / (2.0f * kProbeSteps));
      return true;
    }
  }
  return false;
}

bool ParameterSetter::setFromNumber(int index, double target) {
  std::vector<double> numbers(kProbeSteps + 1, std::numeric_limits<double>::quiet_NaN());
  int best = -1;
  for (int step = 0; step <= kProbeSteps; ++step) {
    std::string display;
    probeDisplay(index, float(step) / kProbeSteps, display);
    double number = 0.0;
    if (!leadingNumber(display, number)) continue;
    numbers[step] = number;
    if (best < 0 || std::fabs(number - target) < std::fabs(numbers[best] - target)) best = step;
  }
  if (best < 0) return false;

  // Displays are rounded: when neighbouring steps read the same best number, take
  // the middle of that run, which is the closest to the exact value.
  int first = best, last = best;
  while (first > 0 && numbers[first - 1] == numbers[best]) --first;
  while (last < kProbeSteps && numbers[last + 1] == numbers[best]) ++last;
  double chosen = 0.5 * double(first + last) / kProbeSteps;
  if (first != last) {
    host_.setParameter(index, float(chosen));
    return true;
  }

  // A single step: bisect towards the target between it and the neighbour on the
  // target's other side (displays are monotonic locally).
  double low = double(best) / kProbeSteps, high = low;
  for (int neighbour : {best - 1, best + 1}) {
    if (neighbour < 0 || neighbour > kProbeSteps || std::isnan(numbers[neighbour])) continue;
    if ((numbers[neighbour] - target) * (numbers[best] - target) < 0) {
      low = std::min(low, double(neighbour) / kProbeSteps);
      high = std::max(high, double(neighbour) / kProbeSteps);
    }
  }
  double chosenError = std::fabs(numbers[best] - target);
  const bool rising = low < high && numbers[std::lround(high * kProbeSteps)] >
                                        numbers[std::lround(low * kProbeSteps)];
  for (int i = 0; i < 24 && low < high; ++i) {
    const double middle = 0.5 * (low + high);
    std::string display;
    probeDisplay(index, float(middle), display);
    double number = 0.0;
    if (!leadingNumber(display, number)) break;
    if (std::fabs(number - target) < chosenError) {
      chosen = middle;
      chosenError = std::fabs(number - target);
    }
    if ((number < target) == rising) low = middle; else high = middle;
  }
  host_.setParameter(index, float(chosen));
  return true;
}
