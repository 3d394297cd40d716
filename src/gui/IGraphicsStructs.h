#pragma once

// Value types shared by the graphics context, the controls and the platform layer:
// rectangles in editor pixels, colours, text styles, bitmaps with frames, blends and
// mouse modifiers.
#include <cstdint>
#include <functional>
#include <string>

class LICE_IBitmap;
class RasterFont;

// A rectangle in editor pixels, origin top-left, y downwards. All four fields 0
// means empty, and an empty rectangle takes part in no containment, intersection or
// union.
struct IRECT {
  int L = 0, T = 0, R = 0, B = 0;

  constexpr IRECT() = default;
  constexpr IRECT(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}

  bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  int W() const { return R - L; }
  int H() const { return B - T; }
  bool Contains(int x, int y) const { return !Empty() && L <= x && x < R && T <= y && y < B; }
  // Not symmetric: this rectangle's right and bottom edges touching b count.
  bool Intersects(const IRECT& b) const {
    return !Empty() && !b.Empty() && R >= b.L && L < b.R && B >= b.T && T < b.B;
  }
  IRECT Union(const IRECT& b) const;
  // The area both rectangles cover; empty when they do not overlap.
  IRECT Intersect(const IRECT& b) const;
  bool operator==(const IRECT& o) const { return L == o.L && T == o.T && R == o.R && B == o.B; }
  bool operator!=(const IRECT& o) const { return !(*this == o); }
};

struct IColor {
  int A = 255, R = 0, G = 0, B = 0;
  constexpr IColor() = default;
  constexpr IColor(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}
  bool operator==(const IColor& o) const { return A == o.A && R == o.R && G == o.G && B == o.B; }
};

inline constexpr IColor COLOR_TRANSPARENT(0, 0, 0, 0);
inline constexpr IColor COLOR_BLACK(255, 0, 0, 0);
inline constexpr IColor COLOR_GRAY(255, 127, 127, 127);
inline constexpr IColor COLOR_WHITE(255, 255, 255, 255);
inline constexpr IColor COLOR_RED(255, 255, 0, 0);
inline constexpr IColor COLOR_GREEN(255, 0, 255, 0);
inline constexpr IColor COLOR_BLUE(255, 0, 0, 255);
inline constexpr IColor COLOR_YELLOW(255, 255, 255, 0);
inline constexpr IColor COLOR_ORANGE(255, 255, 127, 0);
inline constexpr IColor DEFAULT_TEXT_COLOR = COLOR_BLACK;
inline constexpr IColor DEFAULT_TEXT_ENTRY_BGCOLOR = COLOR_WHITE;
inline constexpr IColor DEFAULT_TEXT_ENTRY_FGCOLOR = COLOR_BLACK;

// A text style. mCached is the font the font cache found for it (filled on first use;
// the cache owns the font).
struct IText {
  static constexpr int kMaxFontName = 32;
  enum EStyle { kStyleNormal = 0, kStyleBold, kStyleItalic };
  enum EAlign { kAlignNear = 0, kAlignCenter, kAlignFar };
  enum EQuality {
    kQualityDefault = 0,
    kQualityNonAntiAliased,
    kQualityAntiAliased,
    kQualityClearType
  };

  char mFont[kMaxFontName] = {};
  int mSize = 10;
  IColor mColor = DEFAULT_TEXT_COLOR;
  IColor mTextEntryBGColor = DEFAULT_TEXT_ENTRY_BGCOLOR;
  IColor mTextEntryFGColor = DEFAULT_TEXT_ENTRY_FGCOLOR;
  EStyle mStyle = kStyleNormal;
  EAlign mAlign = kAlignCenter;
  int mOrientation = 0;  // degrees
  int mQuality = kQualityDefault;
  RasterFont* mCached = nullptr;

  // The font name is cut to 31 characters; null gives "Monaco".
  explicit IText(int size = 10, const IColor* color = nullptr, const char* font = nullptr,
                 EStyle style = kStyleNormal, EAlign align = kAlignCenter, int orientation = 0,
                 int quality = kQualityDefault, const IColor* textEntryBGColor = nullptr,
                 const IColor* textEntryFGColor = nullptr);
};

// A raster image held by the bitmap cache, with its frame layout: N frames stacked
// vertically, or side by side when mFramesAreHorizontal.
struct IBitmap {
  LICE_IBitmap* mData = nullptr;
  int W = 0, H = 0, N = 1;
  bool mFramesAreHorizontal = false;

  IBitmap() = default;
  IBitmap(LICE_IBitmap* data, int w, int h, int n = 1, bool framesAreHorizontal = false)
      : mData(data), W(w), H(h), N(n < 1 ? 1 : n), mFramesAreHorizontal(framesAreHorizontal) {}

  int FrameWidth() const { return mFramesAreHorizontal ? W / N : W; }
  int FrameHeight() const { return mFramesAreHorizontal ? H : H / N; }
  // One frame's rectangle with its top-left corner at (x, y).
  IRECT FrameRect(int x, int y) const { return IRECT(x, y, x + FrameWidth(), y + FrameHeight()); }
  // The frame (1..N) that shows a normalised value: the nearest of N evenly spaced
  // steps. Values outside 0..1 show the end frames; a value that is not a number
  // shows frame 1.
  int FrameForValue(double value) const;
};

struct IChannelBlend {
  enum EBlendMethod { kBlendNone = 0, kBlendClobber, kBlendAdd, kBlendColorDodge };
  EBlendMethod mMethod = kBlendNone;
  float mWeight = 1.0f;

  constexpr IChannelBlend() = default;
  constexpr explicit IChannelBlend(EBlendMethod method, float weight = 1.0f)
      : mMethod(method), mWeight(weight) {}
};

// Mouse modifiers: left and right button, shift, control, option.
struct IMouseMod {
  bool L = false, R = false, S = false, C = false, A = false;
  constexpr IMouseMod() = default;
  constexpr IMouseMod(bool l, bool r = false, bool s = false, bool c = false, bool a = false)
      : L(l), R(r), S(s), C(c), A(a) {}
};

enum EFileAction : int { kFileOpen = 0, kFileSave = 1 };

// The answer of a file prompt, given exactly once: the chosen file's full path and its
// folder with a trailing "/", or an empty file and the unchanged starting folder when
// the prompt was cancelled or could not be shown.
using FileChosenCallback = std::function<void(const std::string& file, const std::string& dir)>;
