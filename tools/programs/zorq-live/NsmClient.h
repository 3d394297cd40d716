#pragma once

// The session manager's side of zorq-live: the NSM protocol over OSC (liblo). The
// client announces itself to the manager named by NSM_URL, then answers what the
// manager asks: open a session (the handler opens the JACK client under the name the
// manager gives and reads the state at the path it gives), save, show or hide the
// editor. Quitting is the manager's SIGTERM, handled by the application.
//
// Everything runs on the application's main thread: Poll hands the messages that
// arrived to the handler and sends the replies.
#include <memory>
#include <string>
#include <vector>

class NsmClient {
 public:
  // The protocol's general error code in /error replies.
  static constexpr int kErrGeneral = -1;

  class Handler {
   public:
    virtual ~Handler() = default;
    // A session opens: state lives at `path` (a prefix to add a file extension to),
    // the JACK client takes the name `clientId`. False with *error to refuse.
    virtual bool Open(const std::string& path, const std::string& displayName,
                      const std::string& clientId, std::string* error) = 0;
    virtual bool Save(std::string* error) = 0;
    // The manager shows or hides the editor; the handler reports the outcome with
    // GuiShown.
    virtual void ShowGui(bool show) = 0;
  };

  // Null, with *error set, when the URL is not an OSC address or no socket is free.
  static std::unique_ptr<NsmClient> Connect(const std::string& url, Handler* handler,
                                            std::string* error);
  ~NsmClient();
  NsmClient(const NsmClient&) = delete;
  NsmClient& operator=(const NsmClient&) = delete;

  // /nsm/server/announce with the capabilities (":optional-gui:"), API 1.1 and our pid.
  void Announce(const std::string& applicationName, const std::string& capabilities,
                const std::string& executable);
  // Handles the messages that arrive within timeoutMs (0: only those waiting).
  void Poll(int timeoutMs);
  // The manager answered the announcement; or refused it (*refusal says why).
  bool Announced() const { return announced_; }
  bool Refused(std::string* refusal) const;
  // Tells the manager whether the editor is on screen.
  void GuiShown(bool shown);

 private:
  // liblo's server and the manager's address (liblo hands both out as void*).
  NsmClient(void* server, void* manager, Handler* handler);
  friend struct NsmMessages;
  void handle(const std::string& path, const std::string& types,
              const std::vector<std::string>& strings);
  void reply(const std::string& path, const std::string& message);
  void fail(const std::string& path, int code, const std::string& message);

  void* server_;
  void* manager_;
  Handler* handler_;
  bool announced_ = false;
  std::string refusal_;
};
