// Parameters as hosts use them: typed texts read or refused (the parameter table and
// the texts' round trips are the framework's tests), and values set through flush. (A
// value event takes effect at the tick its offset falls in: the engine's schedule test.)
#include <string>

#include "ClapFixture.h"

namespace {
constexpr clap_id kVocoderMode = 0, kFinalVolume = 4, kOutBalance = 5, kBias = 104;
}  // namespace

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
