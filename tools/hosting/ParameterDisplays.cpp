#include "hosting/ParameterDisplays.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>

#include "framework/NumberText.h"
#include "hosting/PluginHost.h"
#include "hosting/Text.h"

namespace {

// Lower case without blanks: "-6 dB", "-6dB" and "-6 DB" are one text.
std::string canonical(const std::string& text) {
  std::string result;
  for (unsigned char c : text)
    if (!std::isspace(c)) result += char(std::tolower(c));
  return result;
}

// One unit of the display's last digit: 0.01 for "-6.25".
double lastDigit(const std::string& display) {
  const size_t point = display.find('.');
  if (point == std::string::npos) return 1.0;
  size_t decimals = 0;
  while (point + 1 + decimals < display.size() &&
         std::isdigit(static_cast<unsigned char>(display[point + 1 + decimals])))
    ++decimals;
  return std::pow(10.0, -double(decimals));
}

bool between(double value, double a, double b) {
  return std::min(a, b) <= value && value <= std::max(a, b);
}

constexpr int kMaxBisections = 64;

}  // namespace

std::string ParameterDisplays::Shown::text() const {
  return label.empty() ? display : display + " " + label;
}

bool ParameterDisplays::splitNumber(const std::string& text, double* number, std::string* unit) {
  const std::string trimmed = trimBlanks(text);
  const char* end = nullptr;
  if (!numbertext::ReadLeading(trimmed.c_str(), number, &end) || !std::isfinite(*number))
    return false;
  *unit = trimBlanks(end);
  return std::none_of(unit->begin(), unit->end(), [](unsigned char c) { return std::isdigit(c); });
}

bool ParameterDisplays::unitFits(const std::string& unit, const Shown& shown) {
  const std::string given = canonical(unit);
  if (shown.unit.empty() && shown.label.empty()) return true;
  return given == canonical(shown.unit) || given == canonical(shown.label);
}

ParameterDisplays::ParameterDisplays(PluginHost& host, int index) : host_(host), index_(index) {
  for (int step = 0; step <= kGridSteps; ++step) grid_.push_back(probe(float(step) / kGridSteps));
}

ParameterDisplays::Shown ParameterDisplays::probe(float normalised) {
  host_.setParameter(index_, normalised);
  Shown shown;
  shown.normalised = normalised;
  shown.display = trimBlanks(host_.paramDisplay(index_));
  shown.label = trimBlanks(host_.paramLabel(index_));
  shown.numeric = splitNumber(shown.display, &shown.number, &shown.unit);
  return shown;
}

bool ParameterDisplays::searchable() const {
  return std::any_of(grid_.begin(), grid_.end(),
                     [&](const Shown& s) { return s.display != grid_.front().display; });
}

std::vector<std::string> ParameterDisplays::choices() const {
  std::vector<std::string> texts;
  bool words = false;
  for (const Shown& s : grid_) {
    if (std::find(texts.begin(), texts.end(), s.text()) != texts.end()) continue;
    if (texts.size() == kMaxChoices) return {};
    texts.push_back(s.text());
    words = words || !s.numeric;
  }
  return words && texts.size() > 1 ? texts : std::vector<std::string>{};
}

std::string ParameterDisplays::range() { return probe(0.0f).text() + " .. " + probe(1.0f).text(); }

std::string ParameterDisplays::middle() { return probe(0.5f).text(); }

float ParameterDisplays::edge(float inside, float outside, const Test& test) {
  for (int i = 0; i < kMaxBisections; ++i) {
    const float middle = inside + (outside - inside) / 2;
    if (middle == inside || middle == outside) break;
    if (test(probe(middle)))
      inside = middle;
    else
      outside = middle;
  }
  return inside;
}

float ParameterDisplays::middleOf(float inside, const Test& test) {
  std::optional<float> outsideLeft, outsideRight;
  for (const Shown& s : grid_) {
    if (test(s)) continue;
    if (s.normalised < inside) outsideLeft = s.normalised;
    if (s.normalised > inside && !outsideRight) outsideRight = s.normalised;
  }
  const float left = outsideLeft ? edge(inside, *outsideLeft, test) : 0.0f;
  const float right = outsideRight ? edge(inside, *outsideRight, test) : 1.0f;
  const float middle = left + (right - left) / 2;
  return test(probe(middle)) ? middle : inside;
}

std::optional<float> ParameterDisplays::findText(const std::string& text) {
  const std::string wanted = canonical(text);
  const Test matches = [&](const Shown& s) {
    return canonical(s.display) == wanted || canonical(s.text()) == wanted;
  };
  for (const Shown& s : grid_)
    if (matches(s)) return middleOf(s.normalised, matches);
  return std::nullopt;
}

std::optional<float> ParameterDisplays::findNumber(double number, Shown* found) {
  // Where the grid turns from words to numbers ("-oo" at 0, then -96.3), the numbers
  // go on beyond the grid: add the last numeric value before the words begin.
  std::vector<Shown> samples;
  for (size_t i = 0; i < grid_.size(); ++i) {
    if (i > 0 && grid_[i - 1].numeric != grid_[i].numeric) {
      const Shown& numeric = grid_[i].numeric ? grid_[i] : grid_[i - 1];
      const Shown& word = grid_[i].numeric ? grid_[i - 1] : grid_[i];
      const Shown boundary = probe(
          edge(numeric.normalised, word.normalised, [](const Shown& s) { return s.numeric; }));
      if (boundary.numeric) samples.push_back(boundary);
    }
    samples.push_back(grid_[i]);
  }
  std::sort(samples.begin(), samples.end(),
            [](const Shown& a, const Shown& b) { return a.normalised < b.normalised; });

  std::optional<Shown> chosen;
  for (size_t i = 1; i < samples.size() && !chosen; ++i) {
    Shown low = samples[i - 1], high = samples[i];
    if (!low.numeric || !high.numeric || !between(number, low.number, high.number)) continue;
    for (int step = 0; step < kMaxBisections && low.number != number && high.number != number;
         ++step) {
      const float middle = low.normalised + (high.normalised - low.normalised) / 2;
      if (middle == low.normalised || middle == high.normalised) break;
      const Shown s = probe(middle);
      if (!s.numeric) break;
      if (between(number, low.number, s.number))
        high = s;
      else
        low = s;
    }
    chosen = std::fabs(low.number - number) <= std::fabs(high.number - number) ? low : high;
  }
  if (!chosen) {
    // Beyond every display: accepted only within the last digit of the nearest end.
    for (const Shown& s : samples)
      if (s.numeric &&
          (!chosen || std::fabs(s.number - number) < std::fabs(chosen->number - number)))
        chosen = s;
    if (!chosen || std::fabs(chosen->number - number) > lastDigit(chosen->display))
      return std::nullopt;
  }
  *found = *chosen;
  const std::string display = chosen->display;
  return middleOf(chosen->normalised, [&](const Shown& s) { return s.display == display; });
}
