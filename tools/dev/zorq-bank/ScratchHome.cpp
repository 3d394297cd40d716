#include "zorq-bank/ScratchHome.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "hosting/HostError.h"

ScratchHome::ScratchHome() {
  const char* home = std::getenv("HOME");
  if (home) previous_ = home;
  std::string pattern = (std::filesystem::temp_directory_path() / "zorq-bank-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw HostError("cannot create a scratch folder for HOME");
  path_ = pattern;
  setenv("HOME", path_.c_str(), 1);
}

ScratchHome::~ScratchHome() {
  if (previous_)
    setenv("HOME", previous_->c_str(), 1);
  else
    unsetenv("HOME");
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}
