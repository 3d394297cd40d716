#include "raster/RasterFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <cstdint>
#include <mutex>
#include <unordered_map>
#include <vector>

#include "raster/FontLookup.h"
#include "raster/Utf8.h"

namespace {

constexpr int kMaxPixelHeight = 1024;
constexpr size_t kMaxCachedGlyphs = 4096;  // beyond this, glyphs are rendered on each use

// A rendered glyph: 8-bit coverage, placed relative to the pen on the baseline.
struct Glyph {
  int left = 0;  // pixels from the pen to the first column
  int top = 0;   // pixels from the baseline up to the first row
  int width = 0;
  int rows = 0;
  FT_Pos advance = 0;  // 26.6 pixels
  std::vector<uint8_t> coverage;
};

// Pen positions are 26.6 pixels, rounded to whole pixels where a glyph is placed
// (the same rounding in Measure and Draw). FT_Pos is 64 bits wide, so positions
// near the ends of the int range do not overflow.
inline FT_Pos pixelsOf(FT_Pos position) { return (position + 32) >> 6; }

// Blends one glyph's coverage into dest, clipped to the bitmap. With k the coverage
// times the colour's alpha (0..255), each colour byte moves k/255 of the way to the
// colour and the alpha byte k/255 of the way to 255.
void blendGlyph(LICE_IBitmap* dest, const Glyph& glyph, FT_Pos x, FT_Pos y, uint8_t a,
                const uint8_t colour[4]) {
  const FT_Pos width = dest->getWidth(), height = dest->getHeight();
  if (x >= width || y >= height || x + glyph.width <= 0 || y + glyph.rows <= 0) return;
  const int firstColumn = int(std::max<FT_Pos>(0, -x));
  const int lastColumn = int(std::min<FT_Pos>(glyph.width, width - x));
  const int firstRow = int(std::max<FT_Pos>(0, -y));
  const int lastRow = int(std::min<FT_Pos>(glyph.rows, height - y));
  for (int row = firstRow; row < lastRow; ++row) {
    auto* d = reinterpret_cast<uint8_t*>(LICE_RowPointer(dest, int(y + row)) + x + firstColumn);
    const uint8_t* coverage = &glyph.coverage[size_t(row) * size_t(glyph.width)];
    for (int column = firstColumn; column < lastColumn; ++column, d += 4) {
      const int k = (coverage[column] * a + 127) / 255;
      if (k == 0) continue;
      for (int c = 1; c < 4; ++c) d[c] = uint8_t(d[c] + (colour[c] - d[c]) * k / 255);
      d[LICE_PIXEL_A] = uint8_t(d[LICE_PIXEL_A] + (255 - d[LICE_PIXEL_A]) * k / 255);
    }
  }
}

}  // namespace

struct RasterFont::Impl {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  bool emboldens = false;  // bold asked for, but the face is not a bold one
  int ascent = 0;          // pixels above the baseline, rounded up
  int lineHeight = 0;
  std::string family;
  std::mutex mutex;  // guards the face and the glyph cache
  std::unordered_map<uint32_t, Glyph> glyphs;

  ~Impl() {
    if (face) FT_Done_Face(face);
    if (library) FT_Done_FreeType(library);
  }

  // Renders a code point; false when FreeType cannot (the glyph then stays empty).
  bool render(uint32_t codePoint, Glyph* glyph) {
    const FT_UInt index = FT_Get_Char_Index(face, codePoint);
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP)) return false;
    FT_GlyphSlot slot = face->glyph;
    if (emboldens) FT_GlyphSlot_Embolden(slot);
    glyph->advance = slot->advance.x;
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL)) return false;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return true;  // advance only
    glyph->left = slot->bitmap_left;
    glyph->top = slot->bitmap_top;
    glyph->width = int(bitmap.width);
    glyph->rows = int(bitmap.rows);
    glyph->coverage.resize(size_t(glyph->width) * size_t(glyph->rows));
    for (int row = 0; row < glyph->rows; ++row)
      std::copy_n(bitmap.buffer + ptrdiff_t(row) * bitmap.pitch, glyph->width,
                  &glyph->coverage[size_t(row) * size_t(glyph->width)]);
    return true;
  }

  // The glyph for a code point, from the cache or rendered into `scratch` when the
  // cache is full. Mutex held.
  const Glyph& glyphFor(uint32_t codePoint, Glyph* scratch) {
    auto it = glyphs.find(codePoint);
    if (it != glyphs.end()) return it->second;
    if (glyphs.size() >= kMaxCachedGlyphs) {
      *scratch = Glyph();
      render(codePoint, scratch);
      return *scratch;
    }
    Glyph& glyph = glyphs[codePoint];
    render(codePoint, &glyph);
    return glyph;
  }
};

