#pragma once

// The editor's view on Windows: a child window of the host's window at the editor's
// size times its scale. The window's own timer (and the host's idle calls) run the
// redraw tick at the editor's frame rate (IsDirty, Draw); what was drawn is
// invalidated and reaches the screen at WM_PAINT, each editor pixel copied as a
// scale-by-scale square. Mouse, wheel and keys are translated for the graphics
// context; a press takes the capture (drags continue outside the window) and the
// keyboard focus. Keys the editor leaves go to the host's window. The in-place text
// field and the tooltips are children of the view.
//
// Everything runs on the thread that created the view (the host's UI thread).
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <vector>

#include "gui/IGraphicsStructs.h"

class IGraphics;
class Win32TextEntry;
class Win32Tooltips;
struct IKeyPress;

class Win32View {
 public:
  using Clock = std::chrono::steady_clock;

  // Null when the window cannot be made (no parent, or the system refuses).
  static std::unique_ptr<Win32View> Create(IGraphics* graphics, HWND parent, int scale);
  ~Win32View();
  Win32View(const Win32View&) = delete;
  Win32View& operator=(const Win32View&) = delete;

  HWND Window() const { return window_; }
  int Scale() const { return scale_; }
  Win32TextEntry* TextEntry() const { return textEntry_.get(); }
  Win32Tooltips* Tooltips() const { return tooltips_.get(); }

  // The host's idle call: the redraw tick when it is due.
  void Idle();
  // The region (editor pixels) was drawn into the raster.
  void Invalidate(const IRECT& r);
  void Resize(int width, int height, int scale);
  // Editor pixels to screen coordinates (for menus).
  POINT ToScreen(int x, int y) const;
  // A key the host forwards; true when the open text field took it.
  bool HostKey(const IKeyPress& key, bool down);

 private:
  Win32View(IGraphics* graphics, int scale);
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  bool mouse(UINT message, WPARAM wParam, LPARAM lParam);
  void wheel(WPARAM wParam, LPARAM lParam);
  bool key(UINT message, WPARAM wParam, LPARAM lParam);
  void paint();
  void tickIfDue(Clock::time_point now);
  int toEditor(int windowCoordinate) const;

  IGraphics* graphics_;
  HWND window_ = nullptr;
  int scale_;
  std::unique_ptr<Win32TextEntry> textEntry_;
  std::unique_ptr<Win32Tooltips> tooltips_;
  // The window's pixels in the DIB's order (B, G, R, unused), top-down.
  std::vector<uint32_t> frame_;
  Clock::duration period_;
  Clock::time_point nextTick_;
  int mouseX_ = 0, mouseY_ = 0;
  bool trackingLeave_ = false;
};
