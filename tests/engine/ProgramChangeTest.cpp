// MIDI program change: applied at the control tick of the message, on the audio
// thread without allocating and without reading files; the program's sample file
// follows at the next idle call of the user-interface thread.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "EngineHarness.h"
#include "framework/IMidiMsg.h"
#include "sampler/WavTestFile.h"
#include "support/AllocationCounter.h"

namespace {

int updateDisplayCalls = 0;

VstIntPtr hostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  if (opcode == audioMasterVersion) return kVstVersion2400;
  if (opcode == audioMasterUpdateDisplay) ++updateDisplayCalls;
  return 0;
}

// An editor that remembers what the instrument pushed into its controls (fixed
// storage: the pushes come from the audio thread too).
class RecordingEditor : public IPlugGUI {
 public:
  void SetParameterFromPlug(int paramIdx, double value, bool normalized) override {
    if (paramIdx < 0 || paramIdx >= kNumParams) return;
    (normalized ? normalizedValue : plainValue)[paramIdx] = value;
    ++(normalized ? normalizedPushes : plainPushes);
  }
  void PrepDraw() override {}
  bool WindowIsOpen() override { return true; }
  int Width() const override { return 800; }
  int Height() const override { return 360; }
  bool CanOpenWindow() const override { return false; }
  void* OpenWindow(void*) override { return nullptr; }
  void CloseWindow() override {}
  void OnWindowIdle() override {}
  bool OnHostKey(const IKeyPress&, bool) override { return false; }
  int Scale() override { return 1; }
  void SetHostScale(float) override {}
  void SetPreferredScale(int) override {}

  double plainValue[kNumParams] = {};
  double normalizedValue[kNumParams] = {};
  int plainPushes = 0;
  int normalizedPushes = 0;
};

constexpr int kBlock = 512;
constexpr int kSoft = 0;  // the starting program: "Final Volume" 0.25, sample A
constexpr int kLoud = 5;  // "Final Volume" 0.8, sample B
constexpr int kNeverUsed = 9;

// An instrument with two programs that differ in "Final Volume" and sample file,
// playing in "File" input mode with program kSoft current.
struct TwoPrograms {
  TwoPrograms() : h(44100.0, &hostCallback), editor(new RecordingEditor) {
    h.plug->AttachGraphics(editor);
    sampleA = dir.write("a.wav", wavtest::wav(1, 16, 1, 44100, wavtest::sine(44100, 220.0, 44100.0)));
    sampleB = dir.write("b.wav", wavtest::wav(1, 16, 1, 44100, wavtest::sine(22050, 330.0, 44100.0)));
    storeProgram(kLoud, "Loud", 0.8, sampleB);
    storeProgram(kSoft, "Soft", 0.25, sampleA);
    updateDisplayCalls = 0;
  }

  void storeProgram(int index, const char* name, double finalVolume, const std::string& sample) {
    h.plug->RestorePreset(index);
    h.setParam(kFinalVolume, finalVolume);
    h.setParam(kInputMode, 1.0);
    h.plug->setSampleFileName(sample.c_str());
    h.plug->loadSampleFile(false);
    h.plug->ModifyCurrentPreset(name);
  }

  void send(int offset, uint8_t status, uint8_t data1, uint8_t data2 = 0) {
    IMidiMsg msg(offset, status, data1, data2);
    h.plug->ProcessMidiMsg(&msg);
  }

  wavtest::TempDir dir;
  std::string sampleA, sampleB;
  EngineHarness h;
  RecordingEditor* editor;  // owned by the instrument
};

class ProgramChange : public ::testing::Test, public TwoPrograms {};

// Renders four blocks of a held note; with a program change at offset 100 of the
// third block when `change`. Returns the left output.
std::vector<double> renderHeldNote(TwoPrograms& t, bool change, size_t* allocationsInChangeBlock) {
  std::vector<double> left;
  t.send(0, 0x90, 60, 100);
  for (int block = 0; block < 4; ++block) {
    if (change && block == 2) t.send(100, 0xC0, kLoud);
    const size_t before = allocationCount();
    t.h.process(kBlock);
    if (block == 2 && allocationsInChangeBlock) *allocationsInChangeBlock = allocationCount() - before;
    left.insert(left.end(), t.h.out[0].begin(), t.h.out[0].begin() + kBlock);
  }
  return left;
}

}  // namespace

