#include "gui/IFileSelectorControl.h"

#include "gui/IGraphics.h"

IFileSelectorControl::IFileSelectorControl(IPlugBase* plug, IRECT rect, int paramIdx,
                                           EFileAction action, const char* dir,
                                           const char* extensions)
    : IControl(plug, rect, paramIdx),
      dir_(dir ? dir : ""),
      extensions_(extensions ? extensions : ""),
      action_(action) {}

void IFileSelectorControl::OnMouseDown(int, int, IMouseMod*) {
  if (!plug_ || !graphics_ || state_ == kSelecting) return;
  state_ = kSelecting;
  SetDirty(false);
  graphics_->PromptForFile(file_, action_, dir_, extensions_.c_str(),
                           [this](const std::string& file, const std::string& dir) {
                             file_ = file;
                             if (!file.empty()) dir_ = dir;
                             const double value = GetValue() + 1.0;
                             setValue(value > 1.0 ? 0.0 : value);
                             state_ = kDone;
                             SetDirty(true);
                           });
}

bool IFileSelectorControl::Draw(IGraphics* graphics) {
  if (state_ == kSelecting) graphics->DrawBitmap(&bitmap_, &rect_, 0, 0, &blend_);
  return true;
}

bool IFileSelectorControl::IsDirty() {
  if (IControl::IsDirty()) return true;
  if (state_ != kDone) return false;
  state_ = kIdle;
  return true;
}
