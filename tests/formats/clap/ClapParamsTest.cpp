// Parameters as CLAP hosts use them: values set through flush, and value events at their
// offset inside a block. (Typed texts and stepped values are the parity suite's, the
// parameter table the framework's.)
#include "ClapFixture.h"

namespace {
constexpr clap_id kVocoderMode = 0, kFinalVolume = 4, kOutBalance = 5;
constexpr clap_id kBias = 104;
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

// A value event inside a block reaches the control tick its offset falls in (the tick
// rule itself is the engine's): the same samples as a block split at that tick, other
// samples than the change at the block's start.
TEST(ClapParams, ValueEventsReachTheTickOfTheirOffset) {
  const std::vector<float> voice = noise(2048, 5), carrier = noise(2048, 6, 0.2f);
  // The change of "Vocoder Mode" at frame `at` of the block that starts at `split`.
  auto render = [&](uint32_t split, uint32_t at) {
    LoadedClap clap;
    clap.host.start(44100.0, 2048);
    for (uint8_t key : {50, 57, 62}) clap.host.events().midi(0, 0x90, key, 90);
    clap.play(split, voice.data(), carrier.data());
    clap.host.events().param(at, kVocoderMode, 1.0);
    clap.play(2048 - split, voice.data() + split, carrier.data() + split);
    return clap.left;
  };
  // 100 + 230: the tick at frame 308, 208 frames into the block.
  EXPECT_EQ(render(100, 230), render(308, 0));
  EXPECT_NE(render(100, 230), render(100, 0));
}
