#pragma once

#include <string>
#include <vector>

#include "zorq-render/FrameSink.h"

// Rendered audio kept on disk until it can be scaled, so normalising a long render
// needs no more memory than a short one. The file lives beside the output and is
// unlinked as soon as it is created: nothing is left behind, whatever happens.
class ScratchAudio : public FrameSink {
 public:
  // besidePath: the output file, whose folder holds the scratch file.
  ScratchAudio(const std::string& besidePath, int channels);
  ~ScratchAudio() override;
  ScratchAudio(const ScratchAudio&) = delete;
  ScratchAudio& operator=(const ScratchAudio&) = delete;

  void write(const float* interleaved, size_t frames) override;
  // Plays everything written so far, multiplied by gain, into the sink.
  void replay(float gain, FrameSink& sink);

 private:
  int descriptor_ = -1;
  int channels_;
  std::vector<float> buffer_;
};
