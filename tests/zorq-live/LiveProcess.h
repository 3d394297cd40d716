// zorq-live started by a test, its output and errors in files of the test's folder.
#pragma once

#include <string>
#include <vector>

#include "support/ChildProcess.h"

class LiveProcess : public testsupport::ChildProcess {
 public:
  LiveProcess(const TempFolder& folder, std::vector<std::string> arguments)
      : testsupport::ChildProcess(withProgram(std::move(arguments)), folder / "live.out",
                                  folder / "live.err") {}

 private:
  static std::vector<std::string> withProgram(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), ZORQ_LIVE_EXECUTABLE);
    return arguments;
  }
};
