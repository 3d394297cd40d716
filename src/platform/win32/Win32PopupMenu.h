#pragma once

// A popup menu of the editor on Windows: the menu (and its submenus) built as a
// system menu, shown with TrackPopupMenu until the user chooses or dismisses it.
// Titles and disabled items cannot be chosen; checked items carry a mark.
#include <windows.h>

class IPopupMenu;

namespace Win32PopupMenu {
// The view's thread; modal. Returns the (sub)menu holding the chosen item (its
// chosen index set), or null when nothing was chosen.
IPopupMenu* Run(HWND owner, IPopupMenu* menu, POINT at);
}  // namespace Win32PopupMenu
