#pragma once

// One XCB connection of the editor, opened on the thread that opens the editor and
// used only there. It knows the screen that holds the host's window, the atoms the
// editor uses, the pixel format of a visual, and small window-system helpers. Only
// src/platform includes this header.
#include <xcb/xcb.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/x11/PixelFormat.h"

struct xkb_context;

// The visual a window of the editor uses, with its depth and pixel format.
struct X11Visual {
  xcb_visualid_t id = 0;
  uint8_t depth = 0;
  PixelFormat format;
  // True when the window needs a colormap of its own (a visual other than the root's).
  bool ownColormap = false;
};

class X11Connection {
 public:
  // Connects to the display named by $DISPLAY (or displayName). Null when no server
  // answers.
  static std::unique_ptr<X11Connection> Open(const char* displayName = nullptr);
  ~X11Connection();
  X11Connection(const X11Connection&) = delete;
  X11Connection& operator=(const X11Connection&) = delete;

  xcb_connection_t* Get() const { return connection_; }
  int Fd() const;
  bool Broken() const;
  const xcb_setup_t* Setup() const;
  // The screen whose root is `root` (the default screen when none matches).
  xcb_screen_t* ScreenOf(xcb_window_t root) const;
  xcb_screen_t* DefaultScreen() const { return ScreenOf(0); }

  xcb_atom_t Atom(const char* name);

  // The parent's visual when it is a 24- or 32-bit TrueColor one, otherwise the
  // screen's best TrueColor visual (own colormap needed). Ok false when none.
  bool ChooseVisual(xcb_window_t parent, X11Visual* visual);
  // The screen's TrueColor visual of depth 24 (for windows of our own: menus, boxes).
  bool DefaultVisual(xcb_screen_t* screen, X11Visual* visual);
  // The root window that holds a window, and the ancestor just below that root (the
  // host's top-level window). Both 0 when the window does not exist.
  xcb_window_t RootOf(xcb_window_t window);
  xcb_window_t TopLevelOf(xcb_window_t window);
  // A window's position on its root.
  bool RootPosition(xcb_window_t window, int* x, int* y);
  // The root's size.
  bool RootSize(xcb_window_t root, int* width, int* height);

  void SetTitle(xcb_window_t window, const std::string& title);
  // Fixed-size hints: minimum and maximum size both width x height.
  void SetFixedSize(xcb_window_t window, int width, int height);
  // Reads the root's RESOURCE_MANAGER text (Xft.dpi and friends); empty when none.
  std::string ResourceManager(xcb_window_t root);

  // Keyboard: the xkbcommon context, shared by the keyboard state built on it.
  xkb_context* KeyContext();

 private:
  X11Connection(xcb_connection_t* connection, int screenNumber);
  bool formatOf(const xcb_visualtype_t* type, uint8_t depth, PixelFormat* format) const;

  xcb_connection_t* connection_;
  int screenNumber_;
  xkb_context* keyContext_ = nullptr;
  std::map<std::string, xcb_atom_t> atoms_;
};
