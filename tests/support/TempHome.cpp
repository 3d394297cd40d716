// Every test process runs with its home folder pointing at a fresh temporary folder,
// so nothing a test constructs (the instrument reads and creates its per-user INI
// file) touches the real one. The folder is removed at exit.
#include <filesystem>
#include <string>
#include <system_error>

#include "support/TestSystem.h"

namespace {
class TempHome {
 public:
  TempHome() {
    try {
      path_ = makeTemporaryFolder("zorq-home");
      setHomeFolder(path_);
    } catch (...) {
    }
  }
  ~TempHome() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(std::filesystem::u8path(path_), ignored);
  }

 private:
  std::string path_;
};

const TempHome tempHome;
}  // namespace
