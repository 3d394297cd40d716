#include "platform/x11/X11EventPump.h"

#include <poll.h>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Owned.h"

void X11EventPump::DispatchPending(const Handler& handle, const std::function<bool()>& stop) {
  xcb_connection_t* c = connection_->Get();
  while (X11Event event{xcb_poll_for_event(c)}) {
    handle(event.get());
    if (stop && stop()) return;
  }
}

void X11EventPump::WaitForInput(std::chrono::milliseconds timeout) const {
  pollfd descriptor{connection_->Fd(), POLLIN, 0};
  poll(&descriptor, 1, int(timeout.count()));
}
