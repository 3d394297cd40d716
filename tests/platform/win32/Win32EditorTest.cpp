// A small editor of standard controls in a real window: opened through the VST 2
// dispatcher into a host's window, pumped and idled as hosts do, driven by the
// messages the system would deliver.
#include <gtest/gtest.h>
#include <windows.h>
// After windows.h:
#include <commctrl.h>

#include <functional>
#include <string>

#include "platform/StandardEditor.h"
#include "platform/win32/Win32Platform.h"
#include "platform/win32/Win32TextEntry.h"
#include "platform/win32/Win32Tooltips.h"
#include "platform/win32/Win32View.h"
#include "support/TempFolder.h"
#include "system/WideText.h"
#include "support/Win32TestHost.h"

namespace {

// Answers the next dialog box this thread shows (class "#32770") from a thread timer,
// which fires inside the box's own message loop.
class DialogAnswer {
 public:
  explicit DialogAnswer(std::function<void(HWND)> answer) : id_(SetTimer(nullptr, 0, 50, &tick)) {
    answer_ = std::move(answer);
  }
  ~DialogAnswer() {
    KillTimer(nullptr, id_);
    answer_ = nullptr;
  }

 private:
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), &answerIfDialog, 0);
  }
  static BOOL CALLBACK answerIfDialog(HWND window, LPARAM) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) != L"#32770" || !IsWindowVisible(window) || !answer_) return TRUE;
    const std::function<void(HWND)> answer = std::move(answer_);
    answer_ = nullptr;
    answer(window);
    return FALSE;
  }
  static inline std::function<void(HWND)> answer_;
  UINT_PTR id_;
};

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

TEST_F(Win32Editors, ClickDragAndWheelOnAKnobChangeItsParameter) {
  const double before = editor.param(0)->Value();
  host.Mouse(WM_LBUTTONDOWN, 36, 36, MK_LBUTTON);
  EXPECT_EQ(GetCapture(), host.EditorWindow());  // the drag goes on outside the window
  for (int y = 34; y >= 0; y -= 2) host.Mouse(WM_MOUSEMOVE, 36, y, MK_LBUTTON);
  host.Mouse(WM_MOUSEMOVE, 36, -20, MK_LBUTTON);
  host.Mouse(WM_LBUTTONUP, 36, -20, 0);
  EXPECT_EQ(GetCapture(), nullptr);
  const double dragged = editor.param(0)->Value();
  EXPECT_GT(dragged, before);
  EXPECT_FALSE(editor.plug.changes.empty());

  // The wheel's position arrives in screen coordinates.
  POINT over = {36, 36};
  ClientToScreen(host.EditorWindow(), &over);
  PostMessageW(host.EditorWindow(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA),
               MAKELPARAM(over.x, over.y));
  EXPECT_TRUE(host.WaitFor([&] { return editor.param(0)->Value() < dragged; }));
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

TEST(Win32Tooltips, EachKnobRegistersItsParametersName) {
  Win32Editor editor(true);
  Win32TestHost host(editor.effect());
  ASSERT_TRUE(host.Open());
  const HWND tooltips = editor.platform->View()->Tooltips()->Window();
  ASSERT_EQ(SendMessageW(tooltips, TTM_GETTOOLCOUNT, 0, 0), 3);
  wchar_t text[64] = {};
  TOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.lpszText = text;
  ASSERT_TRUE(SendMessageW(tooltips, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(&tool)));
  EXPECT_EQ(std::wstring(text), L"Gain");
  EXPECT_EQ(tool.rect.left, 20);
  EXPECT_EQ(tool.rect.bottom, 52);
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

TEST_F(Win32Editors, MessageBoxesGiveTheButtonTheUserPressed) {
  for (auto [type, button] : {std::pair{4, IDNO}, {3, IDYES}, {1, IDCANCEL}, {0, IDOK}}) {
    DialogAnswer press([button = button](HWND box) { PostMessageW(box, WM_COMMAND, button, 0); });
    EXPECT_EQ(editor.platform->ShowMessageBox("Replace the bank?", "ZORQ", type), button) << type;
  }
}

// The name typed into the dialog, with characters beyond ASCII, comes back as UTF-8.
TEST_F(Win32Editors, SaveDialogGivesTheTypedPathAndItsFolder) {
  TempFolder folder;
  const std::string dir = folder.path() + "\\";
  const std::string file = dir + "Stimme \xC3\xBC \xE5\xA3\xB0.fxp";
  DialogAnswer type([&](HWND dialog) {
    for (int field : {0x47c, 0x480}) SetDlgItemTextW(dialog, field, widen(file).c_str());
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  });
  std::string chosen = "none", chosenDir;
  editor.platform->PromptForFile("Bank.fxp", kFileSave, dir, "fxp fxb",
                                 [&](const std::string& f, const std::string& d) {
                                   chosen = f;
                                   chosenDir = d;
                                 });
  EXPECT_EQ(chosen, file);
  EXPECT_EQ(chosenDir, dir);
}

}  // namespace
