// Audio, state and values as CLAP hosts and the public validator use them: a reset and
// a new activation start from rest; transports and foreign events change nothing; a
// CLAP note-on of velocity 0 is a note. Saving twice gives the same bytes, also through
// streams that move a few bytes at a time; a saved state brings another instance to the
// same values and program; a stream that fails or never ends is refused. Values set
// through flush. (Rates, block sizes, damaged state and the samples every format shares
// are the parity suite's.)
#include <algorithm>
#include <cmath>
#include <cstring>

#include "ClapFixture.h"
#include "support/HostRender.h"
#include "support/TestSignals.h"

namespace {
constexpr clap_id kVocoderMode = 0, kFinalVolume = 4, kOutBalance = 5, kEnsemble = 16,
                  kAnalysisFreq5 = 28, kBias = 104;

std::vector<double> values(const ClapPluginHost& host) {
  std::vector<double> all;
  for (int index = 0; index < host.numParams(); ++index) all.push_back(host.value(index));
  return all;
}

// Moves a few parameters away from where the instance starts.
void edit(ClapPluginHost& host) {
  ClapEventList events;
  events.param(0, kFinalVolume, 0.61);
  events.param(0, kEnsemble, 1.0);
  events.param(0, kAnalysisFreq5, 1234.5);
  host.flush(&events);
}

// A chord on the keyboard carrier, struck at the first frame of the next block.
void chord(ClapPluginHost& host) {
  for (uint8_t key : {48, 55, 60, 64}) host.events().midi(0, 0x90, key, 100);
}

// `total` frames of a noise voice and carrier in blocks of `block` frames, the chord in
// the first block; the left output.
std::vector<float> render(ClapPluginHost& host, int total, int block) {
  const std::vector<float> voice = noise(size_t(total), 1), carrier = noise(size_t(total), 2, 0.2f);
  chord(host);
  const float *v = voice.data(), *c = carrier.data();
  std::vector<float> left = renderBlocks(host, {v, v, c, c}, total, {block})[0];
  EXPECT_EQ(host.processStatus(), kClapProcessContinue);
  return left;
}
}  // namespace

// Saving twice gives the same bytes in any pieces. A host's stream that reports an error
// after the whole state, or never ends, is refused with nothing changed (the endless one
// not read far past the largest state); the state read in any pieces brings another
// instance to the same values and program.
TEST(ClapState, SavedAlikeInPiecesRefusedFromAFailingStreamAndRestoredInPieces) {
  LoadedClap source, target;
  source.host.start(44100.0, 256);
  edit(source.host);
  source.host.events().midi(0, 0xC0, 5, 0);  // program 6 takes the edited values into its slot
  render(source.host, 256, 256);
  edit(source.host);
  const std::vector<uint8_t> state = source.host.saveState();
  ASSERT_GT(state.size(), 1000u);
  for (size_t piece : {1u, 7u, 13u, 4099u}) EXPECT_EQ(source.host.saveState(piece), state) << piece;

  const std::vector<uint8_t> before = target.host.saveState();
  struct Stream {
    const std::vector<uint8_t>* bytes;
    bool endless;
    size_t position = 0;
    int errors = 0;
  };
  constexpr size_t kGaveUp = size_t(80) << 20;  // past the plug-in's 64 MB
  for (const bool endless : {false, true}) {
    Stream stream{&state, endless};
    const clap_istream_t in{
        &stream, [](const clap_istream_t* s, void* data, uint64_t size) -> int64_t {
          auto* st = static_cast<Stream*>(s->ctx);
          const size_t at = st->endless ? st->position % st->bytes->size() : st->position;
          if (st->position >= kGaveUp || (!st->endless && at >= st->bytes->size()))
            return st->errors++ == 0 && !st->endless ? -1 : 0;
          const size_t n = std::min<size_t>(size, st->bytes->size() - at);
          std::memcpy(data, st->bytes->data() + at, n);
          st->position += n;
          return int64_t(n);
        }};
    const auto* extension = target.host.extension<clap_plugin_state_t>(kClapExtState);
    EXPECT_FALSE(extension->load(target.host.plugin(), &in)) << endless;
    EXPECT_LT(stream.position, kGaveUp) << endless;
    EXPECT_EQ(target.host.saveState(), before) << endless;
  }

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
  EXPECT_EQ(target.recorder.rescans, 2);  // one a restored state, none a refused one
}

// Values through flush apply at once, held in range and on the steps of discrete
// parameters; no events come back for them. (Value events inside a block, typed texts
// and stepped values are the parity suite's, the parameter table the framework's.)
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

// After a reset, and after deactivating and activating again (at another rate in
// between), the plug-in plays exactly as a fresh instance does.
TEST(ClapProcess, ResetAndReactivationStartFromRest) {
  LoadedClap fresh, used;
  fresh.host.start(44100.0, 512);
  used.host.start(44100.0, 512);
  const std::vector<float> expected = render(fresh.host, 8192, 512);
  render(used.host, 5000, 300);
  used.host.plugin()->reset(used.host.plugin());
  EXPECT_EQ(render(used.host, 8192, 512), expected);
  used.host.start(96000.0, 64);
  render(used.host, 4096, 64);
  used.host.start(44100.0, 512);
  EXPECT_EQ(render(used.host, 8192, 512), expected);
}

// A transport (or none) changes nothing in the sound; events from other spaces and
// for unknown parameters are skipped.
TEST(ClapProcess, TransportAndForeignEventsChangeNothing) {
  LoadedClap plain, busy;
  plain.host.start(48000.0, 1024);
  busy.host.start(48000.0, 1024);
  busy.host.events().transport(0, 133.0);
  busy.host.events().param(10, 4, 1.0, 7);  // another event space
  busy.host.events().param(20, 107, 1.0);   // no such parameter
  busy.host.events().param(30, kClapInvalidId, 1.0);
  busy.host.setTransport(0.0, 133.0, 0.0);
  EXPECT_EQ(render(plain.host, 1024, 1024), render(busy.host, 1024, 1024));
}

// A CLAP note-on of velocity 0 plays (at the lowest velocity), where MIDI's is a note-off.
TEST(ClapProcess, ANoteOnOfVelocityZeroIsANote) {
  std::vector<float> outputs[2];
  const std::vector<float> voice = noise(4096, 1);
  for (int played = 0; played < 2; ++played) {
    LoadedClap clap;
    clap.host.start(44100.0, 4096);
    if (played) clap.host.events().note(kClapEventNoteOn, 0, 60, 0.0);
    outputs[played] =
        renderBlocks(clap.host, {voice.data(), voice.data(), nullptr, nullptr}, 4096, {4096})[0];
  }
  EXPECT_GT(rms(outputs[1]), 1e-3);
  EXPECT_NE(outputs[1], outputs[0]);
}
