#pragma once

// The CLIPBOARD selection as UTF-8 text, read without waiting: Request asks the
// selection's owner to convert it onto our window and returns at once; the owner's
// answer arrives later among the window's events, and HandleEvent turns it into the
// text. Nothing blocks the editor's thread while an owner takes its time or never
// answers.
//
// The thread that owns the connection (the editor's).
#include <xcb/xcb.h>

#include <string>

class X11Connection;

class X11Clipboard {
 public:
  X11Clipboard(X11Connection* connection, xcb_window_t window)
      : connection_(connection), window_(window) {}

  void Request();
  // True when the event answers a request of ours; text then holds the clipboard's
  // text (empty when there is none or its owner cannot give it as UTF-8).
  bool HandleEvent(const xcb_generic_event_t* event, std::string* text);

 private:
  X11Connection* connection_;
  xcb_window_t window_;
};
