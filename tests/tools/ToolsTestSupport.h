#pragma once

#include <sys/wait.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include <sndfile.h>

#include "zorq-render/AudioFileWriter.h"
#include "zorq-render/MidiSequence.h"
#include "support/LoadablePlugin.h"
#include "support/TempFolder.h"

// A whole audio file as separate channels.
struct AudioBuffer {
  double sampleRate = 0.0;
  std::vector<std::vector<float>> channels;

  size_t frames() const { return channels.empty() ? 0 : channels.front().size(); }
};

inline AudioBuffer readAudio(const std::string& path) {
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  AudioBuffer audio;
  if (!file) return audio;
  audio.sampleRate = info.samplerate;
  std::vector<float> interleaved(size_t(info.frames) * size_t(info.channels));
  const sf_count_t frames = sf_readf_float(file, interleaved.data(), info.frames);
  sf_close(file);
  audio.channels.assign(size_t(info.channels),
                        std::vector<float>(size_t(std::max<sf_count_t>(frames, 0))));
  for (size_t c = 0; c < audio.channels.size(); ++c)
    for (size_t i = 0; i < audio.channels[c].size(); ++i)
      audio.channels[c][i] = interleaved[i * size_t(info.channels) + c];
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
inline CommandResult runRender(const std::vector<std::string>& arguments, const TempFolder& temp) {
  std::string command = "'" ZORQ_RENDER_EXECUTABLE "'";
  for (const std::string& argument : arguments) {
    std::string quoted;
    for (char c : argument) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    command += " '" + quoted + "'";
  }
  const std::string out = temp / "stdout.txt", err = temp / "stderr.txt";
  command += " >'" + out + "' 2>'" + err + "' </dev/null";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readText(err), readText(out)};
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
