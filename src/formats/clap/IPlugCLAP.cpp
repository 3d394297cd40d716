// The plug-in record: life cycle, extensions, and what the plug-in tells the host.
#include "formats/clap/IPlugCLAP.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "framework/IMidiMsg.h"

IPlugCLAP::IPlugCLAP(std::unique_ptr<IPlugBase> plug, const clap_plugin_descriptor_t* descriptor,
                     const clap_host_t* host)
    : plug_(std::move(plug)), host_(host) {
  plugin_.desc = descriptor;
  plugin_.plugin_data = this;
  plugin_.init = [](const clap_plugin_t* p) {
    return clapCall(p, false, [](IPlugCLAP& self) { return self.init(); });
  };
  plugin_.destroy = [](const clap_plugin_t* p) {
    clapCall(p, [](IPlugCLAP& self) { delete &self; });
  };
  plugin_.activate = [](const clap_plugin_t* p, double sampleRate, uint32_t, uint32_t maxFrames) {
    return clapCall(p, false,
                    [&](IPlugCLAP& self) { return self.activate(sampleRate, maxFrames); });
  };
  plugin_.deactivate = [](const clap_plugin_t* p) {
    clapCall(p, [](IPlugCLAP& self) { self.deactivate(); });
  };
  plugin_.start_processing = [](const clap_plugin_t* p) {
    return IPlugCLAP::FromPlugin(p) != nullptr;
  };
  plugin_.stop_processing = [](const clap_plugin_t*) {};
  plugin_.reset = [](const clap_plugin_t* p) {
    clapCall(p, [](IPlugCLAP& self) { self.reset(); });
  };
  plugin_.process = [](const clap_plugin_t* p, const clap_process_t* process) {
    return clapCall(p, int32_t(kClapProcessError),
                    [&](IPlugCLAP& self) { return self.process(process); });
  };
  plugin_.get_extension = [](const clap_plugin_t* p, const char* id) {
    return clapCall(p, static_cast<const void*>(nullptr),
                    [&](IPlugCLAP& self) { return self.extension(id); });
  };
  plugin_.on_main_thread = [](const clap_plugin_t* p) {
    clapCall(p, [](IPlugCLAP& self) { self.onMainThread(); });
  };
  plug_->SetHost(this);
}

// The editor closes first, while the plug-in can still report a last change.
IPlugCLAP::~IPlugCLAP() {
  guiDestroy();
  plug_->SetHost(nullptr);
}

IPlugCLAP* IPlugCLAP::FromPlugin(const clap_plugin_t* plugin) {
  return plugin ? static_cast<IPlugCLAP*>(plugin->plugin_data) : nullptr;
}

const void* IPlugCLAP::hostExtension(const char* id) const {
  return host_ && host_->get_extension ? host_->get_extension(host_, id) : nullptr;
}

template <typename Extension>
static void askOnce(const Extension*& known, const void* offered) {
  if (!known) known = static_cast<const Extension*>(offered);
}

// Main thread. Some hosts offer their extensions only after init, so what was missing
// is asked for again at activation and when the editor is made; what a host offered
// once is kept (timers and descriptors registered through it go back through it).
void IPlugCLAP::askHostForExtensions() {
  askOnce(hostParams_, hostExtension(kClapExtParams));
  askOnce(hostLatency_, hostExtension(kClapExtLatency));
  askOnce(hostGui_, hostExtension(kClapExtGui));
  askOnce(hostTimer_, hostExtension(kClapExtTimerSupport));
  askOnce(hostFd_, hostExtension(kClapExtPosixFdSupport));
}

// Main thread: the host may be asked for its extensions from now on.
bool IPlugCLAP::init() {
  askHostForExtensions();
  IMutexLock lock(plug_->Mutex());
  plug_->OnParamReset();
  return true;
}

// Main thread: the rate and the longest block are fixed until deactivation; the
// plug-in starts from rest.
bool IPlugCLAP::activate(double sampleRate, uint32_t maxFrames) {
  if (!(sampleRate > 0.0) || !std::isfinite(sampleRate) || maxFrames < 1) return false;
  askHostForExtensions();
  IMutexLock lock(plug_->Mutex());
  plug_->SetSampleRate(sampleRate);
  plug_->SetBlockSize(static_cast<int>(std::min<uint32_t>(maxFrames, 1u << 24)));
  plug_->ResetToSilence();
  plug_->OnActivate(true);
  active_ = true;
  return true;
}

