#pragma once

// The sample player: reads a RIFF/WAVE file (WaveReader) completely into memory
// (SampleData) on the thread that loads it, converts it to the host rate when
// needed (WDL_Resampler) and plays it as the vocoder's modulator with an
// attack/release envelope (Sampler). Data flows
// file -> WaveReader::ReadDoublesNI -> SampleData -> [WDL_Resampler] -> Sampler::processSamples;
// the audio thread touches no file.

#include <cstdint>
#include <memory>
#include <vector>

#include "dsp/EnvelopeLaw.h"
#include "sampler/SampleData.h"
#include "sampler/WDL_Resampler.h"

// Plays one WAV file as the vocoder's modulator: restarted on note-on, faded
// out on note-off, converted to the host rate when the lengths differ, shaped
// by an attack/release gain envelope, one sub-block at a time.
//
// All functions run under the plug-in mutex; init/install/closeWAV on the
// thread that resets or loads, restart/stop/processSamples on the audio thread.
class Sampler {
 public:
  // Sets the host rate and the largest sub-block asked for; allocates the
  // work buffers. Keeps a loaded file and refits it to the new rate.
  void init(double hostRate, unsigned subBlockCapacity);
  // Plays `data` from now on (null: nothing) and hands back the file played so
  // far, for the caller to free away from the audio thread.
  std::unique_ptr<SampleData> install(std::unique_ptr<SampleData> data);
  // Reads the file and installs it: for callers that may wait on the file.
  // Returns non-zero when the file loaded (it may still hold no frames).
  int openWAV(const char* path);
  void closeWAV();

  void restart() noexcept;  // rewinds and starts the attack
  void stop() noexcept;     // starts the release
  // Writes n frames into bufs[0] (left) and bufs[1] (right).
  void processSamples(double** bufs, int n) noexcept;

  void setAttack(double attack) { attack_ = attack; }
  void setRelease(double release) { release_ = release; }

  bool isOpen() const { return data_ != nullptr; }
  // Frames of the loaded file (0 when none).
  uint32_t length() const { return data_ ? data_->length() : 0; }
  uint32_t outputLength() const { return outputLength_; }
  uint32_t remaining() const { return remaining_; }
  bool isConverting() const { return convert_; }
  bool isStereo() const { return stereo_; }
  double envelopeLevel() const { return envelopeLevel_; }
  const WDL_Resampler& converter() const { return converter_; }

 private:
  void fitToRates();
  void configureConverter();
  void setEnvelope(double target, double setting);
  double stepEnvelope();
  unsigned readFrames(unsigned frames);
  unsigned playDirect(double* left, double* right, unsigned frames);
  unsigned playConverted(double* left, double* right, unsigned frames);
  void processChunk(double* left, double* right, unsigned n);

  std::unique_ptr<SampleData> data_;
  uint32_t position_ = 0;  // next frame of the file to read
  WDL_Resampler converter_;
  std::vector<double> inputLeft_;
  std::vector<double> inputRight_;
  std::vector<double> converterOutput_;
  double hostRate_ = 44100.0;
  double fileRate_ = 44100.0;
  unsigned subBlockCapacity_ = 0;
  uint32_t outputLength_ = 0;
  uint32_t remaining_ = 0;
  bool stereo_ = false;
  bool convert_ = false;
  double attack_ = 0.0;
  double release_ = 0.0;
  double envelopeTarget_ = envelope::kReleaseTarget;
  double envelopeCoefficient_ = 0.0;
  double envelopeLevel_ = 0.0;
};
