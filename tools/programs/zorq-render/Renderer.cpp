#include "zorq-render/Renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "zorq-render/AudioInput.h"
#include "zorq-render/FrameSink.h"
#include "zorq-render/Interruption.h"
#include "hosting/PluginHost.h"
#include "zorq-render/RenderError.h"

namespace {

size_t framesOf(const AudioInput* audio) { return audio ? audio->frames() : 0; }

}  // namespace

size_t Renderer::totalFrames(const RenderJob& job) {
  const double inputSeconds =
      double(std::max(framesOf(job.modulator), framesOf(job.carrier))) / job.sampleRate;
  const double seconds = std::max(inputSeconds, job.midi.endSeconds()) + job.tailSeconds;
  if (!(seconds <= kMaxRenderSeconds))
    throw RenderError("the render would last " + std::to_string(int64_t(std::min(seconds, 1e15))) +
                      " s, more than the limit of " + std::to_string(int64_t(kMaxRenderSeconds)) +
                      " s");
  const size_t midiFrames = size_t(std::ceil(job.midi.endSeconds() * job.sampleRate));
  const size_t content = std::max({framesOf(job.modulator), framesOf(job.carrier), midiFrames});
  const size_t frames = content + size_t(std::llround(job.tailSeconds * job.sampleRate));
  if (job.lengthLimitSeconds <= 0.0) return frames;
  return std::min(frames,
                  size_t(std::llround(std::min(job.lengthLimitSeconds, seconds) * job.sampleRate)));
}

void Renderer::render(PluginHost& host, const RenderJob& job, FrameSink& sink,
                      const Progress& progress) {
  const size_t total = totalFrames(job);
  const size_t block = size_t(job.blockSize);
  const int inputs = host.numInputs();
  const int outputs = host.numOutputs();

  std::vector<std::vector<float>> inputBuffers(inputs, std::vector<float>(block));
  std::vector<std::vector<float>> outputBuffers(outputs, std::vector<float>(block));
  std::vector<float*> inputPointers(inputs), outputPointers(outputs);
  for (int c = 0; c < inputs; ++c) inputPointers[c] = inputBuffers[c].data();
  for (int c = 0; c < outputs; ++c) outputPointers[c] = outputBuffers[c].data();
  std::vector<float> interleaved(block * outputs);
  std::vector<float> unused(block);  // an input pair beyond the plug-in's inputs
  std::vector<HostMidiEvent> blockEvents;

  size_t nextEvent = 0;
  const std::vector<TimedMidiEvent>& events = job.midi.events;
  for (size_t start = 0; start < total; start += block) {
    Interruption::check();
    const size_t count = std::min(block, total - start);

    blockEvents.clear();
    for (; nextEvent < events.size(); ++nextEvent) {
      const TimedMidiEvent& e = events[nextEvent];
      const size_t frame = size_t(std::llround(std::max(0.0, e.seconds) * job.sampleRate));
      if (frame >= start + count) break;
      blockEvents.push_back({int(frame > start ? frame - start : 0), e.status, e.data1, e.data2});
    }

    const double seconds = double(start) / job.sampleRate;
    host.setTransport(double(start), job.midi.tempo.beatsPerMinuteAtSeconds(seconds),
                      job.midi.tempo.beatsAtSeconds(seconds));
    host.sendEvents(blockEvents);
    for (int c = 0; c < inputs; ++c) std::fill(inputPointers[c], inputPointers[c] + count, 0.0f);
    AudioInput* const pairs[2] = {job.modulator, job.carrier};
    for (int pair = 0; pair < 2; ++pair) {
      if (!pairs[pair]) continue;
      const int left = 2 * pair, right = 2 * pair + 1;
      pairs[pair]->read(left < inputs ? inputPointers[left] : unused.data(),
                        right < inputs ? inputPointers[right] : unused.data(), count);
    }
    host.process(inputPointers.data(), outputPointers.data(), int(count));
    host.idle();  // offline, the main thread's turn comes after each block

    for (size_t frame = 0; frame < count; ++frame)
      for (int c = 0; c < outputs; ++c) interleaved[frame * outputs + c] = outputPointers[c][frame];
    sink.write(interleaved.data(), count);
    if (progress) progress(double(start + count) / job.sampleRate);
  }
}
