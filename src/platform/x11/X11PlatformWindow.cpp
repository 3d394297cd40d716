#include "platform/x11/X11PlatformWindow.h"

X11PlatformWindow::X11PlatformWindow(X11Connection* connection, xcb_window_t root, int x, int y,
                                     int width, int height, bool overrideRedirect,
                                     uint32_t eventMask)
    : connection_(connection), width_(width), height_(height) {
  xcb_connection_t* c = connection_->Get();
  xcb_screen_t* screen = connection_->ScreenOf(root);
  X11Visual visual;
  if (!screen || !connection_->DefaultVisual(screen, &visual) || width <= 0 || height <= 0) return;
  if (visual.ownColormap) {
    colormap_ = xcb_generate_id(c);
    xcb_create_colormap(c, XCB_COLORMAP_ALLOC_NONE, colormap_, screen->root, visual.id);
  }
  window_ = xcb_generate_id(c);
  // Value order follows the mask bits: back pixel, border pixel, override redirect,
  // save under, event mask, colormap.
  const uint32_t values[] = {visual.format.Encode(242, 242, 242),
                             0,
                             overrideRedirect ? 1u : 0u,
                             overrideRedirect ? 1u : 0u,
                             eventMask | XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                             colormap_ ? colormap_ : screen->default_colormap};
  xcb_create_window(c, visual.depth, window_, screen->root, int16_t(x), int16_t(y), uint16_t(width),
                    uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, visual.id,
                    XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT |
                        XCB_CW_SAVE_UNDER | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP,
                    values);
  surface_ = std::make_unique<X11Surface>(connection_, window_, visual.format, visual.depth, width,
                                          height, false);
}

X11PlatformWindow::~X11PlatformWindow() {
  surface_.reset();
  xcb_connection_t* c = connection_->Get();
  if (window_) xcb_destroy_window(c, window_);
  if (colormap_) xcb_free_colormap(c, colormap_);
  xcb_flush(c);
}

void X11PlatformWindow::Map() {
  if (window_) xcb_map_window(connection_->Get(), window_);
}

void X11PlatformWindow::Show(const LICE_IBitmap* picture) {
  picture_ = picture;
  if (surface_ && picture_) surface_->Upload(picture_, IRECT(0, 0, width_, height_), 1);
}

bool X11PlatformWindow::HandleEvent(const xcb_generic_event_t* event) {
  if (!window_) return false;
  if ((event->response_type & 0x7f) == XCB_EXPOSE) {
    const auto* expose = reinterpret_cast<const xcb_expose_event_t*>(event);
    if (expose->window != window_) return false;
    if (surface_ && picture_)
      surface_->Upload(
          picture_,
          IRECT(expose->x, expose->y, expose->x + expose->width, expose->y + expose->height), 1);
    return true;
  }
  return false;
}
