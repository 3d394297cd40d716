// Program operations: the fallback bank, initialise, copy, paste and change.
#include <dlfcn.h>

#include <string>

#include "shell/Synth.h"

namespace {
constexpr const char* kFallbackBank = "ZORQ.vst/Contents/Resources/init.fxb";
}

std::string Synth::pluginFolder() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&Synth::pluginFolder), &info) || !info.dli_fname) return "";
  const std::string file = info.dli_fname;
  const size_t slash = file.rfind('/');
  return slash == std::string::npos ? "" : file.substr(0, slash + 1);
}

// The fallback bank is looked for relative to the working directory and, so an
// installed plug-in finds its own bank, beside the loaded plug-in file.
void Synth::initAllPrograms() {
  if (LoadBankFromFXB(config_.startupFxb())) return;
  config_.clearStartupFxb();
  if (LoadBankFromFXB(kFallbackBank)) return;
  const std::string folder = pluginFolder();
  if (!folder.empty()) LoadBankFromFXB(folder + kFallbackBank);
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
