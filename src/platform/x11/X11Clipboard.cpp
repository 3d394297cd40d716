#include "platform/x11/X11Clipboard.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Owned.h"

namespace {
// Where owners put the converted text on our window; read and deleted on arrival.
constexpr const char* kProperty = "ZORQ_CLIPBOARD";
// At most this many 32-bit units of text are read (256 KiB).
constexpr uint32_t kMaxUnits = 1 << 16;
}  // namespace

void X11Clipboard::Request() {
  xcb_connection_t* c = connection_->Get();
  xcb_convert_selection(c, window_, connection_->Atom("CLIPBOARD"),
                        connection_->Atom("UTF8_STRING"), connection_->Atom(kProperty),
                        XCB_CURRENT_TIME);
  xcb_flush(c);
}

bool X11Clipboard::HandleEvent(const xcb_generic_event_t* event, std::string* text) {
  if ((event->response_type & 0x7f) != XCB_SELECTION_NOTIFY) return false;
  const auto* notify = reinterpret_cast<const xcb_selection_notify_event_t*>(event);
  if (notify->requestor != window_) return false;
  text->clear();
  if (notify->property == XCB_NONE) return true;  // no owner, or it refused
  xcb_connection_t* c = connection_->Get();
  X11Owned<xcb_get_property_reply_t> reply(xcb_get_property_reply(
      c, xcb_get_property(c, 1, window_, notify->property, XCB_GET_PROPERTY_TYPE_ANY, 0, kMaxUnits),
      nullptr));
  if (reply && reply->format == 8)
    text->assign(static_cast<const char*>(xcb_get_property_value(reply.get())),
                 size_t(xcb_get_property_value_length(reply.get())));
  return true;
}
