// Mouse, wheel and key dispatch, and the redraw cadence of the graphics context.
#include "framework/IPlugBase.h"
#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "gui/IGraphicsPlatform.h"

void IGraphics::ReleaseMouseCapture() { mouseCapture_ = mouseX_ = mouseY_ = -1; }

int IGraphics::GetMouseControlIdx(int x, int y, bool mouseOver) {
  if (mouseCapture_ >= 0) return mouseCapture_;
  for (int i = NControls() - 1; i >= 0; --i) {
    IControl* control = controls_[static_cast<size_t>(i)].get();
    const bool grayedOut = control->IsGrayed() && !(mouseOver && control->GetMOWhenGrayed());
    if (!control->IsHidden() && !grayedOut && control->IsHit(x, y)) return i;
  }
  return -1;
}

// The host's edit gesture frames a mouse edit of a parameter. An index that names no
// parameter (the level meter's, the editor's command controls') sends none.
void IGraphics::informHost(IControl* control, bool begin) {
  if (!plug_ || !control->GetParam()) return;
  if (begin)
    plug_->BeginInformHostOfParamChange(control->ParamIdx());
  else
    plug_->EndInformHostOfParamChange(control->ParamIdx());
}

void IGraphics::OnMouseDown(int x, int y, IMouseMod* mod) {
  ReleaseMouseCapture();
  const int controlIdx = GetMouseControlIdx(x, y);
  if (controlIdx < 0) return;
  IControl* control = GetControl(controlIdx);
  mouseCapture_ = controlIdx;
  mouseX_ = x;
  mouseY_ = y;
  informHost(control, true);
  control->OnMouseDown(x, y, mod);
}

void IGraphics::OnMouseDrag(int x, int y, IMouseMod* mod) {
  IControl* control = GetControl(mouseCapture_);
  if (!control) return;
  const int dX = x - mouseX_, dY = y - mouseY_;
  if (dX == 0 && dY == 0) return;
  mouseX_ = x;
  mouseY_ = y;
  control->OnMouseDrag(x, y, dX, dY, mod);
}

void IGraphics::OnMouseUp(int x, int y, IMouseMod* mod) {
  IControl* control = GetControl(GetMouseControlIdx(x, y));
  ReleaseMouseCapture();
  if (!control) return;
  control->OnMouseUp(x, y, mod);
  informHost(control, false);
}

void IGraphics::OnMouseDblClick(int x, int y, IMouseMod* mod) {
  ReleaseMouseCapture();
  const int controlIdx = GetMouseControlIdx(x, y);
  IControl* control = GetControl(controlIdx);
  if (!control) return;
  if (control->GetDblAsSingleClick()) {
    mouseCapture_ = controlIdx;
    mouseX_ = x;
    mouseY_ = y;
    control->OnMouseDown(x, y, mod);
  } else {
    control->OnMouseDblClick(x, y, mod);
  }
}

void IGraphics::OnMouseWheel(int x, int y, IMouseMod* mod, int d) {
  if (IControl* control = GetControl(GetMouseControlIdx(x, y))) control->OnMouseWheel(x, y, mod, d);
}

void IGraphics::OnMouseOver(int x, int y, IMouseMod* mod) {
  if (!handleMouseOver_) return;
  const int controlIdx = GetMouseControlIdx(x, y, true);
  IControl* control = GetControl(controlIdx);
  if (!control) return;
  mouseX_ = x;
  mouseY_ = y;
  control->OnMouseOver(x, y, mod);
  if (mouseOver_ != controlIdx)
    if (IControl* previous = GetControl(mouseOver_)) previous->OnMouseOut();
  mouseOver_ = controlIdx;
}

void IGraphics::OnMouseOut() {
  for (const auto& control : controls_) control->OnMouseOut();
  mouseOver_ = -1;
}

bool IGraphics::OnKeyDown(int x, int y, int key) {
  int controlIdx = mouseCapture_;
  if (controlIdx < 1) controlIdx = GetMouseControlIdx(mouseX_, mouseY_);
  IControl* control = controlIdx >= 1 ? GetControl(controlIdx) : keyCatcher_;
  return control && control->OnKeyDown(x, y, key);
}

bool IGraphics::IsDirty(IRECT* r) {
  bool dirty = false;
  for (const auto& control : controls_) {
    if (!control->IsDirty()) continue;
    *r = r->Union(control->GetRECT());
    dirty = true;
  }
  if (dirty) {
    idleTicks_ = 0;
    return true;
  }
  if (idleTicks_ >= kIdleTicks - 1) {
    OnGUIIdle();
    idleTicks_ = 0;
  } else {
    ++idleTicks_;
  }
  return false;
}

void IGraphics::drawControl(IControl* control, const IRECT& region) {
  drawRect_ = region;
  control->Draw(this);
}

void IGraphics::Draw(IRECT* r) {
  if (controls_.empty() || !r) return;
  if (strictDrawing_) {
    for (const auto& control : controls_)
      if (!control->IsHidden() && r->Intersects(control->GetRECT())) drawControl(control.get(), *r);
    for (const auto& control : controls_) control->SetClean();
  } else if (controls_[0]->IsDirty()) {
    const IRECT region = controls_[0]->GetRECT();
    for (const auto& control : controls_) {
      if (control->IsHidden()) continue;
      drawControl(control.get(), region);
      control->SetClean();
    }
  } else {
    for (size_t i = 1; i < controls_.size(); ++i) {
      IControl* dirty = controls_[i].get();
      if (!dirty->IsDirty()) continue;
      const IRECT region = dirty->GetRECT();
      for (const auto& control : controls_) {
        const bool meets = control.get() == dirty || control->GetRECT().Intersects(region);
        if (!control->IsHidden() && meets) drawControl(control.get(), region);
      }
      dirty->SetClean();
    }
  }
  platform_->DrawScreen(r);
}

void IGraphics::SetStrictDrawing(bool strict) {
  strictDrawing_ = strict;
  for (const auto& control : controls_) control->SetDirty(false);
}
