// The audio path never allocates: from the first block on, the host's processing
// callbacks (float and double) with MIDI notes, pitch wheel, pedal, learned
// controllers, "MIDI Thru", sample files and parameter changes between blocks make no
// heap allocation. The instrument is driven through its AEffect, as a host does.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "engine/ZORQ.h"
#include "formats/vst2/IPlugVST.h"
#include "hosting/Vst2PluginHost.h"
#include "sampler/WavTestFile.h"
#include "support/AllocationCounter.h"
#include "support/FileCallCounter.h"
#include "support/HostRecorder.h"
#include "support/UserIni.h"

namespace {

struct BlockCase {
  int blockSize;
  bool doublePrecision;
  unsigned fileRate;  // of the sample file played in "File" mode; 0: none
};

void PrintTo(const BlockCase& c, std::ostream* os) {
  *os << c.blockSize << (c.doublePrecision ? " double" : " float");
  if (c.fileRate) *os << ", file at " << c.fileRate << " Hz";
}

class RealTimeSafety : public ::testing::TestWithParam<BlockCase> {};

}  // namespace

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
  const BlockCase c = GetParam();
  const size_t n = size_t(c.blockSize);
  writeUserIni("[MIDI Global]\nMIDI Thru=true\n[MIDI Control]\nCC1=4\nCC74=104\n");
  ZORQ plug;
  writeUserIni("");  // later instruments in this process start plain
  plug.EnsureDefaultPreset();
  IPlugVST vst(&plug, Vst2PluginHost::callback(), false);
  HostRecorder recorder;
  Vst2PluginHost host(vst.GetAEffect(), HostSetup{"", "", 1, &recorder});
  host.start(44100.0, c.blockSize);
  wavtest::TempDir dir;
  if (c.fileRate) {
    const auto tone = wavtest::sine(c.fileRate / 2, 330.0, c.fileRate);
    plug.setSampleFileName(
        dir.write("voice.wav", wavtest::wav(1, 16, 2, c.fileRate, tone)).c_str());
    host.setParameter(kInputMode, 1.0f);
    plug.loadSampleFile(false);
    ASSERT_FALSE(plug.sampleLoadFailed());
  }
  std::vector<double> in[4], out[2] = {std::vector<double>(n), std::vector<double>(n)};
  std::vector<float> inFloat[4], outFloat[2] = {std::vector<float>(n), std::vector<float>(n)};
  double* ins[4];
  float* insFloat[4];
  for (int i = 0; i < 4; ++i) {
    in[i] = wavtest::sine(n, 220.0 * (i + 1), 44100.0, 0.4);
    inFloat[i].assign(in[i].begin(), in[i].end());
    ins[i] = in[i].data();
    insFloat[i] = inFloat[i].data();
  }
  double* outs[2] = {out[0].data(), out[1].data()};
  float* outsFloat[2] = {outFloat[0].data(), outFloat[1].data()};
  std::vector<HostMidiEvent> events(6);

  const size_t capacity = plug.sampler().converter().inputCapacity();
  const size_t before = allocationCount(), filesBefore = fileCallCount();
  const int blocks = std::max(2 * kNumParams, 22050 / c.blockSize);
  for (int block = 0; block < blocks; ++block) {
    const int param = block % kNumParams;
    if (param != kInputMode || !c.fileRate)
      host.setParameter(param, static_cast<float>(block % 5) / 4.0f);
    const uint8_t note = uint8_t(40 + block % 37);
    const uint8_t messages[6][3] = {{0x90, note, 100},
                                    {0x80, uint8_t(note - 5), 0},
                                    {0xE0, 0, uint8_t((block * 13) % 128)},
                                    {0xB0, 1, uint8_t((block * 7) % 128)},
                                    {0xB0, 74, uint8_t((block * 5) % 128)},
                                    {0xB0, 64, uint8_t(block % 32 < 16 ? 127 : 0)}};
    for (int i = 0; i < 6; ++i)
      events[size_t(i)] = {(i * 7919 + block) % c.blockSize, messages[i][0], messages[i][1],
                           messages[i][2]};
    host.sendEvents(events);
    if (c.doublePrecision)
      host.processDouble(ins, outs, c.blockSize);
    else
      host.process(insFloat, outsFloat, c.blockSize);
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
