// The editor wired to the plug-in through the real adapter callbacks: attaching, host
// automation, typed values, user edits reaching the host as gestures, and the window's
// scale.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"

namespace {

struct Wired : ::testing::Test {
  Wired() {
    gainFollower->AddAuxParam(0);
    for (IControl* c : {gain, gainFollower, freq}) editor.graphics->AttachControl(c);
    editor.attach();
    effect = editor.effect();
  }
  TestEditor editor;
  RecordingKnob* gain = new RecordingKnob(&editor.plug, IRECT(10, 10, 50, 50), 0);
  RecordingKnob* gainFollower = new RecordingKnob(&editor.plug, IRECT(60, 10, 100, 50), 1);
  RecordingKnob* freq = new RecordingKnob(&editor.plug, IRECT(110, 10, 150, 50), 3);
  AEffect* effect = nullptr;
};

TEST_F(Wired, AttachPushesNormalisedValuesAndHostAutomationMovesTheControls) {
  EXPECT_EQ(gain->GetValue(), 0.5);
  EXPECT_DOUBLE_EQ(freq->GetValue(), editor.plug.GetParam(3)->GetNormalized());
  EXPECT_EQ(gainFollower->GetAuxParam(0)->mValue.load(), 0.5);
  EXPECT_EQ(gainFollower->GetAuxParam(1), nullptr);  // one auxiliary parameter only
  EXPECT_EQ(effect->flags & effFlagsHasEditor, 0);   // the headless layer shows no window

  editor.settle();
  effect->setParameter(effect, 0, 0.25f);
  EXPECT_EQ(gain->GetValue(), 0.25);
  EXPECT_EQ(gainFollower->GetAuxParam(0)->mValue.load(), 0.25);
  char typed[] = "1000";
  effect->dispatcher(effect, effString2Parameter, 3, 0, typed, 0.0f);
  EXPECT_DOUBLE_EQ(freq->GetValue(), editor.plug.GetParam(3)->GetNormalized(1000.0));
  EXPECT_TRUE(editor.plug.editOpcodes().empty());  // host automation is not echoed back
}

// The host's factor wins, else the screen's, else the user's.
TEST(EditorScale, HostThenScreenThenUserDecideTheWindowSize) {
  const struct {
    const char* name;
    float hostFactor;  // 0: the host sent none
    int systemScale, preferred, expected;
  } cases[] = {{"NothingSaysSoOne", 0, 0, 0, 1},          {"UsersChoice", 0, 0, 2, 2},
               {"ScreenBeforeUser", 0, 2, 1, 2},          {"HostBeforeScreen", 1.0f, 2, 2, 1},
               {"HostOneAndAHalfDoubles", 1.5f, 0, 0, 2}, {"HostBelowOneAndAHalf", 1.25f, 0, 2, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestEditor editor;
    editor.platform->canOpenWindow = true;
    editor.platform->systemScale = c.systemScale;
    editor.graphics->SetPreferredScale(c.preferred);
    editor.attach();
    AEffect* effect = editor.effect();
    if (c.hostFactor > 0)
      effect->dispatcher(effect, effVendorSpecific, kVstScaleVendorIndex, kVstScaleVendorValue,
                         nullptr, c.hostFactor);
    ERect* rect = nullptr;
    ASSERT_EQ(effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0), 1);
    EXPECT_EQ(rect->right, 200 * c.expected);
    EXPECT_EQ(rect->bottom, 100 * c.expected);
    EXPECT_TRUE(effect->flags & effFlagsHasEditor);
  }
}

TEST(EditorScale, AnOpenWindowsHostIsAskedToResizeOnce) {
  TestEditor editor;
  editor.attach();
  AEffect* effect = editor.effect();
  ASSERT_EQ(effect->dispatcher(effect, effEditOpen, 0, 0, nullptr, 0), 1);
  for (int i = 0; i < 2; ++i)  // the second message changes nothing
    effect->dispatcher(effect, effVendorSpecific, kVstScaleVendorIndex, kVstScaleVendorValue,
                       nullptr, 2.0f);
  std::vector<RecordedHostCall> resizes;
  for (const RecordedHostCall& call : editor.plug.calls)
    if (call.opcode == audioMasterSizeWindow) resizes.push_back(call);
  ASSERT_EQ(resizes.size(), 1u);
  EXPECT_EQ(resizes[0].index, 400);
  EXPECT_TRUE(editor.platform->Called("WindowResized", {"200", "100"}));
}

}  // namespace
