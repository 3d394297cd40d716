#pragma once

#include <string>

class PluginHost;

// Sets a plug-in parameter named on the command line from a value written in the
// parameter's own units or as one of its display texts.
//
// The name matches effGetParamName exactly, else ignoring case. The value is
// applied by the first rule that works:
//  1. the plug-in's own conversion (effString2Parameter) when it accepts the text;
//  2. a display text: normalised values 0..1 are probed in small steps and the
//     middle of the range whose display equals the text (exactly, else ignoring
//     case) is chosen;
//  3. a number (a trailing unit such as "dB" is allowed): the probed value whose
//     display reads closest to it is chosen and refined between its neighbours,
//     so values beyond the range land on its nearest end.
// The probing moves the parameter; the final value is set last.
class ParameterSetter {
 public:
  static constexpr int kProbeSteps = 1000;

  explicit ParameterSetter(PluginHost& host) : host_(host) {}

  // "Name=value" split at the first '='; RenderError when there is none.
  static void splitAssignment(const std::string& text, std::string& name, std::string& value);

  int findParameter(const std::string& name) const;
  void setFromText(int index, const std::string& value);
  // Value already normalised (0..1).
  void setNormalised(int index, const std::string& value);

 private:
  void probeDisplay(int index, float normalised, std::string& display);
  bool setFromDisplayText(int index, const std::string& value);
  bool setFromNumber(int index, double target);

  PluginHost& host_;
};
