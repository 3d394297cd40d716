#pragma once

#include <string>

// A plug-in's shared object, loaded for the object's life: the one place that talks
// to the system's loader.
class SharedLibrary {
 public:
  // Loads the file; HostError naming it and the loader's reason when it cannot.
  explicit SharedLibrary(const std::string& path);
  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  // The exported symbol, or null.
  void* symbol(const char* name) const;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
  void* handle_ = nullptr;
};
