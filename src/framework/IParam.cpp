#include "framework/IParam.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "framework/NumberText.h"

void copyFixedText(char* dest, const char* src, int size) {
  if (size <= 0) return;
  if (!src) src = "";
  std::strncpy(dest, src, static_cast<size_t>(size - 1));
  dest[size - 1] = '\0';
}

IParam::IParam() = default;

void IParam::initCommon(EParamType type, const char* name, double defaultVal, const char* label,
                        const char* group) {
  if (type_ == kTypeNone) type_ = type;
  copyFixedText(name_, name, kMaxParamName);
  copyFixedText(label_, label, kMaxParamName);
  copyFixedText(group_, group, kMaxParamName);
  value_ = defaultVal;
  default_ = defaultVal;
}

void IParam::InitBool(const char* name, bool defaultVal, const char* label, const char* group) {
  initCommon(kTypeBool, name, defaultVal ? 1.0 : 0.0, label, group);
  min_ = 0.0;
  max_ = 1.0;
  step_ = 1.0;
  shape_ = 1.0;
  displayPrecision_ = 0;
  SetDisplayText(0, "off");
  SetDisplayText(1, "on");
}

void IParam::InitEnum(const char* name, int defaultVal, int nEnums, const char* label,
                      const char* group) {
  initCommon(kTypeEnum, name, defaultVal, label, group);
  min_ = 0.0;
  max_ = nEnums - 1 > 1 ? nEnums - 1 : 1;
  step_ = 1.0;
  shape_ = 1.0;
  displayPrecision_ = 0;
}

void IParam::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label,
                     const char* group) {
  initCommon(kTypeInt, name, defaultVal, label, group);
  min_ = minVal;
  max_ = maxVal > minVal + 1 ? maxVal : minVal + 1;
  step_ = 1.0;
  shape_ = 1.0;
  displayPrecision_ = 0;
}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal,
                        double step, const char* label, const char* group, double shape) {
  initCommon(kTypeDouble, name, defaultVal, label, group);
  min_ = minVal;
  max_ = maxVal > minVal + step ? maxVal : minVal + step;
  step_ = step;
  SetShape(shape);
  // Decimals needed to show one step: the number of times ten multiplies it into a
  // whole number (up to 5), else 6.
  displayPrecision_ = 0;
  if (step != std::floor(step)) {
    displayPrecision_ = 6;
    double scaled = step;
    for (int decimals = 1; decimals <= 5; ++decimals) {
      scaled *= 10.0;
      if (std::fabs(scaled - std::round(scaled)) < 1e-9 * std::fabs(scaled) + 1e-12) {
        displayPrecision_ = decimals;
        break;
      }
    }
  }
}

void IParam::SetDisplayText(int value, const char* text) {
  DisplayText entry{};
  entry.value = value;
  copyFixedText(entry.text, text, kMaxParamName);
  displayTexts_.push_back(entry);
}

void IParam::SetShape(double shape) {
  if (shape != 0.0) shape_ = shape;
}

double IParam::DBToAmp() const { return std::exp(value_ * 0.1151292546497); }

bool IParam::ClampNormalized(double* normalized) {
  if (std::isnan(*normalized)) return false;
  *normalized = *normalized < 0.0 ? 0.0 : (*normalized > 1.0 ? 1.0 : *normalized);
  return true;
}

void IParam::SetNormalized(double normalized) {
  if (!ClampNormalized(&normalized)) return;
  value_ = Constrain(GetNonNormalized(normalized));
}

int IParam::StepCount() const {
  if (!IsStepped()) return 0;
  return static_cast<int>(std::floor((max_ - min_) / step_ + 0.5));
}

bool IParam::IsChoice() const {
  if (!IsStepped() || displayTexts_.empty()) return false;
  for (int step = 0; step <= StepCount(); ++step) {
    const DisplayText* entry = findDisplayText(static_cast<int>(min_ + step * step_));
    if (!entry || !entry->text[0]) return false;
  }
  return true;
}

// Steps count from min, so a range that does not start at a multiple of the step
// keeps its ends.
double IParam::Constrain(double plain) const {
  if (std::isnan(plain)) return plain;
  plain = std::min(std::max(plain, min_), max_);
  if (!IsStepped()) return plain;
  return std::min(min_ + std::floor((plain - min_) / step_ + 0.5) * step_, max_);
}

bool IParam::SetNormalizedFromHost(float normalized) {
  if (normalized == static_cast<float>(GetNormalized())) return false;
  SetNormalized(normalized);
  return true;
}

double IParam::GetNormalized() const { return GetNormalized(value_); }

double IParam::GetNormalized(double plain) const {
  double clamped = plain < min_ ? min_ : (plain > max_ ? max_ : plain);
  return std::pow((clamped - min_) / (max_ - min_), 1.0 / shape_);
}

double IParam::GetNonNormalized(double normalized) const {
  return min_ + (max_ - min_) * std::pow(normalized, shape_);
}

const IParam::DisplayText* IParam::findDisplayText(int value) const {
  for (const DisplayText& entry : displayTexts_)
    if (entry.value == value) return &entry;
  return nullptr;
}

// Converts to int without the undefined behaviour of an out-of-range cast.
static int truncateToInt(double value) {
  if (!(value > -2147483648.0)) return value != value ? 0 : -2147483647 - 1;
  if (value >= 2147483647.0) return 2147483647;
  return static_cast<int>(value);
}

void IParam::GetDisplayForHost(double value, bool normalized, char* text,
                               bool withDisplayText) const {
  if (normalized) value = GetNonNormalized(value);
  if (displayFunction_) {
    displayFunction_(value, text);
    return;
  }
  if (withDisplayText) {
    const DisplayText* entry = findDisplayText(truncateToInt(value));
    if (entry && entry->text[0]) {
      std::strcpy(text, entry->text);
      return;
    }
  }
  if (displayPrecision_ == 0)
    std::snprintf(text, kMaxParamName, "%d", truncateToInt(value));
  else
    numbertext::WriteFixed(value, displayPrecision_, text, kMaxParamName);
}

const char* IParam::GetDisplayText(int value) const {
  const DisplayText* entry = findDisplayText(value);
  return entry ? entry->text : "";
}

const char* IParam::GetLabelForHost() const {
  const DisplayText* entry = findDisplayText(truncateToInt(value_));
  if (entry && entry->text[0]) return "";
  return label_;
}

const char* IParam::GetDisplayTextAtIdx(int index, int* value) const {
  if (index < 0 || index >= GetNDisplayTexts()) return "";
  if (value) *value = displayTexts_[static_cast<size_t>(index)].value;
  return displayTexts_[static_cast<size_t>(index)].text;
}

bool IParam::MapDisplayText(const char* text, int* value) const {
  if (!text) return false;
  for (const DisplayText& entry : displayTexts_) {
    if (std::strcmp(entry.text, text) == 0) {
      if (value) *value = entry.value;
      return true;
    }
  }
  return false;
}

void IParam::GetBounds(double* minVal, double* maxVal) const {
  if (minVal) *minVal = min_;
  if (maxVal) *maxVal = max_;
}
