#pragma once

// The VST 3 object around an instrument made in the test process, driven by the hosting
// library's VST 3 host: initialised with a host application and a component handler,
// set up, activated and processing, with blocks of a stereo voice, a stereo carrier (or
// none), events and parameter changes. Outputs are appended to `left` and `right`.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "hosting/Vst3PluginHost.h"
#include "engine/ZORQ.h"
#include "formats/vst3/IPlugVST3.h"
#include "support/TestSignals.h"

struct HostedVst3 {
  HostedVst3() {
    auto plug = std::make_unique<ZORQ>();
    plug->EnsureDefaultPreset();
    zorq = plug.get();
    object = new IPlugVST3(std::move(plug));
    host = std::make_unique<Vst3PluginHost>(static_cast<vst3::IComponent*>(object));
    carrierOn(false);  // as hosts leave the side chain until it is routed
  }

  void start(double rate = 44100.0, int maxBlock = 512, bool doubles = false) {
    host->start(rate, maxBlock, doubles);
    wide = doubles;
  }
  void carrierOn(bool on) { object->activateBus(vst3::kAudio, vst3::kInput, 1, on); }

  // One block of the events and changes queued in host->events() and host->changes(); a
  // null voice is silence, a null carrier has no buffers.
  void process(int frames, const float* voice = nullptr, const float* carrier = nullptr) {
    const std::vector<float> silence(static_cast<size_t>(frames));
    if (!voice) voice = silence.data();
    const float* in[4] = {voice, voice, carrier, carrier};
    wide ? run<double>(in, frames) : run<float>(in, frames);
  }
  // The block in samples of the width the host was started for; the outputs are added
  // to left and right.
  template <typename Sample>
  void run(const float* const (&in)[4], int frames) {
    std::vector<Sample> inCopies[4], out[2];
    Sample *inputs[4] = {}, *outputs[2] = {};
    for (int c = 0; c < 4; ++c)
      if (in[c]) inputs[c] = (inCopies[c] = std::vector<Sample>(in[c], in[c] + frames)).data();
    for (int c = 0; c < 2; ++c) outputs[c] = (out[c] = std::vector<Sample>(size_t(frames))).data();
    host->process(inputs, outputs, frames);
    left.insert(left.end(), out[0].begin(), out[0].end());
    right.insert(right.end(), out[1].begin(), out[1].end());
  }

  Vst3ComponentHandler& handler() { return host->handler(); }
  std::vector<uint8_t> state(size_t piece = SIZE_MAX) { return host->saveState(piece); }
  vst3::tresult setState(const std::vector<uint8_t>& bytes, size_t piece = SIZE_MAX) {
    Vst3MemoryStream stream(bytes, piece);
    return object->vst3detail::ComponentSide::setState(&stream);
  }

  ZORQ* zorq = nullptr;
  IPlugVST3* object = nullptr;  // held by the host
  std::unique_ptr<Vst3PluginHost> host;
  bool wide = false;
  std::vector<float> left, right;
};
