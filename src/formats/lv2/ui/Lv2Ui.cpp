#include "formats/lv2/ui/Lv2Ui.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include "formats/lv2/Lv2Features.h"
#include "framework/PortValue.h"

namespace {
float hostScale(const LV2_Feature* const* features, const Lv2Uris& uris) {
  const auto* options =
      static_cast<const LV2_Options_Option*>(lv2Feature(features, LV2_OPTIONS__options));
  for (int i = 0; options && options[i].key; ++i)
    if (options[i].key == uris.uiScaleFactor && options[i].type == uris.atomFloat &&
        options[i].size == sizeof(float))
      return *static_cast<const float*>(options[i].value);
  return 0.0f;
}
}  // namespace

Lv2Ui::Lv2Ui(const Lv2Description& description, std::unique_ptr<IPlugBase> copy,
             LV2UI_Write_Function write, LV2UI_Controller controller,
             const LV2_Feature* const* features)
    : description_(description), plug_(std::move(copy)), write_(write), controller_(controller) {
  map_ = static_cast<LV2_URID_Map*>(const_cast<void*>(lv2Feature(features, LV2_URID__map)));
  if (!map_ || !plug_ || !plug_->GetGUI() || !write_) return;
  resize_ = static_cast<const LV2UI_Resize*>(lv2Feature(features, LV2_UI__resize));
  touch_ = static_cast<const LV2UI_Touch*>(lv2Feature(features, LV2_UI__touch));
  parent_ = const_cast<void*>(lv2Feature(features, LV2_UI__parent));
  uris_ = std::make_unique<Lv2Uris>(map_, description_.pluginUri);
  messages_ = std::make_unique<Lv2Messages>(*uris_, map_);
  hostValues_.assign(static_cast<size_t>(plug_->NParams()),
                     std::numeric_limits<float>::quiet_NaN());
  {
    IMutexLock lock(plug_->Mutex());
    plug_->SetHost(this);
    // The copy plays nothing; its meter shows the plug-in's level at this grid.
    plug_->SetSampleRate(48000.0);
    plug_->Reset();
  }
  IPlugGUI& gui = *plug_->GetGUI();
  if (const float scale = hostScale(features, *uris_); scale > 0.0f) gui.SetHostScale(scale);
  if (parent_) {
    widget_ = gui.OpenWindow(parent_);
    if (!widget_) return;
    ResizeGraphics(gui.Width(), gui.Height());
  }
  valid_ = true;
  requestState();  // sent at the first idle call: no writes before instantiation returns
}

// The window closes while the copy still exists: a file prompt still open ends there.
Lv2Ui::~Lv2Ui() {
  if (plug_ && plug_->GetGUI()) plug_->GetGUI()->CloseWindow();
  plug_.reset();
}

void Lv2Ui::requestState() {
  outgoing_.push_back(messages_->build(64, [&](LV2_Atom_Forge* forge) {
    return messages_->writeEmpty(forge, uris_->msgStateRequest);
  }));
}

void Lv2Ui::setCopyValue(int paramIdx, double value) {
  IParam* param = plug_->GetParam(paramIdx);
  if (!param || std::isnan(value)) return;
  value = param->Constrain(value);
  if (param->Value() == value) return;
  param->Set(value);
  plug_->OnParamChange(paramIdx);
  plug_->GetGUI()->SetParameterFromPlug(paramIdx, value, false);
}

void Lv2Ui::portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
  if (!valid_ || !buffer) return;
  const int param = description_.paramOfPort(port);
  if (param >= 0 && param < plug_->NParams() && format == 0 && size == sizeof(float)) {
    const float value = *static_cast<const float*>(buffer);
    hostValues_[static_cast<size_t>(param)] = value;
    IMutexLock lock(plug_->Mutex());
    const IParam& shown = *plug_->GetParam(param);
    if (static_cast<float>(portvalue::FromPlain(shown, shown.Value())) != value)
      setCopyValue(param, portvalue::ToPlain(shown, value));
    return;
  }
  if (port == description_.notifyPort() && format == uris_->atomEventTransfer &&
      size >= sizeof(LV2_Atom)) {
    const LV2_Atom* atom = static_cast<const LV2_Atom*>(buffer);
    if (sizeof(LV2_Atom) + atom->size <= size) receive(atom);
  }
}

