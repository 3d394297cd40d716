// What an editor's copy of the instrument in another process needs beyond the
// parameters and programs: the sample file, the user settings the editor changes and
// the meter level. The record: the tag "ZQE1", the sample file name, the learn and
// unlearn flags, "MIDI Thru", "Ignore Program Change", the WAV folder and the 120
// entries of the controller map.
#include <cmath>
#include <cstring>

#include "engine/ZORQ.h"

namespace {
constexpr char kEditorStateTag[] = "ZQE1";
constexpr int kEditorStateTagBytes = 4;
constexpr int kInputModeFile = 1;
}  // namespace

void ZORQ::SerializeEditorState(ByteChunk* chunk) {
  IMutexLock lock(Mutex());
  chunk->PutBytes(kEditorStateTag, kEditorStateTagBytes);
  chunk->PutStr(sampleFileName_.c_str());
  chunk->Put(midiLearn_.isLearning());
  chunk->Put(midiLearn_.isUnlearning());
  chunk->Put(config_.midiThru());
  chunk->Put(config_.ignoreProgramChange());
  chunk->PutStr(config_.defaultWAVPath().c_str());
  for (int parameter : config_.controllerMap()) chunk->Put(static_cast<int32_t>(parameter));
}

bool ZORQ::UnserializeEditorState(const ByteChunk* chunk) {
  if (!chunk->Fits(0, kEditorStateTagBytes) ||
      std::memcmp(chunk->GetBytes(), kEditorStateTag, kEditorStateTagBytes) != 0)
    return false;
  std::string fileName, wavFolder;
  bool learning = false, unlearning = false, midiThru = false, ignoreProgramChange = false;
  int32_t controllers[Configuration::kNumControllers] = {};
  int pos = chunk->GetStr(&fileName, kEditorStateTagBytes);
  pos = chunk->Get(&learning, pos);
  pos = chunk->Get(&unlearning, pos);
  pos = chunk->Get(&midiThru, pos);
  pos = chunk->Get(&ignoreProgramChange, pos);
  pos = chunk->GetStr(&wavFolder, pos);
  for (int32_t& parameter : controllers) pos = chunk->Get(&parameter, pos);
  if (pos < 0) return false;

  IMutexLock lock(Mutex());
  midiLearn_.setPhase(learning, unlearning);
  config_.setMidiThru(midiThru);
  config_.setIgnoreProgramChange(ignoreProgramChange);
  config_.setDefaultWAVPath(wavFolder);
  for (int c = 0; c < Configuration::kNumControllers; ++c)
    config_.setControllerParameter(c, controllers[c]);
  if (fileName != sampleFileName_) {
    sampleFileName_ = fileName;
    PresetsChangedByHost();  // reads the file (after the host call when inside one)
  }
  return true;
}

double ZORQ::EditorMeterLevel() const { return std::fabs(meterAccumulator_) * reciprocal_; }

void ZORQ::SetEditorMeterLevel(double level) {
  meterAccumulator_ = reciprocal_ > 0.0 ? level / reciprocal_ : 0.0;
}

std::string ZORQ::LiveStateFile() const {
  IMutexLock lock(Mutex());
  if (GetParam(kInputMode)->Int() != kInputModeFile || sampleFileName_.empty()) return "";
  if (sampleFileName_[0] == '/') return sampleFileName_;
  const std::string inFolder = wavFolder() + "/" + sampleFileName_;
  return !wavFolder().empty() && fileExists(inFolder.c_str()) ? inFolder : sampleFileName_;
}

void ZORQ::SetLiveStateFile(const std::string& path) {
  IMutexLock lock(Mutex());
  sampleFileName_ = path;
  PresetsChangedByHost();
}
