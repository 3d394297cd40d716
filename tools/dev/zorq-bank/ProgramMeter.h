#pragma once

#include <memory>
#include <string>

#include "zorq-bank/SignalFigures.h"
#include "zorq-render/MidiSequence.h"

// Renders programs of a built plug-in offline and measures them (SignalFigures): the
// voice on inputs 1-2, the MIDI file's notes, and for programs that vocode an external
// carrier the carrier file on inputs 3-4. Each program plays in a fresh instance,
// chosen the way a keyboard chooses it: by a MIDI program change at the start.
// Single-threaded.
class ProgramMeter {
 public:
  struct Setup {
    std::string plugin;
    std::string voice;
    std::string midi;
    std::string carrier;
    double sampleRate = 44100.0;
    int blockSize = 512;
    double tailSeconds = 0.5;
    double excerptSeconds = 0.0;  // above 0: only the first seconds play
  };
  struct Result {
    SignalFigures figures;
    std::string name;       // the program's name as the host lists it
    int programAfter = -1;  // the instance's current program after the render
  };

  // HostError when an input file cannot be read.
  explicit ProgramMeter(const Setup& setup);
  ~ProgramMeter();

  Result measure(int program, bool externalCarrier) const;

 private:
  Setup setup_;
  MidiSequence midi_;
  std::unique_ptr<SignalAnalyser> analyser_;
};
