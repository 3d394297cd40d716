#include "zorq-render/TempoMap.h"

#include <algorithm>

TempoMap::TempoMap(int ticksPerBeat, double secondsPerTick)
    : ticksPerBeat_(ticksPerBeat), fixedSecondsPerTick_(secondsPerTick) {
  segments_.push_back({0, 0.0, kDefaultMicrosecondsPerBeat});
}

double TempoMap::secondsPerTickIn(const Segment& segment) const {
  if (ticksPerBeat_ <= 0) return fixedSecondsPerTick_;
  return segment.microsecondsPerBeat * 1e-6 / ticksPerBeat_;
}

void TempoMap::addTempoChange(uint64_t tick, double microsecondsPerBeat) {
  if (ticksPerBeat_ <= 0 || microsecondsPerBeat <= 0.0) return;
  const Segment& last = segments_.back();
  tick = std::max(tick, last.tick);
  const double seconds = last.seconds + double(tick - last.tick) * secondsPerTickIn(last);
  if (tick == last.tick) {
    segments_.back().microsecondsPerBeat = microsecondsPerBeat;
  } else {
    segments_.push_back({tick, seconds, microsecondsPerBeat});
  }
}

double TempoMap::secondsAtTick(uint64_t tick) const {
  auto after = std::upper_bound(segments_.begin(), segments_.end(), tick,
                                [](uint64_t t, const Segment& s) { return t < s.tick; });
  const Segment& segment = *(after - 1);
  return segment.seconds + double(tick - segment.tick) * secondsPerTickIn(segment);
}

const TempoMap::Segment& TempoMap::segmentAtSeconds(double seconds) const {
  auto after = std::upper_bound(segments_.begin(), segments_.end(), seconds,
                                [](double s, const Segment& seg) { return s < seg.seconds; });
  return after == segments_.begin() ? segments_.front() : *(after - 1);
}

double TempoMap::beatsAtSeconds(double seconds) const {
  // beats = beats at the segment start + elapsed seconds / seconds per beat
  double beats = 0.0;
  for (size_t i = 0; i < segments_.size(); ++i) {
    const Segment& s = segments_[i];
    const double end = i + 1 < segments_.size() ? segments_[i + 1].seconds : seconds;
    const double span = std::min(end, seconds) - s.seconds;
    if (span <= 0.0) break;
    beats += span / (s.microsecondsPerBeat * 1e-6);
  }
  return beats;
}

double TempoMap::beatsPerMinuteAtSeconds(double seconds) const {
  return 60e6 / segmentAtSeconds(seconds).microsecondsPerBeat;
}
