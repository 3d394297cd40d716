// Parameters as CLAP hosts use them: values set through flush. (Value events inside a
// block, typed texts and stepped values are the parity suite's, the parameter table the
// framework's.)
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
