// ZORQ.so loaded through the hosting library's VST 2 host, with what it tells the host
// kept (HostRecorder), and one block of a tone through it.
#pragma once

#include <cmath>
#include <string>
#include <vector>

#include "hosting/Vst2PluginHost.h"
#include "support/HostRecorder.h"

struct HostedZorq {
  explicit HostedZorq(const std::string& vendor = "Test Host Maker")
      : host(ZORQ_PLUGIN_PATH, {"Test Host", vendor, 10203, &recorder}) {}
  HostRecorder recorder;  // made first, gone last
  Vst2PluginHost host;
};

// n frames in one call (float or double); the mic inputs carry a 440 Hz tone of the
// given amplitude, the external inputs a constant. The outputs start as 9, so that
// samples left unwritten show.
template <typename Sample = float>
std::vector<std::vector<Sample>> toneBlock(Vst2PluginHost& host, int n, Sample mic = 0,
                                           Sample ext = 0) {
  std::vector<std::vector<Sample>> in(4, std::vector<Sample>(size_t(n), ext));
  for (int i = 0; i < n; ++i)
    in[0][size_t(i)] = in[1][size_t(i)] =
        mic * static_cast<Sample>(std::sin(2.0 * M_PI * 440.0 * i / 44100.0));
  std::vector<std::vector<Sample>> out(2, std::vector<Sample>(size_t(n), Sample(9)));
  Sample* ins[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
  Sample* outs[2] = {out[0].data(), out[1].data()};
  if constexpr (sizeof(Sample) == sizeof(float))
    host.process(ins, outs, n);
  else
    host.processDouble(ins, outs, n);
  return out;
}
