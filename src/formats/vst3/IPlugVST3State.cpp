// State: the component's state is the plug-in's session chunk (the bank chunk, then the
// current program), the same bytes as the CLAP state, read and written through the
// host's streams, which may move fewer bytes than asked. The controller has nothing of
// its own to keep. UI thread (a host may save from another): the chunk is made or read
// under the plug-in mutex, the streams run without it.
#include "formats/vst3/IPlugVST3.h"
#include "formats/vst3/Vst3Streams.h"

vst3::tresult IPlugVST3::saveState(vst3::IBStream* state) {
  ByteChunk chunk;
  {
    IMutexLock lock(plug_->Mutex());
    if (!plug_->serializeSessionChunk(&chunk)) return vst3::kResultFalse;
    lastState_ = chunk;
  }
  return vst3streams::writeAll(state, chunk) ? vst3::kResultOk : vst3::kResultFalse;
}

// A state that cannot be read whole changes nothing. One that loads may name another
// sample file, read once the mutex is free; then the host reads every value again.
vst3::tresult IPlugVST3::loadState(vst3::IBStream* state) {
  ByteChunk chunk;
  if (!vst3streams::readAll(state, &chunk) || chunk.Size() == 0) return vst3::kResultFalse;
  return loadChunk(chunk) ? vst3::kResultOk : vst3::kResultFalse;
}

bool IPlugVST3::loadChunk(const ByteChunk& chunk) {
  const bool loaded = plug_->RunHostCall([&] {
    const bool ok = plug_->unserializeSessionChunk(&chunk);
    if (ok) {
      plug_->RedrawParamControls();
      edits_.drain([](const HostEditQueue::Edit&) {});  // the host reads the values anew
      syncControllerValues();
      lastState_ = chunk;
    }
    return ok;
  });
  if (loaded) {
    restartFlags_ |= vst3::kParamValuesChanged;
    FlushToHost();
  }
  return loaded;
}

// The same object is the component: the state the host hands the controller is the
// one the component last loaded or saved (then the controller's values follow it), or
// one it has not seen (then it loads, as the component's would).
vst3::tresult IPlugVST3::setComponentState(vst3::IBStream* state) {
  ByteChunk given;
  if (!vst3streams::readAll(state, &given) || given.Size() == 0) return vst3::kResultFalse;
  {
    IMutexLock lock(plug_->Mutex());
    if (given == lastState_) {
      syncControllerValues();
      return vst3::kResultOk;
    }
  }
  return loadChunk(given) ? vst3::kResultOk : vst3::kResultFalse;
}

vst3::tresult IPlugVST3::saveControllerState(vst3::IBStream*) { return vst3::kResultOk; }
vst3::tresult IPlugVST3::loadControllerState(vst3::IBStream*) { return vst3::kResultOk; }
