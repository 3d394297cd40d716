#pragma once

// One open level of a popup menu: its items laid out in rows (item texts with the
// menu's number prefix, separators as lines, titles indented, check marks, disabled
// items greyed, an arrow on items with a submenu), the highlighted row, and its
// picture drawn with the project's raster and fonts. Sizes are screen pixels
// (PlatformFonts decides the scale). Window-system free.
#include <memory>
#include <string>
#include <vector>

#include "raster/Bitmap.h"

class IPopupMenu;
class PlatformFonts;

class PopupMenuView {
 public:
  PopupMenuView(IPopupMenu* menu, PlatformFonts* fonts);

  IPopupMenu* Menu() const { return menu_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The text shown for item i: its prefix ("%1d: ", "%02d: ", "%03d: " of i + 1) and text.
  std::string Label(int item) const;
  // The item whose row holds y (view pixels), or -1 (outside, or a separator).
  int ItemAt(int y) const;
  // Top of item i's row.
  int RowTop(int item) const;
  // Items that can be highlighted and chosen: not separators, not disabled.
  bool Selectable(int item) const;
  bool HasSubmenu(int item) const;

  int Highlighted() const { return highlighted_; }
  // True when the highlight changed.
  bool Highlight(int item);
  // The next selectable item after (step 1) or before (step -1) the highlighted one,
  // wrapping around; -1 when there is none.
  int NextSelectable(int step) const;

  // The picture of the level (redrawn after every highlight change).
  const LICE_IBitmap* Picture();

 private:
  struct Row {
    int top, height;
  };
  IPopupMenu* menu_;
  PlatformFonts* fonts_;
  std::vector<Row> rows_;
  int width_ = 0, height_ = 0;
  int highlighted_ = -1;
  bool stale_ = true;
  LICE_MemBitmap picture_;
};
