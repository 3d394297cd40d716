// The sample player's file: loading it by name, resolving the name against the
// default WAV folder, reporting failures, and the note hooks that play it.
#include <algorithm>

#include "engine/ZORQ.h"

void ZORQ::setSampleFileName(const char* name) {
  IMutexLock lock(Mutex());
  sampleFileName_ = name ? name : "";
}

void ZORQ::setWAVFolder(const char* folder) {
  IMutexLock lock(Mutex());
  storeDefaultWAVPath(folder ? folder : "");
}

void ZORQ::loadSampleFile(bool showError) {
  {
    IMutexLock lock(Mutex());
    if (sampleFileName_.empty() || sampleFileName_ == loadedFileName_) return;
    sampleLoading_ = true;
    loadedFileName_ = sampleFileName_;
    // The name as given (absolute, or relative to the current folder), then
    // relative to the default WAV folder, stored relative to it when it lies inside.
    bool opened = sampler_.openWAV(sampleFileName_.c_str()) != 0;
    if (!opened && !wavFolder().empty()) {
      std::string path = wavFolder() + "/" + sampleFileName_;
      opened = sampler_.openWAV(path.c_str()) != 0;
      if (opened) {
        simplifyPath(path);
        sampleFileName_ = path;
      }
    }
    sampleLoadFailed_ = !opened;
    if (!opened) sampler_.closeWAV();
    sampleLoading_ = false;
    if (opened || !showError || !messageBox_) return;
  }
  // Shown after the lock is released, so audio keeps running while the box is open.
  messageBox_->ShowMessageBox("Cannot open WAV file!", "Error", IMessageBox::kOk);
}

void ZORQ::updateWAVPath() {
  IMutexLock lock(Mutex());
  loadedFileName_.clear();
  loadSampleFile(false);
  // The editor's WAV control shows the name: it re-reads it at the next redraw.
  if (IPlugGUI* gui = GetGUI())
    if (gui->WindowIsOpen()) gui->SetAllControlsDirty();
}

void ZORQ::simplifyPath(std::string& path) const {
  std::replace(path.begin(), path.end(), '\\', '/');
  const std::string& folder = wavFolder();
  if (folder.empty() || path.size() < folder.size()) return;
  if (path.compare(0, folder.size(), folder) != 0) return;
  // A textual prefix: the folder /a/b also strips the front of /a/bc/x.wav.
  const size_t rest = path.find_first_not_of('/', folder.size());
  path.erase(0, rest == std::string::npos ? path.size() : rest);
}

void ZORQ::restartSample() { sampler_.restart(); }

void ZORQ::stopSample() { sampler_.stop(); }