RasterFont::RasterFont(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
RasterFont::~RasterFont() = default;

std::unique_ptr<RasterFont> RasterFont::Create(const FontRequest& request) {
  FontFile file;
  if (!findFontFile(request.family, request.bold, request.italic, &file)) return nullptr;

  auto impl = std::make_unique<Impl>();
  if (FT_Init_FreeType(&impl->library)) return nullptr;
  const FT_Error opened =
      file.data ? FT_New_Memory_Face(impl->library, file.data, FT_Long(file.size), file.faceIndex,
                                     &impl->face)
                : FT_New_Face(impl->library, file.path.c_str(), file.faceIndex, &impl->face);
  if (opened) return nullptr;
  FT_Face face = impl->face;
  const int pixelHeight = std::clamp(request.pixelHeight, 1, kMaxPixelHeight);
  if (!FT_IS_SCALABLE(face) || FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelHeight))) return nullptr;

  // A face without the asked-for style gets it synthesised: a slant of 0.2 and
  // outlines thickened by FreeType.
  impl->emboldens = request.bold && !(face->style_flags & FT_STYLE_FLAG_BOLD);
  if (request.italic && !(face->style_flags & FT_STYLE_FLAG_ITALIC)) {
    FT_Matrix slant{0x10000, 0x3333, 0, 0x10000};
    FT_Set_Transform(face, &slant, nullptr);
  }
  const FT_Size_Metrics& metrics = face->size->metrics;
  impl->ascent = int((metrics.ascender + 63) >> 6);
  impl->lineHeight = impl->ascent - int(metrics.descender >> 6);
  impl->family = file.family;
  return std::unique_ptr<RasterFont>(new RasterFont(std::move(impl)));
}

int RasterFont::LineHeight() const { return impl_->lineHeight; }

const std::string& RasterFont::FaceFamily() const { return impl_->family; }

// any thread
void RasterFont::Measure(const char* utf8, int* width, int* height) const {
  FT_Pos pen = 0;
  if (utf8) {
    std::lock_guard<std::mutex> lock(impl_->mutex);
    Glyph scratch;
    for (const char* p = utf8; *p;) pen += impl_->glyphFor(nextCodePoint(p), &scratch).advance;
  }
  if (width) *width = int(std::min<FT_Pos>(pixelsOf(pen), INT32_MAX));
  if (height) *height = impl_->lineHeight;
}

// any thread
void RasterFont::Draw(LICE_IBitmap* dest, const char* utf8, int x, int y, uint8_t a, uint8_t r,
                      uint8_t g, uint8_t b) const {
  if (!dest || !utf8 || a == 0) return;
  uint8_t colour[4];
  colour[LICE_PIXEL_A] = a;
  colour[LICE_PIXEL_R] = r;
  colour[LICE_PIXEL_G] = g;
  colour[LICE_PIXEL_B] = b;
  const FT_Pos baseline = FT_Pos(y) + impl_->ascent;
  FT_Pos pen = FT_Pos(x) * 64;
  std::lock_guard<std::mutex> lock(impl_->mutex);
  Glyph scratch;
  for (const char* p = utf8; *p;) {
    const Glyph& glyph = impl_->glyphFor(nextCodePoint(p), &scratch);
    if (!glyph.coverage.empty())
      blendGlyph(dest, glyph, pixelsOf(pen) + glyph.left, baseline - glyph.top, a, colour);
    pen += glyph.advance;
  }
}
