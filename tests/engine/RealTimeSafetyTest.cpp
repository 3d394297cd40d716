// The audio path never allocates: from the first block on, the host's processing
// callbacks (float and double) with MIDI notes, pitch wheel, pedal, learned
// controllers, "MIDI Thru", sample files and parameter changes between blocks make no
// heap allocation. The instrument is driven through its AEffect, as a host does.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "support/AllocationCounter.h"
#include "support/FileCallCounter.h"
#include "engine/ZORQ.h"
#include "formats/vst2/IPlugVST.h"
#include "sampler/WavTestFile.h"
#include "support/TempFolder.h"

namespace {
// A host's event list with room for more than the two events the header declares.
struct EventList {
  VstInt32 numEvents = 0;
  VstIntPtr reserved = 0;
  VstEvent* events[8] = {};
};

int thruEvents = 0;

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  if (opcode == audioMasterVersion) return kVstVersion2400;
  if (opcode == audioMasterProcessEvents) ++thruEvents;
  return 0;
}

// Writes the per-user INI the instrument reads when it is created: "MIDI Thru" on,
// CC 1 learned for "Final Volume", CC 74 for "Bias".
std::string writeLearnedControllers() {
  const std::string folder = std::string(std::getenv("HOME")) + "/Music/ZanderVoltMusic";
  std::filesystem::create_directories(folder);
  writeText(folder + "/zorq.ini",
            "[MIDI Global]\nMIDI Thru=true\n[MIDI Control]\nCC1=4\nCC74=104\n");
  return folder + "/zorq.ini";
}

// One instrument as a host sees it: created, rate and block size set, switched on.
class HostedInstrument {
 public:
  explicit HostedInstrument(int blockSize) : blockSize_(blockSize) {
    const std::string ini = writeLearnedControllers();
    plug = std::make_unique<ZORQ>();
    std::remove(ini.c_str());  // later instruments in this process start plain
    plug->EnsureDefaultPreset();
    vst = std::make_unique<IPlugVST>(plug.get(), &hostCallback, false);
    effect = vst->GetAEffect();
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    dispatch(effSetBlockSize, 0, blockSize);
    dispatch(effMainsChanged, 0, 1);
    for (int c = 0; c < 4; ++c) {
      in[c] = wavtest::sine(static_cast<size_t>(blockSize), 220.0 * (c + 1), 44100.0, 0.4);
      inFloat[c].assign(in[c].begin(), in[c].end());
    }
    for (int c = 0; c < 2; ++c) {
      out[c].assign(static_cast<size_t>(blockSize), 0.0);
      outFloat[c].assign(static_cast<size_t>(blockSize), 0.0f);
    }
  }

  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }

  // Block number `block`: a few MIDI events spread over it, then processing.
  void processBlock(int block, bool doublePrecision) {
    const int note = 40 + block % 37;
    const unsigned char messages[][3] = {
        {0x90, static_cast<unsigned char>(note), 100},
        {0x80, static_cast<unsigned char>(note - 5), 0},
        {0xE0, 0, static_cast<unsigned char>((block * 13) % 128)},
        {0xB0, 1, static_cast<unsigned char>((block * 7) % 128)},
        {0xB0, 74, static_cast<unsigned char>((block * 5) % 128)},
        {0xB0, 64, static_cast<unsigned char>(block % 32 < 16 ? 127 : 0)}};
    VstMidiEvent events[6] = {};
    EventList list;
    for (int i = 0; i < 6; ++i) {
      events[i].type = kVstMidiType;
      events[i].byteSize = sizeof(VstMidiEvent);
      events[i].deltaFrames = (i * 7919 + block) % blockSize_;
      for (int b = 0; b < 3; ++b) events[i].midiData[b] = static_cast<char>(messages[i][b]);
      list.events[list.numEvents++] = reinterpret_cast<VstEvent*>(&events[i]);
    }
    dispatch(effProcessEvents, 0, 0, &list);
    if (doublePrecision) {
      double* ins[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
      double* outs[2] = {out[0].data(), out[1].data()};
      effect->processDoubleReplacing(effect, ins, outs, blockSize_);
    } else {
      float* ins[4] = {inFloat[0].data(), inFloat[1].data(), inFloat[2].data(), inFloat[3].data()};
      float* outs[2] = {outFloat[0].data(), outFloat[1].data()};
      effect->processReplacing(effect, ins, outs, blockSize_);
    }
  }

  std::unique_ptr<ZORQ> plug;
  std::unique_ptr<IPlugVST> vst;
  AEffect* effect = nullptr;
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
    host.effect->setParameter(host.effect, kInputMode, 1.0f);
    host.plug->loadSampleFile(false);
    ASSERT_FALSE(host.plug->sampleLoadFailed());
  }
  const size_t capacity = host.plug->sampler().converter().inputCapacity();
  thruEvents = 0;
  const size_t before = allocationCount(), filesBefore = fileCallCount();
  const int blocks = std::max(2 * kNumParams, 22050 / c.blockSize);
  for (int block = 0; block < blocks; ++block) {
    const int param = block % kNumParams;
    if (param != kInputMode || !c.fileRate)
      host.effect->setParameter(host.effect, param, static_cast<float>(block % 5) / 4.0f);
    host.processBlock(block, c.doublePrecision);
  }
  EXPECT_EQ(allocationCount(), before) << (countsMalloc() ? "" : "(operator new only)");
  EXPECT_EQ(fileCallCount(), filesBefore);
  EXPECT_EQ(host.plug->sampler().converter().inputCapacity(), capacity);
  if (!fileCallsAreCounted())
    GTEST_SKIP() << "allocations checked; file calls are not counted here";
  EXPECT_GT(thruEvents, blocks);  // "MIDI Thru" answered every block
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, RealTimeSafety,
                         ::testing::Values(BlockCase{1, false, 0}, BlockCase{17, true, 48000},
                                           BlockCase{64, false, 8000}, BlockCase{512, true, 96000},
                                           BlockCase{999, false, 22050},
                                           BlockCase{4096, true, 192000}));
