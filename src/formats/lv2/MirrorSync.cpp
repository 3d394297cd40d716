#include "formats/lv2/MirrorSync.h"

#include "framework/IPlugBase.h"

namespace {
bool samePreset(const IPreset& a, const IPreset& b) {
  return a.initialized == b.initialized && a.name == b.name && a.chunk == b.chunk;
}
}  // namespace

void MirrorSync::collect(IPlugBase& plug, std::vector<Change>& changes) {
  presets_.resize(static_cast<size_t>(plug.NPresets()));
  for (int i = 0; i < plug.NPresets(); ++i) {
    const IPreset& now = *plug.GetPreset(i);
    IPreset& known = presets_[static_cast<size_t>(i)];
    if (known_ && samePreset(now, known)) continue;
    known = now;
    Change change(Change::kPreset);
    change.index = i;
    change.preset = now;
    changes.push_back(std::move(change));
  }
  if (!known_ || plug.GetCurrentPresetIdx() != current_) {
    current_ = plug.GetCurrentPresetIdx();
    Change change(Change::kCurrent);
    change.index = current_;
    changes.push_back(std::move(change));
  }
  ByteChunk record;
  plug.SerializeEditorState(&record);
  if (!known_ || record != editorState_) {
    editorState_ = record;
    Change change(Change::kEditorState);
    change.editorState = std::move(record);
    changes.push_back(std::move(change));
  }
  known_ = true;
}

void MirrorSync::assumeInStep(IPlugBase& plug) {
  std::vector<Change> ignored;
  known_ = false;
  collect(plug, ignored);
}

bool MirrorSync::applyPreset(IPlugBase& plug, int index, const IPreset& preset) {
  if (!plug.SetPreset(index, preset)) return false;
  if (known_ && index < static_cast<int>(presets_.size()))
    presets_[static_cast<size_t>(index)] = *plug.GetPreset(index);
  return true;
}

bool MirrorSync::applyCurrent(IPlugBase& plug, int index) {
  if (!plug.SelectPreset(index)) return false;
  if (known_) current_ = index;
  return true;
}

bool MirrorSync::applyEditorState(IPlugBase& plug, const ByteChunk& record) {
  if (!plug.UnserializeEditorState(&record)) return false;
  if (known_) {
    editorState_.Clear();
    plug.SerializeEditorState(&editorState_);
  }
  return true;
}
