#pragma once

#include <ostream>
#include <string>
#include <vector>

// The whole command: parses the arguments, loads the plug-in, applies presets and
// parameters, lists or renders. Returns the process exit status: 0 on success,
// 1 for a failed render, 2 for a usage mistake; every failure is one line on err.
class RenderApp {
 public:
  static int run(const std::vector<std::string>& arguments, const std::string& defaultPlugin,
                 std::ostream& out, std::ostream& err);
};
