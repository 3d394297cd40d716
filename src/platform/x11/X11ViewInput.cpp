// The editor window's input: mouse, wheel and keys translated for the graphics
// context, or handed to the open text field; keys nobody takes go to the host.
#include <cstdlib>

#include "gui/IGraphics.h"
#include "gui/EditorKeys.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11EditorWindow.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11TextEntry.h"
#include "platform/x11/X11Tooltips.h"
#include "platform/x11/X11View.h"
#include "platform/x11/X11WindowOwner.h"

namespace {
constexpr uint16_t kLeftHeld = XCB_BUTTON_MASK_1, kRightHeld = XCB_BUTTON_MASK_3;

// Left-button events: left set; right-button events: right set. Linux has no Command
// key, and Control stays the fine-adjustment modifier, so nothing else sets right.
IMouseMod modifiers(uint16_t state, bool right) {
  return IMouseMod(!right, right, state & XCB_MOD_MASK_SHIFT, state & XCB_MOD_MASK_CONTROL,
                   state & XCB_MOD_MASK_1);
}
}  // namespace

void X11View::handleEvent(const xcb_generic_event_t* event) {
  if (handleWindowEvent(event) || textEntry_->HandleEvent(event)) return;
  const xcb_window_t window = Window();
  switch (event->response_type & 0x7f) {
    case XCB_BUTTON_PRESS:
    case XCB_BUTTON_RELEASE: {
      const auto* press = reinterpret_cast<const xcb_button_press_event_t*>(event);
      if (press->event == window) button(press, (event->response_type & 0x7f) == XCB_BUTTON_PRESS);
      break;
    }
    case XCB_MOTION_NOTIFY: {
      const auto* move = reinterpret_cast<const xcb_motion_notify_event_t*>(event);
      if (move->event == window) motion(move);
      break;
    }
    case XCB_ENTER_NOTIFY: {
      const auto* enter = reinterpret_cast<const xcb_enter_notify_event_t*>(event);
      if (enter->event != window || enter->mode != XCB_NOTIFY_MODE_NORMAL) break;
      mouseX_ = window_->ToEditor(enter->event_x);
      mouseY_ = window_->ToEditor(enter->event_y);
      IMouseMod mod = modifiers(enter->state, false);
      graphics_->OnMouseOver(mouseX_, mouseY_, &mod);
      tooltips_->Restart(Clock::now());
      break;
    }
    case XCB_LEAVE_NOTIFY: {
      const auto* leave = reinterpret_cast<const xcb_leave_notify_event_t*>(event);
      if (leave->event != window || leave->mode != XCB_NOTIFY_MODE_NORMAL || buttonHeld_) break;
      tooltips_->Hide();
      graphics_->OnMouseOut();
      break;
    }
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE: {
      const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
      if (press->event == window) key(press, (event->response_type & 0x7f) == XCB_KEY_PRESS);
      break;
    }
    default: break;
  }
}

void X11View::button(const xcb_button_press_event_t* event, bool press) {
  tooltips_->Dismiss();
  const int x = window_->ToEditor(event->event_x), y = window_->ToEditor(event->event_y);
  mouseX_ = x;
  mouseY_ = y;
  if (event->detail == 4 || event->detail == 5) {  // wheel: one step per button press
    if (!press) return;
    textEntry_->End(false);
    IMouseMod mod = modifiers(event->state, false);
    graphics_->OnMouseWheel(x, y, &mod, event->detail == 4 ? 1 : -1);
    return;
  }
  if (event->detail != 1 && event->detail != 3) return;
  const bool right = event->detail == 3;
  if (textEntry_->Button(x, y, right, press, event->state & XCB_MOD_MASK_SHIFT)) return;
  IMouseMod mod = modifiers(event->state, right);
  if (!press) {
    buttonHeld_ = false;
    graphics_->OnMouseUp(x, y, &mod);
    return;
  }
  buttonHeld_ = true;
  if (right) {
    graphics_->OnMouseDown(x, y, &mod);
    return;
  }
  const Clock::time_point now = Clock::now();
  const bool doubleClick = now - lastPress_ < std::chrono::milliseconds(kDoubleClickMs) &&
                           std::abs(x - lastPressX_) <= kDoubleClickDistance &&
                           std::abs(y - lastPressY_) <= kDoubleClickDistance;
  lastPress_ = now;
  lastPressX_ = x;
  lastPressY_ = y;
  if (doubleClick)
    graphics_->OnMouseDblClick(x, y, &mod);
  else
    graphics_->OnMouseDown(x, y, &mod);
}

void X11View::motion(const xcb_motion_notify_event_t* event) {
  const int x = window_->ToEditor(event->event_x), y = window_->ToEditor(event->event_y);
  if (std::abs(x - mouseX_) > 1 || std::abs(y - mouseY_) > 1) tooltips_->Restart(Clock::now());
  mouseX_ = x;
  mouseY_ = y;
  const bool right = !(event->state & kLeftHeld) && (event->state & kRightHeld);
  IMouseMod mod = modifiers(event->state, right);
  if (event->state & (kLeftHeld | kRightHeld)) {
    if (textEntry_->IsOpen()) {
      textEntry_->Drag(x);
      return;  // no drags while a text field is open
    }
    graphics_->OnMouseDrag(x, y, &mod);
  } else {
    graphics_->OnMouseOver(x, y, &mod);
  }
}

void X11View::key(const xcb_key_press_event_t* event, bool press) {
  tooltips_->Hide();
  const IKeyPress pressed = keyboard_->Translate(event->detail, event->state);
  if (textEntry_->IsOpen()) {
    if (press) textEntry_->Key(pressed);
    return;
  }
  if (press) {
    const int code = EditorKeyCode(pressed);
    if (code >= 0 && graphics_->OnKeyDown(mouseX_, mouseY_, code)) return;
    if (window_->TopLevel() && owner_) {
      owner_->KeyPressed(pressed);
      return;
    }
  }
  forwardToHost(event);
}

// Keys nobody here takes go to the host's window, as if they had been typed there.
void X11View::forwardToHost(const xcb_key_press_event_t* event) {
  if (window_->TopLevel()) return;
  const xcb_window_t parent = window_->Parent();
  xcb_key_press_event_t copy = *event;
  copy.event = parent;
  copy.child = 0;
  const uint32_t mask = (event->response_type & 0x7f) == XCB_KEY_PRESS ? XCB_EVENT_MASK_KEY_PRESS
                                                                       : XCB_EVENT_MASK_KEY_RELEASE;
  xcb_send_event(connection_->Get(), 0, parent, mask, reinterpret_cast<const char*>(&copy));
}

bool X11View::HostKey(const IKeyPress& key, bool down) {
  if (!textEntry_->IsOpen()) return false;
  if (down) textEntry_->Key(key);
  return true;
}
