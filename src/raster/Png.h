#pragma once

#include <cstddef>

#include "raster/Bitmap.h"

// PNG decoding and encoding. Loaded images arrive as A,R,G,B bytes whatever the
// file holds: palettes, transparency chunks, greyscale, bit depths from 1 to 16 and
// interlacing are all expanded; an image without alpha gets alpha 255.
//
// Both loaders decode into `bitmap` (resized to the image; rows land top-down even
// in a flipped bitmap) or, when it is null, into a new LICE_MemBitmap with line
// alignment 4 that the caller then owns. They return the bitmap, or null when the
// file cannot be read or decoded (a bitmap the call created is deleted then; a
// given bitmap is left as it was: it receives the image only once all of it decoded). Images of
// more than kMaxPngPixels are refused before any pixel storage is made.
constexpr size_t kMaxPngPixels = size_t(1) << 25;

LICE_IBitmap* LICE_LoadPNG(const char* path, LICE_IBitmap* bitmap = nullptr);
LICE_IBitmap* LICE_LoadPNGFromMemory(const void* data, size_t size, LICE_IBitmap* bitmap = nullptr);

// Writes the bitmap as an 8-bit RGBA PNG (RGB when withAlpha is false, dropping
// the alpha bytes). False when the file cannot be written or the bitmap is empty.
bool LICE_WritePNG(const char* path, const LICE_IBitmap* bitmap, bool withAlpha = true);
