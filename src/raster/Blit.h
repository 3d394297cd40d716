#pragma once

#include "raster/Bitmap.h"

// Blend modes of LICE_Blit and LICE_FillRect: the low byte picks the operation,
// LICE_BLIT_USE_ALPHA makes it weigh each source pixel by its alpha byte.
constexpr int LICE_BLIT_MODE_COPY = 0;
constexpr int LICE_BLIT_MODE_ADD = 1;
constexpr int LICE_BLIT_MODE_DODGE = 2;
constexpr int LICE_BLIT_MODE_MASK = 0xff;
constexpr int LICE_BLIT_USE_ALPHA = 0x10000;

// Combines the rectangle (srcx, srcy, width, height) of src into dest at (dstx,
// dsty) with the overall opacity alpha (0..1, clamped; 0 or NaN draws nothing).
// The rectangle is clipped to both bitmaps, keeping source and destination pixels
// aligned. Modes 0 (copy, source alpha ignored), 0x10000 (copy with source alpha),
// 0x10001 (add with source alpha) and 0x10002 (colour dodge with source alpha);
// add and dodge without the alpha flag treat every source pixel as opaque, and an
// unknown operation copies. Every rule is integer arithmetic, exact to the byte.
// src and dest may be the same bitmap, overlapping or not.
void LICE_Blit(LICE_IBitmap* dest, const LICE_IBitmap* src, int dstx, int dsty, int srcx, int srcy,
               int width, int height, float alpha, int mode);

// Combines a solid colour into a rectangle of dest (clipped to it). With
// LICE_BLIT_USE_ALPHA a copy uses the opacity alpha x (colour alpha / 255), so a
// fully transparent colour changes nothing; add and dodge use the colour's alpha
// byte as their source alpha, as LICE_Blit does.
void LICE_FillRect(LICE_IBitmap* dest, int x, int y, int width, int height, LICE_pixel colour,
                   float alpha, int mode);
