// A small plug-in on the real VST 2 adapter, whose host callback records every opcode;
// an editor on the headless platform, and controls and bitmaps made in memory.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "formats/vst2/IPlugVST.h"
#include "gui/IControl.h"
#include "gui/IGraphics.h"
#include "gui/IKnobControl.h"
#include "platform/headless/HeadlessPlatform.h"
#include "raster/LICE.h"

struct RecordedHostCall {
  int opcode;
  int index;
};

// Parameters: 0 "Gain" (double 0..1), 1 "Mode" (enum "A", "B", "C"), 2 "On" (bool),
// 3 "Freq" (double 20..20000, Hz).
class GuiPlug : public IPlugBase {
 public:
  GuiPlug()
      : IPlugBase(4, "2-2", 1, "Test", "Test", "Maker", 0x10000, 1, 1, 0, false, true, false, 0) {
    GetParam(0)->InitDouble("Gain", 0.5, 0.0, 1.0, 0.001);
    GetParam(1)->InitEnum("Mode", 0, 3);
    for (int i = 0; i < 3; ++i) GetParam(1)->SetDisplayText(i, i == 0 ? "A" : i == 1 ? "B" : "C");
    GetParam(2)->InitBool("On", false);
    GetParam(3)->InitDouble("Freq", 440.0, 20.0, 20000.0, 0.1, "Hz");
  }

  void OnParamChange(int index) override { changes.push_back(index); }
  void OnIdle() override { ++idles; }

  // Opcodes of the host calls, in order (automation, begin and end edit only).
  std::vector<int> editOpcodes() const {
    std::lock_guard<std::mutex> lock(callsMutex);
    std::vector<int> opcodes;
    for (const RecordedHostCall& call : calls)
      if (call.opcode == audioMasterAutomate || call.opcode == audioMasterBeginEdit ||
          call.opcode == audioMasterEndEdit)
        opcodes.push_back(call.opcode);
    return opcodes;
  }

  std::vector<RecordedHostCall> calls;
  mutable std::mutex callsMutex;
  std::vector<int> changes;
  int idles = 0;

  static VstIntPtr hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr, void*,
                                float) {
    auto* plug = effect ? static_cast<GuiPlug*>(effect->user) : nullptr;
    if (!plug) return 0;
    std::lock_guard<std::mutex> lock(plug->callsMutex);
    plug->calls.push_back({opcode, index});
    return 0;
  }
};

// A control that records what reaches it and draws nothing.
class RecordingControl : public IControl {
 public:
  using IControl::IControl;
  void OnMouseDown(int, int, IMouseMod*) override { events.push_back("down"); }
  void OnMouseUp(int, int, IMouseMod*) override { events.push_back("up"); }
  void OnMouseDrag(int, int, int dX, int dY, IMouseMod*) override {
    events.push_back("drag " + std::to_string(dX) + "," + std::to_string(dY));
  }
  bool Draw(IGraphics*) override { return true; }
  std::vector<std::string> events;
};

class RecordingKnob : public IKnobControl {
 public:
  using IKnobControl::IKnobControl;
  bool Draw(IGraphics*) override { return true; }
};

// An editor of the given size on a platform layer (the headless one unless said
// otherwise), attached to its plug-in by attach() (the plug-in then owns it).
template <typename Platform = HeadlessPlatform>
struct BasicTestEditor {
  explicit BasicTestEditor(int width = 200, int height = 100) {
    auto layer = std::make_unique<Platform>();
    platform = layer.get();
    pending = std::make_unique<IGraphics>(&plug, width, height, 0, std::move(layer));
    graphics = pending.get();
  }
  // Attaches the editor, then puts the plug-in on the VST 2 adapter, as the entry point
  // does.
  void attach() {
    plug.AttachGraphics(pending.release());
    vst = std::make_unique<IPlugVST>(&plug, &GuiPlug::hostCallback, false);
    vst->GetAEffect()->user = &plug;
  }
  AEffect* effect() { return vst->GetAEffect(); }
  template <typename Control>
  Control* add(Control* control) {
    graphics->AttachControl(control);
    return control;
  }
  // Draws everything dirty, as a timer tick of the headless platform does.
  void settle() {
    while (platform->Tick()) {
    }
  }

  GuiPlug plug;
  std::unique_ptr<IPlugVST> vst;
  std::unique_ptr<IGraphics> pending;
  IGraphics* graphics;
  Platform* platform;
};
using TestEditor = BasicTestEditor<>;

// A bitmap of n frames of w x h stacked vertically; frame k (from 0) is filled with
// the colour (255, k, 0, 0), so a drawn frame can be read back from a pixel's red byte.
inline std::unique_ptr<LICE_MemBitmap> numberedFrames(int w, int h, int n) {
  auto bitmap = std::make_unique<LICE_MemBitmap>(w, h * n);
  for (int k = 0; k < n; ++k)
    LICE_FillRect(bitmap.get(), 0, k * h, w, h, LICE_PackPixel(255, uint8_t(k), 0, 0), 1.0f, 0);
  return bitmap;
}
