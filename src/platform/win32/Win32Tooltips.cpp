#include "platform/win32/Win32Tooltips.h"

#include <commctrl.h>

#include "system/WideText.h"

Win32Tooltips::Win32Tooltips(HWND view) : view_(view) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, view_,
                             nullptr, nullptr, nullptr);
}

Win32Tooltips::~Win32Tooltips() {
  if (tooltip_) DestroyWindow(tooltip_);
}

void Win32Tooltips::clear() {
  for (; count_ > 0; --count_) {
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every version of the control
    tool.hwnd = view_;
    tool.uId = UINT_PTR(count_);
    SendMessageW(tooltip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void Win32Tooltips::SetRegions(const std::vector<std::pair<IRECT, std::string>>& regions,
                               int scale) {
  if (!tooltip_) return;
  clear();
  for (const auto& [r, text] : regions) {
    if (text.empty()) continue;
    std::wstring wide = widen(text);
    TOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = view_;
    tool.uId = UINT_PTR(count_ + 1);
    tool.rect = {r.L * scale, r.T * scale, r.R * scale, r.B * scale};
    tool.lpszText = wide.data();  // the control keeps its own copy
    if (SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) ++count_;
  }
}
