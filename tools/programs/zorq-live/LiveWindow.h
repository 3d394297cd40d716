#pragma once

// The editor in a top-level window of zorq-live's own, and the keys and window menu
// for what a plug-in host would otherwise offer: program and bank files, the choice of
// program, quitting. The options menu inside the editor keeps its own commands.
//
// Everything runs on the application's main thread (the editor's thread).
#include <functional>
#include <string>

#include "platform/x11/X11WindowOwner.h"

class X11Platform;
class ZORQ;
class ZorqEditor;

// What a key in the window asks for.
enum class LiveCommand {
  kNone,
  kLoadProgram,      // Ctrl+O
  kSaveProgram,      // Ctrl+S
  kLoadBank,         // Ctrl+Shift+O
  kSaveBank,         // Ctrl+Shift+S
  kPreviousProgram,  // Page Up
  kNextProgram,      // Page Down
  kMenu,             // Ctrl+M
  kQuit              // Ctrl+Q
};
LiveCommand liveCommandForKey(const IKeyPress& key);

class LiveWindow : public X11WindowOwner {
 public:
  // quit: the user asked to end the program (Ctrl+Q, the menu); close: the window's
  // close button.
  LiveWindow(ZORQ* instrument, ZorqEditor* editor, X11Platform* platform,
             std::function<void()> quit, std::function<void()> close);
  ~LiveWindow() override;
  LiveWindow(const LiveWindow&) = delete;
  LiveWindow& operator=(const LiveWindow&) = delete;

  void SetTitle(const std::string& title);
  // Opens the window (false when no display answers); Hide closes it.
  bool Show();
  void Hide();
  bool Shown() const { return shown_; }
  // Redraws and handles the window's events; call every few milliseconds.
  void Idle();
  void Run(LiveCommand command);

  // X11WindowOwner
  void CloseRequested() override { close_(); }
  void KeyPressed(const IKeyPress& key) override { Run(liveCommandForKey(key)); }

 private:
  void stepProgram(int step);
  void runMenu();

  ZORQ* instrument_;
  ZorqEditor* editor_;
  X11Platform* platform_;
  std::function<void()> quit_, close_;
  std::string title_ = "ZORQ";
  bool shown_ = false;
};
