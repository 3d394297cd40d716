#pragma once

// zorq-live: the instrument, its editor in a window of its own and a JACK client
// around them, run from the main thread's loop. Alone, the command line names the
// client and the state file; under a session manager (NSM_URL set) the manager does,
// and the JACK client opens only when the manager opens the session.
//
// Threads: everything here runs on the main thread; JACK runs the audio on its own
// threads (formats/jack/JackHost.h). SIGINT and SIGTERM only set a flag that the loop
// reads.
#include <chrono>
#include <memory>
#include <ostream>
#include <string>

#include "zorq-live/LiveOptions.h"
#include "zorq-live/NsmClient.h"

class JackHost;
class LiveWindow;
class X11Platform;
class ZORQ;
class ZorqEditor;

class LiveApp : public NsmClient::Handler {
 public:
  LiveApp(LiveOptions options, std::string executable);
  ~LiveApp() override;
  LiveApp(const LiveApp&) = delete;
  LiveApp& operator=(const LiveApp&) = delete;

  // Runs until a signal, the window or the server ends it; the exit status.
  int Run();

  // NsmClient::Handler
  bool Open(const std::string& path, const std::string& displayName, const std::string& clientId,
            std::string* error) override;
  bool Save(std::string* error) override;
  void ShowGui(bool show) override;

  // SIGINT and SIGTERM end the loop (installed by Run).
  static void InstallSignalHandlers();

 private:
  int runAlone();
  int runInSession(const std::string& url);
  // Loads the state, program and preset the command line names; false after a message.
  bool applyStartFiles();
  bool openJack(const std::string& name, std::string* error);
  // The loop: idle calls for the instrument and the window, the session manager's
  // messages, the server's state. Returns when a quit was asked for; false when the
  // server went away.
  bool loop();
  void reportXruns();
  void showWindow();
  // The window's close button, Ctrl+Q and the window menu's Quit.
  void requestQuit() { quitRequested_ = true; }
  void requestClose() { closeRequested_ = true; }

  LiveOptions options_;
  std::string executable_;
  std::unique_ptr<ZORQ> instrument_;
  ZorqEditor* editor_ = nullptr;     // owned by the instrument
  X11Platform* platform_ = nullptr;  // owned by the editor
  std::unique_ptr<LiveWindow> window_;
  std::unique_ptr<JackHost> jack_;
  std::unique_ptr<NsmClient> nsm_;
  std::string statePath_;
  bool quitRequested_ = false;
  bool closeRequested_ = false;
  unsigned xrunsReported_ = 0;
  std::chrono::steady_clock::time_point lastXrunReport_;
};
