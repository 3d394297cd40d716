#include "gui/IBitmapControl.h"

#include "gui/IGraphics.h"

IBitmapControl::IBitmapControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                               IChannelBlend::EBlendMethod blendMethod)
    : IControl(plug, bitmap ? bitmap->FrameRect(x, y) : IRECT(), paramIdx, blendMethod),
      bitmap_(bitmap ? *bitmap : IBitmap()) {}

bool IBitmapControl::Draw(IGraphics* graphics) {
  return graphics->DrawBitmap(&bitmap_, &rect_, bitmap_.FrameForValue(GetValue()), &blend_);
}

void ISwitchControl::OnMouseDown(int, int, IMouseMod*) {
  const double step = bitmap_.N >= 2 ? 1.0 / (bitmap_.N - 1) : 1.0;
  const double value = GetValue() + step;
  setValue(value > 1.001 ? 0.0 : value);
  SetDirty(true);
}

void ISwitchControl::OnMouseDblClick(int x, int y, IMouseMod* mod) { OnMouseDown(x, y, mod); }

void IContactControl::OnMouseUp(int, int, IMouseMod*) {
  setValue(0.0);
  SetDirty(true);
}

IInvisibleSwitchControl::IInvisibleSwitchControl(IPlugBase* plug, IRECT rect, int paramIdx)
    : IControl(plug, rect, paramIdx, IChannelBlend::kBlendClobber) {}

void IInvisibleSwitchControl::OnMouseDown(int, int, IMouseMod*) {
  setValue(GetValue() < 0.5 ? 1.0 : 0.0);
  SetDirty(true);
}
