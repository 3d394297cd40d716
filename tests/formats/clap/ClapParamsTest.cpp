// Parameters as CLAP hosts use them: values set through flush, and value events that
// take effect at the control tick their offset falls in. (Typed texts and stepped
// values are the parity suite's, the parameter table the framework's.)
#include <algorithm>
#include <random>

#include "ClapFixture.h"

namespace {
constexpr clap_id kVocoderMode = 0, kFinalVolume = 4, kOutBalance = 5;
constexpr clap_id kAnalysisFreq5 = 28, kBias = 104;
}  // namespace

// Values through flush apply at once, held in range and on the steps of discrete
// parameters; no events come back for them.
TEST(ClapParams, FlushAppliesValues) {
  LoadedClap clap;
  ClapEventList events;
  events.param(0, kFinalVolume, 0.5);
  events.param(0, kBias, 7.0);
  events.param(0, kVocoderMode, 0.7);
  events.param(0, kOutBalance, std::nan(""));
  const double balance = clap.host.value(kOutBalance);
  clap.host.flush(&events);
  EXPECT_EQ(clap.host.value(kFinalVolume), 0.5);
  EXPECT_EQ(clap.host.value(kBias), 1.0);
  EXPECT_EQ(clap.host.value(kVocoderMode), 1.0);
  EXPECT_EQ(clap.host.value(kOutBalance), balance);
  EXPECT_TRUE(clap.recorder.edits.empty());
}

// A value event inside a block takes effect at the control tick whose window holds its
// offset (44 frames at 44.1 kHz, counted from activation): the same as a render whose
// block starts at that tick with the change at its first frame. Applied at the start
// of the block instead, the samples differ.
TEST(ClapParams, ValueEventsTakeEffectAtTheirTick) {
  std::mt19937 generator(2024);
  const std::pair<clap_id, double> changes[] = {{kFinalVolume, 0.7},
                                                {kOutBalance, 0.4},
                                                {kAnalysisFreq5, 3000.0},
                                                {kBias, -0.6},
                                                {kVocoderMode, 1.0}};
  int differedFromBlockStart = 0;
  for (int trial = 0; trial < 20; ++trial) {
    // Copies, not bindings: a lambda below captures them.
    const clap_id id = changes[trial % 5].first;
    const double value = changes[trial % 5].second;
    const uint32_t preroll = std::uniform_int_distribution<uint32_t>(1, 300)(generator);
    const uint32_t offset = std::uniform_int_distribution<uint32_t>(0, 511)(generator);
    const uint32_t tick = (preroll + offset) / 44 * 44;
    const uint32_t start = std::max(tick, preroll);
    SCOPED_TRACE(::testing::Message() << "preroll " << preroll << " offset " << offset);
    const uint32_t total = preroll + 512 + 600;
    const std::vector<float> voice = noise(total, 5), carrier = noise(total, 6, 0.2f);

    // splits: block starts; the change goes with the block at `at`, at frame `frame`.
    auto render = [&](std::vector<uint32_t> splits, uint32_t at, uint32_t frame) {
      LoadedClap clap;
      clap.host.start(44100.0, 2048);
      splits.push_back(total);
      for (size_t b = 0; b + 1 < splits.size(); ++b) {
        if (b == 0)
          for (uint8_t key : {50, 57, 62}) clap.host.events().midi(0, 0x90, key, 90);
        if (splits[b] == at) clap.host.events().param(frame, id, value);
        clap.play(splits[b + 1] - splits[b], voice.data() + splits[b], carrier.data() + splits[b]);
      }
      return clap.left;
    };
    const std::vector<float> inBlock = render({0, preroll, preroll + 512}, preroll, offset);
    const std::vector<float> atTick = render({0, preroll, start, preroll + 512}, start, 0);
    const std::vector<float> atBlockStart = render({0, preroll, preroll + 512}, preroll, 0);
    EXPECT_EQ(inBlock, atTick);
    differedFromBlockStart += start > preroll && inBlock != atBlockStart;
  }
  EXPECT_GT(differedFromBlockStart, 10);
}
