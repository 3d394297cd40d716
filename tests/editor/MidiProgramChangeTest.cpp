// MIDI with the editor open: after a program change or a learned controller the
// editor's controls follow, and the audio thread allocates nothing for them.
#include <gtest/gtest.h>

#include <vector>

#include "EditorTestSupport.h"
#include "framework/IMidiMsg.h"
#include "support/AllocationCounter.h"

namespace {

TEST(MidiWithEditor, ControlsFollowWithoutAllocatingOnTheAudioThread) {
  EditorHarness h;
  ZORQ& plug = h.instrument;
  plug.EnsureDefaultPreset();
  plug.GetParam(kFinalVolume)->Set(0.4);
  plug.changePreset(3);  // program 0 stores 0.4
  plug.changePreset(0);  // program 3 keeps its default, 0.25
  plug.configuration().setControllerParameter(7, kBias);
  plug.SetSampleRate(44100.0);
  plug.Reset();
  plug.OnActivate(true);
  h.open();

  std::vector<double> in(256, 0.0), left(256), right(256);
  double* inputs[4] = {in.data(), in.data(), in.data(), in.data()};
  double* outputs[2] = {left.data(), right.data()};
  plug.ProcessDoubleReplacing(inputs, outputs, 256);  // the first block sizes everything

  IMidiMsg change(10, 0xC0, 3, 0), controller(20, 0xB0, 7, 127);
  const size_t before = allocationCount();
  plug.ProcessMidiMsg(&change);
  plug.ProcessMidiMsg(&controller);
  plug.ProcessDoubleReplacing(inputs, outputs, 256);
  EXPECT_EQ(allocationCount(), before) << (countsMalloc() ? "" : "(operator new only)");

  h.settle();
  EXPECT_EQ(plug.GetParam(kFinalVolume)->Value(), 0.25);
  EXPECT_DOUBLE_EQ(h.controlValue(kFinalVolume), plug.GetParam(kFinalVolume)->GetNormalized());
  EXPECT_EQ(plug.GetParam(kBias)->Value(), 1.0);
  EXPECT_DOUBLE_EQ(h.controlValue(kBias), 1.0);
}

}  // namespace
