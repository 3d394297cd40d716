#include "gui/IGraphicsStructs.h"

#include <algorithm>
#include <cmath>

#include "framework/IParam.h"

IRECT IRECT::Union(const IRECT& b) const {
  if (Empty()) return b;
  if (b.Empty()) return *this;
  return IRECT(std::min(L, b.L), std::min(T, b.T), std::max(R, b.R), std::max(B, b.B));
}

IRECT IRECT::Intersect(const IRECT& b) const {
  const IRECT overlap(std::max(L, b.L), std::max(T, b.T), std::min(R, b.R), std::min(B, b.B));
  if (Empty() || b.Empty() || overlap.L >= overlap.R || overlap.T >= overlap.B) return IRECT();
  return overlap;
}

IText::IText(int size, const IColor* color, const char* font, EStyle style, EAlign align,
             int orientation, int quality, const IColor* textEntryBGColor,
             const IColor* textEntryFGColor)
    : mSize(size),
      mColor(color ? *color : DEFAULT_TEXT_COLOR),
      mTextEntryBGColor(textEntryBGColor ? *textEntryBGColor : DEFAULT_TEXT_ENTRY_BGCOLOR),
      mTextEntryFGColor(textEntryFGColor ? *textEntryFGColor : DEFAULT_TEXT_ENTRY_FGCOLOR),
      mStyle(style),
      mAlign(align),
      mOrientation(orientation),
      mQuality(quality) {
  copyFixedText(mFont, font ? font : "Monaco", kMaxFontName);
}

int IBitmap::FrameForValue(double value) const {
  if (N < 2 || !(value == value)) return 1;
  // Rounded to the nearest step, limited before the conversion so that any value
  // (however far outside 0..1) stays a valid integer.
  const double step = std::min(std::max((N - 1) * value + 0.5, 0.0), double(N - 1));
  return static_cast<int>(step) + 1;
}
