// The committed byte images of a program and a bank file in the chunk form (data/golden.fxp,
// golden.fxb) and in the parameter form (golden-params.*), and the known state that writes
// them: the program-file test compares with them, and only `make golden` (tests/golden)
// writes them again.
#pragma once

#include <string>
#include <vector>

#include "framework/TestPlug.h"

namespace goldenprogramfiles {
inline const std::vector<std::string> kNames{"golden.fxp", "golden.fxb", "golden-params.fxp",
                                             "golden-params.fxb"};

// Saves the known state as the named file (a bank when it ends in 'b') at path.
inline bool save(const std::string& name, const std::string& path) {
  TestPlug plug(name.find("params") == std::string::npos);
  plug.fillPresets(1, {0.25, 7.0, 1.0, 1000.0});
  return name.back() == 'b' ? plug.SaveBankAsFXB(path) : plug.SaveProgramAsFXP(path);
}
}  // namespace goldenprogramfiles
