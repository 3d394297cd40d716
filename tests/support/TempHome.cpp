// Every test process runs with HOME pointing at a fresh temporary folder, so
// nothing a test constructs (the instrument reads and creates its per-user INI
// file) touches the real home folder. The folder is removed at exit.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {
class TempHome {
 public:
  TempHome() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/zorq-home-XXXXXX";
    if (mkdtemp(pattern.data())) {
      path_ = pattern;
      setenv("HOME", path_.c_str(), 1);
    }
  }
  ~TempHome() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }

 private:
  std::string path_;
};

const TempHome tempHome;
}  // namespace
