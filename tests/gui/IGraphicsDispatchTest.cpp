// Hit testing, mouse dispatch with the host's edit gestures and the redraw cadence.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "gui/IBitmapControl.h"
#include "gui/IKnobControl.h"

namespace {

// Background panel (0), a lower control (1) at (10,10)-(50,50) and an upper one (2)
// at (30,30)-(70,70) overlapping it.
TEST(IGraphics, HitTestFindsTheTopmostCandidate) {
  enum Upper { kVisible, kHidden, kGrayed, kGrayedMouseOver };
  const struct {
    const char* name;
    Upper upper;
    int x, y;
    bool mouseOver;
    int expected;
  } cases[] = {{"OverlapGoesToTheLaterControl", kVisible, 40, 40, false, 2},
               {"HiddenLetsTheClickThrough", kHidden, 40, 40, false, 1},
               {"GrayedIsHoveredWhenAllowed", kGrayedMouseOver, 40, 40, true, 2},
               {"GrayedIsNotClickedWhenHoverAllowed", kGrayedMouseOver, 40, 40, false, 1},
               {"RightAndBottomEdgesAreOutside", kVisible, 70, 70, false, 0},
               {"OutsideTheEditorHitsNothing", kVisible, 250, 50, false, -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestEditor editor;
    IGraphics& g = *editor.graphics;
    g.AttachPanelBackground(&COLOR_BLACK);
    editor.add(new RecordingControl(&editor.plug, IRECT(10, 10, 50, 50)));
    auto* upper = editor.add(new RecordingControl(&editor.plug, IRECT(30, 30, 70, 70)));
    upper->Hide(c.upper == kHidden);
    upper->GrayOut(c.upper == kGrayed || c.upper == kGrayedMouseOver);
    upper->SetMOWhenGrayed(c.upper == kGrayedMouseOver);
    EXPECT_EQ(g.GetMouseControlIdx(c.x, c.y, c.mouseOver), c.expected);
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

}  // namespace
