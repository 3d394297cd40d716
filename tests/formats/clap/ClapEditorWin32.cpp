// ZORQ.clap's editor as a Windows host shows it: offered for the "win32" api only,
// embedded as a child of the host's window at the size it reports, and gone, window
// and all, when the gui is destroyed.
#include <windows.h>

#include "ClapFixture.h"

namespace {
void pumpMessages(int ms) {
  const DWORD end = GetTickCount() + DWORD(ms);
  while (GetTickCount() < end) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    Sleep(5);
  }
}
}  // namespace

TEST(ClapWin32Editor, EmbedsAChildOfItsSizeInTheHostsWindowAndLeavesNoneBehind) {
  LoadedClap clap;
  const clap_plugin_t* plugin = clap.host.plugin();
  const auto* gui = clap.host.extension<clap_plugin_gui_t>(kClapExtGui);
  ASSERT_NE(gui, nullptr);
  EXPECT_TRUE(gui->is_api_supported(plugin, "win32", false));
  EXPECT_FALSE(gui->is_api_supported(plugin, "x11", false));
  const char* api = nullptr;
  bool floating = true;
  ASSERT_TRUE(gui->get_preferred_api(plugin, &api, &floating));
  EXPECT_STREQ(api, "win32");

  // A window class every process has stands in for the host's own.
  const HWND parent = CreateWindowW(L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                    1200, 900, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(parent, nullptr);
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(gui->create(plugin, "win32", false));
    uint32_t width = 0, height = 0;
    ASSERT_TRUE(gui->get_size(plugin, &width, &height));
    clap_window_t window{kClapWindowApiWin32, {}};
    window.win32 = parent;
    ASSERT_TRUE(gui->set_parent(plugin, &window));
    ASSERT_TRUE(gui->show(plugin));
    pumpMessages(100);
    const HWND editor = GetWindow(parent, GW_CHILD);
    ASSERT_NE(editor, nullptr);
    RECT client = {};
    GetClientRect(editor, &client);
    EXPECT_EQ(uint32_t(client.right), width);
    EXPECT_EQ(uint32_t(client.bottom), height);
    gui->destroy(plugin);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
    EXPECT_FALSE(IsWindow(editor));
  }
  DestroyWindow(parent);
}
