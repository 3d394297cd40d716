#pragma once

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <stdexcept>
#include <string>
#include <vector>

// A fresh folder under the system's temporary directory, removed with its contents.
class TempFolder {
public:
  TempFolder() {
    std::string pattern = "/tmp/zorq-test-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempFolder() { std::system(("rm -rf '" + path_ + "'").c_str()); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }

  // Names in the folder, sorted, without "." and "..".
  std::vector<std::string> entries() const {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(path_.c_str())) {
      while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
      }
      ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

private:
  std::string path_;
};
