#pragma once

#include <string>
#include <vector>

#include "zorq-render/AudioFileWriter.h"

// Everything the command line can ask for.
struct RenderOptions {
  std::string pluginPath;  // empty: the default beside the executable
  std::string modulatorPath;
  std::string carrierPath;
  std::string midiPath;
  std::string noteList;
  std::vector<std::string> assignments;            // "Name=value", in order
  std::vector<std::string> normalisedAssignments;  // "Name=0..1", in order
  std::string presetPath;
  int program = -1;
  double sampleRate = 0.0;  // 0: the modulator's (or carrier's) rate, else 44100
  int blockSize = 512;
  double tailSeconds = 1.0;
  std::string outputPath;
  SampleFormat sampleFormat = SampleFormat::kPcm24;
  bool normalize = false;
  double normalizePeakDbfs = -1.0;
  std::string saveProgramPath;  // --save-fxp
  std::string saveBankPath;     // --save-fxb
  bool listParams = false;
  bool listPrograms = false;
  bool quiet = false;
  bool help = false;
  bool version = false;
};

class CommandLine {
 public:
  static constexpr int kMaxBlockSize = 65536;
  static constexpr double kMinSampleRate = 8000.0;
  static constexpr double kMaxSampleRate = 384000.0;

  // UsageError with a one-line reason on any mistake. Long options take their value
  // as the next argument or after '=' (--rate=48000).
  static RenderOptions parse(const std::vector<std::string>& arguments);
  static std::string helpText(const std::string& defaultPlugin);
  static std::string versionText();
};
