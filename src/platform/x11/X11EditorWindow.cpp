#include "platform/x11/X11EditorWindow.h"

#include "platform/x11/X11Connection.h"
#include "platform/x11/X11Owned.h"
#include "platform/x11/X11Surface.h"
#include "raster/LICE.h"

namespace {
constexpr uint32_t kEventMask = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION |
                                XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_LEAVE_WINDOW |
                                XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_KEY_RELEASE |
                                XCB_EVENT_MASK_FOCUS_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
}  // namespace

std::unique_ptr<X11EditorWindow> X11EditorWindow::Create(X11Connection* connection,
                                                         xcb_window_t parent, int width, int height,
                                                         int scale, bool trySharedMemory) {
  if (!connection) return nullptr;
  std::unique_ptr<X11EditorWindow> window(new X11EditorWindow(connection, width, height, scale));
  if (!window->create(parent, trySharedMemory)) return nullptr;
  return window;
}

X11EditorWindow::X11EditorWindow(X11Connection* connection, int width, int height, int scale)
    : connection_(connection), width_(width), height_(height), scale_(scale) {}

bool X11EditorWindow::create(xcb_window_t parent, bool trySharedMemory) {
  xcb_connection_t* c = connection_->Get();
  X11Visual visual;
  if (parent) {
    if (!connection_->ChooseVisual(parent, &visual)) return false;
    root_ = connection_->RootOf(parent);
  } else {
    xcb_screen_t* screen = connection_->DefaultScreen();
    if (!connection_->DefaultVisual(screen, &visual)) return false;
    root_ = screen->root;
    parent = root_;
  }
  xcb_screen_t* screen = connection_->ScreenOf(root_);
  if (!screen) return false;
  parent_ = parent;
  depth_ = visual.depth;
  if (visual.ownColormap) {
    colormap_ = xcb_generate_id(c);
    xcb_create_colormap(c, XCB_COLORMAP_ALLOC_NONE, colormap_, root_, visual.id);
  }
  const int width = width_ * scale_, height = height_ * scale_;
  window_ = xcb_generate_id(c);
  // A border pixel and colormap of our own keep a visual other than the parent's from
  // failing with BadMatch. Values in mask-bit order.
  const uint32_t values[] = {visual.format.Encode(0, 0, 0), 0, kEventMask,
                             colormap_ ? colormap_ : screen->default_colormap};
  const X11Owned<xcb_generic_error_t> error(xcb_request_check(
      c,
      xcb_create_window_checked(
          c, depth_, window_, parent_, 0, 0, uint16_t(width), uint16_t(height), 0,
          XCB_WINDOW_CLASS_INPUT_OUTPUT, visual.id,
          XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP, values)));
  if (error) {
    window_ = 0;
    return false;
  }
  connection_->SetFixedSize(window_, width, height);
  if (TopLevel()) {
    SetTitle("ZORQ");
    deleteWindow_ = connection_->Atom("WM_DELETE_WINDOW");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, connection_->Atom("WM_PROTOCOLS"),
                        XCB_ATOM_ATOM, 32, 1, &deleteWindow_);
  }
  surface_ = std::make_unique<X11Surface>(connection_, window_, visual.format, depth_, width,
                                          height, trySharedMemory);
  screen_.resize(width_, height_);
  xcb_map_window(c, window_);
  pending_ = IRECT(0, 0, width_, height_);
  xcb_flush(c);
  return true;
}

X11EditorWindow::~X11EditorWindow() {
  surface_.reset();
  xcb_connection_t* c = connection_->Get();
  if (window_ && !destroyed_) xcb_destroy_window(c, window_);
  if (colormap_) xcb_free_colormap(c, colormap_);
  xcb_flush(c);
}

void X11EditorWindow::SetTitle(const std::string& title) {
  if (!TopLevel()) return;
  connection_->SetTitle(window_, title);
  xcb_flush(connection_->Get());
}

