#pragma once

// A small knob with its value written under it: one frame of a bitmap per position,
// and the parameter's display text with its label in a strip below. Dragging and the
// wheel work as for any knob; a double click restores the parameter's declared
// default. Editor thread, unless IControl says otherwise.
#include "gui/IKnobControl.h"

class IZVKnobMultiControlText : public IKnobControl {
 public:
  // The knob's frame sits at (x, y); the control reaches 4 pixels to either side and
  // 16 pixels below it, where the text strip lies.
  IZVKnobMultiControlText(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap);
  bool Draw(IGraphics* graphics) override;

  const IRECT& bitmapArea() const { return bitmapArea_; }
  const IRECT& textArea() const { return textArea_; }

 private:
  IBitmap bitmap_;
  IRECT bitmapArea_;
  IRECT textArea_;
  IText zeroText_;  // while the parameter's value is exactly 0
};
