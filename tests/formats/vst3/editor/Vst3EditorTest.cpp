// ZORQ.vst3's editor as a Linux VST 3 host shows it: a view for "X11EmbedWindowID"
// embedded in the host's window, driven by the run loop the host's frame offers (its
// connection's descriptor and a redraw timer, unregistered when it is removed), sized
// by the host's content scale, refused when the frame offers no run loop, and made and
// released again without a leak or a stray window.
#include <gtest/gtest.h>

#include "hosting/Vst3PluginHost.h"
#include "support/X11TestHost.h"

namespace {
// The editor of `host` created at `scale` and attached to the host's window; null when not.
vst3::IPlugView* open(Vst3PluginHost& host, X11HostWindow& window, float scale = 1.0f) {
  vst3::IPlugView* view = host.createEditor(scale);
  if (!view) return nullptr;
  const xcb_window_t parent = window.Parent(host.editorSize().right, host.editorSize().bottom);
  return host.attachEditor(reinterpret_cast<void*>(uintptr_t(parent))) ? view : nullptr;
}

using Vst3Editor = X11EditorTest;
}  // namespace

TEST_F(Vst3Editor, EmbedsInTheHostsWindowAndRunsOnItsRunLoop) {
  Vst3PluginHost host(ZORQ_VST3_BUNDLE);
  X11HostWindow window;
  vst3::IPlugView* view = open(host, window, 2.0f);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(host.editorSize().right, 1600);  // the host's scale doubles the editor's pixels
  EXPECT_EQ(host.editorSize().bottom, 720);
  Vst3PlugFrame& frame = host.frame();
  ASSERT_NE(frame.timer, nullptr);
  EXPECT_EQ(frame.timerMs, 25u);
  ASSERT_NE(frame.eventHandler, nullptr);
  // Its events come on the descriptor.
  EXPECT_TRUE(window.EventArrivesOnTheDescriptor([&](int ms) { return frame.run(ms) > 0; }));
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
  EXPECT_TRUE(window.Children().empty());
}

// A frame without a run loop gets no editor: nothing could run its window.
TEST_F(Vst3Editor, IsRefusedWhenTheFrameOffersNoRunLoop) {
  HostSetup setup;
  setup.editorSupport = HostSetup::EditorSupport::kNever;
  Vst3PluginHost host(ZORQ_VST3_BUNDLE, setup);
  X11HostWindow window;
  EXPECT_FALSE(open(host, window));
  EXPECT_TRUE(window.Children().empty());
}

// The plug-in going while its editor is attached takes the editor's window and
// connection along. (Reopening without a leak is the platform's test.)
TEST_F(Vst3Editor, ReleasedWhileAttachedLeavesNothingBehind) {
  EXPECT_EQ(DescriptorsLeftBySecondRound([] {
              Vst3PluginHost host(ZORQ_VST3_BUNDLE);
              X11HostWindow window;
              ASSERT_TRUE(open(host, window));
              host.frame().run(20);
            }),
            0);
}
