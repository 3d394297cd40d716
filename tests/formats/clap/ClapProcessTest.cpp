// Audio through the plug-in the way the public validator runs it: rates from 1 kHz (the
// lowest) to 768 kHz (the highest) and block sizes from 1 to 16384 give finite output
// without subnormal numbers; random block sizes give the samples one block size gives;
// a reset and a new activation start from rest; transports and foreign events change
// nothing; notes arrive in either dialect.
#include <algorithm>
#include <random>

#include "ClapFixture.h"

namespace {
constexpr uint8_t kNoteOn = 0x90;

// A chord on the keyboard carrier, struck at the first frame.
ClapEventList chord() {
  ClapEventList events;
  for (uint8_t key : {48, 55, 60, 64}) events.midi(0, kNoteOn, key, 100);
  return events;
}

// Renders `total` frames of a noise voice and carrier in blocks of the given sizes
// (cycled), the chord in the first block.
void render(ClapTestHost& host, uint32_t total, const std::vector<uint32_t>& blocks,
            ClapEventList first = chord()) {
  const std::vector<float> voice = noise(total, 1), carrier = noise(total, 2, 0.2f);
  size_t next = 0;
  for (uint32_t done = 0; done < total;) {
    const uint32_t n = std::min(blocks[next++ % blocks.size()], total - done);
    ASSERT_EQ(
        host.process(n, voice.data() + done, carrier.data() + done, done == 0 ? &first : nullptr),
        kClapProcessContinue);
    done += n;
  }
}
}  // namespace

class ClapRates : public ::testing::TestWithParam<double> {};

TEST_P(ClapRates, EveryBlockSizeGivesCleanOutput) {
  const double rate = GetParam();
  LoadedClap clap;
  ASSERT_TRUE(clap.created);
  for (uint32_t block : {1u, 17u, 512u, 16384u}) {
    SCOPED_TRACE(block);
    ASSERT_TRUE(clap.host.activate(rate, block));
    clap.host.left.clear();
    clap.host.right.clear();
    render(clap.host, std::max(block, static_cast<uint32_t>(rate / 20)), {block});  // 50 ms
    EXPECT_TRUE(cleanSignal(clap.host.left));
    EXPECT_TRUE(cleanSignal(clap.host.right));
    if (rate >= 22050.0) {
      EXPECT_GT(rms(clap.host.left), 1e-4);
    }
    clap.host.deactivate();
  }
}

INSTANTIATE_TEST_SUITE_P(ValidatorRates, ClapRates, ::testing::Values(1000.0, 44100.0, 768000.0));

// After a reset, and after deactivating and activating again (at another rate in
// between), the plug-in plays exactly as a fresh instance does.
TEST(ClapProcess, ResetAndReactivationStartFromRest) {
  LoadedClap fresh, used;
  ASSERT_TRUE(fresh.created && used.created);
  ASSERT_TRUE(fresh.host.activate(44100.0, 512) && used.host.activate(44100.0, 512));
  render(fresh.host, 8192, {512});
  const std::vector<float> expected = fresh.host.left;

  render(used.host, 5000, {300});
  used.host.plugin()->reset(used.host.plugin());
  used.host.left.clear();
  render(used.host, 8192, {512});
  EXPECT_EQ(used.host.left, expected);

  ASSERT_TRUE(used.host.activate(96000.0, 64));
  render(used.host, 4096, {64});
  ASSERT_TRUE(used.host.activate(44100.0, 512));
  used.host.left.clear();
  render(used.host, 8192, {512});
  EXPECT_EQ(used.host.left, expected);
}

// A transport (or none) changes nothing in the sound; events from other spaces and
// for unknown parameters are skipped.
TEST(ClapProcess, TransportAndForeignEventsChangeNothing) {
  LoadedClap plain, busy;
  ASSERT_TRUE(plain.created && busy.created);
  ASSERT_TRUE(plain.host.activate(48000.0, 1024) && busy.host.activate(48000.0, 1024));
  ClapEventList foreign = chord();
  foreign.transport(0, 133.0);
  foreign.param(10, 4, 1.0, 7);  // another event space
  foreign.param(20, 107, 1.0);   // no such parameter
  foreign.param(30, kClapInvalidId, 1.0);
  const std::vector<float> voice = noise(1024, 1), carrier = noise(1024, 2, 0.2f);
  ClapEventList notes = chord();
  plain.host.process(1024, voice.data(), carrier.data(), &notes);
  busy.host.process(1024, voice.data(), carrier.data(), &foreign, true);
  EXPECT_EQ(plain.host.left, busy.host.left);
}

// Audio and notes at the first frame give the same samples in any blocks.
TEST(ClapProcess, RandomBlockSizesGiveTheSamplesOfOneBlockSize) {
  LoadedClap steady, random;
  ASSERT_TRUE(steady.created && random.created);
  ASSERT_TRUE(steady.host.activate(44100.0, 4096) && random.host.activate(44100.0, 4096));
  std::mt19937 generator(24);
  std::vector<uint32_t> sizes;
  for (int i = 0; i < 64; ++i)
    sizes.push_back(std::uniform_int_distribution<uint32_t>(1, 4096)(generator));
  render(steady.host, 30000, {4096});
  render(random.host, 30000, sizes);
  EXPECT_EQ(steady.host.left, random.host.left);
  EXPECT_EQ(steady.host.right, random.host.right);
  EXPECT_TRUE(cleanSignal(random.host.left));
}

// CLAP notes play as the same MIDI notes do; a note-on of velocity 0 is a note.
TEST(ClapProcess, NotesInEitherDialectPlayAlike) {
  ClapEventList clapNotes, midiNotes, silentNote, none;
  clapNotes.note(kClapEventNoteOn, 0, 60, 100.0 / 127.0);
  clapNotes.note(kClapEventNoteOff, 3000, 60, 0.5);
  midiNotes.midi(0, kNoteOn, 60, 100);
  midiNotes.midi(3000, 0x80, 60, 64);
  silentNote.note(kClapEventNoteOn, 0, 60, 0.0);
  std::vector<float> outputs[4];
  ClapEventList* lists[4] = {&clapNotes, &midiNotes, &silentNote, &none};
  for (int i = 0; i < 4; ++i) {
    LoadedClap clap;
    ASSERT_TRUE(clap.created && clap.host.activate(44100.0, 4096));
    render(clap.host, 4096, {4096}, *lists[i]);
    outputs[i] = clap.host.left;
  }
  EXPECT_EQ(outputs[0], outputs[1]);
  EXPECT_GT(rms(outputs[0]), 1e-3);
  EXPECT_GT(rms(outputs[2]), 1e-3);
  EXPECT_NE(outputs[2], outputs[3]);
}
