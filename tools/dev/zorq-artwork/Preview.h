#pragma once

// Composites of the whole editor for looking at the artwork: every control's frame at
// its place, dummy texts in the editor's text styles.

#include "Fonts.h"
#include "PngFile.h"

#include <map>
#include <string>

using ArtworkImages = std::map<std::string, RgbaImage>;

// The normal view and the tweak view, 800 x 360 each.
RgbaImage previewNormal(const ArtworkImages& images, const Fonts& fonts);
RgbaImage previewTweak(const ArtworkImages& images, const Fonts& fonts);
// Frames 1, 17, 33, 49 and 65 of the knobs side by side, and every meter frame, enlarged.
RgbaImage previewStrips(const ArtworkImages& images, int scale);

// The part (x, y, w, h) of a picture enlarged `scale` times by repeating pixels.
RgbaImage enlarged(const RgbaImage& image, int x, int y, int w, int h, int scale);
