// The audio path never allocates: from the first block on, the host's processing
// callbacks (float and double) with MIDI notes, pitch wheel, pedal, learned
// controllers, "MIDI Thru", sample files and parameter changes between blocks make no
// heap allocation. The instrument is driven through its AEffect, as a host does.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "support/AllocationCounter.h"
#include "support/FileCallCounter.h"
#include "engine/ZORQ.h"
#include "formats/vst2/IPlugVST.h"
#include "hosting/Vst2PluginHost.h"
#include "sampler/WavTestFile.h"
#include "support/HostRecorder.h"
#include "support/TempFolder.h"
#include "support/UserIni.h"

namespace {
// One instrument as a host sees it, through its VST 2 adapter: created with "MIDI Thru"
// on and CC 1 learned for "Final Volume", CC 74 for "Bias"; rate and block size set,
// switched on.
class HostedInstrument {
 public:
  explicit HostedInstrument(int blockSize) : blockSize_(blockSize) {
    writeUserIni("[MIDI Global]\nMIDI Thru=true\n[MIDI Control]\nCC1=4\nCC74=104\n");
    plug = std::make_unique<ZORQ>();
    writeUserIni("");  // later instruments in this process start plain
    plug->EnsureDefaultPreset();
    vst = std::make_unique<IPlugVST>(plug.get(), Vst2PluginHost::callback(), false);
    host = std::make_unique<Vst2PluginHost>(vst->GetAEffect(), HostSetup{"", "", 1, &recorder});
    host->start(44100.0, blockSize);
    for (int c = 0; c < 4; ++c) {
      in[c] = wavtest::sine(static_cast<size_t>(blockSize), 220.0 * (c + 1), 44100.0, 0.4);
      inFloat[c].assign(in[c].begin(), in[c].end());
    }
    for (int c = 0; c < 2; ++c) {
      out[c].assign(static_cast<size_t>(blockSize), 0.0);
      outFloat[c].assign(static_cast<size_t>(blockSize), 0.0f);
    }
    events.reserve(6);
  }

  // Block number `block`: a few MIDI events spread over it, then processing.
  void processBlock(int block, bool doublePrecision) {
    const uint8_t note = uint8_t(40 + block % 37);
    const uint8_t messages[][3] = {{0x90, note, 100},
                                   {0x80, uint8_t(note - 5), 0},
                                   {0xE0, 0, uint8_t((block * 13) % 128)},
                                   {0xB0, 1, uint8_t((block * 7) % 128)},
                                   {0xB0, 74, uint8_t((block * 5) % 128)},
                                   {0xB0, 64, uint8_t(block % 32 < 16 ? 127 : 0)}};
    events.clear();
    for (int i = 0; i < 6; ++i)
      events.push_back(
          {(i * 7919 + block) % blockSize_, messages[i][0], messages[i][1], messages[i][2]});
    host->sendEvents(events);
    if (doublePrecision) {
      double* ins[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
      double* outs[2] = {out[0].data(), out[1].data()};
      host->processDouble(ins, outs, blockSize_);
    } else {
      float* ins[4] = {inFloat[0].data(), inFloat[1].data(), inFloat[2].data(), inFloat[3].data()};
      float* outs[2] = {outFloat[0].data(), outFloat[1].data()};
      host->process(ins, outs, blockSize_);
    }
  }

  HostRecorder recorder;
  std::unique_ptr<ZORQ> plug;
  std::unique_ptr<IPlugVST> vst;
  std::unique_ptr<Vst2PluginHost> host;
  std::vector<HostMidiEvent> events;
  std::vector<double> in[4], out[2];
  std::vector<float> inFloat[4], outFloat[2];

 private:
  int blockSize_;
};

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
// file plays). The sample player's converter is sized up front for a sub-block at any
// file rate: playing files never grows it, and reads no file.
TEST_P(RealTimeSafety, ProcessingAllocatesNothing) {
  const BlockCase c = GetParam();
  HostedInstrument host(c.blockSize);
  wavtest::TempDir dir;
  if (c.fileRate) {
    const auto tone = wavtest::sine(c.fileRate / 2, 330.0, c.fileRate);
    const std::string path = dir.write("voice.wav", wavtest::wav(1, 16, 2, c.fileRate, tone));
    host.plug->setSampleFileName(path.c_str());
    host.host->setParameter(kInputMode, 1.0f);
    host.plug->loadSampleFile(false);
    ASSERT_FALSE(host.plug->sampleLoadFailed());
  }
  const size_t capacity = host.plug->sampler().converter().inputCapacity();
  const size_t before = allocationCount(), filesBefore = fileCallCount();
  const int blocks = std::max(2 * kNumParams, 22050 / c.blockSize);
  for (int block = 0; block < blocks; ++block) {
    const int param = block % kNumParams;
    if (param != kInputMode || !c.fileRate)
      host.host->setParameter(param, static_cast<float>(block % 5) / 4.0f);
    host.processBlock(block, c.doublePrecision);
  }
  EXPECT_EQ(allocationCount(), before) << (countsMalloc() ? "" : "(operator new only)");
  EXPECT_EQ(fileCallCount(), filesBefore);
  EXPECT_EQ(host.plug->sampler().converter().inputCapacity(), capacity);
  EXPECT_GT(host.recorder.midiCount, size_t(blocks));  // "MIDI Thru" answered every block
  if (!fileCallsAreCounted())
    GTEST_SKIP() << "allocations checked; file calls are not counted here";
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, RealTimeSafety,
                         ::testing::Values(BlockCase{1, false, 0}, BlockCase{17, true, 48000},
                                           BlockCase{64, false, 8000}, BlockCase{512, true, 96000},
                                           BlockCase{999, false, 22050},
                                           BlockCase{4096, true, 192000}));
