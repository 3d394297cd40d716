// Writes the per-user INI file the instrument reads when an instance is made (under the
// test process's HOME); an empty text leaves the defaults for the next ones.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>

inline void writeUserIni(const std::string& contents) {
  const std::string music = std::string(std::getenv("HOME")) + "/Music";
  mkdir(music.c_str(), 0755);
  mkdir((music + "/ZanderVoltMusic").c_str(), 0755);
  std::ofstream(music + "/ZanderVoltMusic/zorq.ini") << contents;
}
