// ZORQ.clap's editor as a CLAP host shows it: embedded in the host's X11 window, its
// connection watched through the host's file descriptor support and its redraws run
// from the host's timer, offered to every host but made only for one that can run it,
// and made and destroyed again without a leak or a stray window.
// (The editor's gestures reaching the host are the adapter test's.)
#include <poll.h>

#include <chrono>
#include <map>

#include "ClapFixture.h"
#include "support/X11TestHost.h"

namespace {

// The host's side: its window and its main loop (descriptor watch and timers).
class ClapWindowHost {
 public:
  explicit ClapWindowHost(LoadedClap& clap)
      : clap_(clap), gui_(clap.host.extension<clap_plugin_gui_t>(kClapExtGui)) {}

  const clap_plugin_gui_t* gui() const { return gui_; }
  const clap_plugin_t* plugin() const { return clap_.host.plugin(); }

  // The usual embedded order: create, scale, size, parent (which shows it), show.
  bool open(double scale = 1.0) {
    if (!gui_ || !gui_->create(plugin(), kClapWindowApiX11, false)) return false;
    gui_->set_scale(plugin(), scale);
    if (!gui_->get_size(plugin(), &width, &height)) return false;
    clap_window_t parent{kClapWindowApiX11, {}};
    parent.x11 = window.Parent(int(width), int(height));
    return gui_->set_parent(plugin(), &parent) && gui_->show(plugin());
  }

  // The host's main loop for ms: the editor's descriptor when readable, its timers when
  // due. True when the descriptor reported.
  bool run(int ms) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    Clock::time_point nextTimer = Clock::now();
    bool reported = false;
    while (Clock::now() < end) {
      for (const auto& [fd, flags] : clap_.host.descriptors()) {
        pollfd watch{fd, POLLIN, 0};
        if (poll(&watch, 1, 5) > 0) {
          reported = true;
          clap_.host.descriptorReady(fd, kClapPosixFdRead);
          break;
        }
      }
      if (clap_.host.descriptors().empty()) poll(nullptr, 0, 5);
      if (Clock::now() >= nextTimer) {
        for (const auto& [id, period] : std::map<clap_id, uint32_t>(clap_.host.timers())) {
          clap_.host.timerFired(id);
          nextTimer = Clock::now() + std::chrono::milliseconds(period);
        }
      }
    }
    return reported;
  }
  bool eventArrivesOnTheDescriptor() {
    return window.EventArrivesOnTheDescriptor([this](int ms) { return run(ms); });
  }

  X11HostWindow window;
  uint32_t width = 0, height = 0;

 private:
  LoadedClap& clap_;
  const clap_plugin_gui_t* gui_;
};

using ClapEditor = X11EditorTest;
}  // namespace

// The instrument going while its editor is shown takes the editor's window and
// connection along. (Reopening without a leak is the platform's test.)
TEST_F(ClapEditor, DestroyedWhileShownLeavesNothingBehind) {
  EXPECT_EQ(DescriptorsLeftBySecondRound([] {
              LoadedClap clap;
              ClapWindowHost host(clap);
              ASSERT_TRUE(host.open());
              host.run(20);
            }),
            0);
}

// Hosts decide at scan time whether a plug-in has an editor, often with a host that
// offers nothing: every host finds an embedded X11 editor, and only create asks whether
// this host can run it (timers or descriptor watches), at that moment. Made, it is
// embedded at the host's scale and runs on the host's callbacks, which go with the
// window when it is hidden and come back when it is shown.
TEST_F(ClapEditor, EveryHostFindsTheEditorAndOnlyAHostThatCanRunItOpensIt) {
  using EditorSupport = HostSetup::EditorSupport;
  for (const EditorSupport support :
       {EditorSupport::kFromTheStart, EditorSupport::kAfterInit, EditorSupport::kNever}) {
    SCOPED_TRACE(::testing::Message() << "editor support " << int(support));
    LoadedClap clap(support);
    const auto* gui = clap.host.extension<clap_plugin_gui_t>(kClapExtGui);
    ASSERT_NE(gui, nullptr);
    EXPECT_TRUE(gui->is_api_supported(clap.host.plugin(), "x11", false));
    EXPECT_FALSE(gui->is_api_supported(clap.host.plugin(), "x11", true));
    EXPECT_FALSE(gui->is_api_supported(clap.host.plugin(), "wayland", false));
    const char* api = nullptr;
    bool floating = true;
    ASSERT_TRUE(gui->get_preferred_api(clap.host.plugin(), &api, &floating));
    EXPECT_STREQ(api, "x11");
    EXPECT_FALSE(floating);
    EXPECT_FALSE(gui->create(clap.host.plugin(), "x11", true));

    ClapWindowHost host(clap);
    const std::vector<xcb_window_t> screenBefore = host.window.ScreenWindows();
    const int descriptors = OpenDescriptorCount();
    if (support == EditorSupport::kNever) {
      // Refused at once, every time, and nothing is left: no window, connection or callback.
      EXPECT_FALSE(host.open());
      EXPECT_FALSE(gui->create(clap.host.plugin(), "x11", false));
      EXPECT_FALSE(gui->show(clap.host.plugin()));
      gui->destroy(clap.host.plugin());
      EXPECT_TRUE(clap.host.timers().empty());
      EXPECT_TRUE(clap.host.descriptors().empty());
      EXPECT_EQ(OpenDescriptorCount(), descriptors);
      EXPECT_EQ(host.window.ScreenWindows(), screenBefore);
    } else {
      ASSERT_TRUE(host.open(2.0));
      EXPECT_EQ(host.width, 1600u);  // the host's scale doubles the editor's pixels
      EXPECT_EQ(host.height, 720u);
      ASSERT_EQ(clap.host.timers().size(), 1u);
      EXPECT_EQ(clap.host.timers().begin()->second, 40u);
      ASSERT_EQ(clap.host.descriptors().size(), 1u);
      EXPECT_EQ(clap.host.descriptors().begin()->second, kClapPosixFdRead);
      EXPECT_TRUE(host.eventArrivesOnTheDescriptor());  // its events come on the descriptor

      ASSERT_TRUE(gui->hide(clap.host.plugin()));
      EXPECT_TRUE(clap.host.timers().empty());
      EXPECT_TRUE(clap.host.descriptors().empty());
      EXPECT_TRUE(host.window.Children().empty());
      ASSERT_TRUE(gui->show(clap.host.plugin()));
      EXPECT_EQ(clap.host.timers().size(), 1u);
      EXPECT_EQ(host.window.Children().size(), 1u);
      gui->destroy(clap.host.plugin());
      EXPECT_TRUE(clap.host.timers().empty());
      EXPECT_TRUE(clap.host.descriptors().empty());
      EXPECT_TRUE(host.window.Children().empty());
    }
  }
}
