#pragma once

// A parameter with display texts ("Vocoder Mode") shown as its current text; a click
// opens a menu of all its texts, the current one checked. Editor thread.
#include "gui/IControl.h"

class IPopupMenu;

class IZVPopUpMenuControl : public IControl {
 public:
  IZVPopUpMenuControl(IPlugBase* plug, IRECT rect, int paramIdx);
  bool Draw(IGraphics* graphics) override;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;

  // One item per display text, in order; the one equal to the current text checked.
  static void buildMenu(IPopupMenu& menu, const IParam& param);

 private:
  IRECT textArea_;
};
