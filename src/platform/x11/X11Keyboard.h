#pragma once

// Key events of the editor's connection through xkbcommon: the keymap of the core
// keyboard, and for each key event its key (named or the character it types) with
// the Shift, Control and Alt modifiers of the event.
#include <cstdint>

#include "framework/IPlugGUI.h"

class X11Connection;
struct xkb_keymap;
struct xkb_state;

class X11Keyboard {
 public:
  explicit X11Keyboard(X11Connection* connection);
  ~X11Keyboard();
  X11Keyboard(const X11Keyboard&) = delete;
  X11Keyboard& operator=(const X11Keyboard&) = delete;

  bool Valid() const { return state_ != nullptr; }
  // keycode and state of a key press or release event.
  IKeyPress Translate(uint8_t keycode, uint16_t state) const;

 private:
  xkb_keymap* keymap_ = nullptr;
  xkb_state* state_ = nullptr;
};
