// ZORQ.vst3's editor as a Linux VST 3 host shows it: a view for "X11EmbedWindowID"
// embedded in the host's window, driven by the run loop the host's frame offers (its
// connection's descriptor and a redraw timer, unregistered when it is removed), sized
// by the host's content scale, refused when the frame offers no run loop, and made and
// released again without a leak or a stray window.
#include <gtest/gtest.h>
#include <poll.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <memory>

#include "hosting/Vst3PluginHost.h"
#include "support/TempFolder.h"
#include "support/X11TestHost.h"

namespace {
// The host's side: the plug-in from the bundle, a parent window, the frame and its loop.
class Vst3WindowHost {
 public:
  explicit Vst3WindowHost(bool offersRunLoop = true) : frame(offersRunLoop) {
    connection_ = xcb_connect(nullptr, nullptr);
    screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    vst3::PClassInfo info{};
    void* object = nullptr;
    if (module.factory()->getClassInfo(0, &info) == vst3::kResultOk &&
        module.factory()->createInstance(info.cid, vst3::IComponent::iid.bytes, &object) ==
            vst3::kResultOk)
      component = static_cast<vst3::IComponent*>(object);
    if (!component || component->initialize(&application) != vst3::kResultOk) return;
    void* controller = nullptr;
    component->queryInterface(vst3::IEditController::iid.bytes, &controller);
    this->controller = static_cast<vst3::IEditController*>(controller);
  }
  ~Vst3WindowHost() {
    close();
    if (controller) controller->release();
    if (component) {
      component->terminate();
      component->release();
    }
    if (parent_) xcb_destroy_window(connection_, parent_);
    xcb_disconnect(connection_);
  }

  // The usual order: create, ask for the platform, frame, scale, size, attach.
  vst3::tresult open(float scale = 1.0f) {
    view = controller ? controller->createView(vst3::kEditorViewName) : nullptr;
    if (!view) return vst3::kResultFalse;
    if (view->isPlatformTypeSupported(vst3::kPlatformTypeX11EmbedWindowID) != vst3::kResultTrue)
      return vst3::kResultFalse;
    view->setFrame(&frame);
    void* scaling = nullptr;
    if (view->queryInterface(vst3::IPlugViewContentScaleSupport::iid.bytes, &scaling) ==
        vst3::kResultOk) {
      static_cast<vst3::IPlugViewContentScaleSupport*>(scaling)->setContentScaleFactor(scale);
      static_cast<vst3::IPlugViewContentScaleSupport*>(scaling)->release();
    }
    view->getSize(&size);
    if (!parent_) {
      parent_ = xcb_generate_id(connection_);
      xcb_create_window(connection_, XCB_COPY_FROM_PARENT, parent_, screen_->root, 0, 0,
                        uint16_t(size.right), uint16_t(size.bottom), 0,
                        XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, 0, nullptr);
      xcb_map_window(connection_, parent_);
      xcb_flush(connection_);
    }
    return view->attached(reinterpret_cast<void*>(uintptr_t(parent_)),
                          vst3::kPlatformTypeX11EmbedWindowID);
  }

  void close() {
    if (!view) return;
    view->removed();
    view->setFrame(nullptr);
    view->release();
    view = nullptr;
  }

  // The host's loop for ms: the descriptor when readable, the timer when due.
  void run(int ms) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    Clock::time_point nextTimer = Clock::now();
    while (Clock::now() < end) {
      pollfd watch{frame.fd, POLLIN, 0};
      if (frame.eventHandler && poll(&watch, 1, 5) > 0) {
        ++fdCallbacks;
        frame.eventHandler->onFDIsSet(frame.fd);
      } else if (!frame.eventHandler) {
        poll(nullptr, 0, 5);
      }
      if (frame.timer && Clock::now() >= nextTimer) {
        frame.timer->onTimer();
        nextTimer = Clock::now() + std::chrono::milliseconds(frame.timerMs);
      }
    }
  }

