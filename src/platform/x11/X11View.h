#pragma once

// The editor's window on X11: a child of the host's window on our own connection,
// with the parent's visual when it is 24- or 32-bit TrueColor (otherwise a TrueColor
// visual with its own colormap and border pixel) and fixed-size hints. The host's
// idle calls drive everything: Idle drains the connection's events and translates
// them into the graphics context's mouse, wheel and key calls, runs the 25 frames per
// second redraw timer on a monotonic clock (a late call runs one tick, never a queue
// of them), copies what was drawn to the window and flushes. It also holds the
// in-place text field, tooltips and the modal loop that menus and message boxes run.
//
// Everything runs on the thread that created the view.
#include <xcb/xcb.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/IGraphicsStructs.h"
#include "platform/x11/PlatformFonts.h"
#include "raster/Bitmap.h"

class IControl;
class IGraphics;
class IParam;
class TextField;
class X11Connection;
class X11Keyboard;
class X11Surface;
class X11Tooltip;
struct IKeyPress;

class X11View {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr int kDoubleClickMs = 400;
  static constexpr int kDoubleClickDistance = 4;  // editor pixels
  static constexpr int kTooltipDelayMs = 500;
  static constexpr int kCaretBlinkMs = 500;

  // Null when no display answers or the window cannot be made. With a parent of 0 the
  // view is a top-level window of its own.
  static std::unique_ptr<X11View> Create(IGraphics* graphics, xcb_window_t parent, int scale,
                                         bool trySharedMemory = true);
  ~X11View();
  X11View(const X11View&) = delete;
  X11View& operator=(const X11View&) = delete;

  X11Connection* Connection() const { return connection_.get(); }
  xcb_window_t Window() const { return window_; }
  xcb_window_t Root() const { return root_; }
  int Scale() const { return scale_; }
  bool UsesSharedMemory() const;
  PlatformFonts* Fonts() { return fonts_.get(); }
  X11Keyboard* Keyboard() const { return keyboard_.get(); }
  // The window was destroyed with its parent (the host closed first).
  bool Destroyed() const { return destroyed_; }

  void Idle();
  // The region was drawn into the raster; it reaches the window at the next chance.
  void Invalidate(const IRECT& r);
  // New editor size or scale: the window and its image follow.
  void Resize(int width, int height, int scale);

  // Runs until finished() (true) or until the connection or window is lost (false).
  // Every event goes to handle first; what it leaves, the view takes, except input to
  // the editor, which is dropped. The editor keeps redrawing meanwhile.
  bool RunModal(const std::function<bool(const xcb_generic_event_t*)>& handle,
                const std::function<bool()>& finished);

  void OpenTextEntry(IControl* control, const IText* style, const IRECT& r, const char* text, IParam* param);
  // Applies the field's text (through the graphics context or the control) or drops it.
  void EndTextEntry(bool apply);
  bool TextEntryOpen() const { return field_ != nullptr; }
  bool HostKey(const IKeyPress& key, bool down);

  // The CLIPBOARD selection as UTF-8, waiting up to half a second for its owner.
  bool ClipboardText(std::string* text);
  void SetTooltipRegions(std::vector<IRECT> regions) { tooltipRegions_ = std::move(regions); }

 private:
  X11View(IGraphics* graphics, std::unique_ptr<X11Connection> connection, int scale);
  bool create(xcb_window_t parent, bool trySharedMemory);
  void handleEvent(const xcb_generic_event_t* event);
  // Non-input events of the editor window: exposure, destruction, copy completion.
  bool handleWindowEvent(const xcb_generic_event_t* event);
  void button(const xcb_button_press_event_t* event, bool press);
  void motion(const xcb_motion_notify_event_t* event);
  void key(const xcb_key_press_event_t* event, bool press);
  void tickIfDue(Clock::time_point now);
  void upload();
  void composeField();
  void fieldKey(const IKeyPress& key);
  void forwardToHost(const xcb_key_press_event_t* event);
  void takeFocus();
  void returnFocus();
  void updateTooltip(Clock::time_point now);
  void hideTooltip();
  int toEditor(int windowCoordinate) const;

  IGraphics* graphics_;
  std::unique_ptr<X11Connection> connection_;
  std::unique_ptr<X11Keyboard> keyboard_;
  std::unique_ptr<PlatformFonts> fonts_;
  std::unique_ptr<X11Surface> surface_;
  xcb_window_t parent_ = 0, window_ = 0, root_ = 0;
  xcb_colormap_t colormap_ = 0;
  uint8_t depth_ = 0;
  int scale_;
  bool destroyed_ = false;
  bool inModal_ = false;

  // Redraw timer.
  Clock::duration period_;
  Clock::time_point nextTick_;
  // Editor pixels to copy to the window; the raster with the text field over it.
  IRECT pending_;
  LICE_MemBitmap screen_;

  // Mouse: last position (editor pixels), the last left press for double clicks.
  int mouseX_ = 0, mouseY_ = 0;
  Clock::time_point lastPress_;
  int lastPressX_ = -1000, lastPressY_ = -1000;
  bool buttonHeld_ = false;

  // Text field.
  std::unique_ptr<TextField> field_;
  IControl* fieldControl_ = nullptr;
  IParam* fieldParam_ = nullptr;
  IText fieldStyle_;
  IRECT fieldRect_;
  std::unique_ptr<RasterFont> fieldFont_;
  LICE_MemBitmap fieldPicture_;
  bool caretOn_ = true;
  bool selecting_ = false;
  Clock::time_point nextBlink_;
  bool tookFocus_ = false;
  xcb_window_t previousFocus_ = 0;

  // Tooltips.
  std::vector<IRECT> tooltipRegions_;
  Clock::time_point restingSince_;
  std::unique_ptr<X11Tooltip> tooltip_;
  bool tooltipDone_ = false;
};
