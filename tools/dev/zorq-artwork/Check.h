#pragma once

#include "Preview.h"

#include <string>

// Compares the committed pictures in `folder` with fresh drawings: every picture must
// exist, have the frame layout of its entry (height a whole number of frames), and match
// pixel for pixel within a small tolerance. Reports each difference on stderr.
bool checkArtwork(const ArtworkImages& fresh, const std::string& folder);
