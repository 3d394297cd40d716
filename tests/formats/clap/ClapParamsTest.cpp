// Parameters as hosts and the validator use them: the list and its flags, texts that
// survive a round trip, values set through flush, and value events that take effect
// at the control tick their offset falls in.
#include <algorithm>
#include <random>
#include <set>
#include <string>

#include "ClapFixture.h"

namespace {
constexpr clap_id kVocoderMode = 0, kFinalVolume = 4, kOutBalance = 5;
constexpr clap_id kAnalysisFreq5 = 28, kBias = 104;
}  // namespace

TEST(ClapParams, ListHasStableIdsRangesAndDiscreteFlags) {
  LoadedClap clap;
  ASSERT_TRUE(clap.created);
  ASSERT_EQ(clap.host.paramCount(), 107u);
  std::set<std::string> names;
  for (uint32_t i = 0; i < 107; ++i) {
    const clap_param_info_t info = clap.host.paramInfo(i);
    SCOPED_TRACE(info.name);
    EXPECT_EQ(info.id, i);
    EXPECT_TRUE(names.insert(info.name).second);
    EXPECT_TRUE(info.flags & kClapParamIsAutomatable);
    EXPECT_LE(info.min_value, info.default_value);
    EXPECT_LE(info.default_value, info.max_value);
    EXPECT_LT(info.min_value, info.max_value);
    const double value = clap.host.value(i);
    EXPECT_TRUE(value >= info.min_value && value <= info.max_value);
  }
  EXPECT_EQ(clap.host.paramInfo(kVocoderMode).flags & (kClapParamIsStepped | kClapParamIsEnum),
            kClapParamIsStepped | kClapParamIsEnum);
  EXPECT_EQ(clap.host.paramInfo(kFinalVolume).flags & kClapParamIsStepped, 0u);
  EXPECT_EQ(clap.host.paramInfo(107).id, kClapInvalidId);
  EXPECT_EQ(clap.host.text(107, 0.0), "<none>");
}

// For every parameter: the text of a value reads back as a value with the same text,
// at the ends, the default and values across the range.
TEST(ClapParams, TextsSurviveRoundTrips) {
  LoadedClap clap;
  ASSERT_TRUE(clap.created);
  std::mt19937 generator(7);
  for (uint32_t id = 0; id < 107; ++id) {
    const clap_param_info_t info = clap.host.paramInfo(id);
    std::vector<double> values = {info.min_value, info.max_value, info.default_value};
    for (int i = 0; i < 12; ++i)
      values.push_back(
          std::uniform_real_distribution<double>(info.min_value, info.max_value)(generator));
    for (double value : values) {
      const std::string text = clap.host.text(id, value);
      double back = -1.0;
      ASSERT_TRUE(clap.host.toValue(id, text, &back)) << info.name << " " << text;
      EXPECT_TRUE(back >= info.min_value && back <= info.max_value);
      EXPECT_EQ(clap.host.text(id, back), text) << info.name << " from " << value;
    }
  }
}

// Typed text is read as the parameter's own (the forms it accepts are the framework
// tests'); text that is no value is refused and leaves the value alone.
TEST(ClapParams, TypedTextsAreReadOrRefused) {
  LoadedClap clap;
  ASSERT_TRUE(clap.created);
  double value = 0.0;
  ASSERT_TRUE(clap.host.toValue(kVocoderMode, "ve-10 full bands", &value));
  EXPECT_EQ(clap.host.text(kVocoderMode, value), "VE-10 Full Bands");
  ASSERT_TRUE(clap.host.toValue(kFinalVolume, "-6 dB", &value));
  EXPECT_EQ(clap.host.text(kFinalVolume, value), "-6.0");
  double untouched = 123.0;
  for (const auto& [id, text] : {std::pair{kVocoderMode, "VE-11"}, std::pair{kFinalVolume, "loud"}})
    EXPECT_FALSE(clap.host.toValue(id, text, &untouched)) << text;
  EXPECT_EQ(untouched, 123.0);
}

// Values through flush apply at once, held in range and on the steps of discrete
// parameters; no events come back for them.
TEST(ClapParams, FlushAppliesValues) {
  LoadedClap clap;
  ASSERT_TRUE(clap.created);
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
  EXPECT_TRUE(clap.host.sent.empty());
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
    const auto [id, value] = changes[trial % 5];
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
      EXPECT_TRUE(clap.created && clap.host.activate(44100.0, 2048));
      splits.push_back(total);
      for (size_t b = 0; b + 1 < splits.size(); ++b) {
        ClapEventList events;
        if (b == 0)
          for (uint8_t key : {50, 57, 62}) events.midi(0, 0x90, key, 90);
        if (splits[b] == at) events.param(frame, id, value);
        clap.host.process(splits[b + 1] - splits[b], voice.data() + splits[b],
                          carrier.data() + splits[b], &events);
      }
      return clap.host.left;
    };
    const std::vector<float> inBlock = render({0, preroll, preroll + 512}, preroll, offset);
    const std::vector<float> atTick = render({0, preroll, start, preroll + 512}, start, 0);
    const std::vector<float> atBlockStart = render({0, preroll, preroll + 512}, preroll, 0);
    EXPECT_EQ(inBlock, atTick);
    differedFromBlockStart += start > preroll && inBlock != atBlockStart;
  }
  EXPECT_GT(differedFromBlockStart, 10);
}
