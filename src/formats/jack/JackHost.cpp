#include "formats/jack/JackHost.h"

#include <jack/jack.h>
#include <jack/metadata.h>
#include <jack/midiport.h>
#include <jack/uuid.h>

#include <algorithm>
#include <cstdint>
#include <cerrno>
#include <cstdio>
#include <chrono>
#include <cstring>
#include <thread>

#include "formats/jack/JackPortNames.h"
#include "framework/IPlugBase.h"

namespace {
constexpr const char* kIntegerType = "http://www.w3.org/2001/XMLSchema#integer";
// How long Autoconnect waits for the server to carry out the requests it accepted.
constexpr auto kConnectionWait = std::chrono::milliseconds(500);
// Time given to notifications in flight after deactivation, before the client closes.
constexpr auto kNotificationSettle = std::chrono::milliseconds(50);

// libjack prints its own lines when no server answers; Open says it once, plainly.
void quietJackError(const char*) {}

std::string openFailure(jack_status_t status, const std::string& name) {
  if (status & JackServerFailed)
    return "no JACK server is running (start one, for example with qjackctl or `jackd -d alsa`, "
           "or run under PipeWire with pw-jack); none is started from here";
  if (status & JackInvalidOption) return "the JACK server refused the client options";
  if (status & JackNameNotUnique) return "the JACK client name '" + name + "' is taken";
  if (status & JackVersionError) return "the JACK server speaks another protocol version";
  if (status & JackShmFailure) return "JACK's shared memory could not be reached";
  return "the JACK server refused the client '" + name + "'";
}

std::vector<std::string> portList(jack_client_t* client, const char* type, unsigned long flags) {
  std::vector<std::string> names;
  if (const char** ports = jack_get_ports(client, nullptr, type, flags)) {
    for (const char** p = ports; *p; ++p) names.emplace_back(*p);
    jack_free(ports);
  }
  return names;
}
}  // namespace

struct JackCallbacks {
  // A callback may go on (counted as inside), or the host is stopping.
  static bool enter(JackHost* host);
  static void leave(JackHost* host);
  static int process(jack_nframes_t nFrames, void* self);
  static int bufferSize(jack_nframes_t nFrames, void* self);
  static int sampleRate(jack_nframes_t rate, void* self);
  static int xrun(void* self);
  static void shutdown(jack_status_t code, const char* reason, void* self);
};

JackHost::JackHost(IPlugBase* plug) : plug_(plug) { plug_->SetHost(this); }

JackHost::~JackHost() {
  Close();
  if (plug_->GetHost() == this) plug_->SetHost(nullptr);
}

bool JackHost::Open(const std::string& name, std::string* error) {
  Close();
  jack_status_t status{};
  jack_set_error_function(quietJackError);
  client_ = jack_client_open(name.c_str(), JackNoStartServer, &status);
  jack_set_error_function(nullptr);  // libjack's own printer again
  if (!client_) {
    *error = openFailure(status, name);
    return false;
  }
  clientName_ = jack_get_client_name(client_);
  serverGone_ = false;
  xruns_ = 0;
  if (plug_->NInChannels() > kMaxChannels || plug_->NOutChannels() > kMaxChannels) {
    *error = "the plug-in has more channels than the JACK host handles";
    Close();
    return false;
  }
  if (!registerPorts(error)) {
    Close();
    return false;
  }
  jack_set_process_callback(client_, JackCallbacks::process, this);
  jack_set_buffer_size_callback(client_, JackCallbacks::bufferSize, this);
  jack_set_sample_rate_callback(client_, JackCallbacks::sampleRate, this);
  jack_set_xrun_callback(client_, JackCallbacks::xrun, this);
  jack_on_info_shutdown(client_, JackCallbacks::shutdown, this);
  setUp(int(jack_get_buffer_size(client_)), double(jack_get_sample_rate(client_)));
  {
    IMutexLock lock(plug_->Mutex());
    plug_->OnActivate(true);
  }
  if (jack_activate(client_) != 0) {
    *error = "the JACK server did not activate the client";
    Close();
    return false;
  }
  return true;
}

