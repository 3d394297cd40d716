#pragma once

// The in-place text field of the editor window: a TextField over a control's
// rectangle with the control's text style at 0.9 times its size, a blinking caret,
// mouse selection, Control+V pasting from the clipboard (answered later, never
// waited for), and the keyboard focus, which hosts do not give plug-in windows: the
// field takes it and gives it back to whoever had it when editing ends. Its text
// goes to the graphics context (with a parameter) or to the control (without one).
//
// The thread that owns the connection (the editor's).
#include <xcb/xcb.h>

#include <chrono>
#include <functional>
#include <memory>

#include "framework/IPlugGUI.h"
#include "gui/IGraphicsStructs.h"
#include "platform/x11/X11Clipboard.h"
#include "raster/Bitmap.h"

class IControl;
class IGraphics;
class IParam;
class RasterFont;
class TextField;
class X11Connection;
class X11EditorWindow;

class X11TextEntry {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr int kCaretBlinkMs = 500;

  X11TextEntry(IGraphics* graphics, X11Connection* connection, X11EditorWindow* window);
  ~X11TextEntry();
  X11TextEntry(const X11TextEntry&) = delete;
  X11TextEntry& operator=(const X11TextEntry&) = delete;

  // Opens a field over r (clipped to the editor) holding text; ignored while one is
  // open, or for an empty rectangle.
  void Open(IControl* control, const IText* style, const IRECT& r, const char* text, IParam* param);
  // Applies the text (or drops it) and closes the field; nothing when none is open.
  void End(bool apply);
  bool IsOpen() const { return field_ != nullptr; }

  // A key typed into the open field.
  void Key(const IKeyPress& key);
  // A button press or release at (x, y), editor pixels, while the field is open. True
  // when the field took it; a press elsewhere applies the text first and is not taken.
  bool Button(int x, int y, bool right, bool press, bool shift);
  // The pointer moved with a button held: extends a selection begun in the field.
  void Drag(int x);
  // Focus changes and clipboard answers; true when the event was the field's.
  bool HandleEvent(const xcb_generic_event_t* event);
  // Blinks the caret when due.
  void Tick(Clock::time_point now);
  // Draws the field over the editor's picture (editor pixels).
  void Compose(LICE_IBitmap* screen);

 private:
  void showCaret();
  void takeFocus();
  void returnFocus();

  IGraphics* graphics_;
  X11Connection* connection_;
  X11EditorWindow* window_;
  X11Clipboard clipboard_;
  std::unique_ptr<TextField> field_;
  IControl* control_ = nullptr;
  IParam* param_ = nullptr;
  IText style_;
  IRECT rect_;
  std::unique_ptr<RasterFont> font_;
  LICE_MemBitmap picture_;
  bool caretOn_ = true;
  bool selecting_ = false;
  Clock::time_point nextBlink_;
  bool tookFocus_ = false;
  xcb_window_t previousFocus_ = 0;
};
