#include "platform/x11/X11Tooltips.h"

#include <algorithm>

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Tooltip.h"

X11Tooltips::X11Tooltips(X11Connection* connection, xcb_window_t window, xcb_window_t root)
    : connection_(connection), window_(window), root_(root) {}

X11Tooltips::~X11Tooltips() = default;

void X11Tooltips::Restart(Clock::time_point now) {
  Hide();
  restingSince_ = now;
  done_ = false;
}

void X11Tooltips::Hide() { shown_.reset(); }

void X11Tooltips::Dismiss() {
  Hide();
  done_ = true;
}

void X11Tooltips::Update(Clock::time_point now, int x, int y, const char* text,
                         PlatformFonts* fonts, int scale) {
  if (shown_ || done_ || now - restingSince_ < std::chrono::milliseconds(kDelayMs)) return;
  done_ = true;
  const bool inRegion = std::any_of(regions_.begin(), regions_.end(),
                                    [x, y](const IRECT& r) { return r.Contains(x, y); });
  if (!inRegion || !text || !text[0]) return;
  int windowX = 0, windowY = 0;
  if (!connection_->RootPosition(window_, &windowX, &windowY)) return;
  shown_ = std::make_unique<X11Tooltip>(connection_, fonts, root_, text, windowX + x * scale,
                                        windowY + y * scale);
}

bool X11Tooltips::HandleEvent(const xcb_generic_event_t* event) {
  return shown_ && shown_->HandleEvent(event);
}
