#include "platform/win32/Win32PopupMenu.h"

#include <utility>
#include <vector>

#include "gui/IPopupMenu.h"
#include "system/WideText.h"

namespace {
// Command 0 means "nothing chosen", so item n of the table is command n + 1.
using Choices = std::vector<std::pair<IPopupMenu*, int>>;

HMENU build(IPopupMenu* menu, Choices* choices) {
  HMENU handle = CreatePopupMenu();
  for (int i = 0; handle && i < menu->GetNItems(); ++i) {
    const IPopupMenuItem* item = menu->GetItem(i);
    if (item->GetIsSeparator()) {
      AppendMenuW(handle, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    const std::wstring text = widen(item->GetText());
    UINT flags = MF_STRING;
    if (!item->GetEnabled() || item->GetIsTitle()) flags |= MF_GRAYED;
    if (item->GetChecked()) flags |= MF_CHECKED;
    if (IPopupMenu* submenu = item->GetSubmenu()) {
      AppendMenuW(handle, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(build(submenu, choices)),
                  text.c_str());
    } else {
      choices->emplace_back(menu, i);
      AppendMenuW(handle, flags, choices->size(), text.c_str());
    }
  }
  return handle;
}
}  // namespace

IPopupMenu* Win32PopupMenu::Run(HWND owner, IPopupMenu* menu, POINT at) {
  if (!menu) return nullptr;
  Choices choices;
  HMENU handle = build(menu, &choices);
  if (!handle) return nullptr;
  const UINT command = UINT(TrackPopupMenu(
      handle, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x,
      at.y, 0, owner, nullptr));
  DestroyMenu(handle);  // and its submenus
  if (command == 0 || command > choices.size()) return nullptr;
  auto [chosenMenu, index] = choices[command - 1];
  chosenMenu->SetChosenItemIdx(index);
  return chosenMenu;
}
