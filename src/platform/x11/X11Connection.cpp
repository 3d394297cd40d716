#include "platform/x11/X11Connection.h"

#include <xkbcommon/xkbcommon.h>

#include <cstring>

#include "platform/x11/X11Owned.h"

std::unique_ptr<X11Connection> X11Connection::Open(const char* displayName) {
  int screenNumber = 0;
  xcb_connection_t* connection = xcb_connect(displayName, &screenNumber);
  if (!connection || xcb_connection_has_error(connection)) {
    if (connection) xcb_disconnect(connection);
    return nullptr;
  }
  return std::unique_ptr<X11Connection>(new X11Connection(connection, screenNumber));
}

X11Connection::X11Connection(xcb_connection_t* connection, int screenNumber)
    : connection_(connection), screenNumber_(screenNumber) {}

X11Connection::~X11Connection() {
  if (keyContext_) xkb_context_unref(keyContext_);
  xcb_disconnect(connection_);
}

int X11Connection::Fd() const { return xcb_get_file_descriptor(connection_); }
bool X11Connection::Broken() const { return xcb_connection_has_error(connection_) != 0; }
const xcb_setup_t* X11Connection::Setup() const { return xcb_get_setup(connection_); }

xcb_screen_t* X11Connection::ScreenOf(xcb_window_t root) const {
  xcb_screen_t* fallback = nullptr;
  int n = 0;
  for (auto it = xcb_setup_roots_iterator(Setup()); it.rem; xcb_screen_next(&it), ++n) {
    if (root && it.data->root == root) return it.data;
    if (n == screenNumber_ || !fallback) fallback = it.data;
  }
  return fallback;
}

xcb_atom_t X11Connection::Atom(const char* name) {
  auto found = atoms_.find(name);
  if (found != atoms_.end()) return found->second;
  X11Owned<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
      connection_, xcb_intern_atom(connection_, 0, uint16_t(std::strlen(name)), name), nullptr));
  const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
  if (atom != XCB_ATOM_NONE) atoms_[name] = atom;
  return atom;
}

bool X11Connection::formatOf(const xcb_visualtype_t* type, uint8_t depth,
                             PixelFormat* format) const {
  if (type->_class != XCB_VISUAL_CLASS_TRUE_COLOR && type->_class != XCB_VISUAL_CLASS_DIRECT_COLOR)
    return false;
  PixelFormat f;
  f.redMask = type->red_mask;
  f.greenMask = type->green_mask;
  f.blueMask = type->blue_mask;
  f.depth = depth;
  f.msbFirst = Setup()->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
  f.bitsPerPixel = 0;
  for (auto it = xcb_setup_pixmap_formats_iterator(Setup()); it.rem; xcb_format_next(&it))
    if (it.data->depth == depth) {
      f.bitsPerPixel = it.data->bits_per_pixel;
      f.scanlinePad = it.data->scanline_pad;
    }
  if (!f.Valid()) return false;
  *format = f;
  return true;
}

bool X11Connection::ChooseVisual(xcb_window_t parent, X11Visual* visual) {
  xcb_window_t root = RootOf(parent);
  xcb_screen_t* screen = ScreenOf(root);
  if (!screen) return false;
  X11Owned<xcb_get_window_attributes_reply_t> attributes(xcb_get_window_attributes_reply(
      connection_, xcb_get_window_attributes(connection_, parent), nullptr));
  if (attributes) {
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d)) {
      if (d.data->depth != 24 && d.data->depth != 32) continue;
      for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
        if (v.data->visual_id == attributes->visual &&
            v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
            formatOf(v.data, d.data->depth, &visual->format)) {
          visual->id = v.data->visual_id;
          visual->depth = d.data->depth;
          // The default colormap belongs to the root's visual only.
          visual->ownColormap = visual->id != screen->root_visual;
          return true;
        }
    }
  }
  if (!DefaultVisual(screen, visual)) return false;
  visual->ownColormap = true;
  return true;
}

bool X11Connection::DefaultVisual(xcb_screen_t* screen, X11Visual* visual) {
  if (!screen) return false;
  for (int wanted : {24, 32})
    for (auto d = xcb_screen_allowed_depths_iterator(screen); d.rem; xcb_depth_next(&d)) {
      if (d.data->depth != wanted) continue;
      for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
        if (v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
            formatOf(v.data, d.data->depth, &visual->format)) {
          visual->id = v.data->visual_id;
          visual->depth = d.data->depth;
          visual->ownColormap = visual->id != screen->root_visual;
          return true;
        }
    }
  return false;
}

xcb_window_t X11Connection::RootOf(xcb_window_t window) {
  X11Owned<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, window), nullptr));
  return geometry ? geometry->root : 0;
}

xcb_window_t X11Connection::TopLevelOf(xcb_window_t window) {
  for (int depth = 0; window && depth < 64; ++depth) {
    X11Owned<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr));
    if (!tree) return 0;
    if (tree->parent == tree->root || tree->parent == XCB_WINDOW_NONE) return window;
    window = tree->parent;
  }
  return window;
}

bool X11Connection::RootPosition(xcb_window_t window, int* x, int* y) {
  const xcb_window_t root = RootOf(window);
  if (!root) return false;
  X11Owned<xcb_translate_coordinates_reply_t> reply(xcb_translate_coordinates_reply(
      connection_, xcb_translate_coordinates(connection_, window, root, 0, 0), nullptr));
  if (!reply) return false;
  *x = reply->dst_x;
  *y = reply->dst_y;
  return true;
}

bool X11Connection::RootSize(xcb_window_t root, int* width, int* height) {
  X11Owned<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(connection_, xcb_get_geometry(connection_, root), nullptr));
  if (!geometry) return false;
  *width = geometry->width;
  *height = geometry->height;
  return true;
}

void X11Connection::SetTitle(xcb_window_t window, const std::string& title) {
  const auto length = uint32_t(title.size());
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING,
                      8, length, title.data());
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, Atom("_NET_WM_NAME"),
                      Atom("UTF8_STRING"), 8, length, title.data());
}

void X11Connection::SetFixedSize(xcb_window_t window, int width, int height) {
  // WM_NORMAL_HINTS: 18 words; flag bits 4 and 5 mark the minimum and maximum size.
  uint32_t hints[18] = {};
  hints[0] = (1u << 4) | (1u << 5);
  hints[5] = hints[7] = uint32_t(width);
  hints[6] = hints[8] = uint32_t(height);
  xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                      XCB_ATOM_WM_SIZE_HINTS, 32, 18, hints);
}

std::string X11Connection::ResourceManager(xcb_window_t root) {
  X11Owned<xcb_get_property_reply_t> reply(
      xcb_get_property_reply(connection_,
                             xcb_get_property(connection_, 0, root, XCB_ATOM_RESOURCE_MANAGER,
                                              XCB_ATOM_STRING, 0, 1 << 16),
                             nullptr));
  if (!reply || reply->format != 8) return "";
  const char* text = static_cast<const char*>(xcb_get_property_value(reply.get()));
  return std::string(text, size_t(xcb_get_property_value_length(reply.get())));
}

xkb_context* X11Connection::KeyContext() {
  if (!keyContext_) keyContext_ = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  return keyContext_;
}
