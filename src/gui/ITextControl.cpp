#include "gui/ITextControl.h"

#include "gui/IGraphics.h"

ITextControl::ITextControl(IPlugBase* plug, IRECT rect, IText* text, const char* str)
    : IControl(plug, rect), str_(str ? str : "") {
  if (text) text_ = *text;
}

void ITextControl::SetTextFromPlug(const char* str) {
  const char* text = str ? str : "";
  if (str_ == text) return;
  SetDirty(false);
  str_ = text;
}

bool ITextControl::Draw(IGraphics* graphics) {
  if (str_.empty()) return true;
  return graphics->DrawIText(&text_, str_.c_str(), &rect_, IGraphics::kDrawTextNoClip);
}

bool IPanelControl::Draw(IGraphics* graphics) {
  return graphics->FillIRect(&color_, &rect_, &blend_);
}
