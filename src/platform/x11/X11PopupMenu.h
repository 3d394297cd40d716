#pragma once

// A popup menu on the editor's connection: each level an override-redirect window on
// the root (so submenus open outside the editor), drawn by PopupMenuView. The pointer
// and keyboard are grabbed while it is open and released on every way out. Modal for
// its caller: Run returns when an item was chosen (the (sub)menu holding it, with its
// chosen index set) or the menu was dismissed (null).
class IPopupMenu;
class X11View;
struct IRECT;

namespace X11PopupMenu {
// r is in editor pixels; the menu's top-left corner goes to (r.L, r.B).
IPopupMenu* Run(X11View* view, IPopupMenu* menu, const IRECT& r);
}  // namespace X11PopupMenu
