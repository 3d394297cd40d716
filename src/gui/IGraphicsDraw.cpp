// Drawing into the graphics context's raster: bitmap frames, filled rectangles and
// text, on the editor's thread.
#include <algorithm>
#include <cmath>

#include "gui/IGraphics.h"
#include "raster/LICE.h"
#include "raster/RasterFont.h"

namespace {
int blitMode(const IChannelBlend* blend) {
  switch (blend ? blend->mMethod : IChannelBlend::kBlendNone) {
    case IChannelBlend::kBlendClobber: return LICE_BLIT_MODE_COPY;
    case IChannelBlend::kBlendAdd: return LICE_BLIT_MODE_ADD | LICE_BLIT_USE_ALPHA;
    case IChannelBlend::kBlendColorDodge: return LICE_BLIT_MODE_DODGE | LICE_BLIT_USE_ALPHA;
    default: return LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
  }
}

float blendWeight(const IChannelBlend* blend) { return blend ? blend->mWeight : 1.0f; }

// Font-creation quality codes for qualities 0..3; anything higher counts as 3.
int qualityCode(int quality) {
  static constexpr int kCodes[] = {0, 1, 4, 4};
  return kCodes[std::min(std::max(quality, 0), 3)];
}
}  // namespace

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY,
                           const IChannelBlend* blend) {
  if (!bitmap || !bitmap->mData || !dest || !drawBitmap_) return false;
  // Outside a redraw (no draw rectangle) the whole raster is the limit.
  const IRECT limit = drawRect_.Empty() ? IRECT(0, 0, width_, height_) : drawRect_;
  const IRECT r = dest->Intersect(limit);
  if (r.Empty()) return true;
  LICE_Blit(drawBitmap_.get(), bitmap->mData, r.L, r.T, srcX + r.L - dest->L, srcY + r.T - dest->T,
            r.W(), r.H(), blendWeight(blend), blitMode(blend));
  return true;
}

bool IGraphics::DrawBitmap(IBitmap* bitmap, IRECT* dest, int frame, const IChannelBlend* blend) {
  if (!bitmap) return false;
  int srcX = 0, srcY = 0;
  if (frame >= 2 && bitmap->N >= 2) {
    const int extent = bitmap->mFramesAreHorizontal ? bitmap->W : bitmap->H;
    const int offset = static_cast<int>(std::lround(double(frame - 1) * extent / bitmap->N));
    (bitmap->mFramesAreHorizontal ? srcX : srcY) = offset;
  }
  return DrawBitmap(bitmap, dest, srcX, srcY, blend);
}

bool IGraphics::FillIRect(const IColor* color, IRECT* r, const IChannelBlend* blend) {
  if (!color || !r || !drawBitmap_) return false;
  const IRECT limit = drawRect_.Empty() ? IRECT(0, 0, width_, height_) : drawRect_;
  const IRECT area = r->Intersect(limit);
  if (area.Empty()) return true;
  const LICE_pixel pixel =
      LICE_PackPixel(uint8_t(color->A), uint8_t(color->R), uint8_t(color->G), uint8_t(color->B));
  const int mode = blend && blend->mMethod != IChannelBlend::kBlendClobber
                       ? blitMode(blend)
                       : LICE_BLIT_MODE_COPY | LICE_BLIT_USE_ALPHA;
  LICE_FillRect(drawBitmap_.get(), area.L, area.T, area.W(), area.H(), pixel, blendWeight(blend),
                mode);
  return true;
}

// Text is placed at the top of r, aligned left, centred or right; it is not clipped
// to r (controls draw with kDrawTextNoClip, the only flag in use), but like every
// drawing it stays inside the area being redrawn: a control redrawn because it meets
// a dirty one must not lay its translucent text again over pixels whose background
// was not redrawn.
bool IGraphics::DrawIText(IText* text, const char* str, IRECT* r, unsigned, bool measure) {
  if (!str || !str[0]) return true;
  if (!text || !r) return false;
  RasterFont* font = text->mCached ? text->mCached : CacheFont(text);
  if (!font) return false;
  int width = 0, height = 0;
  font->Measure(str, &width, &height);
  int x = r->L;
  if (text->mAlign == IText::kAlignCenter)
    x = (r->L + r->R) / 2 - width / 2;
  else if (text->mAlign == IText::kAlignFar)
    x = r->R - width;
  if (measure) {
    r->B = r->T + height;
    r->L = x;
    r->R = x + width;
    return true;
  }
  if (!drawBitmap_) return false;
  const IRECT raster(0, 0, width_, height_);
  const IRECT limit = drawRect_.Empty() ? raster : drawRect_.Intersect(raster);
  LICE_SubBitmap area(drawBitmap_.get(), limit.L, limit.T, limit.W(), limit.H());
  const IColor& c = text->mColor;
  font->Draw(&area, str, x - limit.L, r->T - limit.T, uint8_t(c.A), uint8_t(c.R), uint8_t(c.G),
             uint8_t(c.B));
  return true;
}

RasterFont* IGraphics::CacheFont(IText* text) {
  if (!text) return nullptr;
  const FontStorage::Key key{text->mSize, text->mOrientation, text->mStyle, text->mFont};
  text->mCached = s_fontCache.FindOrMake(key, [text]() {
    FontRequest request{text->mFont,
                        std::max(text->mSize, 2),
                        text->mStyle == IText::kStyleBold,
                        text->mStyle == IText::kStyleItalic,
                        text->mOrientation,
                        qualityCode(text->mQuality)};
    std::unique_ptr<RasterFont> font = RasterFont::Create(request);
    // One correction so that the line height comes close to the size asked for.
    const int lineHeight = font ? font->LineHeight() : 0;
    if (lineHeight > 0 && lineHeight != request.pixelHeight) {
      const int asked = request.pixelHeight;
      request.pixelHeight = static_cast<int>(std::lround(double(asked) * asked / lineHeight));
      if (request.pixelHeight >= 1)
        if (std::unique_ptr<RasterFont> corrected = RasterFont::Create(request))
          font = std::move(corrected);
    }
    return font;
  });
  return text->mCached;
}
