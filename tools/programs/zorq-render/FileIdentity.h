#pragma once

#include <string>
#include <vector>

// A file named on the command line with what it is for ("modulator", "output", ...).
struct NamedFile {
  std::string role;
  std::string path;
};

// Refuses (UsageError) any output that is the same file as an input or as another
// output. Existing names are compared by device and inode after following symbolic
// links, so hard links and links to an input are caught; names that do not exist yet
// are compared as absolute paths with their folders' links resolved. Empty paths
// are skipped.
void refuseOverwritingInputs(const std::vector<NamedFile>& inputs,
                             const std::vector<NamedFile>& outputs);