void IPlugCLAP::deactivate() {
  IMutexLock lock(plug_->Mutex());
  plug_->OnActivate(false);
  plug_->Reset();
  active_ = false;
}

// Audio thread: voices, filters and envelopes start again; parameter values stay.
void IPlugCLAP::reset() { plug_->ResetToSilence(); }

// Main thread, asked for by InformHostOfProgramChange or the editor: a program changed
// by MIDI is completed (its sample file read), and the host reads every value again.
void IPlugCLAP::onMainThread() {
  plug_->OnIdle();
  if (rescanWanted_.exchange(false) && hostParams_ && hostParams_->rescan)
    hostParams_->rescan(host_, kClapParamRescanValues);
  requestFlushIfPending();
}

void IPlugCLAP::requestFlushIfPending() {
  if (!flushWanted_.exchange(false)) return;
  if (hostParams_ && hostParams_->request_flush)
    hostParams_->request_flush(host_);
  else if (host_->request_process)
    host_->request_process(host_);
}

const void* IPlugCLAP::extension(const char* id) {
  if (!id) return nullptr;
  if (!std::strcmp(id, kClapExtAudioPorts)) return &kAudioPorts;
  if (!std::strcmp(id, kClapExtNotePorts)) return &kNotePorts;
  if (!std::strcmp(id, kClapExtParams)) return &kParams;
  if (!std::strcmp(id, kClapExtState)) return &kState;
  if (!std::strcmp(id, kClapExtLatency)) return &kLatency;
  if (editorBuilt()) {
    if (!std::strcmp(id, kClapExtGui)) return &kGui;
    if (!std::strcmp(id, kClapExtTimerSupport)) return &kTimerSupport;
    if (!std::strcmp(id, kClapExtPosixFdSupport)) return &kPosixFdSupport;
  }
  return nullptr;
}

void IPlugCLAP::InformHostOfParamChange(int paramIdx, double) {
  const IParam* changed = plug_->GetParam(paramIdx);
  if (!changed) return;
  const clap_id id = static_cast<clap_id>(paramIdx);
  if (outEvents_) {
    // Inside process: a parameter the plug-in moved itself (a learned controller),
    // which the host shows but does not record.
    clapevents::pushParamValue(outEvents_, outTime_, id, changed->Value(), kClapEventDontRecord);
    return;
  }
  IMutexLock lock(plug_->Mutex());
  editorEvents_.add(HostEditQueue::Kind::kValue, paramIdx, changed->Value());
  flushWanted_ = true;
}

void IPlugCLAP::BeginInformHostOfParamChange(int paramIdx) {
  if (!plug_->GetParam(paramIdx)) return;
  IMutexLock lock(plug_->Mutex());
  editorEvents_.add(HostEditQueue::Kind::kBegin, paramIdx);
  flushWanted_ = true;
}

void IPlugCLAP::EndInformHostOfParamChange(int paramIdx) {
  if (!plug_->GetParam(paramIdx)) return;
  IMutexLock lock(plug_->Mutex());
  editorEvents_.add(HostEditQueue::Kind::kEnd, paramIdx);
  flushWanted_ = true;
}

void IPlugCLAP::InformHostOfProgramChange() {
  rescanWanted_ = true;
  if (host_->request_callback) host_->request_callback(host_);
}

void IPlugCLAP::SendMidiMsg(const IMidiMsg& msg) {
  if (!outEvents_) return;
  const uint32_t wanted = msg.mOffset > 0 ? static_cast<uint32_t>(msg.mOffset) : 0;
  // In time order, inside the block.
  outTime_ = std::max(outTime_, std::min(wanted, outFrames_ > 0 ? outFrames_ - 1 : 0));
  clapevents::pushMidi(outEvents_, outTime_, msg.mStatus, msg.mData1, msg.mData2);
}

void IPlugCLAP::SetLatency(int) {
  if (active_ && host_->request_restart) host_->request_restart(host_);
}