void Lv2Ui::receive(const LV2_Atom* atom) {
  Lv2Messages::Message message;
  if (!messages_->read(atom, &message)) return;
  IPlugGUI& gui = *plug_->GetGUI();
  if (message.type == uris_->msgMeter) {
    plug_->SetEditorMeterLevel(message.value);
    return;
  }
  IMutexLock lock(plug_->Mutex());
  if (message.type == uris_->msgPreset) {
    sync_.applyPreset(*plug_, message.index, message.preset);
  } else if (message.type == uris_->msgCurrent) {
    sync_.applyCurrent(*plug_, message.index);
    const int count = std::min(static_cast<int>(message.values.size()), plug_->NParams());
    for (int i = 0; i < count; ++i) setCopyValue(i, message.values[static_cast<size_t>(i)]);
    plug_->RedrawParamControls();
    valuesToHost_ = true;
  } else if (message.type == uris_->msgEditorState) {
    sync_.applyEditorState(*plug_, message.record);
  } else if (message.type == uris_->msgParamChange) {
    setCopyValue(message.index, message.value);
    writeParam(message.index);
  } else if (message.type == uris_->msgSynced) {
    synced_ = true;
    sync_.assumeInStep(*plug_);
  }
  gui.SetAllControlsDirty();
}

void Lv2Ui::writeParam(int paramIdx) {
  const IParam* param = plug_->GetParam(paramIdx);
  if (!param) return;
  const float value = static_cast<float>(portvalue::FromPlain(*param, param->Value()));
  float& known = hostValues_[static_cast<size_t>(paramIdx)];
  if (value == known) return;
  known = value;
  write_(controller_, description_.firstParamPort() + static_cast<uint32_t>(paramIdx), sizeof value,
         0, &value);
}

void Lv2Ui::writeValuesToHost() {
  valuesToHost_ = false;
  IMutexLock lock(plug_->Mutex());
  for (int i = 0; i < plug_->NParams(); ++i) writeParam(i);
}

void Lv2Ui::InformHostOfParamChange(int paramIdx, double) { writeParam(paramIdx); }

void Lv2Ui::BeginInformHostOfParamChange(int paramIdx) {
  if (touch_ && plug_->GetParam(paramIdx))
    touch_->touch(touch_->handle, description_.firstParamPort() + static_cast<uint32_t>(paramIdx),
                  true);
}

void Lv2Ui::EndInformHostOfParamChange(int paramIdx) {
  if (touch_ && plug_->GetParam(paramIdx))
    touch_->touch(touch_->handle, description_.firstParamPort() + static_cast<uint32_t>(paramIdx),
                  false);
}

void Lv2Ui::ResizeGraphics(int, int) {
  IPlugGUI* gui = plug_->GetGUI();
  if (resize_ && gui)
    resize_->ui_resize(resize_->handle, gui->Width() * gui->Scale(), gui->Height() * gui->Scale());
}

// Only once the plug-in's whole state has arrived: before that the copy holds its own
// start-up programs, which must not replace the plug-in's.
void Lv2Ui::sendChanges() {
  if (!synced_) return;
  std::vector<MirrorSync::Change> changes;
  {
    IMutexLock lock(plug_->Mutex());
    sync_.collect(*plug_, changes);
  }
  const size_t room = kLv2AtomPortMinimumSize / 2;
  for (const MirrorSync::Change& change : changes) {
    std::vector<uint8_t> atom = messages_->build(room, [&](LV2_Atom_Forge* forge) {
      switch (change.kind) {
        case MirrorSync::Change::kPreset:
          return messages_->writePreset(forge, change.index, change.preset);
        case MirrorSync::Change::kCurrent:
          return messages_->writeCurrent(forge, change.index, nullptr, 0);
        case MirrorSync::Change::kEditorState:
          return messages_->writeEditorState(forge, change.editorState);
      }
      return false;
    });
    if (!atom.empty()) outgoing_.push_back(std::move(atom));
  }
}

void Lv2Ui::flushOutgoing() {
  size_t sent = 0;
  while (!outgoing_.empty() && sent + outgoing_.front().size() <= kBytesPerIdle) {
    const std::vector<uint8_t>& atom = outgoing_.front();
    write_(controller_, description_.controlInPort(), static_cast<uint32_t>(atom.size()),
           uris_->atomEventTransfer, atom.data());
    sent += atom.size();
    outgoing_.pop_front();
  }
}

int Lv2Ui::idle() {
  if (!valid_) return 1;
  if (!synced_ && ++idleCalls_ % kRequestInterval == 0) requestState();
  plug_->OnIdle();
  IPlugGUI& gui = *plug_->GetGUI();
  if (gui.WindowIsOpen()) gui.OnWindowIdle();
  sendChanges();
  if (valuesToHost_) writeValuesToHost();
  flushOutgoing();
  return shownAlone_ && !gui.WindowIsOpen() ? 1 : 0;
}

int Lv2Ui::show() {
  IPlugGUI& gui = *plug_->GetGUI();
  if (gui.WindowIsOpen()) return 0;
  if (!gui.OpenWindow(nullptr)) return 1;
  shownAlone_ = true;
  return 0;
}

int Lv2Ui::hide() {
  if (shownAlone_) plug_->GetGUI()->CloseWindow();
  shownAlone_ = false;
  return 0;
}
