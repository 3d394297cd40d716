#pragma once

// A click opens the platform's file prompt; when it is answered (chosen or
// cancelled) the value moves on (0 -> 1 -> 0), so whoever watches the control sees
// that the prompt ended. A click while the prompt is still open does nothing.
// Editor thread.
#include <string>

#include "gui/IControl.h"

class IFileSelectorControl : public IControl {
 public:
  enum EState { kIdle = 0, kSelecting, kDone };

  IFileSelectorControl(IPlugBase* plug, IRECT rect, int paramIdx, EFileAction action,
                       const char* dir = "", const char* extensions = "");
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  bool Draw(IGraphics* graphics) override;
  bool IsDirty() override;

  void GetLastSelectedFileForPlug(std::string* file) const { *file = file_; }
  void SetLastSelectedFileFromPlug(const char* file) { file_ = file ? file : ""; }
  EState GetState() const { return state_; }

 protected:
  IBitmap bitmap_;
  std::string file_;
  std::string dir_;
  std::string extensions_;
  EFileAction action_;
  EState state_ = kIdle;
};
