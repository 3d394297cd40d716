#pragma once

#include <string>

// Where an installed font face lives, as fontconfig reports it.
struct FontFile {
  std::string path;
  int faceIndex = 0;
  std::string family;  // the face's own family name
};

// Finds the installed face that best stands in for `family` in the given style.
// Families common on other systems map to metric-compatible faces first (so that
// text keeps its width and the same faces are chosen on every machine with the
// project's font packages); other names go to fontconfig as they are. False only
// when fontconfig offers no face at all. Safe to call from any thread.
bool findFontFile(const std::string& family, bool bold, bool italic, FontFile* found);
