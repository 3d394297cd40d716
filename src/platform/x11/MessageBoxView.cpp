#include "platform/x11/MessageBoxView.h"

#include <algorithm>

#include "platform/x11/PlatformFonts.h"
#include "raster/LICE.h"

namespace {
// Layout at scale 1.
constexpr int kMargin = 16;
constexpr int kMaxTextWidth = 420;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 8;

constexpr int kOk = 1, kCancel = 2, kYes = 6, kNo = 7;

int widthOf(RasterFont* font, const std::string& text) {
  int w = 0, h = 0;
  if (font) font->Measure(text.c_str(), &w, &h);
  return w;
}

// Breaks text at "\n", then wraps each line at blanks to fit maxWidth.
std::vector<std::string> wrap(const std::string& text, RasterFont* font, int maxWidth) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t end = std::min(text.find('\n', start), text.size());
    std::string rest = text.substr(start, end - start);
    while (widthOf(font, rest) > maxWidth) {
      size_t cut = rest.rfind(' ');
      while (cut != std::string::npos && cut > 0 && widthOf(font, rest.substr(0, cut)) > maxWidth)
        cut = rest.rfind(' ', cut - 1);
      if (cut == std::string::npos || cut == 0) break;  // one long word: left as it is
      lines.push_back(rest.substr(0, cut));
      rest = rest.substr(cut + 1);
    }
    lines.push_back(rest);
    start = end + 1;
  }
  return lines;
}

void fill(LICE_IBitmap* b, const IRECT& r, LICE_pixel colour) {
  LICE_FillRect(b, r.L, r.T, r.W(), r.H(), colour, 1.0f, LICE_BLIT_MODE_COPY);
}
}  // namespace

MessageBoxView::MessageBoxView(const std::string& text, const std::string& caption, int type,
                               PlatformFonts* fonts)
    : fonts_(fonts), caption_(caption) {
  const int s = fonts_->Scale();
  RasterFont* font = fonts_->Regular();
  RasterFont* bold = fonts_->Bold();
  lines_ = wrap(text, font, kMaxTextWidth * s);
  switch (type) {
    case 1: buttons_ = {{"OK", kOk, {}}, {"Cancel", kCancel, {}}}; break;
    case 3: buttons_ = {{"Yes", kYes, {}}, {"No", kNo, {}}, {"Cancel", kCancel, {}}}; break;
    case 4: buttons_ = {{"Yes", kYes, {}}, {"No", kNo, {}}}; break;
    default: buttons_ = {{"OK", kOk, {}}}; break;
  }
  int textWidth = widthOf(bold, caption_);
  for (const std::string& line : lines_) textWidth = std::max(textWidth, widthOf(font, line));
  const int buttonsWidth = int(buttons_.size()) * (kButtonWidth + kButtonGap) * s - kButtonGap * s;
  width_ = std::max(textWidth, buttonsWidth) + 2 * kMargin * s;
  const int lineHeight = font ? font->LineHeight() : 15 * s;
  const int headerHeight = bold ? bold->LineHeight() : 15 * s;
  const int buttonTop =
      kMargin * s + headerHeight + 8 * s + int(lines_.size()) * lineHeight + kMargin * s;
  height_ = buttonTop + kButtonHeight * s + kMargin * s;
  int x = width_ - kMargin * s - buttonsWidth;
  for (Button& button : buttons_) {
    button.rect = IRECT(x, buttonTop, x + kButtonWidth * s, buttonTop + kButtonHeight * s);
    x += (kButtonWidth + kButtonGap) * s;
  }
  picture_.resize(width_, height_);
}

int MessageBoxView::CancelAnswer() const {
  for (int wanted : {kCancel, kNo})
    for (const Button& button : buttons_)
      if (button.answer == wanted) return wanted;
  return kOk;
}

int MessageBoxView::Key(const IKeyPress& key) {
  const int n = int(buttons_.size());
  switch (key.key) {
    case IKeyPress::kReturn: return buttons_[size_t(focused_)].answer;
    case IKeyPress::kEscape: return CancelAnswer();
    case IKeyPress::kLeft:
    case IKeyPress::kRight:
    case IKeyPress::kTab:
      focused_ = (focused_ + (key.key == IKeyPress::kLeft || key.shift ? n - 1 : 1)) % n;
      stale_ = true;
      return 0;
    default: break;
  }
  if (key.character == ' ') return buttons_[size_t(focused_)].answer;
  return 0;
}

int MessageBoxView::ButtonAt(int x, int y) const {
  for (const Button& button : buttons_)
    if (button.rect.Contains(x, y)) return button.answer;
  return 0;
}

const LICE_IBitmap* MessageBoxView::Picture() {
  if (!stale_) return &picture_;
  stale_ = false;
  const int s = fonts_->Scale();
  fill(&picture_, IRECT(0, 0, width_, height_), LICE_PackPixel(255, 236, 236, 236));
  RasterFont* font = fonts_->Regular();
  RasterFont* bold = fonts_->Bold();
  int y = kMargin * s;
  if (bold) {
    bold->Draw(&picture_, caption_.c_str(), kMargin * s, y, 255, 20, 20, 20);
    y += bold->LineHeight() + 8 * s;
  }
  for (const std::string& line : lines_) {
    if (font) {
      font->Draw(&picture_, line.c_str(), kMargin * s, y, 255, 30, 30, 30);
      y += font->LineHeight();
    }
  }
  for (size_t i = 0; i < buttons_.size(); ++i) {
    const IRECT& r = buttons_[i].rect;
    const bool focused = int(i) == focused_;
    fill(&picture_, r,
         focused ? LICE_PackPixel(255, 51, 110, 204) : LICE_PackPixel(255, 150, 150, 150));
    const int frame = focused ? 2 * s : s;
    fill(&picture_, IRECT(r.L + frame, r.T + frame, r.R - frame, r.B - frame),
         LICE_PackPixel(255, 250, 250, 250));
    if (font) {
      const int w = widthOf(font, buttons_[i].label);
      font->Draw(&picture_, buttons_[i].label, (r.L + r.R - w) / 2,
                 (r.T + r.B - font->LineHeight()) / 2, 255, 20, 20, 20);
    }
  }
  return &picture_;
}
