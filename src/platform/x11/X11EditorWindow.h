#pragma once

// The editor's window on X11: a child of the host's window (or a top-level window of
// its own) with the parent's visual when it is 24- or 32-bit TrueColor, otherwise a
// TrueColor visual with its own colormap and border pixel, and fixed-size hints. It
// collects the editor pixels that must reach the screen (Invalidate, exposure) and
// copies them through its surface at the window's scale when no copy is in flight.
//
// The thread that owns the connection (the editor's).
#include <xcb/xcb.h>

#include <functional>
#include <memory>
#include <string>

#include "gui/IGraphicsStructs.h"
#include "raster/Bitmap.h"

class X11Connection;
class X11Surface;

class X11EditorWindow {
 public:
  // width and height in editor pixels. Null when the window cannot be made. With a
  // parent of 0 the window is a top-level one, titled "ZORQ", whose close button
  // is reported (TakeCloseRequest) instead of closing it.
  static std::unique_ptr<X11EditorWindow> Create(X11Connection* connection, xcb_window_t parent,
                                                 int width, int height, int scale,
                                                 bool trySharedMemory);
  ~X11EditorWindow();
  X11EditorWindow(const X11EditorWindow&) = delete;
  X11EditorWindow& operator=(const X11EditorWindow&) = delete;

  xcb_window_t Window() const { return window_; }
  // The host's window, or the root for a top-level window.
  xcb_window_t Parent() const { return parent_; }
  xcb_window_t Root() const { return root_; }
  bool TopLevel() const { return parent_ == root_; }
  int Scale() const { return scale_; }
  bool UsesSharedMemory() const;
  // The window was destroyed with its parent (the host closed first).
  bool Destroyed() const { return destroyed_; }
  // A top-level window's title and WM_CLASS (instance and class name).
  void SetTitle(const std::string& title);
  void SetClass(const std::string& instance, const std::string& className);
  // True once after the window manager's close button was pressed.
  bool TakeCloseRequest();
  // Window pixels to editor pixels, rounding down (negative beyond the left or top).
  int ToEditor(int windowCoordinate) const;

  // The region (editor pixels) changed; it is copied at the next Upload.
  void Invalidate(const IRECT& r);
  // Copies what changed: the raster, with compose drawing over it (the text field),
  // reaches the window. Nothing happens while a copy is in flight.
  void Upload(const LICE_IBitmap* raster, const std::function<void(LICE_IBitmap* screen)>& compose);
  // A shared-memory copy has not completed yet.
  bool CopyInFlight() const;
  // New editor size or scale; no copy may be in flight. Everything is copied again.
  void Resize(int width, int height, int scale);

  // Exposure, destruction, copy completion and error replies. True when the event
  // was the window's (nothing else needs it).
  bool HandleEvent(const xcb_generic_event_t* event);

 private:
  X11EditorWindow(X11Connection* connection, int width, int height, int scale);
  bool create(xcb_window_t parent, bool trySharedMemory);

  X11Connection* connection_;
  std::unique_ptr<X11Surface> surface_;
  xcb_window_t parent_ = 0, window_ = 0, root_ = 0;
  xcb_colormap_t colormap_ = 0;
  uint8_t depth_ = 0;
  int width_, height_, scale_;
  bool destroyed_ = false;
  bool closeRequested_ = false;
  xcb_atom_t deleteWindow_ = 0;
  // Editor pixels still to copy; the raster with the text field over it.
  IRECT pending_;
  LICE_MemBitmap screen_;
};
