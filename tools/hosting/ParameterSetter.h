#pragma once

#include <string>

class PluginHost;

// Sets a plug-in parameter named on the command line from a value written the way
// the parameter is shown (what --list-params prints), for any plug-in.
//
// The name matches the parameter's name exactly, else ignoring case. A plug-in that
// reads back the text it shows (VST 2 effString2Parameter, CLAP text_to_value, for LV2
// the core's text path over the port's range, unit and labels) converts the value
// itself: ZORQ's answer is the core's, so a value means the same in every format.
// For a plug-in that reads no texts the value is found among its displays
// (ParameterDisplays):
//  1. a text as shown, display with or without its label, ignoring case and blanks
//     ("Invert", "on", "10%"): the middle of the values shown that way;
//  2. a number in the displayed units, a unit after it allowed ("-6 dB", "440 Hz"):
//     the value whose display reads closest to it.
// A value that matches nothing is a UsageError naming the parameter's range or its
// choices, and leaves the parameter as it was.
class ParameterSetter {
 public:
  explicit ParameterSetter(PluginHost& host) : host_(host) {}

  // "Name=value" split at the first '='; UsageError when there is none.
  static void splitAssignment(const std::string& text, std::string& name, std::string& value);

  int findParameter(const std::string& name) const;
  void setFromText(int index, const std::string& value);
  // Value already normalised (0..1).
  void setNormalised(int index, const std::string& value);

  // One line of --list-params: index, name, current display with label, then the
  // range (display at 0 and at 1) or the choices. Leaves the parameter as it was.
  std::string describe(int index);

 private:
  PluginHost& host_;
};
