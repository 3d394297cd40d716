#include "editor/IZVPresetMenu.h"

#include <cstdio>

#include "editor/EditorStyles.h"
#include "editor/EditorText.h"
#include "gui/IGraphics.h"
#include "gui/IPopupMenu.h"
#include "shell/Synth.h"

IZVPresetMenu::IZVPresetMenu(Synth* instrument, IRECT numberArea, IRECT nameArea)
    : IControl(instrument, numberArea.Union(nameArea)),
      instrument_(instrument),
      numberArea_(numberArea),
      nameArea_(nameArea) {
  textEntryLength_ = static_cast<int>(kShownNameLength);
  text_ = EditorStyles::program();
}

bool IZVPresetMenu::Draw(IGraphics* graphics) {
  {
    // Host calls rename and switch programs meanwhile; the name is read whole.
    std::string name;
    const int current = instrument_->currentProgram(&name);
    char number[16];
    std::snprintf(number, sizeof number, "%02d", current);
    number_ = number;
    name_ = cutText(name, kShownNameLength);
  }
  graphics->FillIRect(&COLOR_TRANSPARENT, &numberArea_);
  graphics->FillIRect(&COLOR_TRANSPARENT, &nameArea_);
  graphics->DrawIText(&text_, number_.c_str(), &numberArea_, IGraphics::kDrawTextNoClip);
  graphics->DrawIText(&text_, name_.c_str(), &nameArea_, IGraphics::kDrawTextNoClip);
  return true;
}

void IZVPresetMenu::buildMenu(IPopupMenu& menu, const Synth& instrument) {
  IPopupMenu* submenu = nullptr;
  int current = 0;
  const std::vector<std::string> names = instrument.programNames(&current);
  const int count = static_cast<int>(names.size());
  for (int i = 0; i < count; ++i) {
    if (i % kProgramsPerSubmenu == 0 && i / kProgramsPerSubmenu < kMaxSubmenus) {
      char title[32];
      std::snprintf(title, sizeof title, "%02d - %02d", i, i + kProgramsPerSubmenu - 1);
      submenu = new IPopupMenu;
      menu.AddItem(title, submenu);
    }
    char entry[300];
    std::snprintf(entry, sizeof entry, "%02u: %s", unsigned(i), names[size_t(i)].c_str());
    IPopupMenuItem* item = submenu->AddItem(cutText(entry, kMenuEntryLength).c_str());
    item->SetChecked(i == current);
  }
}

int IZVPresetMenu::chosenProgram(const IPopupMenu& menu, const IPopupMenu* chosen) {
  if (!chosen) return -1;
  for (int k = 0; k < menu.GetNItems(); ++k)
    if (menu.GetItem(k)->GetSubmenu() == chosen)
      return k * kProgramsPerSubmenu + chosen->GetChosenItemIdx();
  return -1;
}

void IZVPresetMenu::OnMouseDown(int x, int y, IMouseMod*) {
  if (!graphics_) return;
  if (nameArea_.Contains(x, y)) {
    std::string name;
    instrument_->currentProgram(&name);
    graphics_->CreateTextEntry(this, &text_, &nameArea_, name.c_str(), nullptr);
  } else if (numberArea_.Contains(x, y)) {
    IPopupMenu menu;
    buildMenu(menu, *instrument_);
    const int program = chosenProgram(menu, graphics_->CreateIPopupMenu(&menu, &numberArea_));
    if (program >= 0) instrument_->changePreset(program);
  }
}

void IZVPresetMenu::TextFromTextEntry(const char* text) {
  const std::string name = cutText(text ? text : "", kMaxRename);
  instrument_->renameCurrentProgram(name.c_str());
  SetDirty(false);
}
