#pragma once

// The program display: the current program's number ("00" to "63") and name. A click
// on the number opens the program menu (programs in submenus of 16); a click on the
// name opens a text field that renames the current program. Editor thread.
#include <string>

#include "gui/IControl.h"

class IPopupMenu;
class Synth;

class IZVPresetMenu : public IControl {
 public:
  // The name shows at most this many bytes (cut at a character boundary).
  static constexpr size_t kShownNameLength = 27;
  static constexpr size_t kMenuEntryLength = 31;
  static constexpr size_t kMaxRename = 256;
  static constexpr int kProgramsPerSubmenu = 16;
  static constexpr int kMaxSubmenus = 4;

  IZVPresetMenu(Synth* instrument, IRECT numberArea, IRECT nameArea);
  bool Draw(IGraphics* graphics) override;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  // The renamed current program takes the live state; an empty text keeps its name.
  void TextFromTextEntry(const char* text) override;

  // The program menu: "NN: name" entries, the current one checked, in submenus
  // "00 - 15", "16 - 31", ...; entries past the last submenu stay in it.
  static void buildMenu(IPopupMenu& menu, const Synth& instrument);
  // The program an answer of the menu chose, or -1.
  static int chosenProgram(const IPopupMenu& menu, const IPopupMenu* chosen);

 private:
  Synth* instrument_;
  IRECT numberArea_;
  IRECT nameArea_;
  std::string number_;
  std::string name_;
};
