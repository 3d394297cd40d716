#pragma once

#include <string>

class PluginHost;

// Sets a plug-in parameter named on the command line from a value written the way
// the parameter is shown (what --list-params prints), for any plug-in.
//
// The name matches effGetParamName exactly, else ignoring case. The value is found
// among the parameter's displays (ParameterDisplays):
//  1. a text as shown, display with or without its label, ignoring case and blanks
//     ("VE-10 Full Bands", "on", "50:50", "10%", "-oo"): the middle of the values
//     shown that way;
//  2. a number in the displayed units, a unit after it allowed ("-6 dB", "0", "440 Hz"):
//     the value whose display reads closest to it.
// Only a parameter whose displays never change is handed to the plug-in's own text
// conversion (effString2Parameter). A value that matches nothing is a UsageError
// naming the parameter's range or its choices, and leaves the parameter as it was.
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
