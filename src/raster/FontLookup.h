#pragma once

#include <cstddef>
#include <string>

// Where a font face lives: a file, as fontconfig reports it, or bytes built into the
// program (data is then not null).
struct FontFile {
  std::string path;
  int faceIndex = 0;
  std::string family;  // the face's own family name
  const unsigned char* data = nullptr;
  size_t size = 0;
};

// Finds the installed face that best stands in for `family` in the given style.
// Families common on other systems map to metric-compatible faces first (so that
// text keeps its width and the same faces are chosen on every machine with the
// project's font packages); other names go to fontconfig as they are. False only
// when fontconfig offers no face at all. On Windows the faces are the ones built into
// the program (the same files), so text has the same glyphs as on Linux. Safe to call
// from any thread.
bool findFontFile(const std::string& family, bool bold, bool italic, FontFile* found);
