// A small editor of standard controls in a real X window: opened through the VST 2
// dispatcher into a parent window, idled as hosts do, driven by XTest input.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <future>
#include <thread>

#include "platform/x11/X11Owned.h"
#include "platform/x11/X11Platform.h"
#include "platform/x11/X11TextEntry.h"
#include "platform/x11/X11Tooltips.h"
#include "platform/x11/X11View.h"
#include "platform/StandardEditor.h"
#include "support/ChildProcess.h"
#include "support/TempFolder.h"
#include "support/X11TestHost.h"

namespace {

using X11Editor = StandardEditor<X11Platform>;
constexpr int kWidth = X11Editor::kWidth, kHeight = X11Editor::kHeight;

class X11Editors : public testing::Test {
 protected:
  void SetUp() override {
    const std::string why = X11TestHost::Unavailable();
    if (!why.empty()) GTEST_SKIP() << why;
    editor = std::make_unique<X11Editor>();
    host = std::make_unique<X11TestHost>(editor->effect());
    ASSERT_TRUE(host->Open());
    host->Settle();
  }
  std::unique_ptr<X11Editor> editor;
  std::unique_ptr<X11TestHost> host;  // closes the editor before the editor goes
};

// $DISPLAY names another server for the scope.
struct ScopedDisplay {
  explicit ScopedDisplay(const std::string& display) { setenv("DISPLAY", display.c_str(), 1); }
  ~ScopedDisplay() { setenv("DISPLAY", old.c_str(), 1); }
  const std::string old = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
};

struct Screen {
  const char* name;
  int parentDepth;
  bool privateServerWithoutShm;
  float hostScale;
};
void PrintTo(const Screen& s, std::ostream* os) { *os << s.name; }

class X11Screens : public testing::TestWithParam<Screen> {};

TEST_P(X11Screens, WindowShowsTheRasterByteForByte) {
  const Screen& screen = GetParam();
  TempFolder folder;
  std::unique_ptr<testsupport::ChildProcess> server;
  std::unique_ptr<ScopedDisplay> display;
  if (screen.privateServerWithoutShm) {
    server = std::make_unique<testsupport::ChildProcess>(
        std::vector<std::string>{"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-noreset",
                                 "-screen", "0", "1024x768x24", "-extension", "MIT-SHM"},
        folder / "display");
    if (server->FirstLine().empty()) GTEST_SKIP() << "Xvfb could not be started";
    display = std::make_unique<ScopedDisplay>(":" + server->FirstLine());
  }
  const std::string why = X11TestHost::Unavailable();
  if (!why.empty()) GTEST_SKIP() << why;
  X11Editor editor;
  X11TestHost host(editor.effect(), screen.parentDepth);
  if (screen.hostScale > 0) {
    host.Run([&] {
      host.Dispatch(effVendorSpecific, kVstScaleVendorIndex, kVstScaleVendorValue, nullptr, 2.0f);
    });
  }
  ASSERT_TRUE(host.Open());
  const int scale = screen.hostScale > 0 ? 2 : 1;
  EXPECT_EQ(host.Width(), kWidth * scale);
  EXPECT_EQ(host.Height(), kHeight * scale);
  EXPECT_TRUE(host.WaitFor([&] { return !editor.graphics->GetControl(1)->IsDirty(); }));
  host.Settle(200);
  bool shm = false;
  host.Run([&] { shm = editor.platform->View()->UsesSharedMemory(); });
  EXPECT_EQ(shm, !screen.privateServerWithoutShm);

  std::unique_ptr<LICE_MemBitmap> shot;
  host.Run([&] { shot = host.Screenshot(); });
  ASSERT_TRUE(shot);
  EXPECT_EQ(PixelsDifferingFromRaster(shot.get(), editor.graphics->GetDrawBitmap(), scale), 0);
}

INSTANTIATE_TEST_SUITE_P(Visuals, X11Screens,
                         testing::Values(Screen{"Parent24SharedMemory", 24, false, 0},
                                         Screen{"Parent32Argb", 32, false, 0},
                                         Screen{"ServerWithoutSharedMemory", 24, true, 0},
                                         Screen{"HostScaleTwo", 24, false, 2.0f}),
                         [](const testing::TestParamInfo<Screen>& paramInfo) {
                           return std::string(paramInfo.param.name);
                         });

// ---- mouse, menus, text fields, message boxes, file prompts

TEST_F(X11Editors, PopupMenuChosenWithTheKeyboardLeavesNoGrab) {
  host->Click(76, 36, 3);
  for (int i = 0; i < 100 && !host->PointerGrabbed(); ++i) host->Settle(10);
  ASSERT_TRUE(host->PointerGrabbed()) << "the menu did not open";
  host->Key("Down");
  host->Key("Down");
  host->Key("Return");
  ASSERT_TRUE(host->WaitFor([&] { return editor->param(1)->Int() == 1; }));
  EXPECT_FALSE(host->PointerGrabbed());
}

// Owns the CLIPBOARD on a connection of its own and, as a slow owner does, answers a
// request for its text only when the test says so.
class SlowClipboardOwner {
 public:
  explicit SlowClipboardOwner(std::string text)
      : text_(std::move(text)), c_(xcb_connect(nullptr, nullptr)) {
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c_)).data;
    window_ = xcb_generate_id(c_);
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(c_, window_, AtomOf(c_, "CLIPBOARD"), XCB_CURRENT_TIME);
    AtomOf(c_, "CLIPBOARD");  // a round trip: the server has seen the ownership
  }
  ~SlowClipboardOwner() {
    xcb_destroy_window(c_, window_);
    xcb_disconnect(c_);
  }
  // Waits up to three seconds for the request for the text.
  bool WaitForRequest() {
    for (int waited = 0; waited < 3000; waited += 5) {
      const X11Event event(xcb_poll_for_event(c_));
      if (event && (event->response_type & 0x7f) == XCB_SELECTION_REQUEST) {
        request_ = *reinterpret_cast<const xcb_selection_request_event_t*>(event.get());
        return true;
      }
      if (!event) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }
  // Answers the request; returns when the server has taken the answer.
  void Answer() {
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, request_.requestor, request_.property,
                        request_.target, 8, uint32_t(text_.size()), text_.data());
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request_.time;
    notify.requestor = request_.requestor;
    notify.selection = request_.selection;
    notify.target = request_.target;
    notify.property = request_.property;
    xcb_send_event(c_, 0, request_.requestor, 0, reinterpret_cast<const char*>(&notify));
    AtomOf(c_, "CLIPBOARD");
  }

 private:
  std::string text_;
  xcb_connection_t* c_;
  xcb_window_t window_ = 0;
  xcb_selection_request_event_t request_{};
};

