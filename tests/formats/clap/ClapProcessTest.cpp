// Audio through the plug-in the way the public validator runs it: a reset and a new
// activation start from rest; transports and foreign events change nothing; a CLAP note-on
// of velocity 0 is a note. (Rates, block sizes, state and the samples every format shares
// are the parity suite's.)
#include <algorithm>

#include "ClapFixture.h"

namespace {
// A chord on the keyboard carrier, struck at the first frame of the next block.
void chord(ClapPluginHost& host) {
  for (uint8_t key : {48, 55, 60, 64}) host.events().midi(0, 0x90, key, 100);
}

// Renders `total` frames of a noise voice and carrier in blocks of `block` frames, the
// chord in the first block.
void render(LoadedClap& clap, uint32_t total, uint32_t block) {
  const std::vector<float> voice = noise(total, 1), carrier = noise(total, 2, 0.2f);
  chord(clap.host);
  for (uint32_t done = 0; done < total;) {
    const uint32_t n = std::min(block, total - done);
    ASSERT_EQ(clap.play(n, voice.data() + done, carrier.data() + done), kClapProcessContinue);
    done += n;
  }
}
}  // namespace

// After a reset, and after deactivating and activating again (at another rate in
// between), the plug-in plays exactly as a fresh instance does.
TEST(ClapProcess, ResetAndReactivationStartFromRest) {
  LoadedClap fresh, used;
  fresh.host.start(44100.0, 512);
  used.host.start(44100.0, 512);
  render(fresh, 8192, 512);

  render(used, 5000, 300);
  used.host.plugin()->reset(used.host.plugin());
  used.left.clear();
  render(used, 8192, 512);
  EXPECT_EQ(used.left, fresh.left);

  used.host.start(96000.0, 64);
  render(used, 4096, 64);
  used.host.start(44100.0, 512);
  used.left.clear();
  render(used, 8192, 512);
  EXPECT_EQ(used.left, fresh.left);
}

// A transport (or none) changes nothing in the sound; events from other spaces and
// for unknown parameters are skipped.
TEST(ClapProcess, TransportAndForeignEventsChangeNothing) {
  LoadedClap plain, busy;
  plain.host.start(48000.0, 1024);
  busy.host.start(48000.0, 1024);
  chord(busy.host);
  busy.host.events().transport(0, 133.0);
  busy.host.events().param(10, 4, 1.0, 7);  // another event space
  busy.host.events().param(20, 107, 1.0);   // no such parameter
  busy.host.events().param(30, kClapInvalidId, 1.0);
  busy.host.setTransport(0.0, 133.0, 0.0);
  chord(plain.host);
  const std::vector<float> voice = noise(1024, 1), carrier = noise(1024, 2, 0.2f);
  plain.play(1024, voice.data(), carrier.data());
  busy.play(1024, voice.data(), carrier.data());
  EXPECT_EQ(plain.left, busy.left);
}

// A CLAP note-on of velocity 0 plays (at the lowest velocity), where MIDI's is a note-off.
TEST(ClapProcess, ANoteOnOfVelocityZeroIsANote) {
  std::vector<float> outputs[2];
  for (int played = 0; played < 2; ++played) {
    LoadedClap clap;
    clap.host.start(44100.0, 4096);
    if (played) clap.host.events().note(kClapEventNoteOn, 0, 60, 0.0);
    const std::vector<float> voice = noise(4096, 1);
    clap.play(4096, voice.data());
    outputs[played] = clap.left;
  }
  EXPECT_GT(rms(outputs[1]), 1e-3);
  EXPECT_NE(outputs[1], outputs[0]);
}
