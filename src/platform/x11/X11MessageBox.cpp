#include "platform/x11/X11MessageBox.h"

#include <xcb/xcb.h>

#include <algorithm>

#include "platform/x11/MessageBoxView.h"
#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Keyboard.h"
#include "platform/x11/X11Owned.h"
#include "platform/x11/X11PlatformWindow.h"
#include "platform/x11/X11View.h"

namespace X11MessageBox {

int Run(X11View* view, const std::string& text, const std::string& caption, int type) {
  if (!view || view->Destroyed()) return 0;
  X11Connection* c = view->Connection();
  MessageBoxView box(text, caption, type, view->Fonts());
  int editorX = 0, editorY = 0, rootWidth = 0, rootHeight = 0;
  c->RootPosition(view->Window(), &editorX, &editorY);
  c->RootSize(view->Root(), &rootWidth, &rootHeight);
  const X11Owned<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(c->Get(), xcb_get_geometry(c->Get(), view->Window()), nullptr));
  const int width = geometry ? geometry->width : 0, height = geometry ? geometry->height : 0;
  int x = editorX + (width - box.Width()) / 2, y = editorY + (height - box.Height()) / 2;
  x = std::max(0, std::min(x, rootWidth - box.Width()));
  y = std::max(0, std::min(y, rootHeight - box.Height()));
  X11PlatformWindow window(
      c, view->Root(), x, y, box.Width(), box.Height(), false,
      XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_KEY_PRESS);
  if (!window.Valid()) return 0;
  xcb_connection_t* conn = c->Get();
  const xcb_window_t id = window.Window();
  c->SetTitle(id, caption);
  c->SetFixedSize(id, box.Width(), box.Height());
  // A dialog of the host's window: the window manager keeps it above and centred.
  const xcb_window_t owner = c->TopLevelOf(view->Window());
  if (owner)
    xcb_change_property(conn, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW,
                        32, 1, &owner);
  const xcb_atom_t dialog = c->Atom("_NET_WM_WINDOW_TYPE_DIALOG");
  xcb_change_property(conn, XCB_PROP_MODE_REPLACE, id, c->Atom("_NET_WM_WINDOW_TYPE"),
                      XCB_ATOM_ATOM, 32, 1, &dialog);
  const xcb_atom_t modal = c->Atom("_NET_WM_STATE_MODAL");
  xcb_change_property(conn, XCB_PROP_MODE_REPLACE, id, c->Atom("_NET_WM_STATE"), XCB_ATOM_ATOM, 32,
                      1, &modal);
  const xcb_atom_t deleteWindow = c->Atom("WM_DELETE_WINDOW");
  xcb_change_property(conn, XCB_PROP_MODE_REPLACE, id, c->Atom("WM_PROTOCOLS"), XCB_ATOM_ATOM, 32,
                      1, &deleteWindow);
  window.Map();
  window.Show(box.Picture());

  int answer = 0;
  bool answered = false, focused = false;
  auto handle = [&](const xcb_generic_event_t* event) {
    if (window.HandleEvent(event)) {
      // Viewable now: the box takes the keyboard so Return and Escape reach it.
      if (!focused) xcb_set_input_focus(conn, XCB_INPUT_FOCUS_PARENT, id, XCB_CURRENT_TIME);
      focused = true;
      return true;
    }
    switch (event->response_type & 0x7f) {
      case XCB_KEY_PRESS: {
        const auto* k = reinterpret_cast<const xcb_key_press_event_t*>(event);
        if (k->event != id) return false;
        answer = box.Key(view->Keyboard()->Translate(k->detail, k->state));
        window.Show(box.Picture());
        answered = answer != 0;
        return true;
      }
      case XCB_BUTTON_RELEASE: {
        const auto* b = reinterpret_cast<const xcb_button_press_event_t*>(event);
        if (b->event != id) return false;
        answer = b->detail == 1 ? box.ButtonAt(b->event_x, b->event_y) : 0;
        answered = answer != 0;
        return true;
      }
      case XCB_CLIENT_MESSAGE: {
        const auto* m = reinterpret_cast<const xcb_client_message_event_t*>(event);
        if (m->window != id || m->data.data32[0] != deleteWindow) return false;
        answer = box.CancelAnswer();
        answered = true;
        return true;
      }
      default: return false;
    }
  };
  if (!view->RunModal(handle, [&] { return answered; })) return 0;
  return answer;
}

}  // namespace X11MessageBox
