// The sample player's file: loading it by name, resolving the name against the
// default WAV folder, reporting failures, the work its schedule defers, and the note
// hooks that play it.
#include <algorithm>
#include <memory>

#include "engine/StateRecord.h"
#include "engine/ZORQ.h"

void ZORQ::setSampleFileName(const char* name) {
  IMutexLock lock(Mutex());
  sampleFileName_ = name ? name : "";
}

ZORQ::SampleFileState ZORQ::sampleFileState() const {
  IMutexLock lock(Mutex());
  return {sampleFileName_, sampleLoadFailed_};
}

void ZORQ::setWAVFolder(const char* folder) { storeDefaultWAVPath(folder ? folder : ""); }

// The file is read and decoded with the plug-in mutex free, so audio keeps running
// (with the old sample) meanwhile; the new one is swapped in under the mutex, and the
// old one is freed after it is released. Of loads that overlap, the last one started
// wins.
void ZORQ::loadSampleFile(bool showError) {
  std::string name, folder;
  uint64_t generation = 0;
  {
    IMutexLock lock(Mutex());
    if (sampleFileName_.empty() || sampleFileName_ == loadedFileName_) return;
    loadedFileName_ = sampleFileName_;
    name = sampleFileName_;
    folder = wavFolder();
    generation = ++sampleLoadGeneration_;
  }
  // The name as given (absolute, or relative to the current folder), then relative
  // to the default WAV folder, stored relative to it when it lies inside.
  std::string path = name;
  std::unique_ptr<SampleData> data = SampleData::load(path.c_str());
  const bool fromFolder = !data && !folder.empty();
  if (fromFolder) {
    path = folder + "/" + name;
    data = SampleData::load(path.c_str());
  }
  const bool loaded = data != nullptr;
  std::unique_ptr<SampleData> previous;
  {
    IMutexLock lock(Mutex());
    if (generation != sampleLoadGeneration_) return;  // a later load decides
    if (loaded && fromFolder) {
      simplifyPath(path);
      sampleFileName_ = path;
    }
    sampleLoadFailed_ = !loaded;
    previous = sampler_.install(std::move(data));
  }
  previous.reset();
  // Shown after the lock is released, so audio keeps running while the box is open.
  if (!loaded && showError && messageBox_)
    messageBox_->ShowMessageBox("Cannot open WAV file!", "Error", IMessageBox::kOk);
}

void ZORQ::updateWAVPath() {
  {
    IMutexLock lock(Mutex());
    loadedFileName_.clear();
  }
  loadSampleFile(false);
  // The editor's WAV control shows the name: it re-reads it at the next redraw.
  if (IPlugGUI* gui = GetGUI())
    if (gui->WindowIsOpen()) gui->SetAllControlsDirty();
}

void ZORQ::simplifyPath(std::string& path) const {
  // One separator on both sides: Windows names take '\\' as well as '/'.
  std::replace(path.begin(), path.end(), '\\', '/');
  std::string folder = wavFolder();
  std::replace(folder.begin(), folder.end(), '\\', '/');
  if (folder.empty() || path.size() < folder.size()) return;
  if (path.compare(0, folder.size(), folder) != 0) return;
  // A textual prefix: the folder /a/b also strips the front of /a/bc/x.wav.
  const size_t rest = path.find_first_not_of('/', folder.size());
  path.erase(0, rest == std::string::npos ? path.size() : rest);
}

bool ZORQ::adoptProgramSampleFile() {
  const ByteChunk* state = storedPresetState(sampleFileSchedule_.takeProgramFile());
  const char* file = nullptr;
  int fileLength = 0;
  if (!state || !StateRecord::sampleFile(state, NParams(), &file, &fileLength)) return false;
  sampleFileName_.assign(file, static_cast<size_t>(fileLength));
  sampleFileSchedule_.readBy(SampleFileSchedule::Read::kAtNextIdle);
  return true;
}

// The restored state may name another sample file. Inside a host call the plug-in
// mutex is held, so the file is read once it is free.
void ZORQ::PresetsChangedByHost() {
  if (InHostCall())
    sampleFileSchedule_.readBy(SampleFileSchedule::Read::kWhenMutexFree);
  else
    loadSampleFile(false);
  RedrawParamControls();
}

void ZORQ::OnHostCallReturned() {
  {
    IMutexLock lock(Mutex());
    if (!sampleFileSchedule_.takeRead(SampleFileSchedule::Read::kWhenMutexFree)) return;
  }
  loadSampleFile(false);
}

void ZORQ::restartSample() { sampler_.restart(); }

void ZORQ::stopSample() { sampler_.stop(); }
