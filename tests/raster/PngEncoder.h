#pragma once

#include <cstdint>
#include <vector>

// Encodes test images with libpng in any colour type and bit depth.
struct PngImage {
  int width = 0, height = 0;
  int colorType = 0;  // PNG_COLOR_TYPE_*
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<uint8_t> rows;  // packed rows as the file stores them, top row first
  std::vector<uint8_t> palette;  // r, g, b per entry
  std::vector<uint8_t> paletteAlpha;  // tRNS for palette images
  std::vector<uint16_t> transparentColour;  // tRNS for grey (1 value) or RGB (3 values)
};

std::vector<uint8_t> encodePng(const PngImage& image);

// Replaces the width and height in an encoded PNG's header and fixes its checksum.
void patchPngSize(std::vector<uint8_t>& png, uint32_t width, uint32_t height);
