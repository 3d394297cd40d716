#pragma once

// Controls that show a frame of a bitmap: a plain picture (which frame follows the
// value when the bitmap has several), and the switches that step through the frames
// on clicks. Editor thread, unless IControl says otherwise.
#include "gui/IControl.h"

class IBitmapControl : public IControl {
 public:
  // The rectangle is one frame of the bitmap from (x, y).
  IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone);
  IBitmapControl(IPlugBase* plug, int x, int y, IBitmap* bitmap,
                 IChannelBlend::EBlendMethod blendMethod = IChannelBlend::kBlendNone)
      : IBitmapControl(plug, x, y, -1, bitmap, blendMethod) {}
  bool Draw(IGraphics* graphics) override;

 protected:
  IBitmap bitmap_;
};

// Each click (or double click) moves one frame on, from the last back to the first.
class ISwitchControl : public IBitmapControl {
 public:
  using IBitmapControl::IBitmapControl;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
};

// On while the button is held.
class IContactControl : public ISwitchControl {
 public:
  using ISwitchControl::ISwitchControl;
  void OnMouseUp(int x, int y, IMouseMod* mod) override;
};

// Toggles between 0 and 1 and draws nothing.
class IInvisibleSwitchControl : public IControl {
 public:
  IInvisibleSwitchControl(IPlugBase* plug, IRECT rect, int paramIdx);
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics*) override { return true; }
};
