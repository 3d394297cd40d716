#pragma once

#include <algorithm>
#include <chrono>
#include <string>
#include <tuple>
#include <vector>

#include "zorq-render/AudioFileWriter.h"
#include "zorq-render/AudioInput.h"
#include "zorq-render/MidiSequence.h"
#include "support/ChildProcess.h"
#include "support/LoadablePlugin.h"
#include "support/TempFolder.h"

// A whole audio file's first two channels (what the tools write) through zorq-render's
// reader.
inline std::vector<std::vector<float>> readAudio(const std::string& path) {
  AudioInput file(path);
  std::vector<std::vector<float>> channels(2, std::vector<float>(file.frames()));
  file.read(channels[0].data(), channels[1].data(), file.frames());
  channels.resize(size_t(std::min(file.fileChannels(), 2)));
  return channels;
}

// Float WAV with the given channels.
inline void writeWav(const std::string& path, const std::vector<std::vector<float>>& channels,
                     int sampleRate) {
  AudioFileWriter writer(path, int(channels.size()), sampleRate, SampleFormat::kFloat);
  std::vector<float> interleaved;
  for (size_t frame = 0; frame < channels[0].size(); ++frame)
    for (const auto& channel : channels) interleaved.push_back(channel[frame]);
  writer.write(interleaved.data(), channels[0].size());
  writer.commit();
}

struct CommandResult {
  int exitCode;
  std::string errorText;
  std::string outputText;
};

// Runs the zorq-render executable with the arguments, capturing both streams.
inline CommandResult runRender(std::vector<std::string> arguments, const TempFolder& temp) {
  arguments.insert(arguments.begin(), ZORQ_RENDER_EXECUTABLE);
  testsupport::ChildProcess render(arguments, temp / "stdout.txt", temp / "stderr.txt");
  const int exitCode = render.Wait(std::chrono::minutes(5));
  return {exitCode, render.Errors(), render.Output()};
}

// A sequence's events as (seconds, status, data 1, data 2), for whole-sequence comparisons.
using EventRow = std::tuple<double, int, int, int>;
inline std::vector<EventRow> rowsOf(const MidiSequence& sequence) {
  std::vector<EventRow> rows;
  for (const TimedMidiEvent& e : sequence.events)
    rows.emplace_back(e.seconds, e.status, e.data1, e.data2);
  return rows;
}
