#pragma once

// A program that owns the editor's window itself (a top-level window, no host around
// it): what the window tells it. Without an owner, a top-level window's close button
// and the keys the editor leaves do nothing.
//
// Both run on the editor's thread, from the view's idle call (CloseRequested) or its
// event handling (KeyPressed); either may open menus or prompts.
#include "framework/IPlugGUI.h"

class X11WindowOwner {
 public:
  virtual ~X11WindowOwner() = default;
  // The window manager's close button (WM_DELETE_WINDOW). The window stays open until
  // the owner closes it, after this call has returned (the view is still running it).
  virtual void CloseRequested() = 0;
  // A key press that neither an open text field nor a control took.
  virtual void KeyPressed(const IKeyPress& key) = 0;
};
