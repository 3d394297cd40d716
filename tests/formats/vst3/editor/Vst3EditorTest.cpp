// ZORQ.vst3's editor as a Linux VST 3 host shows it: a view for "X11EmbedWindowID"
// embedded in the host's window, driven by the run loop the host's frame offers (its
// connection's descriptor and a redraw timer, unregistered when it is removed), sized
// by the host's content scale, refused when the frame offers no run loop, and made and
// released again without a leak or a stray window.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

#include "hosting/Vst3PluginHost.h"
#include "support/TempFolder.h"
#include "support/X11TestHost.h"

namespace {
// The host's side of the window system: a parent window of the editor's size.
class HostWindow {
 public:
  HostWindow() : connection_(xcb_connect(nullptr, nullptr)) {
    screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
  }
  ~HostWindow() {
    if (window_) xcb_destroy_window(connection_, window_);
    xcb_disconnect(connection_);
  }
  // The editor of `host` created at `scale` and attached to this window; null when not.
  vst3::IPlugView* open(Vst3PluginHost& host, float scale = 1.0f) {
    vst3::IPlugView* view = host.createEditor(scale);
    if (!view) return nullptr;
    const vst3::ViewRect size = host.editorSize();
    if (!window_) {
      window_ = xcb_generate_id(connection_);
      xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen_->root, 0, 0,
                        uint16_t(size.right), uint16_t(size.bottom), 0,
                        XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, 0, nullptr);
      xcb_map_window(connection_, window_);
      xcb_flush(connection_);
    }
    return host.attachEditor(reinterpret_cast<void*>(uintptr_t(window_))) ? view : nullptr;
  }
  // Sends the editor's window an expose event and runs the frame until the editor's
  // descriptor reports it (at most two seconds).
  bool eventArrivesOnTheDescriptor(Vst3PlugFrame& frame) {
    const std::vector<xcb_window_t> editor = children();
    if (editor.size() != 1) return false;
    SendExpose(connection_, editor.front());
    for (int waited = 0; waited < 2000; waited += 20) {
      if (frame.run(20) > 0) return true;
    }
    return false;
  }
  std::vector<xcb_window_t> children(bool ofRoot = false) {
    return ChildWindows(connection_, ofRoot ? screen_->root : window_);
  }

 private:
  xcb_connection_t* connection_;
  xcb_screen_t* screen_;
  xcb_window_t window_ = 0;
};

using Vst3Editor = X11EditorTest;
}  // namespace

TEST_F(Vst3Editor, EmbedsInTheHostsWindowAndRunsOnItsRunLoop) {
  Vst3PluginHost host(ZORQ_VST3_BUNDLE);
  HostWindow window;
  vst3::IPlugView* view = window.open(host, 2.0f);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(host.editorSize().right, 1600);  // the host's scale doubles the editor's pixels
  EXPECT_EQ(host.editorSize().bottom, 720);
  Vst3PlugFrame& frame = host.frame();
  ASSERT_NE(frame.timer, nullptr);
  EXPECT_EQ(frame.timerMs, 25u);
  ASSERT_NE(frame.eventHandler, nullptr);
  EXPECT_TRUE(window.eventArrivesOnTheDescriptor(frame));  // its events come on the descriptor
  EXPECT_EQ(window.children().size(), 1u);
  EXPECT_EQ(host.controller()->createView(vst3::kEditorViewName), nullptr);  // one at a time

  // Another scale while open: the host is asked for the new size.
  void* scaling = nullptr;
  ASSERT_EQ(view->queryInterface(vst3::IPlugViewContentScaleSupport::iid.bytes, &scaling),
            vst3::kResultOk);
  static_cast<vst3::IPlugViewContentScaleSupport*>(scaling)->setContentScaleFactor(1.0f);
  static_cast<vst3::IPlugViewContentScaleSupport*>(scaling)->release();
  ASSERT_FALSE(frame.resizes.empty());
  EXPECT_EQ(frame.resizes.back().right, 800);

  // Closed: the window and the handlers go.
  host.closeEditor();
  EXPECT_EQ(frame.timer, nullptr);
  EXPECT_EQ(frame.eventHandler, nullptr);
  EXPECT_TRUE(window.children().empty());
}

// A frame without a run loop gets no editor: nothing could run its window.
TEST_F(Vst3Editor, IsRefusedWhenTheFrameOffersNoRunLoop) {
  HostSetup setup;
  setup.editorSupport = HostSetup::EditorSupport::kNever;
  Vst3PluginHost host(ZORQ_VST3_BUNDLE, setup);
  HostWindow window;
  EXPECT_FALSE(window.open(host));
  EXPECT_TRUE(window.children().empty());
}

// Made, attached and released many times (and once more with the plug-in going while
// attached): no descriptor stays open and no window is left, in the host's window or on
// the screen.
TEST_F(Vst3Editor, CreateAndReleaseLeaveNothingBehind) {
  std::vector<xcb_window_t> screenBefore;
  int descriptors = 0;
  {
    Vst3PluginHost host(ZORQ_VST3_BUNDLE);
    HostWindow window;
    ASSERT_TRUE(window.open(host));
    host.frame().run(50);
    host.closeEditor();
    screenBefore = window.children(true);
    descriptors = OpenDescriptorCount();
    for (int i = 0; i < 20; ++i) {
      ASSERT_TRUE(window.open(host));
      host.frame().run(20);
      host.closeEditor();
    }
    EXPECT_TRUE(window.children().empty());
    EXPECT_EQ(window.children(true), screenBefore);
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    ASSERT_TRUE(window.open(host));
    host.frame().run(20);
  }  // the host lets go of everything with the editor attached
  EXPECT_EQ(OpenDescriptorCount(), descriptors - 1);  // the host's own connection went too
}
