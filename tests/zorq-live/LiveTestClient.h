// A JACK client for the zorq-live tests, playing the performer and the listener: it
// feeds a voice into zorq-live's voice inputs, plays a chord into its MIDI input at a
// given frame, and records both of its outputs, counting frames from when it is armed.
// The buffers are made before it is armed; its process callback only copies.
#pragma once

#include <jack/jack.h>
#include <jack/midiport.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "support/Commands.h"
#include "support/TestSignals.h"

class LiveTestClient {
 public:
  static constexpr int kChordRepeat = 4800;

  // Plays voice (silence after voiceEnd), the chord at chordFrame, and records
  // recordFrames of zorq-live's outputs.
  LiveTestClient(std::vector<float> voice, int voiceEnd, int chordFrame, int recordFrames)
      : voice_(std::move(voice)),
        voiceEnd_(voiceEnd),
        chordFrame_(chordFrame),
        left_(size_t(recordFrames)),
        right_(size_t(recordFrames)) {
    client_ = jack_client_open("performer", JackNoStartServer, nullptr);
    if (!client_) return;
    voiceOut_ = jack_port_register(client_, "voice", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    midiOut_ = jack_port_register(client_, "keys", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    leftIn_ = jack_port_register(client_, "left", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    rightIn_ = jack_port_register(client_, "right", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(client_, process, this);
    active_ = voiceOut_ && midiOut_ && leftIn_ && rightIn_ && jack_activate(client_) == 0;
  }
  ~LiveTestClient() {
    if (client_) jack_client_close(client_);
  }
  LiveTestClient(const LiveTestClient&) = delete;
  LiveTestClient& operator=(const LiveTestClient&) = delete;

  bool Ready() const { return active_; }
  // Voice to both voice inputs, chord to the MIDI input, both outputs recorded. The
  // connections that failed, or "" when all were made.
  std::string ConnectTo(const std::string& live) {
    const std::string me = jack_get_client_name(client_);
    const std::pair<std::string, std::string> links[] = {{me + ":voice", live + ":mic_left"},
                                                         {me + ":voice", live + ":mic_right"},
                                                         {me + ":keys", live + ":midi_in"},
                                                         {live + ":zorq_left", me + ":left"},
                                                         {live + ":zorq_right", me + ":right"}};
    std::string failed;
    // A client that has just been activated may not be connectable for a few cycles
    // (longer under the sanitizers): each connection is retried for a while.
    for (const auto& link : links) {
      // References rather than a structured binding, which a lambda cannot capture.
      const std::string &from = link.first, &to = link.second;
      int code = 0;
      if (!eventually([&] { return (code = jack_connect(client_, from.c_str(), to.c_str())) == 0; },
                      std::chrono::milliseconds(3000)))
        failed += from + " -> " + to + " (" + std::to_string(code) + ") ";
    }
    return failed;
  }
  void Arm() { armed_ = true; }
  int Frame() const { return frame_.load(); }
  bool Done() const { return frame_.load() >= int(left_.size()); }
  const std::vector<float>& Left() const { return left_; }
  const std::vector<float>& Right() const { return right_; }

 private:
  static int process(jack_nframes_t n, void* self) {
    static_cast<LiveTestClient*>(self)->run(int(n));
    return 0;
  }
  void run(int n) {
    auto* voice = static_cast<float*>(jack_port_get_buffer(voiceOut_, jack_nframes_t(n)));
    void* keys = jack_port_get_buffer(midiOut_, jack_nframes_t(n));
    jack_midi_clear_buffer(keys);
    std::fill(voice, voice + n, 0.0f);
    if (!armed_) return;
    const int start = frame_.load();
    for (int i = 0; i < n; ++i) {
      const int f = start + i;
      if (f < voiceEnd_ && f < int(voice_.size())) voice[i] = voice_[size_t(f)];
    }
    // The chord is struck again every kChordRepeat frames while the voice sings: a
    // period that an overloaded machine drops (an xrun) must not lose the whole chord.
    for (int at = chordFrame_; at < voiceEnd_; at += kChordRepeat)
      if (at >= start && at < start + n)
        for (jack_midi_data_t note : {48, 55, 60, 64}) {
          const jack_midi_data_t on[3] = {0x90, note, 100};
          jack_midi_event_write(keys, jack_nframes_t(at - start), on, 3);
        }
    const auto* left = static_cast<const float*>(jack_port_get_buffer(leftIn_, jack_nframes_t(n)));
    const auto* right =
        static_cast<const float*>(jack_port_get_buffer(rightIn_, jack_nframes_t(n)));
    for (int i = 0; i < n && start + i < int(left_.size()); ++i) {
      left_[size_t(start) + size_t(i)] = left[i];
      right_[size_t(start) + size_t(i)] = right[i];
    }
    frame_.store(start + n);
  }

  std::vector<float> voice_;
  int voiceEnd_, chordFrame_;
  std::vector<float> left_, right_;
  jack_client_t* client_ = nullptr;
  bool active_ = false;
  jack_port_t *voiceOut_ = nullptr, *midiOut_ = nullptr, *leftIn_ = nullptr, *rightIn_ = nullptr;
  std::atomic<bool> armed_{false};
  std::atomic<int> frame_{0};
};

inline double peak(const std::vector<float>& x, int from, int to) {
  double p = 0.0;
  for (int i = from; i < to; ++i) p = std::max(p, double(std::fabs(x[size_t(i)])));
  return p;
}
