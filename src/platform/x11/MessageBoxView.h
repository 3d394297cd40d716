#pragma once

// A message box drawn by the project: the caption as a bold header, the message in
// lines (broken at "\n" and wrapped to the box), and a row of buttons by type (0 OK;
// 1 OK and Cancel; 3 Yes, No and Cancel; 4 Yes and No). The focused button is
// framed; Return presses it, Escape presses Cancel (or No, or OK when the box has
// no other). Answers: 1 OK, 2 Cancel, 6 Yes, 7 No. Window-system free.
#include <string>
#include <vector>

#include "framework/IPlugGUI.h"
#include "gui/IGraphicsStructs.h"
#include "raster/Bitmap.h"

class PlatformFonts;

class MessageBoxView {
 public:
  MessageBoxView(const std::string& text, const std::string& caption, int type,
                 PlatformFonts* fonts);

  int Width() const { return width_; }
  int Height() const { return height_; }
  // The answer a key gives (0: the key does nothing but may move the focus).
  int Key(const IKeyPress& key);
  // The answer of the button at (x, y), or 0.
  int ButtonAt(int x, int y) const;
  // Escape's answer: Cancel, else No, else OK.
  int CancelAnswer() const;
  const LICE_IBitmap* Picture();

  struct Button {
    const char* label;
    int answer;
    IRECT rect;
  };
  const std::vector<Button>& Buttons() const { return buttons_; }

 private:
  PlatformFonts* fonts_;
  std::string caption_;
  std::vector<std::string> lines_;
  std::vector<Button> buttons_;
  int focused_ = 0;
  int width_ = 0, height_ = 0;
  bool stale_ = true;
  LICE_MemBitmap picture_;
};
