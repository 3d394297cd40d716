// The editor window's input: mouse, wheel and keys translated for the graphics
// context, the in-place text field, focus, tooltips and the clipboard.
#include <poll.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "framework/IParam.h"
#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "platform/x11/EditorKeys.h"
#include "platform/x11/TextField.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11Tooltip.h"
#include "platform/x11/X11View.h"
#include "raster/LICE.h"

namespace {
constexpr uint16_t kLeftHeld = XCB_BUTTON_MASK_1, kRightHeld = XCB_BUTTON_MASK_3;

// Left-button events: left set; right-button events: right set. Linux has no Command
// key, and Control stays the fine-adjustment modifier, so nothing else sets right.
IMouseMod modifiers(uint16_t state, bool right) {
  return IMouseMod(!right, right, state & XCB_MOD_MASK_SHIFT, state & XCB_MOD_MASK_CONTROL,
                   state & XCB_MOD_MASK_1);
}

// The characters a text field accepts for its parameter's type.
const char* allowedCharacters(const IParam* param) {
  if (!param) return "";
  return param->Type() == IParam::kTypeDouble ? "0123456789.-+" : "0123456789-+";
}
}  // namespace

void X11View::handleEvent(const xcb_generic_event_t* event) {
  if (handleWindowEvent(event)) return;
  switch (event->response_type & 0x7f) {
    case XCB_BUTTON_PRESS:
    case XCB_BUTTON_RELEASE: {
      const auto* press = reinterpret_cast<const xcb_button_press_event_t*>(event);
      if (press->event == window_) button(press, (event->response_type & 0x7f) == XCB_BUTTON_PRESS);
      break;
    }
    case XCB_MOTION_NOTIFY: {
      const auto* move = reinterpret_cast<const xcb_motion_notify_event_t*>(event);
      if (move->event == window_) motion(move);
      break;
    }
    case XCB_ENTER_NOTIFY: {
      const auto* enter = reinterpret_cast<const xcb_enter_notify_event_t*>(event);
      if (enter->event != window_ || enter->mode != XCB_NOTIFY_MODE_NORMAL) break;
      mouseX_ = toEditor(enter->event_x);
      mouseY_ = toEditor(enter->event_y);
      IMouseMod mod = modifiers(enter->state, false);
      graphics_->OnMouseOver(mouseX_, mouseY_, &mod);
      restingSince_ = Clock::now();
      break;
    }
    case XCB_LEAVE_NOTIFY: {
      const auto* leave = reinterpret_cast<const xcb_leave_notify_event_t*>(event);
      if (leave->event != window_ || leave->mode != XCB_NOTIFY_MODE_NORMAL || buttonHeld_) break;
      hideTooltip();
      graphics_->OnMouseOut();
      break;
    }
    case XCB_KEY_PRESS:
    case XCB_KEY_RELEASE: {
      const auto* press = reinterpret_cast<const xcb_key_press_event_t*>(event);
      if (press->event == window_) key(press, (event->response_type & 0x7f) == XCB_KEY_PRESS);
      break;
    }
    case XCB_FOCUS_OUT: {
      // Focus taken by another window while the field edits: the text applies.
      const auto* focus = reinterpret_cast<const xcb_focus_out_event_t*>(event);
      if (focus->event == window_ && field_ && tookFocus_ && focus->mode == XCB_NOTIFY_MODE_NORMAL &&
          focus->detail != XCB_NOTIFY_DETAIL_INFERIOR && focus->detail != XCB_NOTIFY_DETAIL_POINTER) {
        tookFocus_ = false;
        EndTextEntry(true);
      }
      break;
    }
    default: break;
  }
}

