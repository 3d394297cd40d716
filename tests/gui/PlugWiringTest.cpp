// The editor wired to the plug-in through the real adapter callbacks: attaching,
// host automation, typed values, and user edits reaching the host as gestures.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "gui/IBitmapControl.h"
#include "gui/IKnobControl.h"

namespace {

struct Wired : ::testing::Test {
  Wired() {
    gain = new RecordingKnob(&editor.plug, IRECT(10, 10, 50, 50), 0);
    gainFollower = new RecordingKnob(&editor.plug, IRECT(60, 10, 100, 50), 1);
    gainFollower->AddAuxParam(0);
    freq = new RecordingKnob(&editor.plug, IRECT(110, 10, 150, 50), 3);
    for (IControl* c : {gain, gainFollower, freq}) editor.graphics->AttachControl(c);
    editor.attach();
    effect = editor.plug.GetAEffect();
  }
  TestEditor editor;
  RecordingKnob* gain;
  RecordingKnob* gainFollower;
  RecordingKnob* freq;
  AEffect* effect;
};

TEST_F(Wired, AttachPushesNormalisedValuesAndLeavesTheEditorFlagClear) {
  EXPECT_EQ(editor.plug.GetGUI(), editor.graphics);
  EXPECT_EQ(gain->GetValue(), 0.5);
  EXPECT_DOUBLE_EQ(freq->GetValue(), editor.plug.GetParam(3)->GetNormalized());
  EXPECT_EQ(gain->GetDefaultValue(), 0.5);
  EXPECT_EQ(gainFollower->GetAuxParam(0)->mValue.load(), 0.5);
  ASSERT_NE(editor.graphics->GetDrawBitmap(), nullptr);
  EXPECT_EQ(editor.graphics->GetDrawBitmap()->getWidth(), 200);
  EXPECT_EQ(effect->flags & effFlagsHasEditor, 0);
}

TEST_F(Wired, HostAutomationAndTypedValuesMoveTheControls) {
  editor.settle();
  effect->setParameter(effect, 0, 0.25f);
  EXPECT_EQ(gain->GetValue(), 0.25);
  EXPECT_EQ(gainFollower->GetAuxParam(0)->mValue.load(), 0.25);
  EXPECT_TRUE(gain->IsDirty());
  char typed[] = "1000";
  effect->dispatcher(effect, effString2Parameter, 3, 0, typed, 0.0f);
  EXPECT_DOUBLE_EQ(freq->GetValue(), editor.plug.GetParam(3)->GetNormalized(1000.0));
  // Host automation is not echoed back to the host.
  EXPECT_TRUE(editor.plug.editOpcodes().empty());
}

TEST_F(Wired, RedrawParamControlsPushesPlainValues) {
  editor.plug.GetParam(3)->Set(2000.0);
  editor.plug.RedrawParamControls();
  EXPECT_DOUBLE_EQ(freq->GetValue(), editor.plug.GetParam(3)->GetNormalized(2000.0));
}

TEST_F(Wired, DragReachesTheParameterFramedByTheHostGesture) {
  IMouseMod mod(true);
  editor.graphics->OnMouseDown(20, 30, &mod);
  editor.graphics->OnMouseDrag(20, 20, &mod);
  editor.graphics->OnMouseUp(20, 20, &mod);
  EXPECT_DOUBLE_EQ(editor.plug.GetParam(0)->Value(), 0.5625);
  EXPECT_EQ(editor.plug.changes.back(), 0);
  const std::vector<HostCall> expected{{audioMasterBeginEdit, 0, 0.0f},
                                       {audioMasterAutomate, 0, 0.5625f},
                                       {audioMasterEndEdit, 0, 0.0f}};
  EXPECT_EQ(editor.plug.calls, expected);
  EXPECT_FLOAT_EQ(editor.plug.calls[1].value, 0.5625f);
}

TEST(Prompts, EnumOpensAMenuOfItsTextsAndDoubleOpensATextField) {
  TestEditor editor;
  auto* mode = new RecordingKnob(&editor.plug, IRECT(10, 10, 50, 50), 1);
  auto* freq = new RecordingKnob(&editor.plug, IRECT(60, 10, 100, 50), 3);
  mode->DisablePrompt(false);
  freq->DisablePrompt(false);
  editor.graphics->AttachControl(mode);
  editor.graphics->AttachControl(freq);
  editor.attach();
  IMouseMod right(false, true);

  editor.graphics->OnMouseDown(20, 20, &right);  // window closed: no menu
  EXPECT_EQ(editor.platform->Count("CreateIPopupMenu"), 0);

  editor.platform->windowOpen = true;
  editor.platform->menuAnswers.push_back({2});
  mode->PromptUserInput();
  EXPECT_TRUE(editor.platform->Called("CreateIPopupMenu", {"A|B|C", "10,10,50,50"}));
  EXPECT_EQ(editor.plug.GetParam(1)->Int(), 2);

  editor.platform->textEntryAnswers.push_back(std::string("880"));
  freq->PromptUserInput();
  EXPECT_TRUE(editor.platform->Called("CreateTextEntry", {"440.0", "60,22,100,38"}));
  EXPECT_DOUBLE_EQ(editor.plug.GetParam(3)->Value(), 880.0);
}

}  // namespace
