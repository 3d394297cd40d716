// zorq-snapshot: the editor as a PNG picture (see --help).
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "zorq-render/RenderError.h"
#include "zorq-snapshot/Snapshot.h"

int main(int argc, char** argv) {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe", error);
  const std::string defaultPlugin = error ? "ZORQ.so" : (self.parent_path() / "ZORQ.so").string();
  try {
    bool help = false;
    const SnapshotOptions options =
        parseSnapshotArguments(std::vector<std::string>(argv + 1, argv + argc), defaultPlugin, &help);
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
