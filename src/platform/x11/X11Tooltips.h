#pragma once

// When and where the editor window shows a tooltip: once the pointer has rested for
// half a second inside one of the registered regions over a control that has a
// tooltip, a tooltip window (X11Tooltip) shows that text beside the pointer. Moving
// the pointer by more than a pixel hides it and starts the wait again; a click hides
// it until the pointer moves.
//
// The thread that owns the connection (the editor's).
#include <xcb/xcb.h>

#include <chrono>
#include <memory>
#include <vector>

#include "gui/IGraphicsStructs.h"

class PlatformFonts;
class X11Connection;
class X11Tooltip;

class X11Tooltips {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr int kDelayMs = 500;

  X11Tooltips(X11Connection* connection, xcb_window_t window, xcb_window_t root);
  ~X11Tooltips();
  X11Tooltips(const X11Tooltips&) = delete;
  X11Tooltips& operator=(const X11Tooltips&) = delete;

  void SetRegions(std::vector<IRECT> regions) { regions_ = std::move(regions); }
  bool Shown() const { return shown_ != nullptr; }
  // The pointer came to rest anew (entered, or moved by more than a pixel).
  void Restart(Clock::time_point now);
  void Hide();
  // Hidden, and none shows again before the pointer moves.
  void Dismiss();
  // Shows text when the pointer at (x, y) (editor pixels) has rested long enough
  // inside a region; text null or empty shows nothing. Once per rest either way.
  void Update(Clock::time_point now, int x, int y, const char* text, PlatformFonts* fonts,
              int scale);
  // Exposure of the tooltip's window; true when the event was its.
  bool HandleEvent(const xcb_generic_event_t* event);

 private:
  X11Connection* connection_;
  xcb_window_t window_, root_;
  std::vector<IRECT> regions_;
  Clock::time_point restingSince_;
  std::unique_ptr<X11Tooltip> shown_;
  bool done_ = false;
};
