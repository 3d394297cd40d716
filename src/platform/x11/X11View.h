#pragma once

// The editor's view on X11, driven by the host's idle calls: its own connection, the
// window (X11EditorWindow), the in-place text field (X11TextEntry) and the tooltips
// (X11Tooltips). Idle takes the connection's events through the one event pump and
// translates them into the graphics context's mouse, wheel and key calls, runs the
// 25 frames per second redraw timer on a monotonic clock (a late call runs one tick,
// never a queue of them), copies what was drawn to the window and flushes. Menus and
// message boxes run their modal loop here, on the same pump.
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

class IGraphics;
class X11Connection;
class X11EditorWindow;
class X11EventPump;
class X11Keyboard;
class X11TextEntry;
class X11Tooltips;
class X11WindowOwner;
struct IKeyPress;

class X11View {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr int kDoubleClickMs = 400;
  static constexpr int kDoubleClickDistance = 4;  // editor pixels

  // Null when no display answers or the window cannot be made. With a parent of 0 the
  // view is a top-level window of its own.
  static std::unique_ptr<X11View> Create(IGraphics* graphics, xcb_window_t parent, int scale,
                                         bool trySharedMemory = true);
  ~X11View();
  X11View(const X11View&) = delete;
  X11View& operator=(const X11View&) = delete;

  X11Connection* Connection() const { return connection_.get(); }
  xcb_window_t Window() const;
  xcb_window_t Root() const;
  int Scale() const;
  bool UsesSharedMemory() const;
  PlatformFonts* Fonts() { return fonts_.get(); }
  X11Keyboard* Keyboard() const { return keyboard_.get(); }
  X11TextEntry* TextEntry() const { return textEntry_.get(); }
  X11Tooltips* Tooltips() const { return tooltips_.get(); }
  // The window was destroyed with its parent (the host closed first).
  bool Destroyed() const;

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

  // A key the host forwards; true when an open text field took it.
  bool HostKey(const IKeyPress& key, bool down);
  void SetTooltipRegions(std::vector<IRECT> regions);
  // A top-level window's owner hears of its close button and the keys nobody took;
  // null for none. Title and WM_CLASS of a top-level window.
  void SetOwner(X11WindowOwner* owner) { owner_ = owner; }
  void SetTitle(const std::string& title);
  void SetClass(const std::string& instance, const std::string& className);

 private:
  X11View(IGraphics* graphics, std::unique_ptr<X11Connection> connection, int scale);
  void handleEvent(const xcb_generic_event_t* event);
  // Events that are not input to the editor: the window's, the tooltip's.
  bool handleWindowEvent(const xcb_generic_event_t* event);
  void button(const xcb_button_press_event_t* event, bool press);
  void motion(const xcb_motion_notify_event_t* event);
  void key(const xcb_key_press_event_t* event, bool press);
  void forwardToHost(const xcb_key_press_event_t* event);
  void tickIfDue(Clock::time_point now);
  void upload();

  IGraphics* graphics_;
  std::unique_ptr<X11Connection> connection_;
  std::unique_ptr<X11EventPump> pump_;
  std::unique_ptr<PlatformFonts> fonts_;
  std::unique_ptr<X11EditorWindow> window_;
  std::unique_ptr<X11Keyboard> keyboard_;
  std::unique_ptr<X11TextEntry> textEntry_;
  std::unique_ptr<X11Tooltips> tooltips_;
  bool inModal_ = false;
  X11WindowOwner* owner_ = nullptr;

  // Redraw timer.
  Clock::duration period_;
  Clock::time_point nextTick_;

  // Mouse: last position (editor pixels), the last left press for double clicks.
  int mouseX_ = 0, mouseY_ = 0;
  Clock::time_point lastPress_;
  int lastPressX_ = -1000, lastPressY_ = -1000;
  bool buttonHeld_ = false;
};
