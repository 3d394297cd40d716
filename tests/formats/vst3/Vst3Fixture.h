#pragma once

// The VST 3 object around an instrument made in the test process, driven the way hosts
// drive it: initialised with a host application and a component handler, set up,
// activated and processing, with blocks of a stereo voice, a stereo carrier (or none:
// the side chain off), events and parameter changes. Outputs are appended to `left` and
// `right`; what the plug-in reports lands in `out` (cleared before each block).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "Vst3HostObjects.h"
#include "engine/ZORQ.h"
#include "formats/vst3/IPlugVST3.h"

struct HostedVst3 {
  HostedVst3() {
    auto plug = std::make_unique<ZORQ>();
    plug->EnsureDefaultPreset();
    zorq = plug.get();
    object = new IPlugVST3(std::move(plug));
    object->initialize(&application);
    object->setComponentHandler(&handler);
  }
  ~HostedVst3() {
    object->setProcessing(false);
    object->setActive(false);
    object->terminate();
    object->release();
  }

  void start(double rate = 44100.0, int maxBlock = 512, vst3::int32 sampleSize = vst3::kSample32) {
    vst3::ProcessSetup setup{0, sampleSize, maxBlock, rate};
    ASSERT_EQ(object->setupProcessing(setup), vst3::kResultOk);
    ASSERT_EQ(object->setActive(true), vst3::kResultOk);
    ASSERT_EQ(object->setProcessing(true), vst3::kResultOk);
    wide = sampleSize == vst3::kSample64;
  }

  void carrierOn(bool on) { object->activateBus(vst3::kAudio, vst3::kInput, 1, on); }

  // One block; null voice or carrier is silence (the carrier bus then gets no buffers).
  vst3::tresult process(int frames, const float* voice = nullptr, const float* carrier = nullptr,
                        Vst3EventList* events = nullptr, Vst3ParameterChanges* changes = nullptr) {
    std::vector<float> in[4], outputs[2];
    for (int c = 0; c < 4; ++c) {
      const float* source = c < 2 ? voice : carrier;
      in[c].assign(size_t(frames), 0.0f);
      if (source) std::copy(source, source + frames, in[c].begin());
    }
    for (auto& o : outputs) o.assign(size_t(frames), 0.0f);
    std::vector<double> in64[4], out64[2];
    float* in32[4];
    double* inWide[4];
    float* out32[2];
    double* outWide[2];
    for (int c = 0; c < 4; ++c) {
      in64[c].assign(in[c].begin(), in[c].end());
      in32[c] = in[c].data();
      inWide[c] = in64[c].data();
    }
    for (int c = 0; c < 2; ++c) {
      out64[c].assign(size_t(frames), 0.0);
      out32[c] = outputs[c].data();
      outWide[c] = out64[c].data();
    }
    vst3::AudioBusBuffers inputs[2]{}, output{};
    for (int bus = 0; bus < 2; ++bus) {
      inputs[bus].numChannels = bus == 1 && !carrier ? 0 : 2;
      if (wide)
        inputs[bus].channelBuffers64 = inWide + 2 * bus;
      else
        inputs[bus].channelBuffers32 = in32 + 2 * bus;
    }
    output.numChannels = 2;
    if (wide)
      output.channelBuffers64 = outWide;
    else
      output.channelBuffers32 = out32;
    vst3::ProcessData data{};
    data.symbolicSampleSize = wide ? vst3::kSample64 : vst3::kSample32;
    data.numSamples = frames;
    data.numInputs = 2;
    data.numOutputs = 1;
    data.inputs = inputs;
    data.outputs = &output;
    data.inputParameterChanges = changes;
    data.outputParameterChanges = &out;
    data.inputEvents = events;
    out.clear();
    const vst3::tresult result = object->process(data);
    for (int c = 0; c < 2 && wide; ++c)
      for (int i = 0; i < frames; ++i) outputs[c][size_t(i)] = float(out64[c][size_t(i)]);
    left.insert(left.end(), outputs[0].begin(), outputs[0].end());
    right.insert(right.end(), outputs[1].begin(), outputs[1].end());
    return result;
  }

  // A block of no samples and no buses: parameter changes only.
  vst3::tresult flush(Vst3ParameterChanges* changes) {
    vst3::ProcessData data{};
    data.inputParameterChanges = changes;
    data.outputParameterChanges = &out;
    out.clear();
    return object->process(data);
  }

  std::vector<uint8_t> state(size_t piece = SIZE_MAX) {
    Vst3MemoryStream stream({}, piece);
    EXPECT_EQ(object->vst3detail::ComponentSide::getState(&stream), vst3::kResultOk);
    return stream.bytes;
  }
  vst3::tresult setState(const std::vector<uint8_t>& bytes, size_t piece = SIZE_MAX) {
    Vst3MemoryStream stream(bytes, piece);
    return object->vst3detail::ComponentSide::setState(&stream);
  }

  Vst3HostApplication application;
  Vst3ComponentHandler handler;
  Vst3ParameterChanges out;
  ZORQ* zorq = nullptr;
  IPlugVST3* object = nullptr;
  bool wide = false;
  std::vector<float> left, right;
};

// Deterministic noise in -amplitude..amplitude.
inline std::vector<float> noise(size_t frames, uint32_t seed, float amplitude = 0.5f) {
  std::vector<float> samples(frames);
  for (float& s : samples) {
    seed = seed * 1664525u + 1013904223u;
    s = amplitude * (float(seed >> 8) / float(1 << 24) * 2.0f - 1.0f);
  }
  return samples;
}

inline double rms(const std::vector<float>& samples, size_t from = 0, size_t to = SIZE_MAX) {
  double sum = 0.0;
  to = std::min(to, samples.size());
  for (size_t i = from; i < to; ++i) sum += double(samples[i]) * samples[i];
  return to > from ? std::sqrt(sum / double(to - from)) : 0.0;
}
