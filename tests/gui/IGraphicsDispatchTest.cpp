// Hit testing, mouse dispatch with the host's edit gestures, the redraw cadence and
// non-strict drawing.
#include <gtest/gtest.h>

#include <ostream>

#include "GuiTestSupport.h"
#include "gui/IBitmapControl.h"
#include "gui/IKnobControl.h"
#include "gui/ITextControl.h"

namespace {

enum class Upper { kVisible, kHidden, kGrayed, kGrayedMouseOver };

struct HitCase {
  const char* name;
  Upper upper;
  int x, y;
  bool mouseOver;
  int expected;
};

void PrintTo(const HitCase& c, std::ostream* os) { *os << c.name; }

// Background panel (0), a lower control (1) at (10,10)-(50,50) and an upper one (2)
// at (30,30)-(70,70) overlapping it.
class HitTest : public ::testing::TestWithParam<HitCase> {};

TEST_P(HitTest, FindsTheTopmostCandidate) {
  const HitCase& c = GetParam();
  TestEditor editor;
  IGraphics& g = *editor.graphics;
  g.AttachPanelBackground(&COLOR_BLACK);
  g.AttachControl(new RecordingControl(&editor.plug, IRECT(10, 10, 50, 50)));
  auto* upper = new RecordingControl(&editor.plug, IRECT(30, 30, 70, 70));
  g.AttachControl(upper);
  if (c.upper == Upper::kHidden) upper->Hide(true);
  if (c.upper == Upper::kGrayed || c.upper == Upper::kGrayedMouseOver) upper->GrayOut(true);
  upper->SetMOWhenGrayed(c.upper == Upper::kGrayedMouseOver);
  EXPECT_EQ(g.GetMouseControlIdx(c.x, c.y, c.mouseOver), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Overlap, HitTest,
    ::testing::Values(HitCase{"OverlapGoesToTheLaterControl", Upper::kVisible, 40, 40, false, 2},
                      HitCase{"HiddenLaterControlLetsTheClickThrough", Upper::kHidden, 40, 40, false, 1},
                      HitCase{"GrayedLaterControlLetsTheClickThrough", Upper::kGrayed, 40, 40, false, 1},
                      HitCase{"GrayedControlIsHoveredWhenAllowed", Upper::kGrayedMouseOver, 40, 40, true, 2},
                      HitCase{"GrayedControlIsNotClickedWhenHoverAllowed", Upper::kGrayedMouseOver, 40, 40, false, 1},
                      HitCase{"HiddenControlUncoversTheBackground", Upper::kHidden, 60, 60, false, 0},
                      HitCase{"RightAndBottomEdgesAreOutside", Upper::kVisible, 70, 70, false, 0},
                      HitCase{"OutsideTheEditorHitsNothing", Upper::kVisible, 250, 50, false, -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MouseDispatch, DragDeltasFollowThePreviousEventAndRepeatsAreDropped) {
  TestEditor editor;
  auto* control = new RecordingControl(&editor.plug, IRECT(10, 10, 50, 50));
  editor.graphics->AttachControl(control);
  IMouseMod mod(true);
  editor.graphics->OnMouseDown(20, 20, &mod);
  for (auto [x, y] : {std::pair{20, 23}, {20, 23}, {20, 20}, {60, 90}}) editor.graphics->OnMouseDrag(x, y, &mod);
  EXPECT_EQ(control->events,
            (std::vector<std::string>{"down", "drag 0,3", "drag 0,-3", "drag 40,70"}));
}

TEST(MouseDispatch, MouseUpOutsideEveryControlClosesTheHostGesture) {
  TestEditor editor;
  auto* control = new RecordingControl(&editor.plug, IRECT(10, 10, 50, 50), 0);
  editor.graphics->AttachControl(control);
  editor.attach();
  IMouseMod mod(true);
  editor.graphics->OnMouseDown(20, 20, &mod);
  editor.graphics->OnMouseUp(-5, 300, &mod);
  EXPECT_EQ(control->events, (std::vector<std::string>{"down", "up"}));
  EXPECT_EQ(editor.plug.editOpcodes(), (std::vector<int>{audioMasterBeginEdit, audioMasterEndEdit}));
  EXPECT_EQ(editor.graphics->GetMouseCapture(), -1);
}

// Second click of a double click: the capture is released and not taken again; the
// following mouse-up still ends a host gesture at the control under the pointer, and
// later drags reach nothing.
TEST(MouseDispatch, DoubleClickReleasesTheCapture) {
  TestEditor editor;
  IBitmap twoFrames(nullptr, 10, 20, 2);
  auto* toggle = new ISwitchControl(&editor.plug, 10, 10, 2, &twoFrames);
  editor.graphics->AttachControl(toggle);
  editor.attach();
  IMouseMod mod(true);
  IGraphics& g = *editor.graphics;
  g.OnMouseDown(12, 12, &mod);
  g.OnMouseUp(12, 12, &mod);
  EXPECT_EQ(toggle->GetValue(), 1.0);
  g.OnMouseDblClick(12, 12, &mod);
  EXPECT_EQ(g.GetMouseCapture(), -1);
  EXPECT_EQ(toggle->GetValue(), 0.0);  // a fast double click steps twice in all
  g.OnMouseUp(12, 12, &mod);
  g.OnMouseDrag(15, 40, &mod);
  EXPECT_EQ(toggle->GetValue(), 0.0);
  EXPECT_EQ(editor.plug.editOpcodes(),
            (std::vector<int>{audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit,
                              audioMasterAutomate, audioMasterEndEdit}));
}

// The level meter's index names no parameter: no gesture, no parameter change, no
// automation, whatever the mouse does.
TEST(MouseDispatch, IndexWithoutParameterReachesNeitherParameterNorHost) {
  TestEditor editor;
  auto frames = numberedFrames(8, 8, 31);
  IBitmap meterBitmap(frames.get(), 8, 8 * 31, 31);
  auto* meter = new IKnobMultiControl(&editor.plug, 10, 10, 112, &meterBitmap);
  editor.graphics->AttachControl(meter);
  editor.attach();
  editor.plug.changes.clear();
  IMouseMod mod(true);
  IGraphics& g = *editor.graphics;
  g.OnMouseDown(12, 12, &mod);
  g.OnMouseDrag(12, 2, &mod);
  g.OnMouseUp(12, 2, &mod);
  g.OnMouseWheel(12, 12, &mod, 5);
  g.OnMouseDblClick(12, 12, &mod);
  EXPECT_GT(meter->GetValue(), 0.0);
  EXPECT_TRUE(editor.plug.editOpcodes().empty());
  EXPECT_TRUE(editor.plug.changes.empty());
}

TEST(RedrawCadence, OnIdleRunsOnThe21stCleanTickAndADirtyTickRestartsTheCount) {
  TestEditor editor;
  auto* control = new RecordingControl(&editor.plug, IRECT(10, 10, 50, 50), 0);
  editor.graphics->AttachControl(control);
  editor.attach();
  editor.settle();  // draws the freshly attached control, then one tick finds nothing
  IRECT r;
  auto cleanTicks = [&](int n) {
    for (int i = 0; i < n; ++i) EXPECT_FALSE(editor.graphics->IsDirty(&r));
  };
  editor.plug.idles = 0;
  cleanTicks(19);  // 20 clean ticks so far
  EXPECT_EQ(editor.plug.idles, 0);
  cleanTicks(1);
  EXPECT_EQ(editor.plug.idles, 1);
  cleanTicks(10);
  control->SetValueFromPlug(0.9);
  editor.settle();
  cleanTicks(19);
  EXPECT_EQ(editor.plug.idles, 1);
  cleanTicks(2);
  EXPECT_EQ(editor.plug.idles, 2);
}

TEST(RedrawCadence, NonStrictDrawingRedrawsOnlyWhatMeetsTheDirtyControl) {
  TestEditor editor;
  IGraphics& g = *editor.graphics;
  auto* background = new RecordingControl(&editor.plug, IRECT(0, 0, 200, 100));
  auto* dirty = new RecordingControl(&editor.plug, IRECT(10, 10, 30, 30), 0);
  auto* overlapping = new RecordingControl(&editor.plug, IRECT(25, 25, 45, 45));
  auto* touching = new RecordingControl(&editor.plug, IRECT(0, 0, 10, 10));  // its right edge at 10
  auto* far = new RecordingControl(&editor.plug, IRECT(100, 10, 120, 30));
  for (IControl* c : std::vector<IControl*>{background, dirty, overlapping, touching, far}) g.AttachControl(c);
  editor.attach();
  g.SetStrictDrawing(false);
  editor.settle();
  for (RecordingControl* c : {background, dirty, overlapping, touching, far}) c->draws = 0;

  dirty->SetValueFromPlug(0.75);
  EXPECT_TRUE(editor.platform->Tick());
  EXPECT_EQ(std::vector<int>({background->draws, dirty->draws, overlapping->draws, touching->draws,
                              far->draws}),
            std::vector<int>({1, 1, 1, 1, 0}));
  EXPECT_TRUE(editor.platform->Called("DrawScreen", {"10,10,30,30"}));
}

}  // namespace
