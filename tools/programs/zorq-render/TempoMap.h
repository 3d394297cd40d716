#pragma once

#include <cstdint>
#include <vector>

// Converts MIDI ticks to seconds and seconds to beats through a list of tempo
// changes. Without changes the tempo is 120 beats per minute (500000 us per beat).
class TempoMap {
 public:
  static constexpr double kDefaultMicrosecondsPerBeat = 500000.0;

  // ticksPerBeat > 0: musical time; otherwise secondsPerTick is used and tempo
  // changes are ignored (SMPTE time division).
  explicit TempoMap(int ticksPerBeat = 480, double secondsPerTick = 0.0);

  // Changes must be added in tick order; a change at an earlier tick than the last
  // one is placed at the last one's tick.
  void addTempoChange(uint64_t tick, double microsecondsPerBeat);

  double secondsAtTick(uint64_t tick) const;
  double beatsAtSeconds(double seconds) const;
  double beatsPerMinuteAtSeconds(double seconds) const;

 private:
  struct Segment {
    uint64_t tick;
    double seconds;
    double microsecondsPerBeat;
  };
  const Segment& segmentAtSeconds(double seconds) const;
  double secondsPerTickIn(const Segment& segment) const;

  int ticksPerBeat_;
  double fixedSecondsPerTick_;
  std::vector<Segment> segments_;
};
