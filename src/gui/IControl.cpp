#include "gui/IControl.h"

#include <algorithm>
#include <cstring>

#include "framework/IPlugBase.h"
#include "gui/IGraphics.h"
#include "gui/ITextControl.h"

namespace {
constexpr auto kRelaxed = std::memory_order_relaxed;
}

IControl::IControl(IPlugBase* plug, IRECT rect, int paramIdx,
                   IChannelBlend::EBlendMethod blendMethod)
    : plug_(plug), rect_(rect), targetRect_(rect), paramIdx_(paramIdx), blend_(blendMethod) {}

IControl::~IControl() = default;

void IControl::OnMouseDown(int, int, IMouseMod* mod) {
  if (mod && mod->R) PromptUserInput();
}

void IControl::OnMouseDblClick(int, int, IMouseMod*) {
  const double defaultValue = GetDefaultValue();
  if (defaultValue < 0.0) return;
  setValue(defaultValue);
  SetDirty(true);
}

void IControl::SetValueFromPlug(double value) {
  if (GetDefaultValue() < 0.0) {
    SetDefaultValue(value);
    setValue(value);
  }
  if (GetValue() != value) {
    setValue(value);
    SetDirty(false);
    setRedrawPending();
  }
}

void IControl::SetValueFromUserInput(double value) {
  if (GetValue() == value) return;
  setValue(value);
  SetDirty(true);
  setRedrawPending();
}

void IControl::Hide(bool hide) {
  hidden_.store(hide, kRelaxed);
  setRedrawPending();
  SetDirty(false);
}

void IControl::GrayOut(bool gray) {
  grayed_.store(gray, kRelaxed);
  blend_.mWeight = gray ? 0.25f : 1.0f;
  SetDirty(false);
}

bool IControl::IsHit(int x, int y) { return targetRect_.Contains(x, y); }

void IControl::Clamp(double lo, double hi) {
  clampLo_.store(lo, kRelaxed);
  clampHi_.store(hi, kRelaxed);
}

IParam* IControl::GetParam() const { return plug_ ? plug_->GetParam(paramIdx_) : nullptr; }

void IControl::SetDirty(bool pushToPlug) {
  const double lo = clampLo_.load(kRelaxed), hi = clampHi_.load(kRelaxed);
  const double value = GetValue();
  // A value that is not a number (from a host) counts as the low end.
  setValue(!(value >= lo) ? lo : std::min(hi, value));
  dirty_.store(true, kRelaxed);
  // An index that names no parameter (the level meter's) reaches no parameter.
  IParam* param = pushToPlug ? GetParam() : nullptr;
  if (!param) return;
  plug_->SetParameterFromGUI(paramIdx_, GetValue());
  if (valueDisplayControl_) {
    char display[IParam::kMaxParamName * 2 + 2] = {};
    param->GetDisplayForHost(display, true);
    display[IParam::kMaxParamName - 1] = '\0';
    std::strcat(display, " ");
    std::strncat(display, param->GetLabelForHost(), IParam::kMaxParamName - 1);
    valueDisplayControl_->SetTextFromPlug(display);
  }
  if (nameDisplayControl_) nameDisplayControl_->SetTextFromPlug(param->GetNameForHost());
}

void IControl::SetClean() {
  dirty_.store(redrawPending_.load(kRelaxed), kRelaxed);
  redrawPending_.store(false, kRelaxed);
}

bool IControl::IsDirty() { return dirty_.load(kRelaxed); }

void IControl::SetAuxParamValueFromPlug(int auxParamIdx, double value) {
  AuxParam* aux = GetAuxParam(auxParamIdx);
  if (!aux || aux->mValue.load(kRelaxed) == value) return;
  aux->mValue.store(value, kRelaxed);
  setRedrawPending();
}

void IControl::PromptUserInput() {
  const int cx = static_cast<int>((rect_.L + rect_.R) * 0.5);
  const int cy = static_cast<int>((rect_.T + rect_.B) * 0.5);
  IRECT entry(cx - 20, cy - 8, cx + 20, cy + 8);
  IParam* param = GetParam();
  PromptUserInput(param && param->GetNDisplayTexts() > 0 ? &rect_ : &entry);
}

void IControl::PromptUserInput(IRECT* r) {
  if (paramIdx_ < 0 || promptDisabled_) return;
  IParam* param = GetParam();
  if (graphics_ && param) graphics_->PromptUserInput(this, param, r);
  setRedrawPending();
}

void IControl::AddAuxParam(int paramIdx) { auxParams_.emplace_back(paramIdx); }

IControl::AuxParam* IControl::GetAuxParam(int i) {
  return i >= 0 && i < NAuxParams() ? &auxParams_[static_cast<size_t>(i)] : nullptr;
}

int IControl::AuxParamIdx(int paramIdx) const {
  for (int i = 0; i < NAuxParams(); ++i)
    if (auxParams_[static_cast<size_t>(i)].mParamIdx == paramIdx) return i;
  return -1;
}

void IControl::SetAllAuxParamsFromGUI() {
  if (!plug_) return;
  for (const AuxParam& aux : auxParams_)
    plug_->SetParameterFromGUI(aux.mParamIdx, aux.mValue.load(kRelaxed));
}
