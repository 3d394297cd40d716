// Plug-in framework: parameters, the plug-in base with its channels and presets,
// byte chunks and the host adapter. Hosts and editor controls exchange normalised
// values (0..1); the engine reads plain values through GetParam(i)->Value().
#pragma once

#include <vector>

class IParam {
 public:
  enum EParamType { kTypeNone = 0, kTypeBool, kTypeInt, kTypeEnum, kTypeDouble };

  // Writes the display text for a plain value; replaces every other display rule.
  using DisplayFunction = void (*)(double value, char* text);

  static constexpr int kMaxParamName = 32;

  IParam();

  void InitBool(const char* name, bool defaultVal, const char* label = "", const char* group = "");
  void InitEnum(const char* name, int defaultVal, int nEnums, const char* label = "",
                const char* group = "");
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "",
               const char* group = "");
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "", const char* group = "", double shape = 1.0);

  void SetDisplayText(int value, const char* text);
  void SetShape(double shape);
  void SetDisplayFunction(DisplayFunction function) { displayFunction_ = function; }
  // A gain: the plain value is a linear factor (1 = 0 dB, 0 = silence). Hosts that
  // show plain numbers show it in decibels (framework/PortValue.h).
  void SetGain(bool gain) { gain_ = gain; }
  bool IsGain() const { return gain_; }

  void Set(double value) { value_ = value; }
  // NaN is ignored; other values are clamped into 0..1 first.
  void SetNormalized(double normalized);
  // A normalised value from a host, control or record: false for NaN (keep the current
  // value), otherwise true with the value held inside 0..1.
  static bool ClampNormalized(double* normalized);
  // A normalised value from a host, which keeps every value as the 32-bit float it
  // was given: the float of the current normalised value keeps the current value (a
  // float round trip would move it by the float's rounding); any other value goes
  // through SetNormalized. Returns false when the value was kept.
  bool SetNormalizedFromHost(float normalized);
  double Value() const { return value_; }
  bool Bool() const { return value_ >= 0.5; }
  int Int() const { return static_cast<int>(value_); }
  double DBToAmp() const;

  double GetNormalized() const;
  double GetNormalized(double plain) const;
  double GetNonNormalized(double normalized) const;

  // text must hold at least kMaxParamName characters for numeric and table texts.
  void GetDisplayForHost(double value, bool normalized, char* text,
                         bool withDisplayText = true) const;
  void GetDisplayForHost(char* text, bool withDisplayText = true) const {
    GetDisplayForHost(value_, false, text, withDisplayText);
  }
  const char* GetDisplayText(int value) const;
  const char* GetNameForHost() const { return name_; }
  const char* GetLabelForHost() const;
  const char* GetParamGroupForHost() const { return group_; }
  int GetNDisplayTexts() const { return static_cast<int>(displayTexts_.size()); }
  const char* GetDisplayTextAtIdx(int index, int* value = nullptr) const;
  bool MapDisplayText(const char* text, int* value) const;
  void GetBounds(double* minVal, double* maxVal) const;

  EParamType Type() const { return type_; }
  // Stepped: a switch, a whole number or a list, holding whole steps only; a double
  // is continuous (its step is only the display's precision).
  bool IsStepped() const { return type_ == kTypeBool || type_ == kTypeInt || type_ == kTypeEnum; }
  // The steps a host should offer between min and max: 0 for a continuous parameter.
  int StepCount() const;
  // A list: a stepped parameter with a text of its own for every step from min to max,
  // which hosts show as a menu of those texts.
  bool IsChoice() const;
  // A plain value from outside (a host, a control port, a typed text) as the parameter
  // holds it: within its range and, when stepped, on the nearest step, a half step
  // going up. NaN stays NaN (callers keep the current value). Any thread.
  double Constrain(double plain) const;
  double GetDefault() const { return default_; }
  double GetMin() const { return min_; }
  double GetMax() const { return max_; }
  double GetStep() const { return step_; }
  double GetShape() const { return shape_; }
  int GetPrecision() const { return displayPrecision_; }

 private:
  struct DisplayText {
    int value;
    char text[kMaxParamName];
  };

  void initCommon(EParamType type, const char* name, double defaultVal, const char* label,
                  const char* group);
  const DisplayText* findDisplayText(int value) const;

  DisplayFunction displayFunction_ = nullptr;
  EParamType type_ = kTypeNone;
  bool gain_ = false;
  double value_ = 0.0;
  double min_ = 0.0;
  double max_ = 1.0;
  double step_ = 1.0;
  double shape_ = 1.0;
  double default_ = 0.0;
  int displayPrecision_ = 0;
  char name_[kMaxParamName] = {};
  char label_[kMaxParamName] = {};
  char group_[kMaxParamName] = {};
  std::vector<DisplayText> displayTexts_;
};

// Copies src into a fixed field of `size` characters, cutting it to size - 1.
void copyFixedText(char* dest, const char* src, int size);
