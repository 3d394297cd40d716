// zorq-snapshot: the editor as a PNG picture (see --help).
#include <iostream>
#include <string>
#include <vector>

#include "hosting/HostError.h"
#include "zorq-snapshot/Snapshot.h"

int main(int argc, char** argv) {
  try {
    bool help = false;
    const SnapshotOptions options =
        parseSnapshotArguments(std::vector<std::string>(argv + 1, argv + argc), &help);
    if (help) {
      printSnapshotHelp(std::cout);
      return 0;
    }
    renderSnapshot(options, std::cout);
    return 0;
  } catch (const std::exception& e) {
    std::cerr << "zorq-snapshot: " << e.what() << "\n";
    return 1;
  }
}
