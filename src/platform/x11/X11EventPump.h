#pragma once

// The one reader of the editor connection's events. The view's idle call, its modal
// loop (menus, message boxes) and its wait for a copy in flight all take events here;
// each event is handed to a handler and freed afterwards, whatever the handler does.
//
// The thread that owns the connection (the editor's).
#include <xcb/xcb.h>

#include <chrono>
#include <functional>

class X11Connection;

class X11EventPump {
 public:
  using Handler = std::function<void(const xcb_generic_event_t*)>;

  explicit X11EventPump(X11Connection* connection) : connection_(connection) {}

  // Hands every event already received to handle, in order. With stop, returns as soon
  // as stop() holds after an event; the events behind it stay queued.
  void DispatchPending(const Handler& handle, const std::function<bool()>& stop = nullptr);
  // Sleeps until the connection has something to read, or for at most timeout.
  void WaitForInput(std::chrono::milliseconds timeout) const;

 private:
  X11Connection* connection_;
};
