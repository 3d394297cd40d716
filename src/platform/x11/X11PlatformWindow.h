#pragma once

// A window of the platform layer's own (menu level, message box, tooltip) on the
// screen's default TrueColor visual: created, shown with a picture, and the picture
// copied again on exposure.
#include <xcb/xcb.h>

#include <memory>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Surface.h"

class X11PlatformWindow {
 public:
  // overrideRedirect: menus and tooltips (placed by us, no frame). eventMask: the
  // input events wanted besides exposure.
  X11PlatformWindow(X11Connection* connection, xcb_window_t root, int x, int y, int width,
                    int height, bool overrideRedirect, uint32_t eventMask);
  ~X11PlatformWindow();
  X11PlatformWindow(const X11PlatformWindow&) = delete;
  X11PlatformWindow& operator=(const X11PlatformWindow&) = delete;

  bool Valid() const { return window_ != 0; }
  xcb_window_t Window() const { return window_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void Map();
  // Copies the picture (window-sized) to the window.
  void Show(const LICE_IBitmap* picture);
  // Exposure redraws the last picture; true when the event was this window's.
  bool HandleEvent(const xcb_generic_event_t* event);

 private:
  X11Connection* connection_;
  xcb_window_t window_ = 0;
  xcb_colormap_t colormap_ = 0;
  int width_, height_;
  std::unique_ptr<X11Surface> surface_;
  const LICE_IBitmap* picture_ = nullptr;
};
