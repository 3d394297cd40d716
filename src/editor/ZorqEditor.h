#pragma once

// The instrument's editor: one 800 x 360 window drawn from bitmaps, with a normal view
// of the main knobs and a tweak view that lays a picture over it and shows the
// per-band controls and nine small knobs. The editor is the graphics context itself;
// the instrument's plug-in base owns it and reaches it only through the framework's
// editor interface (IPlugGUI): RedrawParamControls after program and parameter
// changes, OnIdle for the level meter. The controls reach the instrument directly.
//
// Threads: built on the construction thread; RedrawParamControls and OnIdle run on
// their caller's thread and only store control values and flags; everything else
// runs on the editor's thread.
#include <atomic>
#include <memory>
#include <string>

#include "editor/EditorGeometry.h"
#include "gui/IGraphics.h"

class IControl;
class IGraphicsPlatform;
class IZVLoadWAVControl;
class ZORQ;

class ZorqEditor : public IGraphics {
 public:
  static constexpr int kWidth = layout::kWidth;
  static constexpr int kHeight = layout::kHeight;
  static constexpr int kNumControls = 118;
  static constexpr int kNumBands = 20;
  static constexpr int kNumTweakKnobs = 9;

  // Command indexes of the editor's own controls; they name no parameter.
  static constexpr int kPreviousProgram = -108;
  static constexpr int kNextProgram = -109;
  static constexpr int kOptionsMenu = -110;
  static constexpr int kMidiLearnSwitch = -111;
  static constexpr int kTweakSwitch = -113;
  static constexpr int kToolsMenu = -114;
  // The level meter's index: past the last parameter, so its value reaches none.
  static constexpr int kLevelMeter = 112;

  // Makes the editor on `platform`, fills it (createGraphics) and attaches it to the
  // instrument, which owns it from then on (until the instrument is destroyed).
  // Construction thread.
  static ZorqEditor* attach(ZORQ* instrument, std::unique_ptr<IGraphicsPlatform> platform);

  // Loads the bitmaps and attaches the background and every control in order; the
  // editor starts in the normal view.
  void createGraphics();
  // Hides (or shows) the tweak overlay, its nine small knobs, the tools menu and the
  // 80 band controls.
  void hideTweakControls(bool hide);
  // With the window open: the WAV control re-reads the sample file name, the chance
  // picture shows on one call in ten, and the view follows the tweak mode. Also runs
  // on the audio thread (a program change by MIDI): no lock, no allocation.
  void RedrawParamControls() override;
  // With the window open: the level meter shows the engine's level; plug-in mutex held.
  void OnIdle() override;

  // The window; the editor keeps whether it is open for calls from other threads.
  // Closing it ends a press it cuts short (see endCutShortPress).
  void* OpenWindow(void* parent) override;
  void CloseWindow() override;

  // The meter control's value for a level (linear, 1.0 = 0 dB): -30 dB to +6 dB
  // spread over 0..1, 0 below -30 dB, 1 above +6 dB.
  static double meterValue(double level);

  bool tweakMode() const { return tweakMode_.load(std::memory_order_relaxed); }
  void setTweakMode(bool on) { tweakMode_.store(on, std::memory_order_relaxed); }
  ZORQ* instrument() const { return instrument_; }

 private:
  ZorqEditor(ZORQ* instrument, std::unique_ptr<IGraphicsPlatform> platform);
  // The window closes under a press whose release will never come: the capture and
  // the hover go, the host's edit gesture ends, and a program button comes back up
  // without acting, so nothing shows pressed when the window opens again.
  void endCutShortPress();

  ZORQ* instrument_;
  std::atomic<bool> tweakMode_{false};
  std::atomic<bool> windowOpen_{false};
  // Controls the editor updates or shows and hides itself (owned by the control list).
  IControl* meter_ = nullptr;
  IControl* chancePicture_ = nullptr;
  IZVLoadWAVControl* wavControl_ = nullptr;
  IControl* tweakOverlay_ = nullptr;
  IControl* toolsMenu_ = nullptr;
  IControl* tweakKnobs_[kNumTweakKnobs] = {};
  IControl* analysisKnobs_[kNumBands] = {};
  IControl* synthesisKnobs_[kNumBands] = {};
  IControl* levelKnobs_[kNumBands] = {};
  IControl* fixedSwitches_[kNumBands] = {};
  IControl* programButtons_[2] = {};
};