void X11View::button(const xcb_button_press_event_t* event, bool press) {
  hideTooltip();
  tooltipDone_ = true;
  const int x = toEditor(event->event_x), y = toEditor(event->event_y);
  mouseX_ = x;
  mouseY_ = y;
  if (event->detail == 4 || event->detail == 5) {  // wheel: one step per button press
    if (!press) return;
    if (field_) EndTextEntry(false);
    IMouseMod mod = modifiers(event->state, false);
    graphics_->OnMouseWheel(x, y, &mod, event->detail == 4 ? 1 : -1);
    return;
  }
  if (event->detail != 1 && event->detail != 3) return;
  const bool right = event->detail == 3;
  IMouseMod mod = modifiers(event->state, right);
  if (field_) {
    if (fieldRect_.Contains(x, y) && !right) {
      if (press) takeFocus();
      selecting_ = press;
      if (press) {
        field_->ClickAt(event->event_x / scale_ - fieldRect_.L, event->state & XCB_MOD_MASK_SHIFT, fieldFont_.get(),
                        fieldRect_.W(), fieldStyle_.mAlign);
        Invalidate(fieldRect_);
      }
      return;
    }
    if (selecting_ && !press) {
      selecting_ = false;
      return;
    }
    // A click elsewhere ends the edit as focus loss does, then acts as usual.
    if (press) EndTextEntry(true);
  }
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
  const int x = toEditor(event->event_x), y = toEditor(event->event_y);
  if (std::abs(x - mouseX_) > 1 || std::abs(y - mouseY_) > 1) {
    hideTooltip();
    restingSince_ = Clock::now();
    tooltipDone_ = false;
  }
  mouseX_ = x;
  mouseY_ = y;
  const bool right = !(event->state & kLeftHeld) && (event->state & kRightHeld);
  IMouseMod mod = modifiers(event->state, right);
  if (event->state & (kLeftHeld | kRightHeld)) {
    if (field_) {
      if (selecting_) {
        field_->ClickAt(event->event_x / scale_ - fieldRect_.L, true, fieldFont_.get(), fieldRect_.W(),
                        fieldStyle_.mAlign);
        Invalidate(fieldRect_);
      }
      return;  // no drags while a text field is open
    }
    graphics_->OnMouseDrag(x, y, &mod);
  } else {
    graphics_->OnMouseOver(x, y, &mod);
  }
}

void X11View::key(const xcb_key_press_event_t* event, bool press) {
  hideTooltip();
  const IKeyPress pressed = keyboard_->Translate(event->detail, event->state);
  if (field_) {
    if (press) fieldKey(pressed);
    return;
  }
  if (press) {
    const int code = EditorKeyCode(pressed);
    if (code >= 0 && graphics_->OnKeyDown(mouseX_, mouseY_, code)) return;
  }
  forwardToHost(event);
}

// Keys nobody here takes go to the host's window, as if they had been typed there.
void X11View::forwardToHost(const xcb_key_press_event_t* event) {
  if (parent_ == root_) return;
  xcb_key_press_event_t copy = *event;
  copy.event = parent_;
  copy.child = 0;
  const uint32_t mask = (event->response_type & 0x7f) == XCB_KEY_PRESS ? XCB_EVENT_MASK_KEY_PRESS
                                                                      : XCB_EVENT_MASK_KEY_RELEASE;
  xcb_send_event(connection_->Get(), 0, parent_, mask, reinterpret_cast<const char*>(&copy));
}

bool X11View::HostKey(const IKeyPress& key, bool down) {
  if (!field_) return false;
  if (down) fieldKey(key);
  return true;
}

void X11View::fieldKey(const IKeyPress& key) {
  if (key.control && (key.character == 'v' || key.character == 'V')) {
    std::string pasted;
    if (ClipboardText(&pasted) && field_ && field_->InsertText(pasted)) Invalidate(fieldRect_);
    return;
  }
  switch (field_->Key(key)) {
    case TextField::kApply: EndTextEntry(true); return;
    case TextField::kCancel: EndTextEntry(false); return;
    case TextField::kEdited:
      caretOn_ = true;
      nextBlink_ = Clock::now() + std::chrono::milliseconds(kCaretBlinkMs);
      Invalidate(fieldRect_);
      return;
    case TextField::kNone: return;
  }
}

void X11View::OpenTextEntry(IControl* control, const IText* style, const IRECT& r, const char* text, IParam* param) {
  if (field_ || !control || !style) return;
  const IRECT rect = r.Intersect(IRECT(0, 0, graphics_->Width(), graphics_->Height()));
  if (rect.Empty() || rect.W() <= 0 || rect.H() <= 0) return;
  fieldStyle_ = *style;
  fieldControl_ = control;
  fieldParam_ = param;
  fieldRect_ = rect;
  field_ = std::make_unique<TextField>(text ? text : "", allowedCharacters(param),
                                       param ? control->GetTextEntryLength() : 0);
  // The style's face at 0.9 times its size (truncated).
  const int size = std::max(int(style->mSize * 0.9), 1);
  fieldFont_ = RasterFont::Create({style->mFont, size, style->mStyle == IText::kStyleBold,
                                   style->mStyle == IText::kStyleItalic, 0, 4});
  fieldPicture_.resize(rect.W(), rect.H());
  caretOn_ = true;
  nextBlink_ = Clock::now() + std::chrono::milliseconds(kCaretBlinkMs);
  takeFocus();
  Invalidate(fieldRect_);
}

