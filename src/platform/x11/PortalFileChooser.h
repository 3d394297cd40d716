#pragma once

// The desktop portal's file chooser over the session's D-Bus: the request goes out
// without waiting, and Poll, called from the host's idle calls, picks up the answer
// (the portal's Response signal). A private bus connection of our own keeps the
// host's D-Bus traffic and its exit-on-disconnect setting untouched.
#include <memory>
#include <string>

#include "platform/x11/FileDialogCommand.h"

struct DBusConnection;
struct DBusPendingCall;

class PortalFileChooser {
 public:
  // Null when there is no session bus or it offers no portal.
  static std::unique_ptr<PortalFileChooser> Start(const FilePromptRequest& request);
  ~PortalFileChooser();
  PortalFileChooser(const PortalFileChooser&) = delete;
  PortalFileChooser& operator=(const PortalFileChooser&) = delete;

  enum EState { kWaiting, kAnswered, kFailed };
  // Reads what the bus has; kAnswered with File() set (empty when cancelled), or
  // kFailed when the portal refused the request (another dialog should be tried).
  EState Poll();
  const std::string& File() const { return file_; }

  // "file:///a%20b/c.fxp" -> "/a b/c.fxp"; empty for anything but a local file URI.
  static std::string PathOfUri(const std::string& uri);

 private:
  PortalFileChooser(DBusConnection* connection, const FilePromptRequest& request);
  bool send();
  void readResponse(struct DBusMessage* signal);

  DBusConnection* connection_;
  FilePromptRequest request_;
  std::string handlePath_;
  DBusPendingCall* pending_ = nullptr;
  EState state_ = kWaiting;
  std::string file_;
};
