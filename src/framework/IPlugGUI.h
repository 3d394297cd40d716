#pragma once

// The editor as the plug-in base sees it. The graphics context implements it, so the
// framework pushes parameter values into the editor's controls without depending on
// the editor's library. The plug-in base owns the attached editor.
class IPlugGUI {
 public:
  virtual ~IPlugGUI() = default;

  // Host, editor or audio thread (learned MIDI controllers): only stores control
  // values and dirty flags, without a lock; the editor's timer draws them.
  virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;
  // Creates the drawing bitmaps; plug-in mutex held.
  virtual void PrepDraw() = 0;
  // The editor's window inside the host's parent window (host's main thread): the
  // window, or null when it cannot be made; closing keeps the controls.
  virtual void* OpenWindow(void* parent) = 0;
  virtual void CloseWindow() = 0;
  // Whether the editor's window is open (controls are only redrawn then).
  virtual bool WindowIsOpen() = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
};
