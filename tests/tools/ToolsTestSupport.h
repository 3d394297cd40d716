#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "zorq-render/AudioFileWriter.h"
#include "zorq-render/AudioInput.h"
#include "zorq-render/MidiSequence.h"
#include "support/ChildProcess.h"
#include "support/LoadablePlugin.h"
#include "support/TempFolder.h"

// A whole audio file as separate channels.
struct AudioBuffer {
  double sampleRate = 0.0;
  std::vector<std::vector<float>> channels;

  size_t frames() const { return channels.empty() ? 0 : channels.front().size(); }
};

// The first two channels (what the tools write) through zorq-render's reader.
inline AudioBuffer readAudio(const std::string& path) {
  AudioInput file(path);
  AudioBuffer audio;
  audio.sampleRate = file.fileRate();
  audio.channels.assign(size_t(std::min(file.fileChannels(), 2)),
                        std::vector<float>(file.frames()));
  std::vector<float> second(file.frames());
  file.read(audio.channels[0].data(),
            audio.channels.size() > 1 ? audio.channels[1].data() : second.data(), file.frames());
  return audio;
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
  ChildProcess render(arguments, temp / "stdout.txt", temp / "stderr.txt");
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

// Standard MIDI File pieces.
inline void appendVariableLength(std::vector<uint8_t>& out, uint32_t value) {
  uint8_t groups[4];
  int count = 0;
  do {
    groups[count++] = value & 0x7F;
    value >>= 7;
  } while (value && count < 4);
  while (count-- > 0) out.push_back(uint8_t(groups[count] | (count ? 0x80 : 0)));
}

inline void appendBigEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(uint8_t(value >> (8 * i)));
}

inline std::vector<uint8_t> midiHeader(int format, int tracks, int division) {
  std::vector<uint8_t> out = {'M', 'T', 'h', 'd'};
  appendBigEndian(out, 6, 4);
  appendBigEndian(out, uint32_t(format), 2);
  appendBigEndian(out, uint32_t(tracks), 2);
  appendBigEndian(out, uint32_t(division), 2);
  return out;
}

inline void appendTrack(std::vector<uint8_t>& file, const std::vector<uint8_t>& events) {
  file.insert(file.end(), {'M', 'T', 'r', 'k'});
  appendBigEndian(file, uint32_t(events.size()), 4);
  file.insert(file.end(), events.begin(), events.end());
}

// Track body builders: delta time then the message bytes.
inline void appendEvent(std::vector<uint8_t>& track, uint32_t delta, std::vector<uint8_t> bytes) {
  appendVariableLength(track, delta);
  track.insert(track.end(), bytes.begin(), bytes.end());
}

inline void appendTempo(std::vector<uint8_t>& track, uint32_t delta, uint32_t microsecondsPerBeat) {
  appendEvent(track, delta,
              {0xFF, 0x51, 0x03, uint8_t(microsecondsPerBeat >> 16),
               uint8_t(microsecondsPerBeat >> 8), uint8_t(microsecondsPerBeat)});
}

inline void appendEndOfTrack(std::vector<uint8_t>& track) {
  appendEvent(track, 0, {0xFF, 0x2F, 0x00});
}
