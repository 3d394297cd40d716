#include "platform/x11/X11PopupMenu.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "gui/IPopupMenu.h"
#include "platform/x11/PopupMenuView.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11Owned.h"
#include "platform/x11/X11PlatformWindow.h"
#include "platform/x11/X11View.h"

namespace {
using Clock = std::chrono::steady_clock;
// A release this soon after opening ends the click that opened the menu, not a choice.
constexpr int kOpeningClickMs = 300;

struct Level {
  std::unique_ptr<PopupMenuView> view;
  std::unique_ptr<X11PlatformWindow> window;
  int x, y;  // root position
};

// Grabs the pointer (and, when it can, the keyboard) for the menu's window and lets
// both go when it ends, however it ends.
class Grab {
 public:
  Grab(xcb_connection_t* c, xcb_window_t window) : c_(c) {
    const uint16_t mask =
        XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION;
    // The host may hold a grab for a moment (a click still settling): try for a while.
    for (int attempt = 0; attempt < 20 && !pointer_; ++attempt) {
      const X11Owned<xcb_grab_pointer_reply_t> reply(xcb_grab_pointer_reply(
          c,
          xcb_grab_pointer(c, 1, window, mask, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE,
                           XCB_NONE, XCB_CURRENT_TIME),
          nullptr));
      pointer_ = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
      if (!pointer_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const X11Owned<xcb_grab_keyboard_reply_t> reply(xcb_grab_keyboard_reply(
        c,
        xcb_grab_keyboard(c, 1, window, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
        nullptr));
    keyboard_ = reply && reply->status == XCB_GRAB_STATUS_SUCCESS;
  }
  ~Grab() {
    if (pointer_) xcb_ungrab_pointer(c_, XCB_CURRENT_TIME);
    if (keyboard_) xcb_ungrab_keyboard(c_, XCB_CURRENT_TIME);
    xcb_flush(c_);
  }
  Grab(const Grab&) = delete;
  Grab& operator=(const Grab&) = delete;
  bool HasPointer() const { return pointer_; }

 private:
  xcb_connection_t* c_;
  bool pointer_ = false, keyboard_ = false;
};

class MenuSession {
 public:
  MenuSession(X11View* view, IPopupMenu* menu) : view_(view), c_(view->Connection()) {
    c_->RootSize(view_->Root(), &rootWidth_, &rootHeight_);
    root_ = menu;
  }

  IPopupMenu* Run(int rootX, int rootY) {
    if (!open(root_, rootX, rootY)) return nullptr;
    Grab grab(c_->Get(), levels_[0].window->Window());
    if (!grab.HasPointer())
      return nullptr;  // without it a click elsewhere could never end the menu
    opened_ = Clock::now();
    view_->RunModal([this](const xcb_generic_event_t* event) { return handle(event); },
                    [this] { return done_; });
    levels_.clear();
    return chosen_;
  }

 private:
  bool open(IPopupMenu* menu, int x, int y) {
    auto view = std::make_unique<PopupMenuView>(menu, view_->Fonts());
    if (menu->GetNItems() == 0) return false;
    // Kept on the screen: moved left or up when it would leave it.
    if (rootWidth_ > 0) x = std::max(0, std::min(x, rootWidth_ - view->Width()));
    if (rootHeight_ > 0) y = std::max(0, std::min(y, rootHeight_ - view->Height()));
    auto window = std::make_unique<X11PlatformWindow>(
        c_, view_->Root(), x, y, view->Width(), view->Height(), true,
        XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
            XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_KEY_PRESS);
    if (!window->Valid()) return false;
    window->Map();
    window->Show(view->Picture());
    levels_.push_back({std::move(view), std::move(window), x, y});
    return true;
  }

  // Opens the submenu of the highlighted item of the deepest level, beside it.
  void openSubmenu(bool highlightFirst) {
    Level& level = levels_.back();
    const int item = level.view->Highlighted();
    if (!level.view->HasSubmenu(item)) return;
    IPopupMenu* submenu = level.view->Menu()->GetItem(item)->GetSubmenu();
    PopupMenuView probe(submenu, view_->Fonts());
    int x = level.x + level.view->Width() - 2 * view_->Scale();
    if (rootWidth_ > 0 && x + probe.Width() > rootWidth_) x = level.x - probe.Width();
    if (!open(submenu, x, level.y + level.view->RowTop(item))) return;
    if (highlightFirst) highlight(levels_.back(), levels_.back().view->NextSelectable(1));
  }

  void closeBelow(size_t depth) {
    while (levels_.size() > depth + 1) levels_.pop_back();
  }

  void highlight(Level& level, int item) {
    if (level.view->Highlight(item)) level.window->Show(level.view->Picture());
  }

  // The deepest level under a root point, or -1.
  int levelAt(int x, int y) const {
    for (int i = int(levels_.size()) - 1; i >= 0; --i) {
      const Level& level = levels_[size_t(i)];
      if (x >= level.x && y >= level.y && x < level.x + level.view->Width() &&
          y < level.y + level.view->Height())
        return i;
    }
    return -1;
  }

  void choose(size_t depth, int item) {
    IPopupMenu* menu = levels_[depth].view->Menu();
    menu->SetChosenItemIdx(item);
    chosen_ = menu;
    done_ = true;
  }

  // A chosen leaf item, or the submenu of an item opened.
  void activate(size_t depth, int item) {
    Level& level = levels_[depth];
    if (!level.view->Selectable(item)) return;
    if (level.view->HasSubmenu(item)) {
      closeBelow(depth);
      highlight(level, item);
      openSubmenu(true);
    } else {
      choose(depth, item);
    }
  }

  void pointer(int rootX, int rootY, bool release, bool press) {
    const int depth = levelAt(rootX, rootY);
    if (depth < 0) {
      if (press) done_ = true;  // a click outside every level dismisses the menu
      return;
    }
    Level& level = levels_[size_t(depth)];
    const int item = level.view->ItemAt(rootY - level.y);
    if (!release && !press) {  // hovering opens submenus at once
      if (item >= 0 && item == level.view->Highlighted()) return;
      closeBelow(size_t(depth));
      highlight(level, item);
      if (level.view->HasSubmenu(item)) openSubmenu(false);
      moved_ = true;
      return;
    }
    if (release) {
      if (!moved_ && Clock::now() - opened_ < std::chrono::milliseconds(kOpeningClickMs)) return;
      if (item >= 0) activate(size_t(depth), item);
    }
  }

  void key(const IKeyPress& key) {
    Level& level = levels_.back();
    switch (key.key) {
      case IKeyPress::kUp:
      case IKeyPress::kDown:
        highlight(level, level.view->NextSelectable(key.key == IKeyPress::kDown ? 1 : -1));
        return;
      case IKeyPress::kRight: openSubmenu(true); return;
      case IKeyPress::kLeft:
        if (levels_.size() > 1) levels_.pop_back();
        return;
      case IKeyPress::kEscape:
        if (levels_.size() > 1)
          levels_.pop_back();
        else
          done_ = true;
        return;
      case IKeyPress::kReturn:
        if (level.view->Highlighted() >= 0) activate(levels_.size() - 1, level.view->Highlighted());
        return;
      default:
        if (key.character == ' ' && level.view->Highlighted() >= 0)
          activate(levels_.size() - 1, level.view->Highlighted());
        return;
    }
  }

  bool handle(const xcb_generic_event_t* event) {
    for (Level& level : levels_)
      if (level.window->HandleEvent(event)) return true;
    switch (event->response_type & 0x7f) {
      case XCB_BUTTON_PRESS:
      case XCB_BUTTON_RELEASE: {
        const auto* b = reinterpret_cast<const xcb_button_press_event_t*>(event);
        if (b->detail > 3) return true;  // wheel turns inside the menu do nothing
        const bool press = (event->response_type & 0x7f) == XCB_BUTTON_PRESS;
        pointer(b->root_x, b->root_y, !press, press);
        return true;
      }
      case XCB_MOTION_NOTIFY: {
        const auto* m = reinterpret_cast<const xcb_motion_notify_event_t*>(event);
        pointer(m->root_x, m->root_y, false, false);
        return true;
      }
      case XCB_KEY_PRESS: {
        const auto* k = reinterpret_cast<const xcb_key_press_event_t*>(event);
        key(view_->Keyboard()->Translate(k->detail, k->state));
        return true;
      }
      case XCB_KEY_RELEASE:
      case XCB_ENTER_NOTIFY:
      case XCB_LEAVE_NOTIFY: return true;
      default: return false;
    }
  }

  X11View* view_;
  X11Connection* c_;
  IPopupMenu* root_;
  std::vector<Level> levels_;
  IPopupMenu* chosen_ = nullptr;
  bool done_ = false;
  bool moved_ = false;
  Clock::time_point opened_;
  int rootWidth_ = 0, rootHeight_ = 0;
};
}  // namespace

namespace X11PopupMenu {
IPopupMenu* Run(X11View* view, IPopupMenu* menu, const IRECT& r) {
  if (!view || !menu || view->Destroyed()) return nullptr;
  int x = 0, y = 0;
  if (!view->Connection()->RootPosition(view->Window(), &x, &y)) return nullptr;
  MenuSession session(view, menu);
  return session.Run(x + r.L * view->Scale(), y + r.B * view->Scale());
}
}  // namespace X11PopupMenu
