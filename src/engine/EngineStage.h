#pragma once

// The stages of the engine's block loop, for the benchmarks' stage table: the loop calls
// stages.mark(stage) as each stage ends (ZorqBlockLoop.h). The plug-in runs the loop with
// NoStageMarks, which compiles to nothing.

enum class EngineStage {
  kBlock,        // per host block: parameter queue, input connections
  kControlTick,  // MIDI events, parameter changes due, the control update
  kModulator,    // the voice input or the sample player into the modulator buffers
  kVoices,       // the keyboard voices into the carrier
  kNoise,        // the noise carrier
  kExternal,     // the external carrier
  kMeter,        // the editor's level sum
  kBandBank,     // analysis and synthesis filters, followers, band gains
  kOutput,       // the mix of the vocoder output and the dry voice
  kEnsemble,
  kAsleep,  // a sleeping engine's frames: zeros and the ensemble's sweep
  kCount
};

struct NoStageMarks {
  void mark(EngineStage) {}
};
