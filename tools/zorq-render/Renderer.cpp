#include "zorq-render/Renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "zorq-render/AudioFileWriter.h"
#include "zorq-render/PluginHost.h"
#include "zorq-render/RenderError.h"

namespace {

// Copies frames [start, start + count) of one channel of a pair into dest; mono
// sources feed both channels, missing or ended sources give silence.
void fillInput(const std::optional<AudioBuffer>& source, size_t channel, size_t start,
               size_t count, float* dest) {
  std::fill(dest, dest + count, 0.0f);
  if (!source || source->channels.empty()) return;
  const std::vector<float>& samples =
      source->channels[std::min(channel, source->channels.size() - 1)];
  if (start >= samples.size()) return;
  const size_t available = std::min(count, samples.size() - start);
  std::memcpy(dest, samples.data() + start, available * sizeof(float));
}

size_t framesOf(const std::optional<AudioBuffer>& audio) { return audio ? audio->frames() : 0; }

}  // namespace

size_t Renderer::totalFrames(const RenderJob& job) {
  const double inputSeconds =
      double(std::max(framesOf(job.modulator), framesOf(job.carrier))) / job.sampleRate;
  const double seconds = std::max(inputSeconds, job.midi.endSeconds()) + job.tailSeconds;
  if (!(seconds <= kMaxRenderSeconds))
    throw RenderError("the render would last " + std::to_string(long(std::min(seconds, 1e15))) +
                      " s, more than the limit of " + std::to_string(long(kMaxRenderSeconds)) + " s");
  const size_t midiFrames = size_t(std::ceil(job.midi.endSeconds() * job.sampleRate));
  const size_t content = std::max({framesOf(job.modulator), framesOf(job.carrier), midiFrames});
  return content + size_t(std::llround(job.tailSeconds * job.sampleRate));
}

void Renderer::render(PluginHost& host, const RenderJob& job, AudioFileWriter& writer,
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
  std::vector<VstMidiEvent> blockEvents;

  size_t nextEvent = 0;
  const std::vector<TimedMidiEvent>& events = job.midi.events;
  for (size_t start = 0; start < total; start += block) {
    const size_t count = std::min(block, total - start);

    blockEvents.clear();
    for (; nextEvent < events.size(); ++nextEvent) {
      const TimedMidiEvent& e = events[nextEvent];
      const size_t frame = size_t(std::llround(std::max(0.0, e.seconds) * job.sampleRate));
      if (frame >= start + count) break;
      VstMidiEvent midi{};
      midi.type = kVstMidiType;
      midi.byteSize = sizeof(VstMidiEvent);
      midi.deltaFrames = VstInt32(frame > start ? frame - start : 0);
      midi.midiData[0] = char(e.status);
      midi.midiData[1] = char(e.data1);
      midi.midiData[2] = char(e.data2);
      blockEvents.push_back(midi);
    }

    const double seconds = double(start) / job.sampleRate;
    host.setTransport(double(start), job.midi.tempo.beatsPerMinuteAtSeconds(seconds),
                      job.midi.tempo.beatsAtSeconds(seconds));
    host.sendEvents(blockEvents);
    for (int c = 0; c < inputs; ++c) {
      const std::optional<AudioBuffer>& source = c < 2 ? job.modulator : job.carrier;
      if (c < 4) {
        fillInput(source, size_t(c % 2), start, count, inputPointers[c]);
      } else {
        std::fill(inputPointers[c], inputPointers[c] + count, 0.0f);
      }
    }
    host.process(inputPointers.data(), outputPointers.data(), int(count));

    for (size_t frame = 0; frame < count; ++frame)
      for (int c = 0; c < outputs; ++c) interleaved[frame * outputs + c] = outputPointers[c][frame];
    writer.write(interleaved.data(), count);
    if (progress) progress(double(start + count) / job.sampleRate);
  }
}
