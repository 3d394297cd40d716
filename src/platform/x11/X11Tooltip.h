#pragma once

// A tooltip: a small override-redirect window with one line of text, shown near the
// pointer and redrawn on exposure.
#include <xcb/xcb.h>

#include <memory>
#include <string>

#include "raster/Bitmap.h"

class PlatformFonts;
class X11Connection;
class X11PlatformWindow;

class X11Tooltip {
 public:
  X11Tooltip(X11Connection* connection, PlatformFonts* fonts, xcb_window_t root,
             const std::string& text, int rootX, int rootY);
  ~X11Tooltip();
  X11Tooltip(const X11Tooltip&) = delete;
  X11Tooltip& operator=(const X11Tooltip&) = delete;

  xcb_window_t Window() const;
  // True when the event belonged to the tooltip.
  bool HandleEvent(const xcb_generic_event_t* event);

 private:
  LICE_MemBitmap picture_;
  std::unique_ptr<X11PlatformWindow> window_;
};
