// Writes the per-user INI file the instrument reads when an instance is made (under the
// test process's home folder); an empty text leaves the defaults for the next ones.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "support/TestSystem.h"

inline void writeUserIni(const std::string& contents) {
  const std::filesystem::path folder =
      std::filesystem::u8path(currentHomeFolder() + "/Music/ZanderVoltMusic");
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "zorq.ini") << contents;
}
