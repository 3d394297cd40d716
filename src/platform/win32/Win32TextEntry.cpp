#include "platform/win32/Win32TextEntry.h"

#include <algorithm>
#include <string>

#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "system/WideText.h"

namespace {
constexpr int kEditId = 0x5A01;
// Notification codes the field posts to the view (beyond the EDIT control's own).
constexpr WORD kApplyCode = 0x7F01, kCancelCode = 0x7F02;

DWORD alignmentStyle(IText::EAlign align) {
  switch (align) {
    case IText::kAlignNear: return ES_LEFT;
    case IText::kAlignFar: return ES_RIGHT;
    default: return ES_CENTER;
  }
}
}  // namespace

Win32TextEntry::Win32TextEntry(IGraphics* graphics, HWND view, int scale)
    : graphics_(graphics), view_(view), scale_(scale) {}

Win32TextEntry::~Win32TextEntry() { End(false); }

void Win32TextEntry::Open(IControl* control, const IText* style, const IRECT& r, const char* text,
                          IParam* param) {
  if (edit_ || !control) return;
  const IText plain;
  const IText& s = style ? *style : plain;
  const int left = std::max(r.L, 0) * scale_, top = std::max(r.T, 0) * scale_;
  const int width = (std::min(r.R, graphics_->Width()) - std::max(r.L, 0)) * scale_;
  const int height = (std::min(r.B, graphics_->Height()) - std::max(r.T, 0)) * scale_;
  if (width <= 0 || height <= 0) return;
  edit_ = CreateWindowExW(0, L"EDIT", widen(text ? text : "").c_str(),
                          WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | alignmentStyle(s.mAlign), left,
                          top, width, height, view_, reinterpret_cast<HMENU>(INT_PTR(kEditId)),
                          nullptr, nullptr);
  if (!edit_) return;
  control_ = control;
  param_ = param;
  font_ = CreateFontW(-std::max(1, int(s.mSize * 0.9 * scale_)), 0, 0, 0,
                      s.mStyle == IText::kStyleBold ? FW_BOLD : FW_NORMAL,
                      s.mStyle == IText::kStyleItalic, FALSE, FALSE, DEFAULT_CHARSET,
                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                      widen(s.mFont).c_str());
  if (font_) SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
  // Subclassed through user32 alone: the common controls' helpers need version 6,
  // which a library inside a host does not choose.
  SetWindowLongPtrW(edit_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  editDefault_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
      edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32TextEntry::editProc)));
  SendMessageW(edit_, EM_SETSEL, 0, -1);
  SetFocus(edit_);
}

void Win32TextEntry::End(bool apply) {
  if (!edit_) return;
  const int length = GetWindowTextLengthW(edit_);
  std::wstring text(size_t(length) + 1, L'\0');
  text.resize(size_t(GetWindowTextW(edit_, text.data(), length + 1)));
  // The field is closed before the focus moves: its focus loss must not end it again.
  HWND edit = edit_;
  edit_ = nullptr;
  IControl* control = control_;
  IParam* param = param_;
  control_ = nullptr;
  param_ = nullptr;
  if (GetFocus() == edit) SetFocus(view_);
  SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editDefault_));
  DestroyWindow(edit);
  if (font_) DeleteObject(font_);
  font_ = nullptr;
  if (!apply) return;
  const std::string typed = narrow(text);
  if (param)
    graphics_->SetFromStringAfterPrompt(control, param, typed.c_str());
  else
    control->TextFromTextEntry(typed.c_str());
}

bool Win32TextEntry::Command(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(wParam) != kEditId) return false;
  if (!edit_ || reinterpret_cast<HWND>(lParam) != edit_) return true;
  switch (HIWORD(wParam)) {
    case kApplyCode: End(true); break;
    case kCancelCode: End(false); break;
    case EN_KILLFOCUS:
      PostMessageW(view_, WM_COMMAND, MAKEWPARAM(kEditId, kApplyCode), lParam);
      break;
    default: break;
  }
  return true;
}

bool Win32TextEntry::HostKey(const IKeyPress& key, bool down) {
  if (!edit_) return false;
  if (!down) return true;
  const LPARAM from = reinterpret_cast<LPARAM>(edit_);
  switch (key.key) {
    case IKeyPress::kReturn:
      PostMessageW(view_, WM_COMMAND, MAKEWPARAM(kEditId, kApplyCode), from);
      break;
    case IKeyPress::kEscape:
      PostMessageW(view_, WM_COMMAND, MAKEWPARAM(kEditId, kCancelCode), from);
      break;
    case IKeyPress::kBackspace: SendMessageW(edit_, WM_CHAR, VK_BACK, 0); break;
    case IKeyPress::kLeft: SendMessageW(edit_, WM_KEYDOWN, VK_LEFT, 0); break;
    case IKeyPress::kRight: SendMessageW(edit_, WM_KEYDOWN, VK_RIGHT, 0); break;
    case IKeyPress::kHome: SendMessageW(edit_, WM_KEYDOWN, VK_HOME, 0); break;
    case IKeyPress::kEnd: SendMessageW(edit_, WM_KEYDOWN, VK_END, 0); break;
    case IKeyPress::kDelete: SendMessageW(edit_, WM_KEYDOWN, VK_DELETE, 0); break;
    default:
      if ((key.character >= 0x20 && key.character < 0xD800) ||
          (key.character >= 0xE000 && key.character < 0x10000)) {
        SendMessageW(edit_, WM_CHAR, key.character, 0);
      } else if (key.character >= 0x10000 && key.character < 0x110000) {
        // Beyond the first plane: the two UTF-16 halves.
        const uint32_t above = key.character - 0x10000;
        SendMessageW(edit_, WM_CHAR, 0xD800 + (above >> 10), 0);
        SendMessageW(edit_, WM_CHAR, 0xDC00 + (above & 0x3FF), 0);
      }
      break;
  }
  return true;
}

LRESULT CALLBACK Win32TextEntry::editProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* entry = reinterpret_cast<Win32TextEntry*>(GetWindowLongPtrW(edit, GWLP_USERDATA));
  const WNDPROC base = entry ? entry->editDefault_ : nullptr;
  if (!base) return DefWindowProcW(edit, message, wParam, lParam);
  if (message == WM_GETDLGCODE)
    return DLGC_WANTALLKEYS | CallWindowProcW(base, edit, message, wParam, lParam);
  if (message == WM_KEYDOWN && (wParam == VK_RETURN || wParam == VK_ESCAPE)) {
    PostMessageW(entry->view_, WM_COMMAND,
                 MAKEWPARAM(kEditId, wParam == VK_RETURN ? kApplyCode : kCancelCode),
                 reinterpret_cast<LPARAM>(edit));
    return 0;
  }
  // Return and Escape type nothing (a single-line field would beep).
  if (message == WM_CHAR && (wParam == '\r' || wParam == 0x1b)) return 0;
  return CallWindowProcW(base, edit, message, wParam, lParam);
}
