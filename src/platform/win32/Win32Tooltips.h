#pragma once

// The editor window's tooltips: one common-controls tooltip window holding a region
// per control that has a tooltip; the system shows the text when the pointer rests
// over a region and hides it when the pointer moves on or a button is pressed.
//
// The view's thread.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "gui/IGraphicsStructs.h"

class Win32Tooltips {
 public:
  explicit Win32Tooltips(HWND view);
  ~Win32Tooltips();
  Win32Tooltips(const Win32Tooltips&) = delete;
  Win32Tooltips& operator=(const Win32Tooltips&) = delete;

  // Replaces the regions (editor pixels, times scale on the window) and their texts.
  void SetRegions(const std::vector<std::pair<IRECT, std::string>>& regions, int scale);
  HWND Window() const { return tooltip_; }

 private:
  void clear();

  HWND view_;
  HWND tooltip_ = nullptr;
  int count_ = 0;
};
