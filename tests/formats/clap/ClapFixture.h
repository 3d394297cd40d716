// The built ZORQ.clap for the CLAP suites, through the hosting library.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "hosting/ClapPluginHost.h"
#include "support/HostRecorder.h"
#include "support/TestSignals.h"

// The file, loaded and initialised once for the test program (as a host keeps it while
// it runs), so instances share what the library caches.
inline std::shared_ptr<ClapLibrary> sharedClap() {
  static const auto library = std::make_shared<ClapLibrary>(ZORQ_CLAP_PATH);
  return library;
}

// One instance of it in a host that offers (or not, or later) what an editor needs; what
// it tells the host is recorded, and play() keeps the blocks it renders.
struct LoadedClap {
  explicit LoadedClap(HostSetup::EditorSupport support = HostSetup::EditorSupport::kFromTheStart)
      : host(sharedClap(), "", {"zorq-test-host", "ZORQ", 1, &recorder, support}) {}

  // One block with the events queued in host.events(): the voice on the main input, the
  // carrier on the side chain (null: silence); the outputs, which start at a value the
  // plug-in never writes, are added to left and right. Returns the block's status.
  int32_t play(uint32_t frames, const float* voice = nullptr, const float* carrier = nullptr) {
    std::vector<float> silence(frames), in[4], out[2];
    for (int c = 0; c < 4; ++c) {
      const float* source = (c < 2 ? voice : carrier) ? (c < 2 ? voice : carrier) : silence.data();
      in[c].assign(source, source + frames);
    }
    for (auto& channel : out) channel.assign(frames, 12345.0f);
    float* inputs[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    host.process(inputs, outputs, static_cast<int>(frames));
    left.insert(left.end(), out[0].begin(), out[0].end());
    right.insert(right.end(), out[1].begin(), out[1].end());
    return host.processStatus();
  }

  HostRecorder recorder;  // made first, gone last
  ClapPluginHost host;
  std::vector<float> left, right;
};
