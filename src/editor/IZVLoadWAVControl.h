#pragma once

// The modulator input chooser, bound to "Input Mode": shows "MIC Input" or the sample
// file's short name (in red, with the reason in its tooltip, when the file failed to
// load). A click opens a menu at the pointer: the microphone, the loaded file,
// "Legato", unloading the file, and loading one through the file prompt. The prompt
// answers later; the steps after it run in its completion. Editor thread.
#include <string>

#include "gui/IFileSelectorControl.h"

class IPopupMenu;
class ZORQ;

class IZVLoadWAVControl : public IFileSelectorControl {
 public:
  // Menu positions.
  enum EItem { kMicInput = 0, kFile = 1, kLegato = 3, kUnload = 5, kLoad = 6 };

  IZVLoadWAVControl(ZORQ* instrument, IRECT rect, int paramIdx, const char* dir,
                    const char* extensions);
  bool Draw(IGraphics* graphics) override;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;

  // The part after the last '/' or '\', without its last extension.
  static std::string shortName(const std::string& path);
  static void buildMenu(IPopupMenu& menu, const std::string& file, double value, bool legato);

 private:
  // The prompt's answer: an empty file means it was cancelled.
  void fileChosen(const std::string& file);
  void choose(double value);

  ZORQ* instrument_;
  IRECT textArea_;
  IText errorText_;
  bool loadFailed_ = false;
};
