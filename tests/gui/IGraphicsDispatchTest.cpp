// Hit testing, mouse dispatch with the host's edit gestures and the redraw cadence; the
// editor wired to the plug-in through the adapter; values pushed from other threads.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "GuiTestSupport.h"
#include "gui/IBitmapControl.h"
#include "gui/IKnobControl.h"

namespace {

// Background panel (0), a lower control (1) at (10,10)-(50,50) and an upper one (2)
// at (30,30)-(70,70) overlapping it.
TEST(IGraphics, HitTestFindsTheTopmostCandidate) {
  enum Upper { kVisible, kHidden, kGrayed, kGrayedMouseOver };
  for (const auto& [name, state, x, y, mouseOver, expected] :
       {std::tuple{"OverlapGoesToTheLaterControl", kVisible, 40, 40, false, 2},
        {"HiddenLetsTheClickThrough", kHidden, 40, 40, false, 1},
        {"GrayedIsHoveredWhenAllowed", kGrayedMouseOver, 40, 40, true, 2},
        {"GrayedIsNotClickedWhenHoverAllowed", kGrayedMouseOver, 40, 40, false, 1},
        {"RightAndBottomEdgesAreOutside", kVisible, 70, 70, false, 0},
        {"OutsideTheEditorHitsNothing", kVisible, 250, 50, false, -1}}) {
    SCOPED_TRACE(name);
    TestEditor editor;
    IGraphics& g = *editor.graphics;
    g.AttachPanelBackground(&COLOR_BLACK);
    editor.add(new RecordingControl(&editor.plug, IRECT(10, 10, 50, 50)));
    auto* upper = editor.add(new RecordingControl(&editor.plug, IRECT(30, 30, 70, 70)));
    upper->Hide(state == kHidden);
    upper->GrayOut(state == kGrayed || state == kGrayedMouseOver);
    upper->SetMOWhenGrayed(state == kGrayedMouseOver);
    EXPECT_EQ(g.GetMouseControlIdx(x, y, mouseOver), expected);
  }
}

struct Dispatch : ::testing::Test {
  TestEditor editor;
  RecordingControl* control =
      editor.add(new RecordingControl(&editor.plug, IRECT(10, 10, 50, 50), 0));
  IGraphics& g = *editor.graphics;
  IMouseMod mod{true};
};

TEST_F(Dispatch, DragDeltasFollowThePreviousEventAndRepeatsAreDropped) {
  g.OnMouseDown(20, 20, &mod);
  for (auto [x, y] : {std::pair{20, 23}, {20, 23}, {20, 20}, {60, 90}}) g.OnMouseDrag(x, y, &mod);
  EXPECT_EQ(control->events,
            (std::vector<std::string>{"down", "drag 0,3", "drag 0,-3", "drag 40,70"}));
}

TEST_F(Dispatch, MouseUpOutsideEveryControlClosesTheHostGesture) {
  editor.attach();
  g.OnMouseDown(20, 20, &mod);
  g.OnMouseUp(-5, 300, &mod);
  EXPECT_EQ(control->events, (std::vector<std::string>{"down", "up"}));
  EXPECT_EQ(editor.plug.editOpcodes(),
            (std::vector<int>{audioMasterBeginEdit, audioMasterEndEdit}));
  EXPECT_EQ(g.GetMouseCapture(), -1);
}

// Second click of a double click: the capture is released and not taken again; the
// following mouse-up still ends a host gesture at the control under the pointer, and
// later drags reach nothing.
TEST_F(Dispatch, DoubleClickReleasesTheCapture) {
  IBitmap twoFrames(nullptr, 10, 20, 2);
  auto* toggle = editor.add(new ISwitchControl(&editor.plug, 60, 10, 2, &twoFrames));
  editor.attach();
  g.OnMouseDown(62, 12, &mod);
  g.OnMouseUp(62, 12, &mod);
  EXPECT_EQ(toggle->GetValue(), 1.0);
  g.OnMouseDblClick(62, 12, &mod);
  EXPECT_EQ(g.GetMouseCapture(), -1);
  EXPECT_EQ(toggle->GetValue(), 0.0);  // a fast double click steps twice in all
  g.OnMouseUp(62, 12, &mod);
  g.OnMouseDrag(65, 40, &mod);
  EXPECT_EQ(toggle->GetValue(), 0.0);
  EXPECT_EQ(editor.plug.editOpcodes(),
            (std::vector<int>{audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit,
                              audioMasterAutomate, audioMasterEndEdit}));
}

// The level meter's index names no parameter: no gesture, no parameter change, no
// automation, whatever the mouse does.
TEST_F(Dispatch, IndexWithoutParameterReachesNeitherParameterNorHost) {
  auto frames = numberedFrames(8, 8, 31);
  IBitmap meterBitmap(frames.get(), 8, 8 * 31, 31);
  auto* meter = editor.add(new IKnobMultiControl(&editor.plug, 60, 10, 112, &meterBitmap));
  editor.attach();
  editor.plug.changes.clear();
  g.OnMouseDown(62, 12, &mod);
  g.OnMouseDrag(62, 2, &mod);
  g.OnMouseUp(62, 2, &mod);
  g.OnMouseWheel(62, 12, &mod, 5);
  g.OnMouseDblClick(62, 12, &mod);
  EXPECT_GT(meter->GetValue(), 0.0);
  EXPECT_TRUE(editor.plug.editOpcodes().empty());
  EXPECT_TRUE(editor.plug.changes.empty());
}

TEST_F(Dispatch, OnIdleRunsOnThe21stCleanTickAndADirtyTickRestartsTheCount) {
  editor.attach();
  editor.settle();  // draws the freshly attached control, then one tick finds nothing
  auto idlesAfterCleanTicks = [&](int n) {
    for (IRECT r; n > 0; --n) EXPECT_FALSE(g.IsDirty(&r));
    return editor.plug.idles;
  };
  editor.plug.idles = 0;
  EXPECT_EQ(idlesAfterCleanTicks(19), 0);  // 20 clean ticks so far
  EXPECT_EQ(idlesAfterCleanTicks(1), 1);
  idlesAfterCleanTicks(10);
  control->SetValueFromPlug(0.9);
  editor.settle();
  EXPECT_EQ(idlesAfterCleanTicks(19), 1);
  EXPECT_EQ(idlesAfterCleanTicks(2), 2);
}

// The editor wired to the plug-in through the real adapter callbacks: attaching, host
// automation, typed values, user edits reaching the host as gestures, and the window's
// scale.

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
  // The host's factor (0: none sent), the screen's, the user's, and the scale chosen.
  using Row = std::tuple<const char*, float, int, int, int>;
  for (const auto& [name, hostFactor, systemScale, preferred, expected] :
       {Row{"NothingSaysSoOne", 0.0f, 0, 0, 1}, Row{"UsersChoice", 0.0f, 0, 2, 2},
        Row{"ScreenBeforeUser", 0.0f, 2, 1, 2}, Row{"HostBeforeScreen", 1.0f, 2, 2, 1},
        Row{"HostOneAndAHalfDoubles", 1.5f, 0, 0, 2},
        Row{"HostBelowOneAndAHalf", 1.25f, 0, 2, 1}}) {
    SCOPED_TRACE(name);
    TestEditor editor;
    editor.platform->canOpenWindow = true;
    editor.platform->systemScale = systemScale;
    editor.graphics->SetPreferredScale(preferred);
    editor.attach();
    AEffect* effect = editor.effect();
    if (hostFactor > 0)
      effect->dispatcher(effect, effVendorSpecific, kVstScaleVendorIndex, kVstScaleVendorValue,
                         nullptr, hostFactor);
    ERect* rect = nullptr;
    ASSERT_EQ(effect->dispatcher(effect, effEditGetRect, 0, 0, &rect, 0), 1);
    EXPECT_EQ(rect->right, 200 * expected);
    EXPECT_EQ(rect->bottom, 100 * expected);
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

// Values pushed into the controls from the audio thread (learned controllers) and
// the host's automation thread while the editor's thread draws and edits. The
// ThreadSanitizer build (make test-tsan) reports any unsynchronised access.

TEST(Concurrency, PushedValuesAndEditorThreadShareControlsSafely) {
  TestEditor editor(120, 60);
  auto frames = numberedFrames(20, 20, 65);
  IBitmap knobBitmap(frames.get(), 20, 20 * 65, 65);
  auto* gain = editor.add(new IKnobMultiControl(&editor.plug, 0, 0, 0, &knobBitmap));
  auto* follower = editor.add(new IKnobMultiControl(&editor.plug, 30, 0, 1, &knobBitmap));
  follower->AddAuxParam(0);
  IBitmap lamp(frames.get(), 20, 40, 2);
  editor.add(new ISwitchControl(&editor.plug, 60, 0, 2, &lamp));
  editor.attach();
  editor.platform->windowOpen = true;
  AEffect* effect = editor.effect();

  constexpr int kRounds = 4000;
  std::atomic<int> running{2};
  std::thread audio([&] {
    for (int i = 0; i < kRounds; ++i) {
      editor.graphics->SetParameterFromPlug(0, (i % 100) / 100.0, true);
      editor.graphics->SetParameterFromPlug(2, i & 1, false);
    }
    --running;
  });
  std::thread automation([&] {
    for (int i = 0; i < kRounds; ++i) effect->setParameter(effect, 0, float(i % 7) / 7.0f);
    --running;
  });
  IMouseMod mod(true);
  int y = 10;
  while (running > 0) {
    editor.platform->Tick();
    editor.graphics->OnMouseDown(10, 10, &mod);
    editor.graphics->OnMouseDrag(10, y = (y == 10 ? 4 : 10), &mod);
    editor.graphics->OnMouseUp(10, y, &mod);
    editor.graphics->OnMouseDown(65, 5, &mod);
    editor.graphics->OnMouseUp(65, 5, &mod);
  }
  audio.join();
  automation.join();
  editor.settle();
  for (const double value : {gain->GetValue(), follower->GetAuxParam(0)->mValue.load()}) {
    EXPECT_GE(value, 0.0);
    EXPECT_LE(value, 1.0);
  }
}

}  // namespace
