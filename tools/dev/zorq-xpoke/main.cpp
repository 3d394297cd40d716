// zorq-xpoke: what the checks with real hosts do on an X server as a user would: press
// keys, click, find a window by a part of its title and what it holds, and take a
// screenshot. Talks to $DISPLAY through XCB and its test extension.
//   zorq-xpoke keys KEYSYM...           presses the keys together ("Alt_L m"), then lets go
//   zorq-xpoke click X Y [COUNT]        clicks the first button COUNT times at screen X, Y
//   zorq-xpoke find TITLE               prints the id of a top window whose title holds TITLE
//   zorq-xpoke holds WINDOW W H         succeeds when a window of W x H pixels lies inside
//   zorq-xpoke shot FILE.png            writes the screen as a PNG
// Exits 1 when what was asked for is not there, 2 on a usage error.
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "raster/Bitmap.h"
#include "raster/Pixel.h"
#include "raster/Png.h"

namespace {
template <typename Reply>
std::unique_ptr<Reply, decltype(&std::free)> owned(Reply* reply) {
  return {reply, &std::free};
}

void pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

uint8_t keycode(xcb_connection_t* connection, const char* name) {
  const uint32_t keysym = !std::strcmp(name, "Alt_L")       ? 0xffe9
                          : !std::strcmp(name, "Control_L") ? 0xffe3
                          : !std::strcmp(name, "Return")    ? 0xff0d
                                                            : uint32_t(name[0]);
  const xcb_setup_t* setup = xcb_get_setup(connection);
  const int count = setup->max_keycode - setup->min_keycode + 1;
  auto mapping = owned(xcb_get_keyboard_mapping_reply(
      connection, xcb_get_keyboard_mapping(connection, setup->min_keycode, uint8_t(count)),
      nullptr));
  if (!mapping) return 0;
  const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(mapping.get());
  for (int k = 0; k < count * mapping->keysyms_per_keycode; ++k)
    if (syms[k] == keysym) return uint8_t(setup->min_keycode + k / mapping->keysyms_per_keycode);
  return 0;
}

std::vector<xcb_window_t> children(xcb_connection_t* connection, xcb_window_t window) {
  auto tree = owned(xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr));
  if (!tree) return {};
  const xcb_window_t* list = xcb_query_tree_children(tree.get());
  return std::vector<xcb_window_t>(list, list + xcb_query_tree_children_length(tree.get()));
}

std::string title(xcb_connection_t* connection, xcb_window_t window) {
  auto property = owned(xcb_get_property_reply(
      connection,
      xcb_get_property(connection, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 256),
      nullptr));
  if (!property) return "";
  return std::string(static_cast<const char*>(xcb_get_property_value(property.get())),
                     size_t(xcb_get_property_value_length(property.get())));
}

bool holds(xcb_connection_t* connection, xcb_window_t window, int width, int height) {
  for (xcb_window_t child : children(connection, window)) {
    auto geometry =
        owned(xcb_get_geometry_reply(connection, xcb_get_geometry(connection, child), nullptr));
    if (geometry && geometry->width == width && geometry->height == height) return true;
    if (holds(connection, child, width, height)) return true;
  }
  return false;
}

bool shot(xcb_connection_t* connection, xcb_screen_t* screen, const char* path) {
  const int width = screen->width_in_pixels, height = screen->height_in_pixels;
  auto image =
      owned(xcb_get_image_reply(connection,
                                xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root,
                                              0, 0, uint16_t(width), uint16_t(height), ~0u),
                                nullptr));
  if (!image || xcb_get_image_data_length(image.get()) < width * height * 4) return false;
  LICE_MemBitmap bitmap(width, height);
  const uint8_t* pixels = xcb_get_image_data(image.get());
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      const uint8_t* p = pixels + 4 * (y * width + x);  // B, G, R, unused
      bitmap.getBits()[y * bitmap.getRowSpan() + x] = LICE_PackPixel(255, p[2], p[1], p[0]);
    }
  return LICE_WritePNG(path, &bitmap, false);
}
}  // namespace

int main(int argc, char** argv) {
  xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
  if (argc < 2 || xcb_connection_has_error(connection)) {
    std::fprintf(stderr, "zorq-xpoke: %s\n", argc < 2 ? "what to do?" : "no X server");
    return 2;
  }
  xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  const std::string what = argv[1];
  int status = 0;
  if (what == "keys") {
    std::vector<uint8_t> codes;
    for (int i = 2; i < argc; ++i) codes.push_back(keycode(connection, argv[i]));
    for (uint8_t code : codes) xcb_test_fake_input(connection, XCB_KEY_PRESS, code, 0, 0, 0, 0, 0);
    xcb_flush(connection);
    pause(50);
    for (auto code = codes.rbegin(); code != codes.rend(); ++code)
      xcb_test_fake_input(connection, XCB_KEY_RELEASE, *code, 0, 0, 0, 0, 0);
  } else if (what == "click" && argc >= 4) {
    xcb_test_fake_input(connection, XCB_MOTION_NOTIFY, 0, 0, screen->root,
                        int16_t(std::atoi(argv[2])), int16_t(std::atoi(argv[3])), 0);
    xcb_flush(connection);
    pause(100);
    for (int i = 0; i < (argc > 4 ? std::atoi(argv[4]) : 1); ++i) {
      xcb_test_fake_input(connection, XCB_BUTTON_PRESS, 1, 0, 0, 0, 0, 0);
      xcb_flush(connection);
      pause(20);
      xcb_test_fake_input(connection, XCB_BUTTON_RELEASE, 1, 0, 0, 0, 0, 0);
      xcb_flush(connection);
      pause(60);
    }
  } else if (what == "find" && argc >= 3) {
    status = 1;
    for (xcb_window_t window : children(connection, screen->root))
      if (status && title(connection, window).find(argv[2]) != std::string::npos) {
        std::printf("0x%x\n", window);
        status = 0;
      }
  } else if (what == "holds" && argc >= 5) {
    status = holds(connection, xcb_window_t(std::strtoul(argv[2], nullptr, 0)), std::atoi(argv[3]),
                   std::atoi(argv[4]))
                 ? 0
                 : 1;
  } else if (what == "shot" && argc >= 3) {
    status = shot(connection, screen, argv[2]) ? 0 : 1;
  } else {
    status = 2;
  }
  xcb_flush(connection);
  xcb_disconnect(connection);
  return status;
}
