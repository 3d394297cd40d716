#include "hosting/ParameterSetter.h"

#include <cstdio>
#include <cstdlib>
#include <optional>

#include "framework/NumberText.h"
#include "hosting/ParameterDisplays.h"
#include "hosting/PluginHost.h"
#include "hosting/HostError.h"
#include "hosting/Text.h"

namespace {

std::string joined(const std::vector<std::string>& texts) {
  std::string result;
  for (const std::string& text : texts) result += (result.empty() ? "" : ", ") + text;
  return result;
}

// "choices: off, on" or "range: -oo .. 0.0".
std::string valuesOf(ParameterDisplays& displays) {
  const std::vector<std::string> choices = displays.choices();
  return choices.empty() ? "range: " + displays.range() : "choices: " + joined(choices);
}

// A text as shown, else a number in the displayed units whose unit (if given) fits.
std::optional<float> valueFor(ParameterDisplays& displays, const std::string& value) {
  if (std::optional<float> shown = displays.findText(value)) return shown;
  double number = 0.0;
  std::string unit;
  if (!ParameterDisplays::splitNumber(value, &number, &unit)) return std::nullopt;
  ParameterDisplays::Shown found;
  const std::optional<float> closest = displays.findNumber(number, &found);
  if (closest && ParameterDisplays::unitFits(unit, found)) return closest;
  return std::nullopt;
}

}  // namespace

void ParameterSetter::splitAssignment(const std::string& text, std::string& name,
                                      std::string& value) {
  const size_t equals = text.find('=');
  if (equals == std::string::npos || trimBlanks(text.substr(0, equals)).empty())
    throw UsageError("--set needs \"Name=value\", got '" + text + "'");
  name = trimBlanks(text.substr(0, equals));
  value = trimBlanks(text.substr(equals + 1));
}

int ParameterSetter::findParameter(const std::string& name) const {
  const int count = host_.numParams();
  for (int i = 0; i < count; ++i)
    if (trimBlanks(host_.paramName(i)) == name) return i;
  for (int i = 0; i < count; ++i)
    if (equalIgnoringCase(trimBlanks(host_.paramName(i)), name)) return i;
  throw UsageError("unknown parameter '" + name + "' (see --list-params)");
}

void ParameterSetter::setNormalised(int index, const std::string& value) {
  double normalised = 0.0;
  if (!numbertext::Read(value, &normalised) || !(normalised >= 0.0 && normalised <= 1.0))
    throw UsageError("normalised value '" + value + "' is not a number 0..1");
  host_.setParameter(index, float(normalised));
}

// A plug-in that reads back the text it shows converts texts itself, and its answer
// decides (ZORQ's is the core's text path, the same in every format). The display
// search is for plug-ins that read no texts.
void ParameterSetter::setFromText(int index, const std::string& value) {
  const float before = host_.getParameter(index);
  const bool readsTexts = host_.setParameterFromText(index, host_.paramDisplay(index));
  host_.setParameter(index, before);
  if (readsTexts && host_.setParameterFromText(index, value)) return;
  host_.setParameter(index, before);
  ParameterDisplays displays(host_, index);
  std::string values = "the plug-in shows no values for it";
  if (displays.searchable()) {
    if (!readsTexts) {
      if (const std::optional<float> chosen = valueFor(displays, value)) {
        host_.setParameter(index, *chosen);
        return;
      }
    }
    values = valuesOf(displays);
    if (displays.choices().empty()) values += ", middle " + displays.middle();
  }
  host_.setParameter(index, before);
  throw UsageError("parameter '" + trimBlanks(host_.paramName(index)) + "' takes no value '" +
                   value + "' (" + values + ")");
}

std::string ParameterSetter::describe(int index) {
  const float before = host_.getParameter(index);
  const std::string label = trimBlanks(host_.paramLabel(index));
  const std::string current =
      trimBlanks(host_.paramDisplay(index)) + (label.empty() ? "" : " " + label);
  ParameterDisplays displays(host_, index);
  const std::string values = displays.searchable() ? valuesOf(displays) : "";
  host_.setParameter(index, before);
  char line[512];
  std::snprintf(line, sizeof line, "%4d  %-28s %-18s %s", index,
                trimBlanks(host_.paramName(index)).c_str(), current.c_str(), values.c_str());
  std::string text = line;
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}
