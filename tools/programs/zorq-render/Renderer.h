#pragma once

#include <functional>

#include "zorq-render/MidiSequence.h"

class AudioInput;
class FrameSink;
class PluginHost;

// What one offline render plays through the plug-in.
struct RenderJob {
  AudioInput* modulator = nullptr;  // inputs 1-2, converted to the render's sample rate
  AudioInput* carrier = nullptr;    // inputs 3-4
  MidiSequence midi;
  double sampleRate = 44100.0;
  int blockSize = 512;
  double tailSeconds = 1.0;
  double lengthLimitSeconds = 0.0;  // above 0: the render ends there, early if need be
};

// Runs the block loop: feeds the input files (mono files to both inputs of a pair),
// delivers each MIDI event in the block that holds it with its frame offset, reports
// the transport, and writes every plug-in output to the sink. A signal (Ctrl-C)
// stops it at the next block with Interrupted.
class Renderer {
 public:
  using Progress = std::function<void(double doneSeconds)>;

  static constexpr double kMaxRenderSeconds = 4 * 3600.0;

  // Length: the longest of the input files and the last MIDI event, plus the tail, at
  // most the job's length limit; RenderError beyond kMaxRenderSeconds (a damaged MIDI
  // file can place events years out).
  static size_t totalFrames(const RenderJob& job);
  static void render(PluginHost& host, const RenderJob& job, FrameSink& sink,
                     const Progress& progress = {});
};