void X11View::EndTextEntry(bool apply) {
  if (!field_) return;
  const std::string text = field_->Text();
  IControl* control = fieldControl_;
  IParam* param = fieldParam_;
  field_.reset();
  fieldFont_.reset();
  selecting_ = false;
  Invalidate(fieldRect_);
  returnFocus();
  if (!apply) return;
  if (param)
    graphics_->SetFromStringAfterPrompt(control, param, text.c_str());
  else
    control->TextFromTextEntry(text.c_str());
}

void X11View::composeField() {
  field_->Draw(&fieldPicture_, fieldFont_.get(), fieldStyle_, caretOn_);
  LICE_Blit(&screen_, &fieldPicture_, fieldRect_.L, fieldRect_.T, 0, 0, fieldRect_.W(), fieldRect_.H(), 1.0f,
            LICE_BLIT_MODE_COPY);
}

// Hosts do not give plug-in windows the keyboard focus: the field takes it, and gives
// it back to whoever had it when editing ends.
void X11View::takeFocus() {
  if (tookFocus_ || destroyed_) return;
  xcb_connection_t* c = connection_->Get();
  xcb_get_input_focus_reply_t* focus = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
  previousFocus_ = focus ? focus->focus : 0;
  std::free(focus);
  if (previousFocus_ == window_) return;
  xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT, window_, XCB_CURRENT_TIME);
  tookFocus_ = true;
}

void X11View::returnFocus() {
  if (!tookFocus_) return;
  tookFocus_ = false;
  if (destroyed_) return;
  xcb_connection_t* c = connection_->Get();
  xcb_get_input_focus_reply_t* focus = xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
  const bool stillOurs = focus && focus->focus == window_;
  std::free(focus);
  if (stillOurs)
    xcb_set_input_focus(c, XCB_INPUT_FOCUS_PARENT,
                        previousFocus_ > XCB_INPUT_FOCUS_POINTER_ROOT ? previousFocus_ : parent_, XCB_CURRENT_TIME);
}

void X11View::updateTooltip(Clock::time_point now) {
  if (tooltip_ || tooltipDone_ || inModal_ || buttonHeld_ || field_ || destroyed_) return;
  if (now - restingSince_ < std::chrono::milliseconds(kTooltipDelayMs)) return;
  tooltipDone_ = true;
  const bool inRegion = std::any_of(tooltipRegions_.begin(), tooltipRegions_.end(),
                                    [this](const IRECT& r) { return r.Contains(mouseX_, mouseY_); });
  const char* text = graphics_->GetHoveredTooltip();
  if (!inRegion || !text) return;
  int x = 0, y = 0;
  if (!connection_->RootPosition(window_, &x, &y)) return;
  tooltip_ = std::make_unique<X11Tooltip>(connection_.get(), fonts_.get(), root_, text, x + mouseX_ * scale_,
                                          y + mouseY_ * scale_);
}

void X11View::hideTooltip() { tooltip_.reset(); }

bool X11View::ClipboardText(std::string* text) {
  if (destroyed_) return false;
  xcb_connection_t* c = connection_->Get();
  const xcb_atom_t clipboard = connection_->Atom("CLIPBOARD");
  const xcb_atom_t utf8 = connection_->Atom("UTF8_STRING");
  const xcb_atom_t property = connection_->Atom("ZORQ_CLIPBOARD");
  xcb_convert_selection(c, window_, clipboard, utf8, property, XCB_CURRENT_TIME);
  xcb_flush(c);
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(500);
  while (Clock::now() < deadline && !connection_->Broken()) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(c)) {
      if ((event->response_type & 0x7f) == XCB_SELECTION_NOTIFY) {
        const auto* notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
        const bool converted = notify->requestor == window_ && notify->property != XCB_NONE;
        std::free(event);
        if (!converted) return false;
        xcb_get_property_reply_t* reply = xcb_get_property_reply(
            c, xcb_get_property(c, 1, window_, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 16), nullptr);
        if (!reply) return false;
        text->assign(static_cast<const char*>(xcb_get_property_value(reply)),
                     size_t(xcb_get_property_value_length(reply)));
        std::free(reply);
        return true;
      }
      handleWindowEvent(event);  // input meanwhile is dropped
      std::free(event);
    }
    pollfd descriptor{connection_->Fd(), POLLIN, 0};
    poll(&descriptor, 1, 20);
  }
  return false;
}
