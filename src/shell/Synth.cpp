#include "shell/Synth.h"

#include <cmath>

#include "shell/MTSClient.h"
#include "dsp/PitchTables.h"

namespace {
const char* const kInputLabels[] = {"MIC Left ", "MIC Right ", "EXT Left ", "EXT Right "};
const char* const kOutputLabels[] = {"ZORQ Left ", "ZORQ Right "};
}  // namespace

Synth::Synth()
    : IPlugBase(kNumParams, "2-2 4-2", kNumPresets, kEffectName, "", kMfrName, kVersion, kUniqueID,
                kUniqueID, 0, true, true, false, 0) {
  SetBlockSize(kDefaultBlockSize);
  for (int i = 0; i < 4; ++i) SetInputLabel(i, kInputLabels[i]);
  for (int i = 0; i < 2; ++i) SetOutputLabel(i, kOutputLabels[i]);
  config_.locate();
  mtsClient_ = MTS_RegisterClient();
}

Synth::~Synth() { MTS_DeregisterClient(mtsClient_); }

// Pending MIDI events survive a reset; only their storage is sized for the block.
void Synth::AttachGraphics(IPlugGUI* graphics) {
  if (graphics) graphics->SetPreferredScale(config_.editorScale());
  IPlugBase::AttachGraphics(graphics);
}

void Synth::Reset() {
  IMutexLock lock(Mutex());
  midiQueue_.Resize(ProcessFrames());
  clearKeyBuffer();
  midiLearn_.stop();
}

double Synth::convert2Hz(int pitch) { return pitch::toHz(pitch); }

bool Synth::hasMTSMaster() const { return MTS_HasMaster(mtsClient_); }

int Synth::getFrequency(int note) const {
  if (!MTS_HasMaster(mtsClient_)) return note * pitch::kUnitsPerSemitone;
  return pitch::fromHz(MTS_NoteToFrequency(mtsClient_, static_cast<char>(note), -1));
}

bool Synth::noteShouldBeSkipped(int note) const {
  return MTS_HasMaster(mtsClient_) && MTS_ShouldFilterNote(mtsClient_, static_cast<char>(note), -1);
}

void Synth::addPressedKey(int note, int velocity) {
  if (note < 0 || note >= kNumMidiNotes) return;
  if (velocity < 1) {
    removePressedKey(note);
    return;
  }
  if (pressedKeys_[note] == 0) ++pressedKeyCount_;
  pressedKeys_[note] = static_cast<uint8_t>(velocity > 255 ? 255 : velocity);
}

void Synth::removePressedKey(int note) {
  if (note < 0 || note >= kNumMidiNotes || pressedKeys_[note] == 0) return;
  pressedKeys_[note] = 0;
  --pressedKeyCount_;
}

void Synth::clearKeyBuffer() {
  for (uint8_t& velocity : pressedKeys_) velocity = 0;
  pressedKeyCount_ = 0;
}

int Synth::pressedKeyVelocity(int note) const {
  return note >= 0 && note < kNumMidiNotes ? pressedKeys_[note] : 0;
}

void Synth::OnParamChange(int paramIdx) {
  IMutexLock lock(Mutex());
  if (midiLearn_.isLearning() && paramIdx >= 0 && paramIdx < kNumParams)
    midiLearn_.setMidiLearnParam(paramIdx);
}

void Synth::OnActivate(bool active) {
  IMutexLock lock(Mutex());
  if (active) OnParamReset();
}

void Synth::initPreset() {
  IMutexLock lock(Mutex());
  for (int i = 0; i < NParams(); ++i) {
    const IParam* param = GetParam(i);
    SetParameterFromGUI(i, param->GetNormalized(param->GetDefault()));
  }
  ModifyCurrentPreset("Init");
  RedrawParamControls();
  DirtyParameters();
}

void Synth::initListParameter(int index, const char* name, int defaultValue, int count,
                              const char** labels) {
  IParam* param = GetParam(index);
  if (!param) return;
  param->InitEnum(name, defaultValue, count, "", "");
  for (int i = 0; i < count; ++i) param->SetDisplayText(i, labels[i]);
}

int Synth::checkVersionAgainstWeb(UpdateCheck::Dialogs& dialogs) const {
  const std::string& url = config_.versionUrl();
  return UpdateCheck(url.empty() ? UpdateSite::kVersionUrl : url).run(dialogs);
}

int Synth::loadConfig() {
  Configuration::FileSettings settings = config_.readFileSettings();
  IMutexLock lock(Mutex());
  config_.applyFileSettings(std::move(settings));
  return 0;
}

// A copy taken under the mutex is written with it released: the audio thread may
// change the controller map (MIDI learn) meanwhile.
void Synth::saveConfig(int item) {
  Configuration copy = lockedConfiguration();
  copy.saveConfig(item);
}

void Synth::storeDefaultWAVPath(const char* folder) {
  Configuration copy =
      changedConfiguration([folder](Configuration& c) { c.setDefaultWAVPath(folder); });
  copy.storeDefaultWAVPath(nullptr);
}

void Synth::storeProgramPath(const char* folder) {
  Configuration copy =
      changedConfiguration([folder](Configuration& c) { c.setProgramPath(folder); });
  copy.storeProgramPath(nullptr);
}

void Synth::setStartupFxb(const char* path) {
  Configuration copy =
      changedConfiguration([path](Configuration& c) { c.setStartupFxbPath(path); });
  copy.saveStartupFxb();
}

void Synth::unsetStartupFxb() {
  Configuration copy = changedConfiguration([](Configuration& c) { c.clearStartupFxb(); });
  copy.unsetStartupFxb();
}

void Synth::saveStartupFxb() { lockedConfiguration().saveStartupFxb(); }

void Synth::toggleMidiThru() {
  Configuration copy = changedConfiguration([](Configuration& c) { c.setMidiThru(!c.midiThru()); });
  copy.saveConfig(Configuration::kSaveMidiThru);
}

void Synth::toggleIgnoreProgramChange() {
  Configuration copy = changedConfiguration(
      [](Configuration& c) { c.setIgnoreProgramChange(!c.ignoreProgramChange()); });
  copy.saveConfig(Configuration::kSaveIgnoreProgramChange);
}

Configuration Synth::lockedConfiguration() const {
  IMutexLock lock(Mutex());
  return config_;
}

void Synth::doMidiLearn(bool on) {
  IMutexLock lock(Mutex());
  midiLearn_.doMidiLearn(on);
}

void Synth::doMidiUnlearn(bool on) {
  IMutexLock lock(Mutex());
  midiLearn_.doMidiUnlearn(on);
}

int Synth::currentProgram(std::string* name) const {
  IMutexLock lock(Mutex());
  const int current = GetCurrentPresetIdx();
  if (name) *name = GetPresetName(current);
  return current;
}

std::vector<std::string> Synth::programNames(int* current) const {
  IMutexLock lock(Mutex());
  std::vector<std::string> names;
  names.reserve(static_cast<size_t>(NPresets()));
  for (int i = 0; i < NPresets(); ++i) names.push_back(GetPresetName(i));
  if (current) *current = GetCurrentPresetIdx();
  return names;
}

void Synth::renameCurrentProgram(const char* name) {
  IMutexLock lock(Mutex());
  ModifyCurrentPreset(name);
  InformHostOfProgramChange();
  DirtyParameters();
}
