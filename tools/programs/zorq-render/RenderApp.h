#pragma once

#include <ostream>
#include <string>
#include <vector>

// The whole command: parses the arguments, loads the plug-in, applies presets and
// parameters, saves presets, lists or renders. Returns the process exit status:
// 0 on success, kFailure when a file or the plug-in failed, kUsageFailure when the
// command line asks for something impossible, 128 + the signal when a signal
// stopped it (see Interruption). Every failure is one line on err.
class RenderApp {
 public:
  static constexpr int kFailure = 1;
  static constexpr int kUsageFailure = 2;

  static int run(const std::vector<std::string>& arguments, const std::string& defaultPlugin,
                 std::ostream& out, std::ostream& err);
};
