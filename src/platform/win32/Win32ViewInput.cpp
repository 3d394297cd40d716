// The editor window's input: mouse, wheel and keys translated for the graphics
// context; keys nobody takes go to the host's window.
#include <windowsx.h>

#include "gui/EditorKeys.h"
#include "gui/IGraphics.h"
#include "platform/win32/Win32TextEntry.h"
#include "platform/win32/Win32Tooltips.h"
#include "platform/win32/Win32View.h"

namespace {
// Left-button events: left set; right-button events: right set.
IMouseMod modifiers(WPARAM keys, bool right) {
  return IMouseMod(!right, right, keys & MK_SHIFT, keys & MK_CONTROL, GetKeyState(VK_MENU) < 0);
}

// The keys the editor and the text field tell apart; the rest carry no meaning here.
IKeyPress keyPressOf(WPARAM virtualKey) {
  IKeyPress press;
  press.shift = GetKeyState(VK_SHIFT) < 0;
  press.control = GetKeyState(VK_CONTROL) < 0;
  press.alt = GetKeyState(VK_MENU) < 0;
  switch (virtualKey) {
    case VK_BACK: press.key = IKeyPress::kBackspace; break;
    case VK_TAB: press.key = IKeyPress::kTab; break;
    case VK_RETURN: press.key = IKeyPress::kReturn; break;
    case VK_ESCAPE: press.key = IKeyPress::kEscape; break;
    case VK_LEFT: press.key = IKeyPress::kLeft; break;
    case VK_UP: press.key = IKeyPress::kUp; break;
    case VK_RIGHT: press.key = IKeyPress::kRight; break;
    case VK_DOWN: press.key = IKeyPress::kDown; break;
    case VK_HOME: press.key = IKeyPress::kHome; break;
    case VK_END: press.key = IKeyPress::kEnd; break;
    case VK_DELETE: press.key = IKeyPress::kDelete; break;
    case VK_PRIOR: press.key = IKeyPress::kPageUp; break;
    case VK_NEXT: press.key = IKeyPress::kPageDown; break;
    default:
      if (virtualKey == VK_SPACE || (virtualKey >= '0' && virtualKey <= '9') ||
          (virtualKey >= 'A' && virtualKey <= 'Z'))
        press.character = uint32_t(virtualKey);
      else
        press.key = IKeyPress::kOtherKey;
  }
  return press;
}
}  // namespace

bool Win32View::mouse(UINT message, WPARAM wParam, LPARAM lParam) {
  const int x = toEditor(GET_X_LPARAM(lParam)), y = toEditor(GET_Y_LPARAM(lParam));
  const bool right = message == WM_RBUTTONDOWN || message == WM_RBUTTONUP ||
                     message == WM_RBUTTONDBLCLK ||
                     (message == WM_MOUSEMOVE && !(wParam & MK_LBUTTON) && (wParam & MK_RBUTTON));
  IMouseMod mod = modifiers(wParam, right);
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_LBUTTONDBLCLK:
      textEntry_->End(true);
      SetFocus(window_);
      SetCapture(window_);
      mouseX_ = x;
      mouseY_ = y;
      if (message == WM_LBUTTONDBLCLK)
        graphics_->OnMouseDblClick(x, y, &mod);
      else
        graphics_->OnMouseDown(x, y, &mod);
      return true;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      if (!(wParam & (MK_LBUTTON | MK_RBUTTON))) ReleaseCapture();
      graphics_->OnMouseUp(x, y, &mod);
      return true;
    case WM_MOUSEMOVE:
      if (x == mouseX_ && y == mouseY_) return true;
      mouseX_ = x;
      mouseY_ = y;
      if (wParam & (MK_LBUTTON | MK_RBUTTON)) {
        graphics_->OnMouseDrag(x, y, &mod);
        return true;
      }
      if (!trackingLeave_) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, window_, 0};
        trackingLeave_ = TrackMouseEvent(&track);
      }
      graphics_->OnMouseOver(x, y, &mod);
      return true;
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      graphics_->OnMouseOut();
      return true;
    case WM_CAPTURECHANGED: return true;
    default: return false;
  }
}

// The wheel's position comes in screen coordinates; one step per notch.
void Win32View::wheel(WPARAM wParam, LPARAM lParam) {
  POINT point = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ScreenToClient(window_, &point);
  const int notches = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
  if (notches == 0) return;
  textEntry_->End(true);
  IMouseMod mod = modifiers(GET_KEYSTATE_WPARAM(wParam), false);
  graphics_->OnMouseWheel(toEditor(point.x), toEditor(point.y), &mod, notches);
}

bool Win32View::key(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_KEYDOWN && message != WM_KEYUP && message != WM_CHAR) return false;
  if (message == WM_KEYDOWN) {
    const int code = EditorKeyCode(keyPressOf(wParam));
    if (code >= 0 && graphics_->OnKeyDown(mouseX_, mouseY_, code)) {
      // The character the host's message loop made of the key is taken with it.
      MSG typed;
      PeekMessageW(&typed, window_, WM_CHAR, WM_CHAR, PM_REMOVE);
      return true;
    }
  }
  // The host's window hears what the editor leaves, as if it had been typed there.
  if (HWND parent = GetParent(window_)) PostMessageW(parent, message, wParam, lParam);
  return true;
}

bool Win32View::HostKey(const IKeyPress& key, bool down) {
  return textEntry_ && textEntry_->HostKey(key, down);
}