void X11EditorWindow::SetClass(const std::string& instance, const std::string& className) {
  if (!TopLevel()) return;
  // WM_CLASS: the two names, each ending in a zero byte.
  const std::string value = instance + '\0' + className + '\0';
  xcb_change_property(connection_->Get(), XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_CLASS,
                      XCB_ATOM_STRING, 8, uint32_t(value.size()), value.data());
  xcb_flush(connection_->Get());
}

bool X11EditorWindow::TakeCloseRequest() {
  const bool requested = closeRequested_;
  closeRequested_ = false;
  return requested;
}

bool X11EditorWindow::UsesSharedMemory() const { return surface_ && surface_->UsesSharedMemory(); }

bool X11EditorWindow::CopyInFlight() const { return surface_ && surface_->Busy(); }

int X11EditorWindow::ToEditor(int windowCoordinate) const {
  // Floor division: drags beyond the left or top edge stay negative.
  return windowCoordinate >= 0 ? windowCoordinate / scale_
                               : -((-windowCoordinate + scale_ - 1) / scale_);
}

void X11EditorWindow::Invalidate(const IRECT& r) {
  pending_ = pending_.Union(r.Intersect(IRECT(0, 0, width_, height_)));
}

void X11EditorWindow::Upload(const LICE_IBitmap* raster,
                             const std::function<void(LICE_IBitmap* screen)>& compose) {
  if (pending_.Empty() || destroyed_ || !raster || CopyInFlight()) return;
  const IRECT r = pending_;
  LICE_Blit(&screen_, raster, r.L, r.T, r.L, r.T, r.W(), r.H(), 1.0f, LICE_BLIT_MODE_COPY);
  if (compose) compose(&screen_);
  if (surface_->Upload(&screen_, r, scale_)) pending_ = IRECT();
}

void X11EditorWindow::Resize(int width, int height, int scale) {
  if (destroyed_) return;
  width_ = width;
  height_ = height;
  scale_ = scale;
  xcb_connection_t* c = connection_->Get();
  const uint32_t size[] = {uint32_t(width * scale), uint32_t(height * scale)};
  xcb_configure_window(c, window_, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
  connection_->SetFixedSize(window_, int(size[0]), int(size[1]));
  X11Visual visual;
  const bool sharedMemory = surface_->UsesSharedMemory();
  if (!connection_->ChooseVisual(TopLevel() ? window_ : parent_, &visual)) return;
  surface_ = std::make_unique<X11Surface>(connection_, window_, visual.format, depth_, int(size[0]),
                                          int(size[1]), sharedMemory);
  screen_.resize(width, height);
  pending_ = IRECT(0, 0, width, height);
  xcb_flush(c);
}

bool X11EditorWindow::HandleEvent(const xcb_generic_event_t* event) {
  if (surface_ && surface_->HandleEvent(event)) return true;
  switch (event->response_type & 0x7f) {
    case XCB_EXPOSE: {
      const auto* expose = reinterpret_cast<const xcb_expose_event_t*>(event);
      if (expose->window != window_) return false;
      Invalidate(IRECT(ToEditor(expose->x), ToEditor(expose->y),
                       ToEditor(expose->x + expose->width + scale_ - 1),
                       ToEditor(expose->y + expose->height + scale_ - 1)));
      return true;
    }
    case XCB_DESTROY_NOTIFY: {
      const auto* destroy = reinterpret_cast<const xcb_destroy_notify_event_t*>(event);
      if (destroy->window == window_) destroyed_ = true;
      return true;
    }
    case XCB_CLIENT_MESSAGE: {
      const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event);
      if (message->window != window_ || !deleteWindow_ || message->data.data32[0] != deleteWindow_)
        return false;
      closeRequested_ = true;
      return true;
    }
    case 0:  // an error reply: a request about a window the host destroyed; nothing to do
      return true;
    default: return false;
  }
}
