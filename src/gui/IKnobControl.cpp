#include "gui/IKnobControl.h"

#include "gui/IGraphics.h"

namespace {
bool isFine(const IMouseMod* mod) { return mod && (mod->C || mod->S); }
}  // namespace

void IKnobControl::OnMouseDrag(int, int, int dX, int dY, IMouseMod* mod) {
  const double gearing = isFine(mod) ? 10.0 * gearing_ : gearing_;
  // Upwards is positive: y grows downwards, so T - B is minus the height.
  const int extent = direction_ == kVertical ? rect_.T - rect_.B : rect_.R - rect_.L;
  if (extent == 0) return;  // a control without area has no drag scale
  const int delta = direction_ == kVertical ? dY : dX;
  setValue(GetValue() + delta / double(extent) / gearing);
  SetDirty(true);
}

void IKnobControl::OnMouseWheel(int, int, IMouseMod* mod, int d) {
  setValue(GetValue() + (isFine(mod) ? 0.001 : 0.01) * d);
  SetDirty(true);
}

IKnobMultiControl::IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                                     EDirection direction, double gearing)
    : IKnobControl(plug, bitmap ? bitmap->FrameRect(x, y) : IRECT(), paramIdx, direction, gearing),
      bitmap_(bitmap ? *bitmap : IBitmap()) {}

bool IKnobMultiControl::Draw(IGraphics* graphics) {
  return graphics->DrawBitmap(&bitmap_, &rect_, bitmap_.FrameForValue(GetValue()), &blend_);
}
