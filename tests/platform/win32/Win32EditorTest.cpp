// A small editor of standard controls in a real window: opened through the VST 2
// dispatcher into a host's window, pumped and idled as hosts do, driven by the
// messages the system would deliver.
#include <gtest/gtest.h>

#include "platform/StandardEditor.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32TextEntry.h"
#include "platform/win32/Win32View.h"
#include "support/Win32TestHost.h"

namespace {

using Win32Editor = StandardEditor<Win32Platform>;
constexpr int kWidth = Win32Editor::kWidth, kHeight = Win32Editor::kHeight;

class Win32Editors : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(host.Open()); }
  bool textFieldOpen() { return editor.platform->View()->TextEntry()->IsOpen(); }

  Win32Editor editor;
  Win32TestHost host{editor.effect()};  // closes the editor before the editor goes
};

class Win32Scales : public testing::TestWithParam<int> {};

TEST_P(Win32Scales, WindowHasTheEditorsSizeAndShowsTheRasterExactly) {
  const int scale = GetParam();
  Win32Editor editor;
  Win32TestHost host(editor.effect());
  if (scale > 1)
    host.Dispatch(effVendorSpecific, kVstScaleVendorIndex, kVstScaleVendorValue, nullptr, 2.0f);
  ASSERT_TRUE(host.Open());
  EXPECT_EQ(host.Width(), kWidth * scale);
  EXPECT_EQ(host.Height(), kHeight * scale);
  RECT client = {};
  GetClientRect(host.EditorWindow(), &client);
  EXPECT_EQ(client.right, kWidth * scale);
  EXPECT_EQ(client.bottom, kHeight * scale);
  EXPECT_EQ(GetParent(host.EditorWindow()), host.Parent());
  EXPECT_TRUE(GetWindowLongW(host.EditorWindow(), GWL_STYLE) & WS_CHILD);
  EXPECT_TRUE(host.WaitFor([&] { return !editor.graphics->GetControl(1)->IsDirty(); }));
  host.Settle(150);

  const std::unique_ptr<LICE_MemBitmap> shot = host.Screenshot();
  ASSERT_TRUE(shot);
  EXPECT_EQ(PixelsDifferingFromRaster(shot.get(), editor.graphics->GetDrawBitmap(), scale), 0);
}

INSTANTIATE_TEST_SUITE_P(HostScales, Win32Scales, testing::Values(1, 2));

TEST_F(Win32Editors, ClickAndDragOnAKnobChangeItsParameter) {
  const double before = editor.param(0)->Value();
  host.Mouse(WM_LBUTTONDOWN, 36, 36, MK_LBUTTON);
  EXPECT_EQ(GetCapture(), host.EditorWindow());  // the drag goes on outside the window
  for (int y = 34; y >= 0; y -= 2) host.Mouse(WM_MOUSEMOVE, 36, y, MK_LBUTTON);
  host.Mouse(WM_MOUSEMOVE, 36, -20, MK_LBUTTON);
  host.Mouse(WM_LBUTTONUP, 36, -20, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_GT(editor.param(0)->Value(), before);
  EXPECT_FALSE(editor.plug.changes.empty());
}

TEST_F(Win32Editors, CloseAndReopenLeaveNoWindowBehind) {
  for (int round = 0; round < 3; ++round) {
    const HWND view = host.EditorWindow();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(host.Descendants(), std::vector<HWND>{view});
    host.Close();
    host.Settle(30);
    EXPECT_TRUE(host.Descendants().empty());
    EXPECT_FALSE(IsWindow(view));
    ASSERT_TRUE(host.Open());
  }
}

TEST_F(Win32Editors, HostThatDestroysItsWindowFirstLeavesTheEditorClosable) {
  DestroyWindow(host.Parent());
  host.Settle(30);
  EXPECT_EQ(editor.platform->GetWindow(), nullptr);
  host.Close();
}

// Keys queued before the menu opens reach the menu's own loop.
TEST_F(Win32Editors, PopupMenuChoosesTheItemTheKeyboardPicks) {
  const HWND view = host.EditorWindow();
  PostMessageW(view, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(76, 36));
  for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(view, WM_KEYDOWN, key, 0);
  PostMessageW(view, WM_RBUTTONUP, 0, MAKELPARAM(76, 36));
  ASSERT_TRUE(host.WaitFor([&] { return editor.param(1)->Int() == 1; }));
  host.Settle(30);
  EXPECT_EQ(host.Descendants().size(), 1u);
}

TEST_F(Win32Editors, NameFieldAppliesOnReturnAndDropsOnEscape) {
  host.Mouse(WM_RBUTTONDOWN, 156, 36, MK_RBUTTON);
  host.Mouse(WM_RBUTTONUP, 156, 36, 0);
  ASSERT_TRUE(textFieldOpen());
  const HWND field = editor.platform->View()->TextEntry()->Edit();
  EXPECT_EQ(GetParent(field), host.EditorWindow());
  EXPECT_EQ(GetFocus(), field);
  SetWindowTextW(field, L"1000");
  PostMessageW(field, WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_TRUE(host.WaitFor([&] { return !textFieldOpen(); }));
  EXPECT_DOUBLE_EQ(editor.param(3)->Value(), 1000.0);
  EXPECT_FALSE(IsWindow(field));

  // Keys the host forwards reach an open field only.
  EXPECT_EQ(host.Dispatch(effEditKeyDown, '5', 0), 0);
  host.Mouse(WM_RBUTTONDOWN, 156, 36, MK_RBUTTON);
  host.Mouse(WM_RBUTTONUP, 156, 36, 0);
  ASSERT_TRUE(textFieldOpen());
  EXPECT_EQ(host.Dispatch(effEditKeyDown, '5', 0), 1);
  host.Dispatch(effEditKeyDown, 0, VKEY_ESCAPE);
  ASSERT_TRUE(host.WaitFor([&] { return !textFieldOpen(); }));
  EXPECT_DOUBLE_EQ(editor.param(3)->Value(), 1000.0);
}

}  // namespace
