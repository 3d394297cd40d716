#include "editor/IZVKnobMultiControlText.h"

#include <cstring>

#include "editor/EditorStyles.h"
#include "framework/IParam.h"
#include "gui/IGraphics.h"

namespace {
IRECT controlRect(int x, int y, const IBitmap* bitmap) {
  const int w = bitmap ? bitmap->FrameWidth() : 0, h = bitmap ? bitmap->FrameHeight() : 0;
  return IRECT(x - 4, y, x + w + 4, y + h + 16);
}
}  // namespace

IZVKnobMultiControlText::IZVKnobMultiControlText(IPlugBase* plug, int x, int y, int paramIdx,
                                                 IBitmap* bitmap)
    : IKnobControl(plug, controlRect(x, y, bitmap), paramIdx, kVertical, kDefaultGearing),
      bitmap_(bitmap ? *bitmap : IBitmap()),
      bitmapArea_(bitmap_.FrameRect(x, y)),
      textArea_(x - 4, y + bitmap_.FrameHeight() + 2, x + bitmap_.FrameWidth() + 4,
                y + bitmap_.FrameHeight() + 12),
      zeroText_(EditorStyles::knobValueAtZero()) {
  text_ = EditorStyles::knobValue();
  // The declared default, so a double click restores it (not the first value seen).
  if (const IParam* param = GetParam()) {
    setValue(param->GetNormalized());
    SetDefaultValue(param->GetNormalized(param->GetDefault()));
  }
}

bool IZVKnobMultiControlText::Draw(IGraphics* graphics) {
  graphics->DrawBitmap(&bitmap_, &bitmapArea_, bitmap_.FrameForValue(GetValue()), &blend_);
  const IParam* param = GetParam();
  if (!param) return true;
  char text[IParam::kMaxParamName * 2] = {};
  param->GetDisplayForHost(text, true);
  std::strncat(text, param->GetLabelForHost(), IParam::kMaxParamName - 1);
  if (!text[0]) return true;
  IText* style = param->Value() == 0.0 ? &zeroText_ : &text_;
  return graphics->DrawIText(style, text, &textArea_, IGraphics::kDrawTextNoClip);
}
