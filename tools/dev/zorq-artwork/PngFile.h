#pragma once

// Straight (not premultiplied) RGBA pictures and their PNG files.

#include <cairo.h>

#include <cstdint>
#include <string>
#include <vector>

struct RgbaImage {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // rows of R, G, B, A bytes

  bool opaque() const;
};

// Converts a Cairo ARGB32 surface (premultiplied, native-endian words) to straight RGBA.
RgbaImage imageFromSurface(cairo_surface_t* surface);

// Writes an opaque image as RGB, any other as RGBA, at the highest compression level,
// keeping the smallest of a few filter choices. Returns false on an I/O error.
bool writePng(const RgbaImage& image, const std::string& path);

// Reads any PNG as straight RGBA; false when the file is missing or damaged.
bool readPng(const std::string& path, RgbaImage* image);
