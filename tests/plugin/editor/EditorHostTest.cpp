// ZORQ.so's editor as a host shows it: the real entry point, a parent window of the
// host's, effEditIdle on a timer, synthetic mouse input, and fifty reopenings.
#include <gtest/gtest.h>

#include "PictureDifference.h"
#include "HostedZorq.h"
#include "support/TempFolder.h"
#include "support/X11TestHost.h"

namespace {

TEST(EditorHost, ZorqEditorOpensInTheHostsWindowAndAnswersTheMouse) {
  const std::string why = X11TestHost::Unavailable();
  if (!why.empty()) GTEST_SKIP() << why;
  TempFolder home;
  setenv("HOME", home.path().c_str(), 1);
  HostedZorq plugin;
  plugin.host.start(44100.0, 512);
  ASSERT_TRUE(plugin.host.effect().flags & effFlagsHasEditor);

  X11TestHost host(&plugin.host.effect());
  ASSERT_TRUE(host.Open());
  EXPECT_EQ(host.Width(), 800);
  EXPECT_EQ(host.Height(), 360);
  host.Settle(300);
  std::unique_ptr<LICE_MemBitmap> before;
  host.Run([&] { before = host.Screenshot(); });

  // "Final Volume" (the big knob at 706, 102): a drag upwards is one host gesture.
  host.MoveTo(730, 126);
  host.Settle(30);
  host.Button(1, true);
  for (int y = 124; y >= 100; y -= 3) {
    host.MoveTo(730, y);
    host.Settle(10);
  }
  host.Button(1, false);
  host.Settle(100);
  {
    std::lock_guard<std::mutex> lock(plugin.recorder.mutex);
    const std::string& edits = plugin.recorder.edits;
    ASSERT_GT(edits.size(), 2u);
    EXPECT_EQ(edits.front(), 'B');
    EXPECT_EQ(edits.back(), 'E');
    ASSERT_FALSE(plugin.recorder.changes.empty());
    EXPECT_EQ(plugin.recorder.changes.back().index, 4);
  }

  // The tweak switch shows the other view.
  host.Click(769, 316);
  host.Settle(300);
  std::unique_ptr<LICE_MemBitmap> after;
  host.Run([&] { after = host.Screenshot(); });
  EXPECT_GT(differingPixels(before.get(), after.get()), 0);

  host.Close();
  const int descriptors = OpenDescriptorCount();
  for (int i = 0; i < 50; ++i) {
    ASSERT_TRUE(host.Open());
    host.Close();
  }
  EXPECT_EQ(OpenDescriptorCount(), descriptors);
  EXPECT_TRUE(host.Children(host.Parent()).empty());
}

}  // namespace
