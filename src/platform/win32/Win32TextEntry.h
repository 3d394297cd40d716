#pragma once

// The in-place text field of the editor window: an EDIT control over a control's
// rectangle in the control's font at 0.9 times its size, with the keyboard focus.
// The control itself edits, selects and uses the clipboard (CF_UNICODETEXT). Return
// applies the text, Escape drops it, losing the focus applies it; the field ends from
// the view's own messages, never inside the control's. Its text goes to the graphics
// context (with a parameter) or to the control (without one).
//
// The view's thread.
#include <windows.h>

#include "framework/IPlugGUI.h"
#include "gui/IGraphicsStructs.h"

class IControl;
class IGraphics;
class IParam;

class Win32TextEntry {
 public:
  Win32TextEntry(IGraphics* graphics, HWND view, int scale);
  ~Win32TextEntry();
  Win32TextEntry(const Win32TextEntry&) = delete;
  Win32TextEntry& operator=(const Win32TextEntry&) = delete;

  void SetScale(int scale) { scale_ = scale; }
  // Opens a field over r holding text (UTF-8); ignored while one is open.
  void Open(IControl* control, const IText* style, const IRECT& r, const char* text, IParam* param);
  // Applies the text (or drops it) and closes the field; nothing when none is open.
  void End(bool apply);
  bool IsOpen() const { return edit_ != nullptr; }
  HWND Edit() const { return edit_; }
  // The view's WM_COMMAND; true when it was the field's.
  bool Command(WPARAM wParam, LPARAM lParam);
  // A key the host forwards while the field is open; true when it took it.
  bool HostKey(const IKeyPress& key, bool down);

 private:
  static LRESULT CALLBACK editProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

  IGraphics* graphics_;
  HWND view_;
  int scale_;
  HWND edit_ = nullptr;
  WNDPROC editDefault_ = nullptr;  // the EDIT class's own procedure
  HFONT font_ = nullptr;
  IControl* control_ = nullptr;
  IParam* param_ = nullptr;
};
