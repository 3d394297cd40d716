// A MIDI program change with the editor open: the editor's controls follow from the
// audio thread without an allocation there.
#include <gtest/gtest.h>

#include <vector>

#include "EditorTestSupport.h"
#include "framework/IMidiMsg.h"
#include "support/AllocationCounter.h"

namespace {

constexpr int kBlock = 256;

TEST(MidiProgramChange, EditorFollowsWithoutAllocatingOnTheAudioThread) {
  EditorHarness h;
  ZORQ& plug = h.instrument;
  plug.EnsureDefaultPreset();
  plug.GetParam(kFinalVolume)->Set(0.9);
  plug.changePreset(3);  // program 0 stores 0.9
  plug.GetParam(kFinalVolume)->Set(0.4);
  plug.changePreset(0);  // program 3 stores 0.4
  plug.SetSampleRate(44100.0);
  plug.Reset();
  plug.OnActivate(true);
  h.open();

  std::vector<double> in(kBlock, 0.0), left(kBlock), right(kBlock);
  double* inputs[4] = {in.data(), in.data(), in.data(), in.data()};
  double* outputs[2] = {left.data(), right.data()};
  plug.ProcessDoubleReplacing(inputs, outputs, kBlock);  // first block sizes everything

  IMidiMsg change(10, 0xC0, 3, 0);
  const size_t before = allocationCount();
  plug.ProcessMidiMsg(&change);
  plug.ProcessDoubleReplacing(inputs, outputs, kBlock);
  EXPECT_EQ(allocationCount(), before) << (countsMalloc() ? "" : "(operator new only)");

  EXPECT_EQ(plug.GetCurrentPresetIdx(), 3);
  h.settle();
  for (int i = 0; i < h.editor->NControls(); ++i)
    if (h.control(i)->ParamIdx() == kFinalVolume) {
      EXPECT_DOUBLE_EQ(h.control(i)->GetValue(), plug.GetParam(kFinalVolume)->GetNormalized());
    }
  EXPECT_EQ(plug.GetParam(kFinalVolume)->Value(), 0.4);
}

}  // namespace
