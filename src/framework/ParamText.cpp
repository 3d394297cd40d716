#include "framework/ParamText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "framework/IParam.h"
#include "framework/NumberText.h"
#include "framework/PortValue.h"

namespace {
constexpr size_t kDisplaySize = 256;
constexpr int kMaxBisections = 100;
constexpr double kInfinity = std::numeric_limits<double>::infinity();

std::string displayOf(const IParam& param, double value) {
  char text[kDisplaySize] = {};
  param.GetDisplayForHost(value, false, text, true);
  text[kDisplaySize - 1] = '\0';
  return text;
}

std::string trimmed(const char* text) {
  std::string result(text);
  const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  while (!result.empty() && blank(result.back())) result.pop_back();
  const auto first = std::find_if_not(result.begin(), result.end(), blank);
  return std::string(first, result.end());
}

bool equalIgnoringCase(const std::string& a, const char* b) {
  const size_t length = std::strlen(b);
  if (a.size() != length) return false;
  for (size_t i = 0; i < length; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// The finite number a text starts with ("-6.0", "25:75", "33%"), and what follows it
// with the blanks around it trimmed.
bool leadingNumber(const std::string& text, double* number, std::string* rest = nullptr) {
  const char* end = nullptr;
  if (!numbertext::ReadLeading(text.c_str(), number, &end) || !std::isfinite(*number)) return false;
  if (rest) *rest = trimmed(end);
  return true;
}

// One unit of a shown number's last digit: 0.1 for "-6.0", 1 for "33%".
double lastDigit(const std::string& shown) {
  const size_t point = shown.find('.');
  if (point == std::string::npos) return 1.0;
  int decimals = 0;
  while (std::isdigit(static_cast<unsigned char>(shown[point + 1 + decimals]))) ++decimals;
  return std::pow(10.0, -decimals);
}

// Lower case without blanks: "-6 dB", "-6dB" and "-6 DB" end alike.
std::string canonical(const std::string& text) {
  std::string result;
  for (unsigned char c : text)
    if (!std::isspace(c)) result += static_cast<char>(std::tolower(c));
  return result;
}

// Numbers in the order their texts run: "-0.0" comes just before "0.0".
double orderKey(double number) {
  if (number != 0.0) return number;
  return std::signbit(number) ? -1e-300 : 1e-300;
}

// Where a display function's text stands, as a number that rises with the value: the
// number shown (negated when the numbers fall), words counting as beyond their end.
class DisplayScale {
 public:
  explicit DisplayScale(const IParam& param)
      : param_(param), min_(param.GetMin()), max_(param.GetMax()) {
    double low = 0.0, high = 0.0;
    const double span = max_ - min_;
    if (shown(min_ + 0.25 * span, &low) && shown(min_ + 0.75 * span, &high) && high < low)
      sign_ = -1.0;
  }

  double key(double value) const {
    double number = 0.0;
    if (shown(value, &number)) return sign_ * orderKey(number);
    return value - min_ < max_ - value ? -kInfinity : kInfinity;
  }
  double target(double number) const { return sign_ * orderKey(number); }

  // The first value whose key reaches `target` (max when none does).
  double firstAtLeast(double target) const {
    if (key(min_) >= target) return min_;
    double below = min_, above = max_;
    if (key(above) < target) return max_;
    bisect(&below, &above, [&](double v) { return key(v) >= target; });
    return above;
  }
  // The last value whose key stays at or below `target` (min when none does).
  double lastAtMost(double target) const {
    if (key(max_) <= target) return max_;
    double below = min_, above = max_;
    if (key(below) > target) return min_;
    bisect(&below, &above, [&](double v) { return key(v) > target; });
    return below;
  }

 private:
  bool shown(double value, double* number) const {
    return leadingNumber(displayOf(param_, value), number);
  }

  // Narrows [*below, *above] around the point where `reached` turns true.
  template <typename Test>
  static void bisect(double* below, double* above, Test reached) {
    for (int i = 0; i < kMaxBisections; ++i) {
      const double middle = *below + (*above - *below) / 2;
      if (middle <= *below || middle >= *above) break;
      (reached(middle) ? *above : *below) = middle;
    }
  }

  const IParam& param_;
  double min_, max_;
  double sign_ = 1.0;
};

double clampToRange(const IParam& param, double value) {
  return std::min(std::max(value, param.GetMin()), param.GetMax());
}

bool choiceValue(const IParam& param, const std::string& text, double* value) {
  for (int i = 0; i < param.GetNDisplayTexts(); ++i) {
    int entryValue = 0;
    const char* entry = param.GetDisplayTextAtIdx(i, &entryValue);
    if (entry && equalIgnoringCase(text, entry)) {
      *value = clampToRange(param, entryValue);
      return true;
    }
  }
  // The number of a choice, as hosts that know only numbers send it.
  double number = 0.0;
  if (!numbertext::Read(text, &number) || !(number >= param.GetMin() - 0.5) ||
      !(number < param.GetMax() + 0.5))
    return false;
  *value = number;
  return true;
}

// What a user may write after a number: nothing, the parameter's label or what its
// display shows after the number ("%", ":75"); any word when it shows neither. A
// display with a second number (a ratio, "80:20") needs that typed too.
bool unitFits(const IParam& param, const std::string& typed, const std::string& shownAfter) {
  const auto hasDigit = [](const std::string& text) {
    return std::any_of(text.begin(), text.end(),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
  };
  const std::string given = canonical(typed), after = canonical(shownAfter);
  if (given == after) return true;
  if (given.empty()) return !hasDigit(after);
  const std::string label = canonical(param.GetLabelForHost());
  if (!label.empty() || !after.empty()) return given == label;
  return !hasDigit(given);
}

// A value whose text shows `number` (or the nearest number shown), in the middle of
// the values that show it.
double searchNumber(const IParam& param, double number) {
  const DisplayScale scale(param);
  const double target = scale.target(number);
  const double first = scale.firstAtLeast(target);
  const double last = scale.lastAtMost(target);
  if (scale.key(first) == target) {
    const double middle = first + (last - first) / 2;
    return scale.key(middle) == target ? middle : first;
  }
  // Nothing shows it: the nearer of the neighbouring texts.
  const double above = scale.key(first), below = scale.key(last);
  if (!std::isfinite(below)) return first;
  if (!std::isfinite(above)) return last;
  return above - target <= target - below ? first : last;
}

// The text shown at either end of the range ("-oo", "KBD").
bool endValue(const IParam& param, const std::string& wanted, double* value) {
  for (const double end : {param.GetMin(), param.GetMax()}) {
    if (equalIgnoringCase(wanted, displayOf(param, end).c_str())) {
      *value = end;
      return true;
    }
  }
  return false;
}

// A number as the display shows it, with a unit that fits; refused when no value shows
// it within the display's last digit (beyond the range, or between two words).
bool numberValue(const IParam& param, const std::string& wanted, double* value) {
  double number = 0.0;
  std::string unit;
  if (!leadingNumber(wanted, &number, &unit)) return false;
  // A number the parameter shows as itself is taken as it is; a gain's number is its
  // decibels, read exactly as hosts that exchange plain numbers read them.
  double found = param.IsGain() ? portvalue::ToPlain(param, number) : clampToRange(param, number);
  double shown = 0.0;
  if (!leadingNumber(displayOf(param, found), &shown) || orderKey(shown) != orderKey(number))
    found = searchNumber(param, number);
  const std::string display = displayOf(param, found);
  std::string shownAfter;
  if (!leadingNumber(display, &shown, &shownAfter) ||
      std::fabs(shown - number) > lastDigit(display) * 1.000001 ||
      !unitFits(param, unit, shownAfter))
    return false;
  *value = found;
  return true;
}
}  // namespace

namespace paramtext {

void fromValue(const IParam& param, double value, char* text, size_t size) {
  if (!text || size == 0) return;
  std::string shown = displayOf(param, value);
  // Only parameters that show numbers carry a unit.
  const char* label = param.GetNDisplayTexts() == 0 ? param.GetLabelForHost() : "";
  if (label[0]) shown += std::string(" ") + label;
  const size_t length = std::min(shown.size(), size - 1);
  std::memcpy(text, shown.data(), length);
  text[length] = '\0';
}

bool toValue(const IParam& param, const char* text, double* value) {
  if (!text || !value) return false;
  const std::string wanted = trimmed(text);
  if (wanted.empty()) return false;
  double found = 0.0;
  if (param.GetNDisplayTexts() > 0) {
    if (!choiceValue(param, wanted, &found)) return false;
  } else if (!endValue(param, wanted, &found) && !numberValue(param, wanted, &found)) {
    return false;
  }
  *value = param.Constrain(found);
  return true;
}

}  // namespace paramtext
