#pragma once

// zorq-snapshot: draws the instrument's editor without a host or a display, through
// the headless platform, into a PNG file. Parameters are set by name and value the
// way zorq-render's --set does (the search runs on the built plug-in, whose program
// state is then handed to the drawn instrument), or come from a program file.
#include <ostream>
#include <string>
#include <vector>

struct SnapshotOptions {
  std::string programFile;            // .fxp (or .fxb) loaded first
  std::vector<std::string> settings;  // "Name=value", applied in order
  bool tweakView = false;
  bool listParameters = false;  // print the parameters' names and values instead
  std::string output;
};

// Reads the command line; HostError on a mistake. help is set for --help.
SnapshotOptions parseSnapshotArguments(const std::vector<std::string>& arguments, bool* help);
void printSnapshotHelp(std::ostream& out);
// Draws and writes the picture (or lists the parameters); HostError on failure.
void renderSnapshot(const SnapshotOptions& options, std::ostream& out);
