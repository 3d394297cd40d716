// ZORQ.so's editor as a host shows it: the real entry point, a parent window of the
// host's, effEditIdle on a timer and synthetic mouse input; fifty reopenings; and a knob
// dragged there. (A host handing every value back as its float moves none: the VST 2
// round-trip test.) Hosts close a plug-in's window in two ways: some hide it and
// show it again later (the window is exposed and shows whatever the editor's raster
// holds), others close and reopen the editor. After either, the window must show what an
// editor freshly showing the same values shows.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include "HostedZorq.h"
#include "dsp/ParamIndex.h"
#include "support/X11TestHost.h"

namespace {

// A rectangle of the window, right and bottom edges outside.
struct Area {
  int left, top, right, bottom;
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

// The number of pixels of two screenshots of one size that differ outside `skipped`.
int differingPixels(const LICE_IBitmap* a, const LICE_IBitmap* b, Area skipped = {0, 0, 0, 0}) {
  int differing = 0;
  for (int y = 0; y < a->getHeight(); ++y)
    for (int x = 0; x < a->getWidth(); ++x)
      differing += !skipped.contains(x, y) && LICE_RowPointer(a, y)[x] != LICE_RowPointer(b, y)[x];
  return differing;
}

constexpr int kTweakSwitchX = 769, kTweakSwitchY = 316;
// Band 1's LEVEL knob in the tweak view: the frame at (64, 176), 32 x 32 pixels.
constexpr int kLevelKnobX = 80, kLevelKnobY = 192;

// The chance picture shows on one view change in ten (by design): the main view is
// compared outside its place, (530, 160) and 132 x 72 pixels.
constexpr Area kChancePicture{530, 160, 662, 232};

// The plug-in loaded and started as hosts do, with a host window for its editor.
struct EditorSession {
  HostedZorq plugin;  // built first (and started), gone last
  X11TestHost host{(plugin.host.start(44100.0, 512), &plugin.host.effect())};
};

class EditorHost : public X11EditorTest {
 protected:
  static std::unique_ptr<LICE_MemBitmap> shot(X11TestHost& host) {
    host.Settle(150);
    std::unique_ptr<LICE_MemBitmap> picture;
    host.Run([&] { picture = host.Screenshot(); });
    return picture;
  }
  // Clicks the tweak switch, far enough from any earlier click not to make a double click.
  static void toggleView(X11TestHost& host) {
    host.Settle(450);
    host.Click(kTweakSwitchX, kTweakSwitchY);
    host.Settle(150);
  }
  // The host's window hidden and shown again, the editor left open.
  static void hideAndShow(X11TestHost& host) {
    xcb_connection_t* other = xcb_connect(nullptr, nullptr);
    xcb_unmap_window(other, host.Parent());
    xcb_flush(other);
    host.Settle(100);
    xcb_map_window(other, host.Parent());
    xcb_flush(other);
    host.Settle(150);
    xcb_disconnect(other);
  }
  // A press at (x, fromY), moved upwards in steps to toY, and released there.
  static void dragUp(X11TestHost& host, int x, int fromY, int toY, int step) {
    host.MoveTo(x, fromY);
    host.Settle(30);
    host.Button(1, true);
    for (int y = fromY - step; y >= toY; y -= step) {
      host.MoveTo(x, y);
      host.Settle(10);
    }
    host.Button(1, false);
  }
};

TEST_F(EditorHost, EditorOpensInTheHostsWindowAndAnswersTheMouse) {
  EditorSession session;
  HostedZorq& plugin = session.plugin;
  X11TestHost& host = session.host;
  ASSERT_TRUE(plugin.host.effect().flags & effFlagsHasEditor);
  ASSERT_TRUE(session.host.Open());
  EXPECT_EQ(host.Width(), 800);
  EXPECT_EQ(host.Height(), 360);

  // "Final Volume" (the big knob at 706, 102): a drag upwards is one host gesture.
  dragUp(host, 730, 126, 100, 3);
  host.Settle(100);
  {
    std::lock_guard<std::mutex> lock(plugin.recorder.mutex);
    const std::string& edits = plugin.recorder.edits;
    ASSERT_GT(edits.size(), 2u);
    EXPECT_EQ(edits.front(), 'B');
    EXPECT_EQ(edits.back(), 'E');
    ASSERT_FALSE(plugin.recorder.changes.empty());
    EXPECT_EQ(plugin.recorder.changes.back().index, kFinalVolume);
  }

  host.Close();
  const int descriptors = OpenDescriptorCount();
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(host.Open());
    host.Close();
  }
  EXPECT_EQ(OpenDescriptorCount(), descriptors);
  EXPECT_TRUE(host.Children(host.Parent()).empty());
}

TEST_F(EditorHost, DraggedBandKnobShowsAgainAsAFreshEditorShowsTheSameValues) {
  std::vector<uint8_t> program;
  std::unique_ptr<LICE_MemBitmap> shown, reopened;
  {
    EditorSession session;
    ASSERT_TRUE(session.host.Open());
    Vst2PluginHost& plugin = session.plugin.host;
    X11TestHost& host = session.host;
    toggleView(host);
    const float levelBefore = plugin.getParameter(kSynthesisLevel1);
    dragUp(host, kLevelKnobX, kLevelKnobY, kLevelKnobY - 30, 2);
    host.MoveTo(kLevelKnobX, kLevelKnobY + 60);  // off every knob
    host.Settle(100);
    ASSERT_NE(plugin.getParameter(kSynthesisLevel1), levelBefore);
    hideAndShow(host);
    shown = shot(host);
    host.Close();
    ASSERT_TRUE(host.Open());
    host.Settle(150);
    reopened = shot(host);
    host.Close();
    program = plugin.chunk(false);
  }
  ASSERT_FALSE(program.empty());

  EditorSession fresh;
  ASSERT_TRUE(fresh.plugin.host.setChunk(false, program));
  ASSERT_TRUE(fresh.host.Open());
  X11TestHost& host = fresh.host;
  toggleView(host);
  host.MoveTo(kLevelKnobX, kLevelKnobY + 60);
  const std::unique_ptr<LICE_MemBitmap> expected = shot(host);
  EXPECT_EQ(differingPixels(expected.get(), shown.get()), 0);
  EXPECT_EQ(differingPixels(expected.get(), reopened.get()), 0);
}

// The window closes under a held mouse button, and the release never reaches the
// editor: the host's edit gesture ends, and a program button comes back up without
// having changed the program.
TEST_F(EditorHost, PressCutShortByClosingEndsItsGestureAndLeavesNoButtonDown) {
  EditorSession session;
  ASSERT_TRUE(session.host.Open());
  HostedZorq& plugin = session.plugin;
  X11TestHost& host = session.host;
  const std::unique_ptr<LICE_MemBitmap> before = shot(host);
  for (const auto& [x, y] :
       {std::pair<int, int>{730, 126}, {425, 312}}) {  // "Final Volume", next program
    host.MoveTo(x, y);
    host.Settle(30);
    host.Button(1, true);
    host.Settle(100);
    host.Close();
    host.Button(1, false);
    host.MoveTo(x, y + 100);
    ASSERT_TRUE(host.Open());
    host.Settle(500);
  }
  EXPECT_EQ(differingPixels(before.get(), shot(host).get(), kChancePicture), 0);
  EXPECT_EQ(plugin.host.currentProgram(), 0);
  std::lock_guard<std::mutex> lock(plugin.recorder.mutex);
  EXPECT_EQ(plugin.recorder.edits, "BE");
}

}  // namespace
