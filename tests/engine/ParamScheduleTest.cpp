#include <gtest/gtest.h>

#include <cstdint>

#include "EngineHarness.h"

namespace {
// The modulator and external carrier, and a chord held from the first frame.
EngineHarness playing() {
  EngineHarness h;
  for (int key : {48, 55, 60}) h.midi(0x90, key, 100);
  return h;
}
}  // namespace

// A host's change scheduled inside a block takes effect at the control tick whose
// window (44 frames at 44.1 kHz, counted from the reset) holds its offset: the same
// samples as a change made between blocks at that tick. A change due in a window that
// began in the previous block takes effect at once.
TEST(ParamSchedule, ChangesTakeEffectAtTheTickOfTheirOffset) {
  struct Row {
    int preroll, offset;
  };
  const auto voice = whiteNoise(4000, 3), carrier = whiteNoise(4000, 4);
  for (const Row& row :
       {Row{0, 0}, Row{0, 43}, Row{0, 44}, Row{10, 0}, Row{10, 33}, Row{10, 34}, Row{100, 500}}) {
    SCOPED_TRACE(::testing::Message() << row.preroll << " + " << row.offset);
    const int tick = (row.preroll + row.offset) / 44 * 44;
    const int start = std::max(tick, row.preroll);
    const int total = row.preroll + 1000;
    auto render = [&](std::vector<int> splits, bool scheduled) {
      EngineHarness h = playing();
      splits.push_back(total);
      std::vector<double> left;
      for (size_t b = 0; b + 1 < splits.size(); ++b) {
        const int n = splits[b + 1] - splits[b];
        if (scheduled && splits[b] == row.preroll)
          h.plug->ScheduleParamChange(kVocoderMode, 1.0, row.offset);
        if (!scheduled && splits[b] == start) h.setParam(kVocoderMode, 1.0);
        std::vector<std::vector<double>> in(4);
        for (int c = 0; c < 4; ++c)
          in[c].assign((c < 2 ? voice : carrier).begin() + splits[b],
                       (c < 2 ? voice : carrier).begin() + splits[b] + n);
        h.process(n, in);
        left.insert(left.end(), h.out[0].begin(), h.out[0].begin() + n);
      }
      return left;
    };
    EXPECT_EQ(render({0, row.preroll}, true), render({0, row.preroll, start}, false));
  }
}

// Offsets count from the block's start and may lie beyond it: what is left after a
// block counts from the next one. A reset applies what waits.
TEST(ParamSchedule, ChangesLeftOverApplyInTheNextBlockOrAtAReset) {
  EngineHarness h;
  h.process(10);  // ticks of the stream at 44 and 88: frames 34 and 78 of the next block
  h.plug->ScheduleParamChange(kBias, 0.5, 90);
  h.process(50);
  EXPECT_EQ(h.plug->bias(), 0.0);
  h.process(30);  // the tick at frame 28 here
  EXPECT_EQ(h.plug->bias(), 1.0);
  h.plug->ScheduleParamChange(kBias, -0.5, 5000);
  h.plug->Reset();
  EXPECT_EQ(h.plug->GetParam(kBias)->Value(), -0.5);
}

// The queue holds a fixed number of changes; one more is applied at once rather than lost.
TEST(ParamSchedule, AFullQueueAppliesAChangeAtOnce) {
  EngineHarness h;
  for (int i = 0; i < ParamChangeQueue::kCapacity; ++i)
    h.plug->ScheduleParamChange(kBias, 0.25, 100);
  h.plug->ScheduleParamChange(kLimit, 1.0, 100);
  EXPECT_EQ(h.plug->limit(), 1.0);
  EXPECT_EQ(h.plug->bias(), 0.0);
  h.process(200);
  EXPECT_EQ(h.plug->bias(), 0.5);
}