// Hosts do not give plug-in windows the keyboard focus: the field takes it and gives it
// back (to the parent when the pointer had it). Control+V asks the clipboard's owner and
// returns: keys typed before the answer arrives reach the field, and the pasted text
// (filtered) lands at the caret.
TEST_F(X11Editors, TextFieldTakesTheFocusTypedAndPastedTextAndGivesTheFocusBack) {
  SlowClipboardOwner owner("345x");
  const xcb_window_t focus = host->Focus();
  host->Click(156, 36, 3);
  ASSERT_TRUE(host->WaitFor([&] { return editor->platform->View()->TextEntry()->IsOpen(); }));
  EXPECT_EQ(host->Focus(), host->EditorWindow());
  host->Key("1");
  host->Key("Ctrl+v");
  ASSERT_TRUE(owner.WaitForRequest());
  host->Key("2");
  host->Settle(50);
  owner.Answer();
  host->Settle(50);
  host->Key("x");  // filtered out
  host->Key("Return");
  ASSERT_TRUE(host->WaitFor([&] { return !editor->platform->View()->TextEntry()->IsOpen(); }));
  EXPECT_DOUBLE_EQ(editor->param(3)->Value(), 12345.0);
  EXPECT_EQ(host->Focus(), focus > XCB_INPUT_FOCUS_POINTER_ROOT ? focus : host->Parent());

  // Keys the host forwards reach an open field only.
  EXPECT_EQ(host->Dispatch(effEditKeyDown, '5', 0), 0);
  host->Click(156, 36, 3);
  ASSERT_TRUE(host->WaitFor([&] { return editor->platform->View()->TextEntry()->IsOpen(); }));
  VstIntPtr taken = 0;
  host->Run([&] {
    taken = host->Dispatch(effEditKeyDown, '5', 0);
    host->Dispatch(effEditKeyDown, 0, VKEY_ESCAPE);
  });
  EXPECT_EQ(taken, 1);
  EXPECT_FALSE(editor->platform->View()->TextEntry()->IsOpen());
  EXPECT_DOUBLE_EQ(editor->param(3)->Value(), 12345.0);  // Escape cancelled the 5
}

