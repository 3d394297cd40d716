#pragma once

// zorq-live's command line.
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

// A command line that cannot be used; the text says why.
class LiveUsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct LiveOptions {
  static constexpr int kNoProgram = -1;

  std::string name = "ZORQ";  // JACK client name
  bool autoconnect = false;
  int program = kNoProgram;  // 0-based, as the editor and zorq-render number programs
  std::string preset;        // program file (.fxp) loaded into the current program
  std::string state;         // bank file restored at start and written on quit
  bool noGui = false;
  bool help = false;
  bool version = false;
};

// Throws LiveUsageError for an unknown option, a missing value or a program number
// outside 0..programs-1.
LiveOptions parseLiveArguments(const std::vector<std::string>& arguments, int programs);
void printLiveHelp(std::ostream& out);
