// ZORQ.clap's editor as a CLAP host shows it: embedded in the host's X11 window, its
// connection watched through the host's file descriptor support and its redraws run
// from the host's timer, offered to every host but made only for one that can run it,
// and made and destroyed again without a leak or a stray window.
// (The editor's gestures reaching the host are the adapter test's.)
#include <poll.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include "ClapFixture.h"
#include "support/TempFolder.h"
#include "support/X11TestHost.h"

namespace {

// The host's side of the window system: a parent window of the editor's size, the
// host's main loop (descriptor watch and timers).
class ClapWindowHost {
 public:
  explicit ClapWindowHost(LoadedClap& clap) : clap_(clap) {
    connection_ = xcb_connect(nullptr, nullptr);
    screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    gui_ = clap.host.extension<clap_plugin_gui_t>(kClapExtGui);
  }
  ~ClapWindowHost() {
    if (parent_) xcb_destroy_window(connection_, parent_);
    xcb_disconnect(connection_);
  }

  const clap_plugin_gui_t* gui() const { return gui_; }
  const clap_plugin_t* plugin() const { return clap_.host.plugin(); }

  // The usual embedded order: create, scale, size, parent (which shows it), show.
  bool open(double scale = 1.0) {
    if (!gui_ || !gui_->create(plugin(), kClapWindowApiX11, false)) return false;
    gui_->set_scale(plugin(), scale);
    uint32_t width = 0, height = 0;
    if (!gui_->get_size(plugin(), &width, &height)) return false;
    width_ = width;
    height_ = height;
    if (!parent_) {
      parent_ = xcb_generate_id(connection_);
      xcb_create_window(connection_, XCB_COPY_FROM_PARENT, parent_, screen_->root, 0, 0,
                        uint16_t(width), uint16_t(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                        screen_->root_visual, 0, nullptr);
      xcb_map_window(connection_, parent_);
      xcb_flush(connection_);
    }
    clap_window_t window{kClapWindowApiX11, {}};
    window.x11 = parent_;
    return gui_->set_parent(plugin(), &window) && gui_->show(plugin());
  }

  // The host's main loop for ms: the editor's descriptor when readable, its timers when due.
  void run(int ms) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    Clock::time_point nextTimer = Clock::now();
    while (Clock::now() < end) {
      for (const auto& [fd, flags] : clap_.host.descriptors()) {
        pollfd watch{fd, POLLIN, 0};
        if (poll(&watch, 1, 5) > 0) {
          fdCallbacks++;
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
  }

  // Sends the editor's window an expose event and runs the main loop until the editor's
  // descriptor reports it (at most two seconds): the first events may already have been
  // read by a timer tick, so the test makes one of its own rather than wait for them.
  bool eventArrivesOnTheDescriptor() {
    const std::vector<xcb_window_t> editor = children(parent_);
    if (editor.size() != 1) return false;
    SendExpose(connection_, editor.front());
    const int before = fdCallbacks;
    for (int waited = 0; fdCallbacks == before && waited < 2000; waited += 20) run(20);
    return fdCallbacks > before;
  }

  std::vector<xcb_window_t> children(xcb_window_t window) {
    return ChildWindows(connection_, window);
  }
  xcb_window_t parent() const { return parent_; }
  xcb_window_t root() const { return screen_->root; }
  uint32_t width() const { return width_; }
  uint32_t height() const { return height_; }

  int fdCallbacks = 0;

 private:
  LoadedClap& clap_;
  xcb_connection_t* connection_;
  xcb_screen_t* screen_;
  const clap_plugin_gui_t* gui_;
  xcb_window_t parent_ = 0;
  uint32_t width_ = 0, height_ = 0;
};

using ClapEditor = X11EditorTest;
}  // namespace

TEST_F(ClapEditor, EmbedsInTheHostsWindowAndRunsOnItsCallbacks) {
  LoadedClap clap;
  ClapWindowHost window(clap);
  ASSERT_TRUE(window.open(2.0));
  EXPECT_EQ(window.width(), 1600u);  // the host's scale doubles the editor's pixels
  EXPECT_EQ(window.height(), 720u);
  ASSERT_EQ(clap.host.timers().size(), 1u);
  EXPECT_EQ(clap.host.timers().begin()->second, 40u);
  ASSERT_EQ(clap.host.descriptors().size(), 1u);
  EXPECT_EQ(clap.host.descriptors().begin()->second, kClapPosixFdRead);
  EXPECT_EQ(window.children(window.parent()).size(), 1u);
  EXPECT_TRUE(window.eventArrivesOnTheDescriptor());  // its events come on the descriptor

  // Hidden: the window and the callbacks go; shown again: they come back.
  ASSERT_TRUE(window.gui()->hide(window.plugin()));
  EXPECT_TRUE(clap.host.timers().empty());
  EXPECT_TRUE(clap.host.descriptors().empty());
  EXPECT_TRUE(window.children(window.parent()).empty());
  ASSERT_TRUE(window.gui()->show(window.plugin()));
  EXPECT_EQ(clap.host.timers().size(), 1u);
  EXPECT_EQ(window.children(window.parent()).size(), 1u);
  window.gui()->destroy(window.plugin());
  EXPECT_TRUE(clap.host.timers().empty());
  EXPECT_TRUE(clap.host.descriptors().empty());
  EXPECT_TRUE(window.children(window.parent()).empty());
}

// Made, shown and destroyed many times (and once more with the instrument going while
// shown): no descriptor stays open and no window is left, in the host's window or on
// the screen.
TEST_F(ClapEditor, CreateAndDestroyLeaveNothingBehind) {
  std::vector<xcb_window_t> screenBefore;
  int descriptors = 0;
  {
    LoadedClap clap;
    ClapWindowHost window(clap);
    ASSERT_TRUE(window.open());
    window.run(50);
    window.gui()->destroy(window.plugin());
    screenBefore = window.children(window.root());
    descriptors = OpenDescriptorCount();
    for (int i = 0; i < 20; ++i) {
      ASSERT_TRUE(window.open());
      window.run(20);
      window.gui()->destroy(window.plugin());
    }
    EXPECT_TRUE(window.children(window.parent()).empty());
    EXPECT_EQ(window.children(window.root()), screenBefore);
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    ASSERT_TRUE(window.open());
    window.run(20);
  }  // the host destroys the plug-in with its editor shown
  EXPECT_EQ(OpenDescriptorCount(), descriptors - 1);  // the host's own connection went too
}

// Hosts decide at scan time whether a plug-in has an editor, often with a host that
// offers nothing: every host finds an embedded X11 editor, and only create asks whether
// this host can run it (timers or descriptor watches), at that moment.
using EditorSupport = HostSetup::EditorSupport;
class ClapEditorOffer : public ClapEditor, public ::testing::WithParamInterface<EditorSupport> {};

TEST_P(ClapEditorOffer, EveryHostFindsTheEditorAndOnlyAHostThatCanRunItOpensIt) {
  LoadedClap clap(GetParam());
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

  ClapWindowHost window(clap);
  const std::vector<xcb_window_t> screenBefore = window.children(window.root());
  const int descriptors = OpenDescriptorCount();
  if (GetParam() == EditorSupport::kNever) {
    // Refused at once, every time, and nothing is left: no window, connection or callback.
    EXPECT_FALSE(window.open());
    EXPECT_FALSE(gui->create(clap.host.plugin(), "x11", false));
    EXPECT_FALSE(gui->show(clap.host.plugin()));
    gui->destroy(clap.host.plugin());
    EXPECT_TRUE(clap.host.timers().empty());
    EXPECT_TRUE(clap.host.descriptors().empty());
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    EXPECT_EQ(window.children(window.root()), screenBefore);
  } else {
    ASSERT_TRUE(window.open());
    EXPECT_EQ(clap.host.timers().size(), 1u);
    EXPECT_EQ(clap.host.descriptors().size(), 1u);
    EXPECT_EQ(window.children(window.parent()).size(), 1u);
    EXPECT_TRUE(window.eventArrivesOnTheDescriptor());
  }
}

INSTANTIATE_TEST_SUITE_P(Hosts, ClapEditorOffer,
                         ::testing::Values(EditorSupport::kFromTheStart, EditorSupport::kAfterInit,
                                           EditorSupport::kNever),
                         [](const ::testing::TestParamInfo<EditorSupport>& paramInfo) {
                           switch (paramInfo.param) {
                             case EditorSupport::kFromTheStart: return "OffersItAtInit";
                             case EditorSupport::kAfterInit: return "OffersItAfterInit";
                             default: return "NeverOffersIt";
                           }
                         });
