// The editor in a top-level window of a program's own (no host window around it): its
// title, WM_CLASS and close protocol on the server, the close button and the keys the
// editor leaves reported to the window's owner.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "platform/x11/X11Owned.h"
#include "platform/x11/X11Platform.h"
#include "platform/x11/X11View.h"
#include "platform/x11/X11WindowOwner.h"
#include "platform/StandardEditor.h"
#include "support/X11TestHost.h"

namespace {
struct RecordingOwner : X11WindowOwner {
  void CloseRequested() override { ++closes; }
  void KeyPressed(const IKeyPress& key) override { keys.push_back(key); }
  int closes = 0;
  std::vector<IKeyPress> keys;
};

// A window of its own with its title, class and close protocol; the close button and the
// keys the editor leaves go to the owner, and the window stays open until the owner
// closes it.
TEST(X11TopLevel, IsAWindowOfItsOwnThatReportsTheCloseButtonAndKeysToItsOwner) {
  const std::string why = X11TestHost::Unavailable();
  if (!why.empty()) GTEST_SKIP() << why;
  RecordingOwner owner;
  StandardEditor<X11Platform> editor;
  IGraphics* graphics = editor.graphics;
  editor.platform->SetTopLevel(&owner, "ZORQ - stage", "zorq-live", "ZORQ");
  ASSERT_TRUE(graphics->OpenWindow(nullptr));
  const xcb_window_t window = editor.platform->View()->Window();
  const std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t*)> connection(
      xcb_connect(nullptr, nullptr), xcb_disconnect);
  xcb_connection_t* c = connection.get();
  // Idles the editor as a program's main loop does until pred holds.
  auto idleUntil = [&](auto pred) {
    for (int i = 0; i < 300 && !pred(); ++i) {
      graphics->OnWindowIdle();
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return pred();
  };

  X11Owned<xcb_query_tree_reply_t> tree(
      xcb_query_tree_reply(c, xcb_query_tree(c, window), nullptr));
  ASSERT_TRUE(tree);
  EXPECT_EQ(tree->parent, tree->root);
  X11Owned<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr));
  ASSERT_TRUE(geometry);
  EXPECT_EQ(geometry->width, 200 * graphics->Scale());
  EXPECT_EQ(geometry->height, 100 * graphics->Scale());
  EXPECT_EQ(PropertyOf(c, window, AtomOf(c, "_NET_WM_NAME"), AtomOf(c, "UTF8_STRING")),
            "ZORQ - stage");
  EXPECT_EQ(PropertyOf(c, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING),
            std::string("zorq-live\0ZORQ\0", 15));
  const std::string protocols = PropertyOf(c, window, AtomOf(c, "WM_PROTOCOLS"), XCB_ATOM_ATOM);
  const xcb_atom_t deleteWindow = AtomOf(c, "WM_DELETE_WINDOW");
  ASSERT_EQ(protocols.size(), sizeof deleteWindow);
  EXPECT_EQ(std::memcmp(protocols.data(), &deleteWindow, sizeof deleteWindow), 0);

  xcb_client_message_event_t message{};
  message.response_type = XCB_CLIENT_MESSAGE;
  message.format = 32;
  message.window = window;
  message.type = AtomOf(c, "WM_PROTOCOLS");
  message.data.data32[0] = deleteWindow;
  xcb_send_event(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&message));
  xcb_flush(c);
  ASSERT_TRUE(idleUntil([&] { return owner.closes == 1; }));
  EXPECT_TRUE(graphics->WindowIsOpen());

  // The keys the editor leaves go to the owner too.
  const xcb_keycode_t o = xcb_keycode_t(KeycodeOf(c, 'o'));
  ASSERT_NE(o, 0);
  xcb_key_press_event_t press{};
  press.response_type = XCB_KEY_PRESS;
  press.detail = o;
  press.event = window;
  press.root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  press.state = XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_SHIFT;
  press.same_screen = 1;
  xcb_send_event(c, 0, window, XCB_EVENT_MASK_KEY_PRESS, reinterpret_cast<const char*>(&press));
  xcb_flush(c);
  ASSERT_TRUE(idleUntil([&] { return owner.keys.size() == 1; }));
  EXPECT_EQ(owner.keys[0].character, uint32_t('O'));
  EXPECT_TRUE(owner.keys[0].control);
  EXPECT_TRUE(owner.keys[0].shift);
  EXPECT_EQ(owner.closes, 1);
  graphics->CloseWindow();
  EXPECT_FALSE(graphics->WindowIsOpen());
}
}  // namespace
