// Renders a signal through a hosted plug-in the way an offline host does: in blocks of
// the given sizes (cycled), each block's MIDI sent before it, the main thread's turn
// after it. Shared by the suites that host the built plug-ins.
#pragma once

#include <algorithm>
#include <vector>

#include "hosting/PluginHost.h"
#include "support/AllocationCounter.h"

// `inputs` holds one whole signal per input channel (null: left unconnected), `midi`
// events at frames from the start. Returns each output channel's samples; the heap
// allocations made while the plug-in takes the events and processes are added to
// `allocations` when given.
inline std::vector<std::vector<float>> renderBlocks(PluginHost& host,
                                                    const std::vector<const float*>& inputs,
                                                    int frames, const std::vector<int>& blocks,
                                                    const std::vector<HostMidiEvent>& midi = {},
                                                    size_t* allocations = nullptr) {
  std::vector<std::vector<float>> outputs(size_t(host.numOutputs()),
                                          std::vector<float>(size_t(frames)));
  std::vector<float*> in(inputs.size()), out(outputs.size());
  std::vector<HostMidiEvent> events;
  size_t next = 0;
  for (int done = 0; done < frames;) {
    const int n = std::min(blocks[next++ % blocks.size()], frames - done);
    events.clear();
    for (const HostMidiEvent& e : midi)
      if (e.frame >= done && e.frame < done + n)
        events.push_back({e.frame - done, e.status, e.data1, e.data2});
    for (size_t c = 0; c < in.size(); ++c)
      in[c] = inputs[c] ? const_cast<float*>(inputs[c]) + done : nullptr;
    for (size_t c = 0; c < out.size(); ++c) out[c] = outputs[c].data() + done;
    const size_t before = allocationCount();
    host.sendEvents(events);
    host.process(in.data(), out.data(), n);
    if (allocations) *allocations += allocationCount() - before;
    host.idle();
    done += n;
  }
  return outputs;
}
