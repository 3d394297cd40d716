#pragma once

// The faces the artwork is lettered in. They are loaded from their font files through
// FreeType (not through fontconfig's rendering settings), and drawn without hinting, so
// the pictures depend only on the font files and the library versions, never on the
// machine's font configuration.

#include <cairo.h>

#include <string>

enum class Face { Regular, Bold, Italic, BoldItalic };

class Fonts {
 public:
  Fonts() = default;
  ~Fonts();
  Fonts(const Fonts&) = delete;
  Fonts& operator=(const Fonts&) = delete;

  // Finds and opens every face; on failure `error` names the missing family and style.
  bool load(std::string* error);

  cairo_font_face_t* face(Face which) const { return faces_[static_cast<int>(which)]; }

  // Hinting off, greyscale antialiasing, unhinted metrics.
  static void applyOptions(cairo_t* cr);

 private:
  static constexpr int kFaceCount = 4;
  void* library_ = nullptr;  // FT_Library, kept out of this header
  cairo_font_face_t* faces_[kFaceCount] = {};
};
