// State as hosts and the validator use it: saving twice gives the same bytes, also
// through streams that move a few bytes at a time; a saved state brings another
// instance to the same values and program; an empty, random or cut state is refused
// and changes nothing; a VST 2 bank chunk loads as it is.
#include <algorithm>
#include <cstring>
#include <random>

#include "ClapFixture.h"

namespace {
constexpr clap_id kFinalVolume = 4, kEnsemble = 16, kAnalysisFreq5 = 28;

std::vector<double> values(const ClapTestHost& host) {
  std::vector<double> all;
  for (clap_id id = 0; id < 107; ++id) all.push_back(host.value(id));
  return all;
}

// Moves a few parameters away from where the instance starts.
void edit(ClapTestHost& host) {
  ClapEventList events;
  events.param(0, kFinalVolume, 0.61);
  events.param(0, kEnsemble, 1.0);
  events.param(0, kAnalysisFreq5, 1234.5);
  host.flush(&events);
}
}  // namespace

TEST(ClapState, SavingTwiceGivesTheSameBytesInAnyPieces) {
  LoadedClap clap;
  ASSERT_TRUE(clap.created);
  edit(clap.host);
  const std::vector<uint8_t> whole = clap.host.saveState();
  ASSERT_GT(whole.size(), 1000u);
  EXPECT_EQ(clap.host.saveState(), whole);
  for (size_t piece : {1u, 7u, 13u, 4099u}) EXPECT_EQ(clap.host.saveState(piece), whole) << piece;
}

TEST(ClapState, AStateBringsAnotherInstanceToTheSameValuesAndProgram) {
  LoadedClap source, target;
  ASSERT_TRUE(source.created && target.created);
  ASSERT_TRUE(source.host.activate(44100.0, 256));
  edit(source.host);
  ClapEventList programChange;
  programChange.midi(0, 0xC0, 5, 0);  // program 6 takes the edited values into its slot
  source.host.process(256, nullptr, nullptr, &programChange);
  edit(source.host);
  const std::vector<uint8_t> state = source.host.saveState();
  for (size_t piece : {3u, 1000000u}) {
    ASSERT_TRUE(target.host.loadState(state, piece)) << piece;
    EXPECT_EQ(values(target.host), values(source.host));
    // The state ends with the current program's tag and index: the same program.
    const std::vector<uint8_t> saved = target.host.saveState();
    ASSERT_GE(saved.size(), 8u);
    EXPECT_TRUE(std::equal(saved.end() - 8, saved.end(), state.end() - 8));
    int32_t program = -1;
    std::memcpy(&program, state.data() + state.size() - 4, sizeof program);
    EXPECT_EQ(program, 5);
  }
  EXPECT_EQ(target.host.valueRescans, 2);
}

TEST(ClapState, EmptyRandomOrCutStatesAreRefusedAndChangeNothing) {
  LoadedClap clap;
  ASSERT_TRUE(clap.created);
  edit(clap.host);
  const std::vector<uint8_t> before = clap.host.saveState();
  const std::vector<double> valuesBefore = values(clap.host);
  std::mt19937 generator(11);
  std::vector<uint8_t> random(5000);
  for (uint8_t& byte : random) byte = static_cast<uint8_t>(generator());
  std::vector<uint8_t> markedRandom = random;  // the bank's version marker, then noise
  std::copy(before.begin(), before.begin() + 8, markedRandom.begin());
  const std::vector<std::vector<uint8_t>> refused = {
      {},
      random,
      markedRandom,
      {before.begin(), before.begin() + static_cast<long>(before.size() / 2)},
      {before.begin(), before.end() - 9}};
  for (const auto& bytes : refused) {
    EXPECT_FALSE(clap.host.loadState(bytes)) << bytes.size();
    EXPECT_EQ(values(clap.host), valuesBefore);
    EXPECT_EQ(clap.host.saveState(), before);
  }
  EXPECT_EQ(clap.host.valueRescans, 0);
}