TEST_F(ProgramChange, SwitchesAtItsTickInTheMiddleOfANoteWithoutAllocating) {
  const uint32_t lengthA = h.plug->sampler().outputLength();
  TwoPrograms reference;
  const std::vector<double> expected = renderHeldNote(reference, false, nullptr);
  size_t allocations = 1;
  const std::vector<double> rendered = renderHeldNote(*this, true, &allocations);

  EXPECT_EQ(allocations, 0u) << (countsMalloc() ? "" : "(operator new only)");
  // Identical up to the tick that takes the message (within one tick of its offset),
  // then louder by the ratio of the two programs' "Final Volume".
  size_t first = 0;
  while (first < rendered.size() && rendered[first] == expected[first]) ++first;
  const size_t offset = 2 * kBlock + 100, tick = h.plug->subBlockLength();
  ASSERT_GE(first + tick, offset);
  ASSERT_LE(first, offset + tick);
  for (size_t i = first; i < rendered.size(); ++i)
    ASSERT_NEAR(rendered[i], expected[i] * 0.8 / 0.25, 1e-12 + 1e-9 * std::fabs(expected[i])) << i;

  EXPECT_EQ(h.plug->GetCurrentPresetIdx(), kLoud);
  EXPECT_STREQ(h.plug->GetPresetName(h.plug->GetCurrentPresetIdx()), "Loud");
  EXPECT_EQ(updateDisplayCalls, 1);
  EXPECT_EQ(editor->plainValue[kFinalVolume], 0.8);
  // The old sample plays on until the user-interface thread's idle call loads B.
  EXPECT_EQ(h.plug->sampleFileName(), sampleA);
  EXPECT_EQ(h.plug->sampler().outputLength(), lengthA);
  h.plug->completeProgramChange();
  EXPECT_EQ(h.plug->sampleFileName(), sampleB);
  EXPECT_EQ(h.plug->sampler().outputLength(), lengthA / 2);
}

TEST_F(ProgramChange, StoringTheStateBeforeIdleKeepsTheProgramsSampleFile) {
  send(0, 0xC0, kLoud);
  h.process(kBlock);
  h.plug->changePreset(kSoft);  // stores the live state into "Loud" first
  EXPECT_EQ(h.plug->sampleFileName(), sampleA);
  h.plug->changePreset(kLoud);
  EXPECT_EQ(h.plug->sampleFileName(), sampleB);
}

TEST_F(ProgramChange, NeverUsedSlotIsNamedAndStoredAtIdle) {
  send(0, 0xC0, kNeverUsed);
  h.process(kBlock);
  EXPECT_EQ(h.plug->GetCurrentPresetIdx(), kNeverUsed);
  EXPECT_EQ(h.plug->GetParam(kFinalVolume)->Value(), 0.25);  // the live state stays
  EXPECT_STREQ(h.plug->GetPresetName(kNeverUsed), "empty");
  h.plug->completeProgramChange();
  EXPECT_STREQ(h.plug->GetPresetName(kNeverUsed), "user preset 1");
  EXPECT_EQ(updateDisplayCalls, 2);
}

TEST_F(ProgramChange, LearnedControllerMovesTheEditorsControl) {
  h.plug->configuration().setControllerParameter(7, kBias);
  const int before = editor->normalizedPushes;
  send(0, 0xB0, 7, 127);
  h.process(kBlock);
  EXPECT_EQ(h.plug->GetParam(kBias)->Value(), 1.0);
  EXPECT_EQ(editor->normalizedPushes, before + 1);
  EXPECT_EQ(editor->normalizedValue[kBias], 1.0);
}

struct IgnoredCase {
  const char* name;
  bool ignoreSetting;
  int program;
};

void PrintTo(const IgnoredCase& c, std::ostream* os) { *os << c.name; }

class ProgramChangeIgnored : public ProgramChange, public ::testing::WithParamInterface<IgnoredCase> {};

TEST_P(ProgramChangeIgnored, LeavesEverythingAsItWas) {
  h.plug->configuration().setIgnoreProgramChange(GetParam().ignoreSetting);
  send(0, 0xC0, static_cast<uint8_t>(GetParam().program));
  h.process(kBlock);
  h.plug->completeProgramChange();
  EXPECT_EQ(h.plug->GetCurrentPresetIdx(), kSoft);
  EXPECT_EQ(h.plug->GetParam(kFinalVolume)->Value(), 0.25);
  EXPECT_EQ(h.plug->sampleFileName(), sampleA);
  EXPECT_EQ(updateDisplayCalls, 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProgramChangeIgnored,
                         ::testing::Values(IgnoredCase{"IgnoreSettingOn", true, kLoud},
                                           IgnoredCase{"ProgramPastTheLast", false, 64},
                                           IgnoredCase{"HighestProgramNumber", false, 127}));