  std::vector<xcb_window_t> children(xcb_window_t window) {
    std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
        xcb_query_tree_reply(connection_, xcb_query_tree(connection_, window), nullptr),
        &std::free);
    if (!tree) return {};
    const xcb_window_t* list = xcb_query_tree_children(tree.get());
    return std::vector<xcb_window_t>(list, list + xcb_query_tree_children_length(tree.get()));
  }
  xcb_window_t parent() const { return parent_; }
  xcb_window_t root() const { return screen_->root; }

  Vst3Module module{ZORQ_VST3_BUNDLE};
  Vst3HostApplication application;
  Vst3PlugFrame frame;
  vst3::IComponent* component = nullptr;
  vst3::IEditController* controller = nullptr;
  vst3::IPlugView* view = nullptr;
  vst3::ViewRect size{};
  int fdCallbacks = 0;

 private:
  xcb_connection_t* connection_;
  xcb_screen_t* screen_;
  xcb_window_t parent_ = 0;
};

class Vst3Editor : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string why = X11TestHost::Unavailable();
    if (!why.empty()) GTEST_SKIP() << why;
    setenv("HOME", home_.path().c_str(), 1);
  }
  TempFolder home_;
};
}  // namespace

TEST_F(Vst3Editor, EmbedsInTheHostsWindowAndRunsOnItsRunLoop) {
  Vst3WindowHost host;
  ASSERT_NE(host.controller, nullptr);
  ASSERT_EQ(host.open(2.0f), vst3::kResultOk);
  EXPECT_EQ(host.size.right, 1600);  // the host's scale doubles the editor's pixels
  EXPECT_EQ(host.size.bottom, 720);
  EXPECT_EQ(host.view->isPlatformTypeSupported(vst3::kPlatformTypeHWND), vst3::kResultFalse);
  ASSERT_NE(host.frame.timer, nullptr);
  EXPECT_EQ(host.frame.timerMs, 25u);
  ASSERT_NE(host.frame.eventHandler, nullptr);
  host.run(300);
  EXPECT_GT(host.fdCallbacks, 0);  // the window's first events arrive on the descriptor
  EXPECT_EQ(host.children(host.parent()).size(), 1u);

  // Another scale while open: the host is asked for the new size.
  void* scaling = nullptr;
  ASSERT_EQ(host.view->queryInterface(vst3::IPlugViewContentScaleSupport::iid.bytes, &scaling),
            vst3::kResultOk);
  static_cast<vst3::IPlugViewContentScaleSupport*>(scaling)->setContentScaleFactor(1.0f);
  static_cast<vst3::IPlugViewContentScaleSupport*>(scaling)->release();
  ASSERT_FALSE(host.frame.resizes.empty());
  EXPECT_EQ(host.frame.resizes.back().right, 800);

  // Removed: the window and the handlers go.
  ASSERT_EQ(host.view->removed(), vst3::kResultOk);
  EXPECT_EQ(host.frame.timer, nullptr);
  EXPECT_EQ(host.frame.eventHandler, nullptr);
  EXPECT_TRUE(host.children(host.parent()).empty());
}

// A frame without a run loop gets no editor: nothing could run its window.
TEST_F(Vst3Editor, IsRefusedWhenTheFrameOffersNoRunLoop) {
  Vst3WindowHost host(false);
  ASSERT_NE(host.controller, nullptr);
  EXPECT_EQ(host.open(), vst3::kResultFalse);
  EXPECT_TRUE(host.children(host.parent()).empty());
}

// Made, attached and released many times (and once more with the plug-in going while
// attached): no descriptor stays open and no window is left, in the host's window or on
// the screen; one view at a time.
TEST_F(Vst3Editor, CreateAndReleaseLeaveNothingBehind) {
  std::vector<xcb_window_t> screenBefore;
  int descriptors = 0;
  {
    Vst3WindowHost host;
    ASSERT_EQ(host.open(), vst3::kResultOk);
    EXPECT_EQ(host.controller->createView(vst3::kEditorViewName), nullptr);
    host.run(50);
    host.close();
    screenBefore = host.children(host.root());
    descriptors = OpenDescriptorCount();
    for (int i = 0; i < 20; ++i) {
      ASSERT_EQ(host.open(), vst3::kResultOk);
      host.run(20);
      host.close();
    }
    EXPECT_TRUE(host.children(host.parent()).empty());
    EXPECT_EQ(host.children(host.root()), screenBefore);
    EXPECT_EQ(OpenDescriptorCount(), descriptors);
    ASSERT_EQ(host.open(), vst3::kResultOk);
    host.run(20);
  }  // the host lets go of everything with the editor attached
  EXPECT_EQ(OpenDescriptorCount(), descriptors - 1);  // the host's own connection went too
}
