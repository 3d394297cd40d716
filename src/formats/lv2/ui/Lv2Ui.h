#pragma once

// The editor side of the LV2 adapter: an ui:X11UI embedded in the host's window
// (ui:parent), driven by ui:idleInterface, with ui:showInterface for hosts that want a
// window of its own, ui:touch for knob gestures and the host's scale factor.
//
// The editor works on a copy of the plug-in built in the UI's own process (it may be
// another process than the plug-in's) and talks to the plug-in only through the host:
// a parameter the editor changes is written to its control port (so the host's view,
// automation and session hold it), a gesture becomes ui:touch, and what lies beyond
// the parameters (programs, their names and stored states, the current program, the
// sample file and the editor's settings) goes to the plug-in as messages on its atom
// input (Lv2Messages.h, MirrorSync.h). The plug-in answers on its atom output: the
// whole state when the editor opens, program changes it made (MIDI) with their values,
// values it changed itself (learned controllers), the meter level. Whenever the copy's
// values differ from the host's after such a change, the editor writes them to the host.
//
// Threads: every call comes from the host's UI thread.
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include <lv2/ui/ui.h>

#include "formats/lv2/Lv2Description.h"
#include "formats/lv2/Lv2Messages.h"
#include "formats/lv2/Lv2Uris.h"
#include "formats/lv2/MirrorSync.h"
#include "framework/IPlugBase.h"

class Lv2UiDescriptor {
 public:
  explicit Lv2UiDescriptor(const Lv2Description& description);
  const LV2UI_Descriptor* get() const { return &lv2_; }
  static const Lv2Description& descriptionOf(const LV2UI_Descriptor* descriptor);

 private:
  LV2UI_Descriptor lv2_;  // first: hosts hand this pointer back
  const Lv2Description* description_;
};

class Lv2Ui : public IPlugHost {
 public:
  // At most this many bytes of messages to the plug-in per idle call.
  static constexpr size_t kBytesPerIdle = 16384;
  // Idle calls between two requests for the whole state, until it has come.
  static constexpr int kRequestInterval = 30;

  Lv2Ui(const Lv2Description& description, std::unique_ptr<IPlugBase> copy,
        LV2UI_Write_Function write, LV2UI_Controller controller,
        const LV2_Feature* const* features);
  ~Lv2Ui() override;
  Lv2Ui(const Lv2Ui&) = delete;
  Lv2Ui& operator=(const Lv2Ui&) = delete;

  bool valid() const { return valid_; }
  LV2UI_Widget widget() const { return widget_; }
  IPlugBase& copy() { return *plug_; }
  bool inStep() const { return synced_; }

  void portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);
  int idle();
  int show();
  int hide();

  // IPlugHost for the editor's copy.
  void InformHostOfParamChange(int paramIdx, double normalized) override;
  void BeginInformHostOfParamChange(int paramIdx) override;
  void EndInformHostOfParamChange(int paramIdx) override;
  void InformHostOfProgramChange() override { valuesToHost_ = true; }
  void SendMidiMsg(const IMidiMsg&) override {}
  void ResizeGraphics(int width, int height) override;
  void SetLatency(int) override {}

 private:
  void receive(const LV2_Atom* atom);
  void setCopyValue(int paramIdx, double value);
  void writeParam(int paramIdx);
  void writeValuesToHost();
  void sendChanges();
  void flushOutgoing();
  // Queues a request for the plug-in's whole state (sent by the next idle call).
  void requestState();

  const Lv2Description& description_;
  std::unique_ptr<IPlugBase> plug_;
  LV2UI_Write_Function write_;
  LV2UI_Controller controller_;
  LV2_URID_Map* map_ = nullptr;
  const LV2UI_Resize* resize_ = nullptr;
  const LV2UI_Touch* touch_ = nullptr;
  void* parent_ = nullptr;
  std::unique_ptr<Lv2Uris> uris_;
  std::unique_ptr<Lv2Messages> messages_;
  LV2UI_Widget widget_ = nullptr;
  bool valid_ = false;
  bool shownAlone_ = false;

  std::vector<float> hostValues_;  // what the host's ports hold, as far as known
  bool valuesToHost_ = false;
  MirrorSync sync_;
  bool synced_ = false;
  int idleCalls_ = 0;
  std::deque<std::vector<uint8_t>> outgoing_;
};
