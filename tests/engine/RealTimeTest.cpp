// Sleep when silent: a render with sleep on (the default) against the same render with
// it off. They are the same samples until the engine first sleeps; asleep it writes
// exact zeros where the other writes less than -200 dBFS; woken by a sample or a note at
// any frame of a block, it is heard from that frame and stays within -200 dBFS of the
// other (its filters resume from the noise floor they rested at). From the second block
// on, falling asleep, sleeping and waking allocate nothing and read no file.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "EngineHarness.h"
#include "hosting/Vst2PluginHost.h"
#include "support/AllocationCounter.h"
#include "support/FileCallCounter.h"
#include "support/HostRecorder.h"
#include "support/UserIni.h"

namespace {

constexpr double kRate = 44100.0;
constexpr double kSleepLevel = 1e-10;  // -200 dBFS
const int kChord[] = {48, 55, 60, 64};

struct Setting {
  const char* name;
  std::function<void(EngineHarness&)> apply;
};

const Setting kSettings[] = {
    {"Defaults", [](EngineHarness&) {}},
    {"EnsembleFullBands",
     [](EngineHarness& h) {
       h.setParam(kEnsemble, 1.0);
       h.setParam(kVocoderMode, 1.0);
     }},
    // Everything that raises the output of a silent engine's noise floor at its most:
    // full volume and levels, bands opened by the bias or fixed, the slowest followers.
    {"OpenBandsLoudest",
     [](EngineHarness& h) {
       h.setParam(kFinalVolume, 1.0);
       h.setParam(kMicLevel, 2.0);
       h.setParam(kBias, 1.0);
       h.setParam(kLimit, 0.0);
       h.setParam(kSpeed, -1.0);
       for (int band = 0; band < kNumBands; ++band) {
         h.setParam(kSynthesisLevel1 + band, 2.0);
         h.setParam(kSynthesisFixed1 + band, band % 2);
       }
     }},
};

enum class Wake { kSample, kNote };

struct SleepCase {
  const Setting* setting;
  int block;
  int onset;  // frame of the block at which the sound comes back
  Wake wake;
};

void PrintTo(const SleepCase& c, std::ostream* os) {
  *os << c.setting->name << ", blocks of " << c.block << ", "
      << (c.wake == Wake::kSample ? "sample" : "note") << " at frame " << c.onset;
}

// Two engines fed the same blocks, one with sleep switched off.
struct TwoRenders {
  EngineHarness sleeping, awake;
  std::vector<double> outputs[2][2];  // [engine][channel], the whole render
  int firstAsleepBlock = -1;
  int blocks = 0;
  size_t allocations = 0, fileCalls = 0;  // the sleeping engine's, after its first block

