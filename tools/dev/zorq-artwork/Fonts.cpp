#include "Fonts.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

namespace {

// Debian's fonts-liberation2: metric twins of the faces the editor's text styles name.
constexpr const char* kFamily = "Liberation Sans";
constexpr const char* kStyles[] = {"Regular", "Bold", "Italic", "Bold Italic"};

const cairo_user_data_key_t kFaceKey = {};

void doneFace(void* face) { FT_Done_Face(static_cast<FT_Face>(face)); }

// The file of `family` in `style`, or "" when fontconfig would substitute another family.
std::string findFile(const char* family, const char* style) {
  std::string path;
  FcPattern* pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
  FcPatternAddString(pattern, FC_STYLE, reinterpret_cast<const FcChar8*>(style));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcChar8* matchedFamily = nullptr;
  FcChar8* matchedStyle = nullptr;
  FcChar8* file = nullptr;
  if (match && FcPatternGetString(match, FC_FAMILY, 0, &matchedFamily) == FcResultMatch &&
      FcPatternGetString(match, FC_STYLE, 0, &matchedStyle) == FcResultMatch &&
      FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
      std::string(reinterpret_cast<char*>(matchedFamily)) == family &&
      std::string(reinterpret_cast<char*>(matchedStyle)) == style)
    path = reinterpret_cast<char*>(file);
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return path;
}

}  // namespace

Fonts::~Fonts() {
  for (cairo_font_face_t*& face : faces_) {
    if (face) cairo_font_face_destroy(face);
    face = nullptr;
  }
  // Cairo keeps scaled fonts in a cache; drop them before the faces' library goes.
  cairo_debug_reset_static_data();
  if (library_) FT_Done_FreeType(static_cast<FT_Library>(library_));
}

bool Fonts::load(std::string* error) {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0) {
    *error = "FreeType could not start";
    return false;
  }
  library_ = library;
  if (!FcInit()) {
    *error = "fontconfig could not start";
    return false;
  }
  bool ok = true;
  for (int i = 0; i < kFaceCount && ok; ++i) {
    std::string path = findFile(kFamily, kStyles[i]);
    FT_Face ftFace = nullptr;
    if (path.empty() || FT_New_Face(library, path.c_str(), 0, &ftFace) != 0) {
      *error = std::string("font \"") + kFamily + " " + kStyles[i] +
               "\" not found (Debian package fonts-liberation2)";
      ok = false;
      break;
    }
    faces_[i] = cairo_ft_font_face_create_for_ft_face(ftFace, FT_LOAD_NO_HINTING);
    cairo_font_face_set_user_data(faces_[i], &kFaceKey, ftFace, doneFace);
  }
  FcFini();
  return ok;
}

void Fonts::applyOptions(cairo_t* cr) {
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_subpixel_order(options, CAIRO_SUBPIXEL_ORDER_DEFAULT);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}
