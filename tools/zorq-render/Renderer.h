#pragma once

#include <functional>
#include <optional>

#include "zorq-render/AudioFile.h"
#include "zorq-render/MidiSequence.h"

class PluginHost;
class AudioFileWriter;

// What one offline render plays through the plug-in.
struct RenderJob {
  std::optional<AudioBuffer> modulator;  // inputs 1-2, at the render's sample rate
  std::optional<AudioBuffer> carrier;    // inputs 3-4
  MidiSequence midi;
  double sampleRate = 44100.0;
  int blockSize = 512;
  double tailSeconds = 1.0;
};

// Runs the block loop: feeds the input files (mono files to both inputs of a pair),
// delivers each MIDI event in the block that holds it with its frame offset, reports
// the transport, and writes every plug-in output to the writer.
class Renderer {
 public:
  using Progress = std::function<void(double doneSeconds)>;

  static constexpr double kMaxRenderSeconds = 4 * 3600.0;

  // Length: the longest of the input files and the last MIDI event, plus the tail;
  // RenderError beyond kMaxRenderSeconds (a damaged MIDI file can place events years out).
  static size_t totalFrames(const RenderJob& job);
  static void render(PluginHost& host, const RenderJob& job, AudioFileWriter& writer,
                     const Progress& progress = {});
};
