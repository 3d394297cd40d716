#pragma once

// A picture from a skin folder, checked before it replaces the built-in picture of
// the same name: it must be a regular file of at most kMaxSkinPictureBytes, a PNG
// that decodes, and exactly as wide and as high as the built-in one. With the same
// size it has the same frame layout, since the editor cuts both into the frames it
// asks for. The editor draws at one size only (a doubled screen doubles its pixels),
// so a picture drawn at twice the size is refused like any other size.
//
// Reads the file: the editor's thread, never the audio thread.
#include <cstddef>
#include <memory>
#include <string>

#include "raster/Bitmap.h"

constexpr size_t kMaxSkinPictureBytes = 16 * 1024 * 1024;

struct SkinPicture {
  // The decoded picture; null when it is not used.
  std::unique_ptr<LICE_IBitmap> bitmap;
  // Why it is not used: "wrong size: 1 x 1 pixels, wanted 48 x 3120", "damaged PNG",
  // ...; empty when it is used or there is no such file (nothing to report then).
  std::string refusal;
};

// The picture at path if it fits a built-in one of width x height pixels.
SkinPicture LoadSkinPicture(const std::string& path, int width, int height);
