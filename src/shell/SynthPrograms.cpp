// Program operations: the fallback bank, initialise, copy, paste and change.
#include <string>

#include "shell/Synth.h"

#include "shell/BuiltInBank.h"
#include "system/ModuleFolder.h"

namespace {
// A bank of the user's own, beside the plug-in file, that replaces the built-in one.
constexpr const char* kUserFallbackBank = "ZORQ-resources/init.fxb";
}  // namespace

std::string Synth::pluginFolder() {
  return moduleFolderOf(reinterpret_cast<const void*>(&Synth::pluginFolder));
}

// After the startup bank, the user's fallback bank in the plug-in's own folder (never
// the working directory), then the bank built into the plug-in. A bank file that does
// not load completely counts as failed: the built-in bank then replaces every program,
// including any the failed file had already filled.
void Synth::initAllPrograms() {
  if (LoadBankFromFXB(config_.startupFxb())) return;
  config_.clearStartupFxb();
  const std::string folder = pluginFolder();
  if (!folder.empty() && LoadBankFromFXB(folder + kUserFallbackBank)) return;
  if (const BankImage* bank = builtInBank())
    loadFXBfromBlob(bank->bytes, static_cast<int>(bank->size));
}

void Synth::copyPreset() {
  IMutexLock lock(Mutex());
  ModifyCurrentPreset(nullptr);
  clipboardSourceIndex_ = GetCurrentPresetIdx();
  clipboard_.Clear();
  SerializeState(&clipboard_);
}

void Synth::pastePreset() {
  if (!hasClipboard()) return;
  IMutexLock lock(Mutex());
  if (UnserializeState(&clipboard_, 0) < 0) return;
  const std::string sourceName = GetPresetName(clipboardSourceIndex_);
  ModifyCurrentPreset(sourceName.c_str());
  RedrawParamControls();
  DirtyParameters();
}

void Synth::changePreset(int index) {
  IMutexLock lock(Mutex());
  ModifyCurrentPreset(nullptr);
  RestorePreset(index);
  InformHostOfProgramChange();
  DirtyParameters();
}
