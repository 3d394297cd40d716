// The worker: the editor's messages are applied here, sample files are read here, the
// plug-in idles here (a MIDI program change completes), and what the editor has not
// heard yet is queued for run() to forward.
#include "formats/lv2/Lv2Plugin.h"

LV2_Worker_Status Lv2Plugin::work(LV2_Worker_Respond_Function, LV2_Worker_Respond_Handle, uint32_t,
                                  const void*) {
  try {
    applyEditorMessages();
    plug_->OnIdle();
    answerEditor();
  } catch (...) {
  }
  workScheduled_.store(false, std::memory_order_release);
  return LV2_WORKER_SUCCESS;
}

// Applies every waiting message inside one host call: the file work they leave (a
// sample file they name) and the work a restored state left are done once the mutex
// is free again.
void Lv2Plugin::applyEditorMessages() {
  filesPending_.store(false, std::memory_order_release);
  messagesWaiting_.store(false, std::memory_order_release);
  plug_->RunHostCall([&] {
    Lv2Messages::Message message;
    bool currentChanged = false;
    while (toWorker_.pop(workerBuffer_.data(), static_cast<uint32_t>(workerBuffer_.size()))) {
      const LV2_Atom* atom = reinterpret_cast<const LV2_Atom*>(workerBuffer_.data());
      message = Lv2Messages::Message();
      if (!messages_->read(atom, &message)) continue;
      if (message.type == uris_->msgStateRequest) {
        editorConnected_ = true;
        editorAsked_.store(true, std::memory_order_release);
        sync_.forget();
      } else if (message.type == uris_->msgPreset) {
        sync_.applyPreset(*plug_, message.index, message.preset);
        currentChanged = currentChanged || message.index == plug_->GetCurrentPresetIdx();
      } else if (message.type == uris_->msgCurrent) {
        sync_.applyCurrent(*plug_, message.index);
        currentChanged = true;
      } else if (message.type == uris_->msgEditorState) {
        sync_.applyEditorState(*plug_, message.record);
      }
    }
    if (toWorker_.nextSize() > workerBuffer_.size()) toWorker_.clear();  // not one of ours
    // The editor's copy plays the current program's stored state: so does the plug-in,
    // to the bit (the ports carry the same values only as floats, and a port holding
    // the float image of the plug-in's value leaves it as it is).
    if (currentChanged) plug_->RestorePreset(plug_->GetCurrentPresetIdx());
  });
}

std::vector<double> Lv2Plugin::paramValues() const {
  std::vector<double> values;
  values.reserve(static_cast<size_t>(plug_->NParams()));
  for (int i = 0; i < plug_->NParams(); ++i) values.push_back(plug_->GetParam(i)->Value());
  return values;
}

void Lv2Plugin::queueForEditor(const std::vector<uint8_t>& atom) {
  if (atom.empty() || atom.size() > kLv2AtomPortMinimumSize / 2) return;
  if (!fromWorker_.push(atom.data(), static_cast<uint32_t>(atom.size()))) sync_.forget();
}

// Only once an editor has asked: without one nobody reads these messages.
void Lv2Plugin::answerEditor() {
  if (!editorConnected_) return;
  std::vector<MirrorSync::Change> changes;
  std::vector<double> values;
  bool whole = false;
  {
    IMutexLock lock(plug_->Mutex());
    whole = !sync_.knowsOtherSide();
    sync_.collect(*plug_, changes);
    values = paramValues();
  }
  const size_t room = kLv2AtomPortMinimumSize / 2;
  for (const MirrorSync::Change& change : changes) {
    switch (change.kind) {
      case MirrorSync::Change::kPreset:
        queueForEditor(messages_->build(room, [&](LV2_Atom_Forge* forge) {
          return messages_->writePreset(forge, change.index, change.preset);
        }));
        break;
      case MirrorSync::Change::kCurrent:
        queueForEditor(messages_->build(room, [&](LV2_Atom_Forge* forge) {
          return messages_->writeCurrent(forge, change.index, values.data(),
                                         static_cast<int>(values.size()));
        }));
        break;
      case MirrorSync::Change::kEditorState:
        queueForEditor(messages_->build(room, [&](LV2_Atom_Forge* forge) {
          return messages_->writeEditorState(forge, change.editorState);
        }));
        break;
    }
  }
  if (whole)
    queueForEditor(messages_->build(
        64, [&](LV2_Atom_Forge* forge) { return messages_->writeEmpty(forge, uris_->msgSynced); }));
}
