#include "editor/IZVPopUpMenuControl.h"

#include <cstring>

#include "editor/EditorStyles.h"
#include "framework/IParam.h"
#include "gui/IGraphics.h"
#include "gui/IPopupMenu.h"

IZVPopUpMenuControl::IZVPopUpMenuControl(IPlugBase* plug, IRECT rect, int paramIdx)
    : IControl(plug, rect, paramIdx), textArea_(rect.L, rect.T + 1, rect.R, rect.B) {
  text_ = EditorStyles::menuValue();
  if (const IParam* param = GetParam()) setValue(param->GetNormalized());
}

bool IZVPopUpMenuControl::Draw(IGraphics* graphics) {
  graphics->FillIRect(&COLOR_TRANSPARENT, &textArea_);
  const IParam* param = GetParam();
  if (!param) return true;
  char text[IParam::kMaxParamName] = {};
  param->GetDisplayForHost(text, true);
  if (!text[0]) return true;
  return graphics->DrawIText(&text_, text, &textArea_, IGraphics::kDrawTextNoClip);
}

void IZVPopUpMenuControl::buildMenu(IPopupMenu& menu, const IParam& param) {
  char current[IParam::kMaxParamName] = {};
  param.GetDisplayForHost(current, true);
  for (int i = 0; i < param.GetNDisplayTexts(); ++i) {
    const char* text = param.GetDisplayTextAtIdx(i);
    menu.AddItem(text)->SetChecked(std::strcmp(text, current) == 0);
  }
}

void IZVPopUpMenuControl::OnMouseDown(int, int, IMouseMod*) {
  const IParam* param = GetParam();
  if (!param || !graphics_) return;
  IPopupMenu menu;
  buildMenu(menu, *param);
  if (graphics_->CreateIPopupMenu(&menu, &rect_))
    SetValueFromUserInput(param->GetNormalized(menu.GetChosenItemIdx()));
}
