#pragma once

// Knobs: a vertical (or horizontal) drag or a wheel turn moves the value; shift or
// control gives a ten times finer step. Editor thread.
#include "gui/IControl.h"

class IKnobControl : public IControl {
 public:
  enum EDirection { kVertical = 0, kHorizontal = 1 };
  static constexpr double kDefaultGearing = 4.0;

  IKnobControl(IPlugBase* plug, IRECT rect, int paramIdx, EDirection direction = kVertical,
               double gearing = kDefaultGearing)
      : IControl(plug, rect, paramIdx), direction_(direction), gearing_(gearing) {}

  // Moving by the control's height (width) sweeps 1 / gearing of the range; each
  // event carries the movement since the previous one.
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* mod) override;
  // 0.01 per wheel step, 0.001 with shift or control.
  void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override;

 protected:
  EDirection direction_;
  double gearing_;
};

// A knob drawn as one frame of a bitmap per position.
class IKnobMultiControl : public IKnobControl {
 public:
  IKnobMultiControl(IPlugBase* plug, int x, int y, int paramIdx, IBitmap* bitmap,
                    EDirection direction = kVertical, double gearing = kDefaultGearing);
  bool Draw(IGraphics* graphics) override;

 protected:
  IBitmap bitmap_;
};