  explicit TwoRenders(const Setting& setting) {
    awake.plug->setSleepEnabled(false);
    for (EngineHarness* h : {&sleeping, &awake}) setting.apply(*h);
  }
  // Runs `f` on the sleeping engine, counting what it allocates and reads after the first block.
  template <typename F>
  void counted(F f) {
    const size_t allocationsBefore = allocationCount(), filesBefore = fileCallCount();
    f(sleeping);
    if (blocks > 0) {
      allocations += allocationCount() - allocationsBefore;
      fileCalls += fileCallCount() - filesBefore;
    }
  }
  void midi(uint8_t status, int note, int velocity, int offset) {
    counted([&](EngineHarness& h) { h.midi(status, note, velocity, offset); });
    awake.midi(status, note, velocity, offset);
  }
  void process(int frames, const std::vector<std::vector<double>>& inputs = {}) {
    counted([&](EngineHarness& h) { h.process(frames, inputs); });
    awake.process(frames, inputs);
    for (int e = 0; e < 2; ++e)
      for (int c = 0; c < 2; ++c) {
        const std::vector<double>& out = (e ? awake : sleeping).out[c];
        outputs[e][c].insert(outputs[e][c].end(), out.begin(), out.begin() + frames);
      }
    if (firstAsleepBlock < 0 && sleeping.plug->isAsleep()) firstAsleepBlock = blocks;
    ++blocks;
  }
};

class SleepAndWake : public ::testing::TestWithParam<SleepCase> {};

TEST_P(SleepAndWake, SameRenderButBelowMinus200dBFS) {
  const SleepCase& c = GetParam();
  TwoRenders r(*c.setting);
  std::vector<double> voice = whiteNoise(c.block, 7);
  for (double& v : voice) v *= 0.5;
  const std::vector<double> silence(static_cast<size_t>(c.block), 0.0);
  auto seconds = [&](double s) { return static_cast<int>(s * kRate) / c.block; };

  for (int note : kChord) r.midi(0x90, note, 100, 0);
  for (int b = 0; b < seconds(0.5); ++b) r.process(c.block, {voice, voice});
  for (int note : kChord) r.midi(0x80, note, 0, 0);
  for (int b = 0; b < seconds(2.5); ++b) r.process(c.block, {silence, silence});
  ASSERT_TRUE(r.sleeping.plug->isAsleep());
  ASSERT_FALSE(r.awake.plug->isAsleep());
  // A sample wakes the engine at its frame; a note at the control tick that plays it
  // (the tick nearest its offset, which may come before it): asleep until then.
  const size_t onsetBlock = r.outputs[0][0].size();
  const size_t onsetFrame = onsetBlock + static_cast<size_t>(c.onset);
  const size_t silentUntil = c.wake == Wake::kSample ? onsetFrame : onsetBlock;

  // The voice comes back with an external carrier, or a note plays.
  if (c.wake == Wake::kSample) {
    std::vector<double> onset = voice;
    std::fill(onset.begin(), onset.begin() + c.onset, 0.0);
    r.process(c.block, {onset, onset, onset, onset});
  } else {
    r.midi(0x90, 67, 127, c.onset);
    r.process(c.block, {silence, silence});
  }
  for (int b = 0; b < seconds(0.3); ++b) r.process(c.block, {voice, voice, voice, voice});
  EXPECT_FALSE(r.sleeping.plug->isAsleep());
  EXPECT_EQ(r.allocations, 0u) << (countsMalloc() ? "" : "(operator new only)");
  EXPECT_EQ(r.fileCalls, 0u);

  const size_t sameUntil = static_cast<size_t>(r.firstAsleepBlock) * static_cast<size_t>(c.block);
  for (int ch = 0; ch < 2; ++ch) {
    const std::vector<double>& a = r.outputs[0][ch];
    const std::vector<double>& b = r.outputs[1][ch];
    ASSERT_EQ(std::memcmp(a.data(), b.data(), sameUntil * sizeof(double)), 0) << "channel " << ch;
    double largest = 0.0;
    for (size_t i = 0; i < a.size(); ++i) {
      ASSERT_LE(std::fabs(a[i] - b[i]), kSleepLevel) << "frame " << i << " channel " << ch;
      // Asleep the engine writes exact zeros; before the onset it is still asleep.
      if (i >= sameUntil + c.block && i < silentUntil) {
        ASSERT_EQ(a[i], 0.0) << "frame " << i;
      }
      if (i >= onsetFrame) largest = std::max(largest, std::fabs(a[i]));
    }
    EXPECT_GT(largest, 1e-3) << "channel " << ch << ": heard after the onset";
  }
}

std::vector<SleepCase> sleepCases() {
  std::vector<SleepCase> cases;
  for (const Setting& setting : kSettings)
    for (int block : {32, 333, 512})
      for (int onset : {0, 17, block - 1})
        for (Wake wake : {Wake::kSample, Wake::kNote})
          if (wake == Wake::kSample || setting.name != std::string("Defaults"))
            cases.push_back({&setting, block, onset, wake});
  return cases;
}

INSTANTIATE_TEST_SUITE_P(SettingsBlocksAndOnsets, SleepAndWake, ::testing::ValuesIn(sleepCases()));

// A held chord keeps the carrier sounding, so the engine stays awake however silent the
// voice input (and renders exactly what it renders with sleep off); a parameter change
// wakes a sleeping engine.
TEST(Sleep, HeldChordKeepsTheEngineAwakeAndAParameterWakesIt) {
  TwoRenders r(kSettings[0]);
  const std::vector<double> silence(512, 0.0);
  r.midi(0x90, 60, 100, 0);
  for (int b = 0; b < 300; ++b) r.process(512, {silence, silence});
  EXPECT_FALSE(r.sleeping.plug->isAsleep());
  EXPECT_EQ(r.outputs[0][0], r.outputs[1][0]);
  r.midi(0x80, 60, 0, 0);
  for (int b = 0; b < 300; ++b) r.process(512, {silence, silence});
  ASSERT_TRUE(r.sleeping.plug->isAsleep());
  r.sleeping.setParam(kFinalVolume, 0.5);
  EXPECT_FALSE(r.sleeping.plug->isAsleep());
}

// The audio path never allocates: from the first block on, the host's processing
// callbacks (float and double) with MIDI notes, pitch wheel, pedal, learned
// controllers, "MIDI Thru", sample files and parameter changes between blocks make no
// heap allocation. The instrument is driven through its AEffect, as a host does.
// The block size, double precision or float, and the rate of the sample file played in
// "File" mode (0: none).
using BlockCase = std::tuple<int, bool, unsigned>;
class RealTimeSafety : public ::testing::TestWithParam<BlockCase> {};

// The checks below mean something only if the counter sees allocations: through its own
// operator new, or the sanitizer runtime's hook where that runtime owns the allocator.
TEST(AllocationCounter, SeesTheAllocationsItCounts) {
  const size_t before = allocationCount();
  void* volatile fromNew = ::operator new(24);
  ::operator delete(fromNew);
  EXPECT_GE(allocationCount(), before + 1);
  if (!countsMalloc()) return;
  void* volatile fromMalloc = std::malloc(24);
  std::free(fromMalloc);
  EXPECT_GE(allocationCount(), before + 2);
}

// Between blocks the user-interface thread sets each parameter in turn to one of five
// positions, switches and the ends of the ranges included ("File" mode stays on while a
// file plays). "MIDI Thru" is on and CC 1 and CC 74 are learned for "Final Volume" and
// "Bias"; the MIDI of each block moves them, the wheel and the pedal, and strikes a new
// note, so that the voices run out and are taken over. The sample player's converter is
// sized up front for a sub-block at any file rate: playing files never grows it, and
// reads no file.
TEST_P(RealTimeSafety, ProcessingAllocatesNothing) {
  const auto [blockSize, doublePrecision, fileRate] = GetParam();
  const size_t n = size_t(blockSize);
  writeUserIni("[MIDI Global]\nMIDI Thru=true\n[MIDI Control]\nCC1=4\nCC74=104\n");
  ZORQ plug;
  writeUserIni("");  // later instruments in this process start plain
  plug.EnsureDefaultPreset();
  IPlugVST vst(&plug, Vst2PluginHost::callback(), false);
  HostRecorder recorder;
  Vst2PluginHost host(vst.GetAEffect(), HostSetup{"", "", 1, &recorder});
  host.start(44100.0, blockSize);
  wavtest::TempDir dir;
  if (fileRate) {
    const auto tone = wavtest::sine(fileRate / 2, 330.0, fileRate);
    plug.setSampleFileName(dir.write("voice.wav", wavtest::wav(1, 16, 2, fileRate, tone)).c_str());
    host.setParameter(kInputMode, 1.0f);
    plug.loadSampleFile(false);
    ASSERT_FALSE(plug.sampleLoadFailed());
  }
  std::vector<double> buffers[6];  // four inputs, then two outputs
  std::vector<float> floatBuffers[6];
  double* ins[6];
  float* insFloat[6];
  for (int i = 0; i < 6; ++i) {
    buffers[i] = wavtest::sine(n, 220.0 * (i + 1), 44100.0, 0.4);
    floatBuffers[i].assign(buffers[i].begin(), buffers[i].end());
    ins[i] = buffers[i].data();
    insFloat[i] = floatBuffers[i].data();
  }
  std::vector<HostMidiEvent> events(6);

  const size_t capacity = plug.sampler().converter().inputCapacity();
  const size_t before = allocationCount(), filesBefore = fileCallCount();
  const int blocks = std::max(2 * kNumParams, 22050 / blockSize);
  for (int block = 0; block < blocks; ++block) {
    const int param = block % kNumParams;
    if (param != kInputMode || !fileRate)
      host.setParameter(param, static_cast<float>(block % 5) / 4.0f);
    const uint8_t note = uint8_t(40 + block % 37);
    const uint8_t messages[6][3] = {{0x90, note, 100},
                                    {0x80, uint8_t(note - 5), 0},
                                    {0xE0, 0, uint8_t((block * 13) % 128)},
                                    {0xB0, 1, uint8_t((block * 7) % 128)},
                                    {0xB0, 74, uint8_t((block * 5) % 128)},
                                    {0xB0, 64, uint8_t(block % 32 < 16 ? 127 : 0)}};
    for (int i = 0; i < 6; ++i)
      events[size_t(i)] = {(i * 7919 + block) % blockSize, messages[i][0], messages[i][1],
                           messages[i][2]};
    host.sendEvents(events);
    if (doublePrecision)
      host.processDouble(ins, ins + 4, blockSize);
    else
      host.process(insFloat, insFloat + 4, blockSize);
  }
  EXPECT_EQ(allocationCount(), before) << (countsMalloc() ? "" : "(operator new only)");
  EXPECT_EQ(fileCallCount(), filesBefore);
  EXPECT_EQ(plug.sampler().converter().inputCapacity(), capacity);
  EXPECT_GT(recorder.midiCount, size_t(blocks));  // "MIDI Thru" answered every block
  if (!fileCallsAreCounted())
    GTEST_SKIP() << "allocations checked; file calls are not counted here";
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, RealTimeSafety,
                         ::testing::Values(BlockCase{1, false, 0}, BlockCase{17, true, 48000},
                                           BlockCase{64, false, 8000}, BlockCase{512, true, 96000},
                                           BlockCase{999, false, 22050},
                                           BlockCase{4096, true, 192000}));

}  // namespace
