#pragma once

// The editor as the plug-in base and the host adapter see it. The graphics context
// implements it, so the framework pushes parameter values into the editor's controls
// and drives its window without depending on the editor's libraries. The plug-in base
// owns the attached editor.
#include <cstdint>

// A key the host hands to the editor (effEditKeyDown), translated by the adapter; the
// window-system layer describes its own key events the same way.
struct IKeyPress {
  enum ENamedKey {
    kNoNamedKey = 0,
    kBackspace,
    kTab,
    kReturn,
    kEscape,
    kLeft,
    kUp,
    kRight,
    kDown,
    kHome,
    kEnd,
    kDelete,
    kPageUp,
    kPageDown,
    kOtherKey  // function keys and the like: no character, nothing the editor uses
  };
  uint32_t character = 0;  // Unicode code point; 0 when the key types none
  ENamedKey key = kNoNamedKey;
  bool shift = false, control = false, alt = false;
};

class IPlugGUI {
 public:
  virtual ~IPlugGUI() = default;

  // Host, editor or audio thread (learned MIDI controllers): only stores control
  // values and dirty flags, without a lock; the editor's timer draws them.
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;
  // Creates the drawing bitmaps; plug-in mutex held.
  virtual void PrepDraw() = 0;
  // Whether the editor's window is open (controls are only redrawn then).
  virtual bool WindowIsOpen() = 0;
  // The editor's size in its own pixels.
  virtual int Width() const = 0;
  virtual int Height() const = 0;

  // The window, on the host's editor thread (the thread of effEditOpen, effEditIdle
  // and effEditClose), plug-in mutex not held: a menu or message box may keep these
  // calls busy while the user answers, and audio must go on meanwhile.
  //
  // Whether the platform layer can show a window at all (the has-editor flag).
  virtual bool CanOpenWindow() const = 0;
  // Opens the window inside the host's window `parent`: the window, or null when it
  // cannot be made. Closing keeps the controls.
  virtual void* OpenWindow(void* parent) = 0;
  virtual void CloseWindow() = 0;
  // The host's idle call while the window is open: redraw timer, window events.
  virtual void OnWindowIdle() = 0;
  // The file descriptor the open window's events arrive on, for hosts that watch
  // descriptors and call OnWindowIdle when it is readable; -1 when there is none (no
  // window, no descriptor, or the connection is lost).
  virtual int WindowEventFd() { return -1; }
  // A key the host forwards; true when the editor took it (only an open text field
  // takes keys this way).
  virtual bool OnHostKey(const IKeyPress& key, bool down) = 0;
  // Screen pixels per editor pixel: 2 on high-resolution screens, else 1. The
  // window's size is Width() x Scale() by Height() x Scale().
  virtual int Scale() = 0;
  // The host's content scale factor (1.0, 2.0, ...); the window follows when open.
  virtual void SetHostScale(float factor) = 0;
  // The user's configured scale (1 or 2; 0 for none), used when neither the host nor
  // the screen says. Construction thread.
  virtual void SetPreferredScale(int scale) = 0;

  // Hooks for an instrument's own editor (the plain graphics context ignores them).
  // Each runs on the thread of its caller (editor, host, or audio thread for learned
  // controllers) and only stores control values and flags.
  //
  // After the plug-in pushed every parameter's value into the controls: the editor
  // refreshes what depends on more than the parameters.
  virtual void RedrawParamControls() {}
  // Idle time, from the host or from the editor's own run of clean redraw ticks;
  // plug-in mutex held.
  virtual void OnIdle() {}
  // Every control draws again at the next timer tick, re-reading what it shows.
  virtual void SetAllControlsDirty() {}
};
