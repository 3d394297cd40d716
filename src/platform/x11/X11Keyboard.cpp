#include "platform/x11/X11Keyboard.h"

#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-keysyms.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include "platform/x11/X11Connection.h"

namespace {
IKeyPress::ENamedKey namedKey(xkb_keysym_t sym) {
  switch (sym) {
    case XKB_KEY_BackSpace: return IKeyPress::kBackspace;
    case XKB_KEY_Tab:
    case XKB_KEY_ISO_Left_Tab: return IKeyPress::kTab;
    case XKB_KEY_Return:
    case XKB_KEY_KP_Enter: return IKeyPress::kReturn;
    case XKB_KEY_Escape: return IKeyPress::kEscape;
    case XKB_KEY_Left:
    case XKB_KEY_KP_Left: return IKeyPress::kLeft;
    case XKB_KEY_Up:
    case XKB_KEY_KP_Up: return IKeyPress::kUp;
    case XKB_KEY_Right:
    case XKB_KEY_KP_Right: return IKeyPress::kRight;
    case XKB_KEY_Down:
    case XKB_KEY_KP_Down: return IKeyPress::kDown;
    case XKB_KEY_Home:
    case XKB_KEY_KP_Home: return IKeyPress::kHome;
    case XKB_KEY_End:
    case XKB_KEY_KP_End: return IKeyPress::kEnd;
    case XKB_KEY_Delete:
    case XKB_KEY_KP_Delete: return IKeyPress::kDelete;
    case XKB_KEY_Page_Up: return IKeyPress::kPageUp;
    case XKB_KEY_Page_Down: return IKeyPress::kPageDown;
    default: return IKeyPress::kNoNamedKey;
  }
}
}  // namespace

X11Keyboard::X11Keyboard(X11Connection* connection) {
  xcb_connection_t* c = connection->Get();
  if (!xkb_x11_setup_xkb_extension(c, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
                                   XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr,
                                   nullptr))
    return;
  const int32_t device = xkb_x11_get_core_keyboard_device_id(c);
  if (device < 0 || !connection->KeyContext()) return;
  keymap_ = xkb_x11_keymap_new_from_device(connection->KeyContext(), c, device,
                                           XKB_KEYMAP_COMPILE_NO_FLAGS);
  if (keymap_) state_ = xkb_x11_state_new_from_device(keymap_, c, device);
}

X11Keyboard::~X11Keyboard() {
  if (state_) xkb_state_unref(state_);
  if (keymap_) xkb_keymap_unref(keymap_);
}

IKeyPress X11Keyboard::Translate(uint8_t keycode, uint16_t state) const {
  IKeyPress key;
  key.shift = state & XCB_MOD_MASK_SHIFT;
  key.control = state & XCB_MOD_MASK_CONTROL;
  key.alt = state & XCB_MOD_MASK_1;
  if (!state_) return key;
  // The event's modifier and group bits stand for the keyboard state at that moment.
  xkb_state_update_mask(state_, state & 0xff, 0, 0, 0, 0, (state >> 13) & 3);
  const xkb_keysym_t sym = xkb_state_key_get_one_sym(state_, keycode);
  key.key = namedKey(sym);
  if (key.key == IKeyPress::kNoNamedKey) {
    const uint32_t character = xkb_keysym_to_utf32(sym);
    key.character = character >= 0x20 && character != 0x7f ? character : 0;
    if (!key.character) key.key = IKeyPress::kOtherKey;
  }
  return key;
}
