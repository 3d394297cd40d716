#pragma once

// The VST 3 object around an instrument made in the test process, driven by the hosting
// library's VST 3 host: initialised with a host application and a component handler,
// set up, activated and processing, with blocks of a stereo voice, a stereo carrier (or
// none), events and parameter changes. Outputs are appended to `left` and `right`;
// what the plug-in reported in the last block is out().
#include <gtest/gtest.h>

#include <cmath>
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

  // One block; null voice or carrier is silence (the carrier then has no buffers).
  void process(int frames, const float* voice = nullptr, const float* carrier = nullptr,
               Vst3EventList* events = nullptr, Vst3ParameterChanges* changes = nullptr) {
    std::vector<float> in[4], out[2];
    std::vector<double> in64[4], out64[2];
    float* in32[4];
    double* inWide[4];
    for (int c = 0; c < 4; ++c) {
      const float* source = c < 2 ? voice : carrier;
      in[c].assign(size_t(frames), 0.0f);
      if (source) std::copy(source, source + frames, in[c].begin());
      in64[c].assign(in[c].begin(), in[c].end());
      in32[c] = c >= 2 && !carrier ? nullptr : in[c].data();
      inWide[c] = c >= 2 && !carrier ? nullptr : in64[c].data();
    }
    for (int c = 0; c < 2; ++c)
      out[c].assign(size_t(frames), 0.0f), out64[c].assign(size_t(frames), 0.0);
    float* out32[2] = {out[0].data(), out[1].data()};
    double* outWide[2] = {out64[0].data(), out64[1].data()};
    if (events) host->events().events = events->events;
    copy(changes);
    if (wide) {
      host->process(inWide, outWide, frames);
      for (int c = 0; c < 2; ++c) std::copy(out64[c].begin(), out64[c].end(), out[c].begin());
    } else {
      host->process(in32, out32, frames);
    }
    left.insert(left.end(), out[0].begin(), out[0].end());
    right.insert(right.end(), out[1].begin(), out[1].end());
  }

  // A block of no samples and no buses: parameter changes only.
  void flush(Vst3ParameterChanges* changes) {
    copy(changes);
    host->flush();
  }

  void copy(Vst3ParameterChanges* changes) {
    for (vst3::int32 q = 0; changes && q < changes->getParameterCount(); ++q) {
      vst3::IParamValueQueue* queue = changes->getParameterData(q);
      for (vst3::int32 p = 0; p < queue->getPointCount(); ++p) {
        vst3::int32 offset = 0;
        double value = 0.0;
        queue->getPoint(p, offset, value);
        host->changes().add(queue->getParameterId(), offset, value);
      }
    }
  }

  const Vst3ParameterChanges& out() const { return host->reported(); }
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
