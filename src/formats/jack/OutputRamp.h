#pragma once

// A fade-in of the outputs after the instrument was reset while running (the server
// changed its period or rate): the first samples after a reset rise linearly from 0
// to full level, so whatever the cleared units produce first cannot click. Audio
// thread (Apply) and the thread that resets under the plug-in mutex (Restart); the
// caller serialises them with that mutex. No allocation.
class OutputRamp {
 public:
  // The next `frames` samples rise from 0; 0 frames ends a ramp in progress.
  void Restart(int frames);
  // Scales nFrames samples of each of the nChannels buffers (null ones are skipped).
  void Apply(float* const* channels, int nChannels, int nFrames);
  bool Active() const { return done_ < length_; }

 private:
  int length_ = 0;
  int done_ = 0;
};
