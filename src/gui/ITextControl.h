#pragma once

// Controls without a parameter that show a text or fill their area with a colour.
// Editor thread.
#include <string>

#include "gui/IControl.h"

class ITextControl : public IControl {
 public:
  ITextControl(IPlugBase* plug, IRECT rect, IText* text, const char* str = "");
  // Marks the control for redrawing when the text changes.
  void SetTextFromPlug(const char* str);
  const char* GetTextForPlug() const { return str_.c_str(); }
  bool Draw(IGraphics* graphics) override;

 protected:
  std::string str_;
};

class IPanelControl : public IControl {
 public:
  IPanelControl(IPlugBase* plug, IRECT rect, const IColor* color)
      : IControl(plug, rect), color_(color ? *color : COLOR_BLACK) {}
  bool Draw(IGraphics* graphics) override;

 protected:
  IColor color_;
};