// A tooltip shows once the pointer rests over a control that has one; a click hides it
// until the pointer moves again; the background has none.
using X11EditorTooltips = X11EditorTest;  // skipped without a server

TEST_F(X11EditorTooltips, ShowAfterARestAndStayHiddenAfterAClickUntilThePointerMoves) {
  X11Editor editor(true);
  X11TestHost host(editor.effect());
  ASSERT_TRUE(host.Open());
  auto shownAfterWaiting = [&](int ms) {
    host.Settle(ms);
    bool shown = false;
    host.Run([&] { shown = editor.platform->View()->Tooltips()->Shown(); });
    return shown;
  };
  host.MoveTo(36, 36);  // the Gain knob
  EXPECT_TRUE(host.WaitFor([&] { return editor.platform->View()->Tooltips()->Shown(); }));
  host.Button(1, true);
  host.Button(1, false);
  EXPECT_FALSE(shownAfterWaiting(X11Tooltips::kDelayMs + 300));
  host.MoveTo(40, 40);
  EXPECT_TRUE(host.WaitFor([&] { return editor.platform->View()->Tooltips()->Shown(); }));
  host.MoveTo(100, 95);  // the background
  EXPECT_FALSE(shownAfterWaiting(X11Tooltips::kDelayMs + 300));
}

// While the box waits for the user inside effEditIdle, audio goes on; Return answers "Yes".
TEST_F(X11Editors, MessageBoxWaitsForTheKeyWhileAudioGoesOn) {
  int result = -1;
  std::future<void> shown = host->Start([&] {
    result = editor->graphics->ShowMessageBox(
        "Do you really want to overwrite the current program?", "Paste Program", 4);
  });
  for (int i = 0; i < 200 && !host->FindTopLevel("Paste Program"); ++i) host->Settle(10);
  ASSERT_NE(host->FindTopLevel("Paste Program"), 0u);
  std::future<void> block = std::async(std::launch::async, [&] {
    std::vector<float> in(64, 0.0f), out(64, 0.0f);
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out.data(), out.data()};
    AEffect* effect = editor->effect();
    effect->processReplacing(effect, ins, outs, 64);
  });
  EXPECT_EQ(block.wait_for(std::chrono::seconds(2)), std::future_status::ready);
  host->Settle(50);
  host->Key("Return");
  ASSERT_EQ(shown.wait_for(std::chrono::seconds(3)), std::future_status::ready);
  EXPECT_EQ(result, 6);
}

// The desktop's dialog program (no portal here) answers later, through idle: the host's
// thread is not held while the dialog is open.
TEST_F(X11Editors, FilePromptAnsweredByTheDialogProgramWithoutBlocking) {
  TempFolder folder;
  writeText(folder / "zenity", "#!/bin/sh\nsleep 0.2\necho " + folder / "take.fxp\n");
  chmod((folder / "zenity").c_str(), 0755);
  setenv("PATH", (folder.path() + ":" + std::getenv("PATH")).c_str(), 1);
  unsetenv("XDG_CURRENT_DESKTOP");
  unsetenv("DBUS_SESSION_BUS_ADDRESS");
  std::string file;
  host->Run([&] {
    editor->graphics->PromptForFile("ZORQ", kFileSave, folder.path(), "fxp",
                                    [&](const std::string& f, const std::string&) { file = f; });
  });
  EXPECT_EQ(file, "");
  EXPECT_TRUE(host->WaitFor([&] { return !file.empty(); }));
  EXPECT_EQ(file, folder / "take.fxp");
}

TEST_F(X11Editors, HostDestroyingTheParentFirstIsHarmless) {
  // The parent goes, as when a host closes its window before effEditClose.
  xcb_connection_t* other = xcb_connect(nullptr, nullptr);
  xcb_destroy_window(other, host->Parent());
  xcb_flush(other);
  host->Settle(100);
  EXPECT_TRUE(host->WaitFor([&] { return editor->platform->View()->Destroyed(); }));
  host->Close();
  EXPECT_FALSE(editor->graphics->WindowIsOpen());
  xcb_disconnect(other);
}

}  // namespace
