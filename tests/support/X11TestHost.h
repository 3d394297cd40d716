// A test host for editors on a real X server: a parent window of its own (24-bit, or
// 32-bit with alpha), an editor thread that opens the editor through the VST 2
// dispatcher and calls effEditIdle every few milliseconds as hosts do, synthetic input
// through XTest, and screenshots of the editor's window. The server is $DISPLAY
// (`make test` starts one when there is none); a test without a reachable server
// skips itself through X11TestHost::Available().
#pragma once

#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <condition_variable>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "formats/vst2/VstAbi.h"
#include "raster/Bitmap.h"
#include "support/TempFolder.h"

// File descriptors this process has open (X connections are sockets).
int OpenDescriptorCount();
// The descriptors a second run of `round` leaves open (the first loads what stays loaded).
inline int DescriptorsLeftBySecondRound(const std::function<void()>& round) {
  round();
  const int before = OpenDescriptorCount();
  round();
  return OpenDescriptorCount() - before;
}
// The child windows of window, bottom first.
std::vector<xcb_window_t> ChildWindows(xcb_connection_t* connection, xcb_window_t window);
// The key code that types the keysym on this server, or 0.
uint32_t KeycodeOf(xcb_connection_t* connection, uint32_t keysym);
// The atom of a name on this server, or 0.
xcb_atom_t AtomOf(xcb_connection_t* connection, const char* name);
// A window's property of the given type, as bytes ("" when it has none).
std::string PropertyOf(xcb_connection_t* connection, xcb_window_t window, xcb_atom_t name,
                       xcb_atom_t type);

// A host's window on a connection of its own: the parent an embedded editor goes into,
// made at the first size asked for, with a visual of `depth` bits (24, or 32 with alpha),
// and mapped.
class X11HostWindow {
 public:
  X11HostWindow();
  ~X11HostWindow();
  X11HostWindow(const X11HostWindow&) = delete;
  X11HostWindow& operator=(const X11HostWindow&) = delete;

  xcb_window_t Parent(int width, int height, int depth = 24);
  std::vector<xcb_window_t> Children() { return ChildWindows(connection_, parent_); }
  std::vector<xcb_window_t> ScreenWindows() { return ChildWindows(connection_, screen_->root); }
  // Sends the editor (the parent's only child) an expose event and runs the host's loop
  // (runFor(ms) answers whether the editor's descriptor reported) until it reports, for
  // at most two seconds: a timer tick may have read the first events, so the test makes
  // one of its own rather than wait for them.
  bool EventArrivesOnTheDescriptor(const std::function<bool(int ms)>& runFor);

 protected:
  xcb_connection_t* connection_;
  xcb_screen_t* screen_;
  xcb_window_t parent_ = 0;
  xcb_colormap_t colormap_ = 0;
};

// A test of an editor on a real X server: skipped, with the reason, where none answers;
// the plug-in's settings in a private HOME.
class X11EditorTest : public ::testing::Test {
 protected:
  void SetUp() override;
  TempFolder home_;
};

class X11TestHost : private X11HostWindow {
 public:
  // Empty when a server answers on $DISPLAY; otherwise why tests must skip.
  static std::string Unavailable();

  // depth 24 or 32 for the parent window's visual.
  explicit X11TestHost(AEffect* effect, int parentDepth = 24);
  ~X11TestHost();

  // On the editor thread: f runs between two idle calls; Run waits for its result.
  void Run(const std::function<void()>& f);
  // Starts f on the editor thread without waiting (for calls that stay modal).
  std::future<void> Start(const std::function<void()>& f);
  // Waits (idling on the editor thread) until pred holds there; false after ms.
  bool WaitFor(const std::function<bool()>& pred, int ms = 3000);
  // Lets the editor idle for ms.
  void Settle(int ms = 150);

  // effEditGetRect, a parent of that size mapped, effEditOpen. True when it opened.
  bool Open();
  void Close();
  xcb_window_t Parent() const { return parent_; }
  // The editor's window: the parent's only child.
  xcb_window_t EditorWindow();
  int Width() const { return width_; }
  int Height() const { return height_; }
  std::vector<xcb_window_t> Children(xcb_window_t window);

  // XTest input at window pixels of the editor.
  void MoveTo(int x, int y);
  void Button(int button, bool press);
  void Click(int x, int y, int button = 1);
  // "Return", "Escape", "Down" or one character; "Ctrl+" before it holds Control.
  void Key(const char* name);
  // The window that has the keyboard focus (a round trip: the server has seen all sent).
  xcb_window_t Focus();
  // Whether some client holds the pointer grab (a grab attempt of ours fails).
  bool PointerGrabbed();
  // A mapped top-level window whose name is title, or 0.
  xcb_window_t FindTopLevel(const std::string& title);
  // The editor window's pixels (A = 255).
  std::unique_ptr<LICE_MemBitmap> Screenshot();

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0);

 private:
  void loop();

  AEffect* effect_;
  int parentDepth_;
  int width_ = 0, height_ = 0;
  bool open_ = false;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::vector<std::packaged_task<void()>> tasks_;
  bool stop_ = false;
  std::thread thread_;
};
