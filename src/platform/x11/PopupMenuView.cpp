#include "platform/x11/PopupMenuView.h"

#include <algorithm>
#include <cstdio>

#include "gui/IPopupMenu.h"
#include "platform/x11/PlatformFonts.h"
#include "raster/LICE.h"

namespace {
// Layout at scale 1.
constexpr int kPadding = 4;
constexpr int kCheckColumn = 20;  // check marks
constexpr int kArrowColumn = 18;  // submenu arrows
constexpr int kTitleIndent = 12;
constexpr int kSeparatorHeight = 7;
constexpr int kMinWidth = 80;

const LICE_pixel kBackground = LICE_PackPixel(255, 242, 242, 242);
const LICE_pixel kBorder = LICE_PackPixel(255, 120, 120, 120);
const LICE_pixel kHighlight = LICE_PackPixel(255, 51, 110, 204);
const LICE_pixel kSeparator = LICE_PackPixel(255, 200, 200, 200);

void fill(LICE_IBitmap* bitmap, int x, int y, int w, int h, LICE_pixel colour) {
  LICE_FillRect(bitmap, x, y, w, h, colour, 1.0f, LICE_BLIT_MODE_COPY);
}

// A check mark of two strokes in a box of size s at (x, y).
void drawCheck(LICE_IBitmap* bitmap, int x, int y, int s, LICE_pixel colour) {
  const int t = std::max(1, s / 6);
  for (int i = 0; i <= s / 3; ++i) fill(bitmap, x + i, y + s / 2 + i, t, t, colour);
  for (int i = 0; i <= 2 * s / 3; ++i)
    fill(bitmap, x + s / 3 + i, y + s / 2 + s / 3 - i, t, t, colour);
}

// A right-pointing triangle of height h at (x, y).
void drawArrow(LICE_IBitmap* bitmap, int x, int y, int h, LICE_pixel colour) {
  for (int i = 0; i <= h / 2; ++i) fill(bitmap, x + i, y + i, 1, h - 2 * i, colour);
}
}  // namespace

PopupMenuView::PopupMenuView(IPopupMenu* menu, PlatformFonts* fonts) : menu_(menu), fonts_(fonts) {
  const int s = fonts_->Scale();
  RasterFont* font = fonts_->Regular();
  const int lineHeight = font ? font->LineHeight() : 13 * s;
  int textWidth = 0;
  int y = kPadding * s;
  for (int i = 0; i < menu_->GetNItems(); ++i) {
    const IPopupMenuItem* item = menu_->GetItem(i);
    const int height = item->GetIsSeparator() ? kSeparatorHeight * s : lineHeight + 6 * s;
    rows_.push_back({y, height});
    y += height;
    if (item->GetIsSeparator() || !font) continue;
    int w = 0, h = 0;
    font->Measure(Label(i).c_str(), &w, &h);
    textWidth = std::max(textWidth, w + (item->GetIsTitle() ? kTitleIndent * s : 0));
  }
  width_ = std::max(kMinWidth * s, textWidth + (kCheckColumn + kArrowColumn + 2 * kPadding) * s);
  height_ = y + kPadding * s;
  picture_.resize(width_, height_);
}

std::string PopupMenuView::Label(int item) const {
  static const char* const kFormats[] = {"", "%1d: ", "%02d: ", "%03d: "};
  char prefix[16] = {};
  const int mode = menu_->GetPrefix();
  if (mode >= 1 && mode <= 3) std::snprintf(prefix, sizeof prefix, kFormats[mode], item + 1);
  return prefix + std::string(menu_->GetItemText(item));
}

int PopupMenuView::RowTop(int item) const {
  return item >= 0 && item < int(rows_.size()) ? rows_[size_t(item)].top : 0;
}

int PopupMenuView::ItemAt(int y) const {
  for (size_t i = 0; i < rows_.size(); ++i)
    if (y >= rows_[i].top && y < rows_[i].top + rows_[i].height)
      return menu_->GetItem(int(i))->GetIsSeparator() ? -1 : int(i);
  return -1;
}

bool PopupMenuView::Selectable(int item) const {
  const IPopupMenuItem* entry = menu_->GetItem(item);
  return entry && !entry->GetIsSeparator() && entry->GetEnabled();
}

bool PopupMenuView::HasSubmenu(int item) const {
  const IPopupMenuItem* entry = menu_->GetItem(item);
  return entry && entry->GetSubmenu();
}

bool PopupMenuView::Highlight(int item) {
  if (!Selectable(item)) item = -1;
  if (item == highlighted_) return false;
  highlighted_ = item;
  stale_ = true;
  return true;
}

int PopupMenuView::NextSelectable(int step) const {
  const int n = menu_->GetNItems();
  int i = highlighted_;
  for (int tries = 0; tries < n; ++tries) {
    i = i < 0 ? (step > 0 ? 0 : n - 1) : (i + step + n) % n;
    if (Selectable(i)) return i;
  }
  return -1;
}

const LICE_IBitmap* PopupMenuView::Picture() {
  if (!stale_) return &picture_;
  stale_ = false;
  const int s = fonts_->Scale();
  fill(&picture_, 0, 0, width_, height_, kBorder);
  fill(&picture_, s, s, width_ - 2 * s, height_ - 2 * s, kBackground);
  RasterFont* font = fonts_->Regular();
  for (int i = 0; i < int(rows_.size()); ++i) {
    const IPopupMenuItem* item = menu_->GetItem(i);
    const Row& row = rows_[size_t(i)];
    if (item->GetIsSeparator()) {
      fill(&picture_, kPadding * s, row.top + row.height / 2, width_ - 2 * kPadding * s, s,
           kSeparator);
      continue;
    }
    const bool lit = i == highlighted_;
    if (lit) fill(&picture_, 2 * s, row.top, width_ - 4 * s, row.height, kHighlight);
    const uint8_t ink = lit ? 255 : item->GetEnabled() ? 20 : 150;
    const LICE_pixel inkPixel = LICE_PackPixel(255, ink, ink, ink);
    const int textTop = row.top + 3 * s;
    if (item->GetChecked())
      drawCheck(&picture_, (kPadding + 3) * s, row.top + row.height / 2 - 6 * s, 11 * s, inkPixel);
    if (font) {
      const int x = (kPadding + kCheckColumn + (item->GetIsTitle() ? kTitleIndent : 0)) * s;
      font->Draw(&picture_, Label(i).c_str(), x, textTop, 255, ink, ink, ink);
    }
    if (item->GetSubmenu())
      drawArrow(&picture_, width_ - (kPadding + 12) * s, row.top + row.height / 2 - 4 * s, 9 * s,
                inkPixel);
  }
  return &picture_;
}