bool JackHost::registerPorts(std::string* error) {
  int order = 0;
  auto add = [&](const JackPortName& port, const char* type, unsigned long flags) -> jack_port_t* {
    jack_port_t* p = jack_port_register(client_, port.name.c_str(), type, flags, 0);
    if (!p) {
      *error = "the JACK port '" + port.name + "' could not be registered";
      return nullptr;
    }
    describePort(p, port.prettyName, order++);
    return p;
  };
  for (int i = 0; i < plug_->NInChannels(); ++i) {
    jack_port_t* p = add(jackAudioPortName(plug_->GetInputLabel(i), i, true),
                         JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput);
    if (!p) return false;
    inputs_.push_back(p);
  }
  midiInput_ = add(jackMidiInputName(), JACK_DEFAULT_MIDI_TYPE, JackPortIsInput);
  if (!midiInput_) return false;
  for (int i = 0; i < plug_->NOutChannels(); ++i) {
    jack_port_t* p = add(jackAudioPortName(plug_->GetOutputLabel(i), i, false),
                         JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
    if (!p) return false;
    outputs_.push_back(p);
  }
  return true;
}

// Metadata is a courtesy for patchbays: a server without it (or one that refuses)
// leaves the plain port names, which are enough.
void JackHost::describePort(jack_port_t* port, const std::string& prettyName, int order) {
  const jack_uuid_t uuid = jack_port_uuid(port);
  if (jack_uuid_empty(uuid)) return;
  jack_set_property(client_, uuid, JACK_METADATA_PRETTY_NAME, prettyName.c_str(), "text/plain");
  jack_set_property(client_, uuid, JACK_METADATA_ORDER, std::to_string(order).c_str(),
                    kIntegerType);
}

void JackHost::Close() {
  if (!client_) return;
  stopping_ = true;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (busy_.load() > 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  if (!serverGone_) {
    jack_deactivate(client_);
    for (std::vector<jack_port_t*>* ports : {&inputs_, &outputs_})
      for (jack_port_t* port : *ports) jack_remove_properties(client_, jack_port_uuid(port));
    if (midiInput_) jack_remove_properties(client_, jack_port_uuid(midiInput_));
    // Notifications still under way (xruns on a busy server) land before libjack
    // cancels its notification thread, rather than in the middle of its handling.
    std::this_thread::sleep_for(kNotificationSettle);
  }
  jack_client_close(client_);
  client_ = nullptr;
  inputs_.clear();
  outputs_.clear();
  midiInput_ = nullptr;
  stopping_ = false;
  IMutexLock lock(plug_->Mutex());
  plug_->OnActivate(false);
}

std::vector<std::string> JackHost::InputPorts() const {
  std::vector<std::string> names;
  for (jack_port_t* port : inputs_) names.emplace_back(jack_port_name(port));
  return names;
}

std::vector<std::string> JackHost::OutputPorts() const {
  std::vector<std::string> names;
  for (jack_port_t* port : outputs_) names.emplace_back(jack_port_name(port));
  return names;
}

std::string JackHost::MidiInputPort() const { return midiInput_ ? jack_port_name(midiInput_) : ""; }

std::string JackHost::ShutdownReason() const { return serverGone_ ? shutdownReason_ : ""; }

// Period() and SampleRate() change only once the plug-in is set up for them.
void JackHost::setUp(int period, double rate) {
  IMutexLock lock(plug_->Mutex());
  if (period != plug_->GetBlockSize() || rate != plug_->GetSampleRate() || period_ == 0) {
    plug_->SetSampleRate(rate);
    plug_->SetBlockSize(period);
    plug_->Reset();
    // A fade-in: whatever the cleared units produce first cannot click.
    ramp_.SetSampleRate(rate);
    ramp_.JumpTo(0.0);
    ramp_.SetTarget(1.0);
  }
  sampleRate_ = rate;
  period_ = period;
}

// JACK's threads may be cancelled asynchronously when the client closes, at any
// instruction: a cancel inside our code could leave the plug-in mutex held or unwind
// through a destructor (std::terminate). Each callback counts itself in busy_ and does
// nothing once the host is stopping; Close waits until none is inside before it lets
// JACK stop its threads. The paths taken while stopping run no destructors.
bool JackCallbacks::enter(JackHost* host) {
  host->busy_.fetch_add(1);
  if (!host->stopping_.load()) return true;
  host->busy_.fetch_sub(1);
  return false;
}

void JackCallbacks::leave(JackHost* host) { host->busy_.fetch_sub(1); }

int JackCallbacks::bufferSize(jack_nframes_t nFrames, void* self) {
  auto* host = static_cast<JackHost*>(self);
  if (!enter(host)) return 0;
  int result = 0;
  try {
    if (nFrames > 0) host->setUp(int(nFrames), host->sampleRate_.load());
  } catch (...) {
    result = 1;
  }
  leave(host);
  return result;
}

int JackCallbacks::sampleRate(jack_nframes_t rate, void* self) {
  auto* host = static_cast<JackHost*>(self);
  if (!enter(host)) return 0;
  int result = 0;
  try {
    if (rate > 0) host->setUp(host->period_.load() > 0 ? host->period_.load() : 1024, double(rate));
  } catch (...) {
    result = 1;
  }
  leave(host);
  return result;
}

int JackCallbacks::xrun(void* self) {
  static_cast<JackHost*>(self)->xruns_.fetch_add(1);
  return 0;
}

void JackCallbacks::shutdown(jack_status_t, const char* reason, void* self) {
  auto* host = static_cast<JackHost*>(self);
  std::snprintf(host->shutdownReason_, sizeof host->shutdownReason_, "%s",
                reason && reason[0] ? reason : "the JACK server shut the client down");
  host->serverGone_ = true;
}

int JackCallbacks::process(jack_nframes_t nFrames, void* self) {
  auto* host = static_cast<JackHost*>(self);
  bool done = false;
  if (enter(host)) {
    try {
      host->process(nFrames);
      done = true;
    } catch (...) {
      // Nothing may leave a JACK callback; the period stays silent instead.
    }
    leave(host);
  }
  if (!done)
    for (jack_port_t* port : host->outputs_)
      std::fill_n(static_cast<float*>(jack_port_get_buffer(port, nFrames)), nFrames, 0.0f);
  return 0;
}

void JackHost::process(uint32_t nFrames) {
  float* in[kMaxChannels];
  float* out[kMaxChannels];
  const int nIn = int(inputs_.size()), nOut = int(outputs_.size());
  for (int c = 0; c < nIn; ++c)
    in[c] = static_cast<float*>(jack_port_get_buffer(inputs_[c], nFrames));
  for (int c = 0; c < nOut; ++c)
    out[c] = static_cast<float*>(jack_port_get_buffer(outputs_[c], nFrames));
  IPlugBase& plug = *plug_;
  IMutexLock lock(plug.Mutex());
  deliverMidi(nFrames);
  plug.ProcessBlock(in, nIn, out, nOut, int(nFrames));
  ramp_.Scale(out, nOut, int(nFrames));
}

// Each event at its frame in the period; events with no bytes are skipped.
void JackHost::deliverMidi(uint32_t nFrames) {
  void* buffer = jack_port_get_buffer(midiInput_, nFrames);
  const uint32_t count = jack_midi_get_event_count(buffer);
  for (uint32_t i = 0; i < count; ++i) {
    jack_midi_event_t event;
    if (jack_midi_event_get(&event, buffer, i) != 0 || event.size == 0) continue;
    plug_->ProcessMidiBytes(int(std::min(event.time, nFrames - 1)), event.buffer,
                            int(std::min<size_t>(event.size, INT32_MAX)));
  }
}

bool JackHost::connected(const std::string& from, const std::string& to) const {
  jack_port_t* source = jack_port_by_name(client_, from.c_str());
  return source && jack_port_connected_to(source, to.c_str());
}

JackHost::Connections JackHost::Autoconnect() {
  Connections result;
  if (!client_) return result;
  std::vector<std::pair<std::string, std::string>> requested;
  auto request = [&](const std::string& from, const std::string& to) {
    if (connected(from, to)) {
      result.made.push_back(from + " -> " + to);
      return;
    }
    const int code = jack_connect(client_, from.c_str(), to.c_str());
    if (code == 0 || code == EEXIST)
      requested.emplace_back(from, to);
    else
      result.failed.push_back(from + " -> " + to + ": the server refused (code " +
                              std::to_string(code) + ")");
  };

  const std::vector<std::string> capture =
      portList(client_, JACK_DEFAULT_AUDIO_TYPE, JackPortIsPhysical | JackPortIsOutput);
  const std::vector<std::string> playback =
      portList(client_, JACK_DEFAULT_AUDIO_TYPE, JackPortIsPhysical | JackPortIsInput);
  const std::vector<std::string> keyboards =
      portList(client_, JACK_DEFAULT_MIDI_TYPE, JackPortIsPhysical | JackPortIsOutput);
  const std::vector<std::string> ins = InputPorts(), outs = OutputPorts();
  for (size_t i = 0; i < std::min<size_t>(2, ins.size()); ++i) {
    if (capture.empty()) {
      result.failed.push_back(ins[i] + ": no physical capture port to connect");
      continue;
    }
    request(capture[std::min(i, capture.size() - 1)], ins[i]);
  }
  for (size_t i = 0; i < outs.size(); ++i) {
    if (i < playback.size())
      request(outs[i], playback[i]);
    else
      result.failed.push_back(outs[i] + ": no physical playback port " + std::to_string(i + 1) +
                              " to connect");
  }
  if (keyboards.empty())
    result.failed.push_back(MidiInputPort() + ": no hardware MIDI output to connect");
  for (const std::string& keyboard : keyboards) request(keyboard, MidiInputPort());

  // A server may accept a request and drop it (a session's self-connect policy): only
  // connections that show up count.
  const auto deadline = std::chrono::steady_clock::now() + kConnectionWait;
  for (const auto& [from, to] : requested) {
    while (!connected(from, to) && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (connected(from, to))
      result.made.push_back(from + " -> " + to);
    else
      result.failed.push_back(
          from + " -> " + to +
          ": the server accepted the request but did not connect (a session policy may "
          "forbid a client's own connections)");
  }
  return result;
}
