#pragma once

// The two menu buttons drawn on the background art: the options menu (programs,
// banks, the startup bank, default folders, the configuration file, MIDI settings,
// going online) and, in the tweak view, the tools menu that rewrites the bands. Each
// click builds its menu anew, so check marks and disabled items follow the current
// settings, and opens it at the click. Editor thread.
#include "gui/IControl.h"

class IPopupMenu;
class ZORQ;

class IZVOptionMenu : public IControl {
 public:
  static constexpr int kMidiSubmenuOffset = 20;
  static constexpr int kOnlineSubmenuOffset = 22;

  IZVOptionMenu(ZORQ* instrument, IRECT rect);
  // Draws nothing: the background shows the button.
  bool Draw(IGraphics* graphics) override;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;

  static void buildMenu(IPopupMenu& menu, const ZORQ& instrument);
  // The command (a File::Command code) of the menu's answer, or -1 for none.
  static int chosenCommand(const IPopupMenu& menu, const IPopupMenu* chosen);

 private:
  ZORQ* instrument_;
};

class IZVToolsMenu : public IControl {
 public:
  static constexpr int kAnalysisSubmenuOffset = 12;
  static constexpr int kSynthesisSubmenuOffset = 22;

  IZVToolsMenu(ZORQ* instrument, IRECT rect);
  bool Draw(IGraphics* graphics) override;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;

  static void buildMenu(IPopupMenu& menu);
  // The command (a Properties::ToolsCmd code) of the menu's answer, or -1 for none.
  static int chosenCommand(const IPopupMenu& menu, const IPopupMenu* chosen);

 private:
  ZORQ* instrument_;
};
