#pragma once

// The editor as a VST 3 view, embedded in the host's window ("X11EmbedWindowID" on
// Linux, "HWND" on Windows). On Linux the host's run loop, which the frame offers,
// drives the window's events and redraws; a host that offers none gets no editor
// (attached fails). On Windows the host's message loop runs the window, and a thread
// timer the same ticks. The editor has one size, times its scale; the host's content scale
// factor chooses the scale. The view holds a reference to the plug-in object. UI
// thread; the plug-in mutex is not held while the window runs (a menu or message box
// may keep a call busy while the user answers, and audio goes on meanwhile).
#include <atomic>

#include "formats/vst3/Vst3Abi.h"
#include "formats/vst3/Vst3RunLoop.h"
#include "system/ThreadTimer.h"

class IPlugVST3;
class IPlugGUI;

class Vst3View final : public vst3::IPlugView, public vst3::IPlugViewContentScaleSupport {
 public:
#if defined(_WIN32)
  static constexpr const char* kWindowType = vst3::kPlatformTypeHWND;
#else
  static constexpr const char* kWindowType = vst3::kPlatformTypeX11EmbedWindowID;
#endif

  explicit Vst3View(IPlugVST3& owner);
  ~Vst3View();
  Vst3View(const Vst3View&) = delete;
  Vst3View& operator=(const Vst3View&) = delete;

  // The editor asked for another size or scale: the host is told.
  void editorResized();

  vst3::tresult ZORQ_VST3_API queryInterface(const vst3::TUID interfaceId, void** obj) override;
  vst3::uint32 ZORQ_VST3_API addRef() override { return ++references_; }
  vst3::uint32 ZORQ_VST3_API release() override;

  vst3::tresult ZORQ_VST3_API isPlatformTypeSupported(vst3::FIDString type) override;
  vst3::tresult ZORQ_VST3_API attached(void* parent, vst3::FIDString type) override;
  vst3::tresult ZORQ_VST3_API removed() override;
  vst3::tresult ZORQ_VST3_API onWheel(float) override { return vst3::kResultFalse; }
  vst3::tresult ZORQ_VST3_API onKeyDown(vst3::char16 key, vst3::int16 keyCode,
                                        vst3::int16 modifiers) override;
  vst3::tresult ZORQ_VST3_API onKeyUp(vst3::char16 key, vst3::int16 keyCode,
                                      vst3::int16 modifiers) override;
  vst3::tresult ZORQ_VST3_API getSize(vst3::ViewRect* size) override;
  vst3::tresult ZORQ_VST3_API onSize(vst3::ViewRect*) override { return vst3::kResultOk; }
  vst3::tresult ZORQ_VST3_API onFocus(vst3::TBool) override { return vst3::kResultOk; }
  vst3::tresult ZORQ_VST3_API setFrame(vst3::IPlugFrame* frame) override;
  vst3::tresult ZORQ_VST3_API canResize() override { return vst3::kResultFalse; }
  vst3::tresult ZORQ_VST3_API checkSizeConstraint(vst3::ViewRect* rect) override;
  vst3::tresult ZORQ_VST3_API setContentScaleFactor(float factor) override;

 private:
  IPlugGUI* gui() const;
  vst3::ViewRect size() const;
  // One run of the window: its events and redraw tick, then what the editor did goes
  // to the host.
  void tick();
  vst3::tresult key(vst3::char16 key, bool down);

  IPlugVST3& owner_;
  std::atomic<vst3::uint32> references_{1};
  vst3::IPlugFrame* frame_ = nullptr;  // held
  bool open_ = false;
  Vst3RunLoop runLoop_;
  ThreadTimer timer_;  // Windows
};
