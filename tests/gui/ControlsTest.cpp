// Value logic of the standard controls and the popup menu model.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

#include "GuiTestSupport.h"
#include "gui/IBitmapControl.h"
#include "gui/IKnobControl.h"
#include "gui/IPopupMenu.h"

namespace {

struct FrameCase {
  double value;
  int expectedFrame;
};

void PrintTo(const FrameCase& c, std::ostream* os) { *os << "value " << c.value; }

// A 65-frame knob drawn into the raster shows the frame that its value selects.
class FrameSelection : public ::testing::TestWithParam<FrameCase> {};

TEST_P(FrameSelection, DrawsTheNearestFrame) {
  TestEditor editor(40, 40);
  auto frames = numberedFrames(6, 5, 65);
  IBitmap bitmap(frames.get(), 6, 5 * 65, 65);
  auto* knob = new IKnobMultiControl(&editor.plug, 3, 4, -1, &bitmap);
  editor.graphics->AttachControl(knob);
  editor.attach();
  knob->SetValueFromPlug(GetParam().value);
  editor.settle();
  EXPECT_EQ(knob->GetRECT(), IRECT(3, 4, 9, 9));
  const LICE_pixel drawn = pixelAt(editor.graphics->GetDrawBitmap(), 5, 8);
  EXPECT_EQ(LICE_PixelR(drawn) + 1, GetParam().expectedFrame);
  EXPECT_EQ(bitmap.FrameForValue(GetParam().value), GetParam().expectedFrame);
}

INSTANTIATE_TEST_SUITE_P(Knob65, FrameSelection,
                         ::testing::Values(FrameCase{0.0, 1}, FrameCase{0.5, 33}, FrameCase{1.0, 65},
                                           FrameCase{0.0078, 1}, FrameCase{0.0079, 2},
                                           FrameCase{-3.0, 1}, FrameCase{7.0, 65},
                                           FrameCase{NAN, 1}));

struct DragCase {
  const char* name;
  IKnobControl::EDirection direction;
  double start;
  bool wheel;
  int delta;  // drag: pixels (y downwards for vertical knobs); wheel: steps
  IMouseMod mod;
  double expected;
};

void PrintTo(const DragCase& c, std::ostream* os) { *os << c.name; }

// A 40 x 40 knob with gearing 4 bound to "Gain".
class KnobArithmetic : public ::testing::TestWithParam<DragCase> {};

TEST_P(KnobArithmetic, MovesTheValue) {
  const DragCase& c = GetParam();
  TestEditor editor;
  auto* knob = new RecordingKnob(&editor.plug, IRECT(10, 10, 50, 50), 0, c.direction);
  editor.graphics->AttachControl(knob);
  editor.attach();
  knob->SetValueFromUserInput(c.start);
  IMouseMod mod = c.mod;
  if (c.wheel)
    knob->OnMouseWheel(20, 20, &mod, c.delta);
  else if (c.direction == IKnobControl::kVertical)
    knob->OnMouseDrag(20, 20 + c.delta, 0, c.delta, &mod);
  else
    knob->OnMouseDrag(20 + c.delta, 20, c.delta, 0, &mod);
  EXPECT_DOUBLE_EQ(knob->GetValue(), c.expected);
  EXPECT_DOUBLE_EQ(editor.plug.GetParam(0)->GetNormalized(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Gearing4, KnobArithmetic,
    ::testing::Values(
        DragCase{"UpTenPixels", IKnobControl::kVertical, 0.5, false, -10, {true}, 0.5625},
        DragCase{"DownTenPixels", IKnobControl::kVertical, 0.5, false, 10, {true}, 0.4375},
        DragCase{"UpTenPixelsWithShift", IKnobControl::kVertical, 0.5, false, -10, {true, false, true}, 0.50625},
        DragCase{"UpTenPixelsWithControl", IKnobControl::kVertical, 0.5, false, -10, {true, false, false, true}, 0.50625},
        DragCase{"AtTheTopStaysThere", IKnobControl::kVertical, 1.0, false, -30, {true}, 1.0},
        DragCase{"FirstPixelDownFromTheTop", IKnobControl::kVertical, 1.0, false, 1, {true}, 0.99375},
        DragCase{"HorizontalRight", IKnobControl::kHorizontal, 0.5, false, 8, {true}, 0.55},
        DragCase{"WheelUpThree", IKnobControl::kVertical, 0.5, true, 3, {}, 0.53},
        DragCase{"WheelFineDown", IKnobControl::kVertical, 0.5, true, -3, {false, false, true}, 0.497},
        DragCase{"WheelPastTheBottom", IKnobControl::kVertical, 0.5, true, -100, {}, 0.0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Switches, StepThroughTheirFramesAndWrap) {
  TestEditor editor;
  IBitmap three(nullptr, 10, 30, 3), one(nullptr, 10, 10, 1);
  ISwitchControl threeWay(&editor.plug, 0, 0, -1, &three), single(&editor.plug, 0, 0, -1, &one);
  IMouseMod right(false, true);
  std::vector<double> threeWayValues, singleValues;
  for (int click = 0; click < 4; ++click) {
    threeWay.OnMouseDown(1, 1, &right);
    single.OnMouseDown(1, 1, &right);
    threeWayValues.push_back(threeWay.GetValue());
    singleValues.push_back(single.GetValue());
  }
  EXPECT_EQ(threeWayValues, (std::vector<double>{0.5, 1.0, 0.0, 0.5}));
  EXPECT_EQ(singleValues, (std::vector<double>{1.0, 0.0, 1.0, 0.0}));
}

TEST(Switches, ContactIsOnOnlyWhilePressed) {
  TestEditor editor;
  IBitmap two(nullptr, 10, 20, 2);
  auto* contact = new IContactControl(&editor.plug, 0, 0, 2, &two);
  editor.graphics->AttachControl(contact);
  editor.attach();
  IMouseMod mod(true);
  editor.graphics->OnMouseDown(1, 1, &mod);
  EXPECT_EQ(editor.plug.GetParam(2)->Value(), 1.0);
  editor.graphics->OnMouseUp(1, 1, &mod);
  EXPECT_EQ(contact->GetValue(), 0.0);
  EXPECT_EQ(editor.plug.GetParam(2)->Value(), 0.0);
}

TEST(Controls, DoubleClickRestoresTheFirstValueFromThePlugin) {
  TestEditor editor;
  auto* knob = new RecordingKnob(&editor.plug, IRECT(10, 10, 50, 50), 0);
  editor.graphics->AttachControl(knob);
  editor.attach();  // Gain's default 0.5 becomes the knob's default
  AEffect* effect = editor.plug.GetAEffect();
  effect->setParameter(effect, 0, 0.875f);
  EXPECT_EQ(knob->GetValue(), 0.875);
  IMouseMod mod(true);
  editor.graphics->OnMouseDblClick(20, 20, &mod);
  EXPECT_EQ(knob->GetValue(), 0.5);
  EXPECT_EQ(editor.plug.GetParam(0)->Value(), 0.5);
}

struct InsertCase {
  const char* name;
  std::vector<int> indexes;  // insertion index of items "0", "1", ... into 13 items "a".."m"
  std::string expected;      // the resulting texts
};

void PrintTo(const InsertCase& c, std::ostream* os) { *os << c.name; }

class PopupInsertion : public ::testing::TestWithParam<InsertCase> {};

TEST_P(PopupInsertion, PlacesItemsByIndex) {
  IPopupMenu menu;
  for (char c = 'a'; c <= 'm'; ++c) menu.AddItem(std::string(1, c).c_str());
  for (size_t i = 0; i < GetParam().indexes.size(); ++i)
    menu.AddItem(std::to_string(i).c_str(), GetParam().indexes[i]);
  std::string texts;
  for (int i = 0; i < menu.GetNItems(); ++i) texts += menu.GetItemText(i);
  EXPECT_EQ(texts, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    ThirteenItems, PopupInsertion,
    ::testing::Values(InsertCase{"PastTheEndThenAtTheOldEnd", {14, 13}, "abcdefghijklm10"},
                      InsertCase{"MinusOneAppends", {-1, -1}, "abcdefghijklm01"},
                      InsertCase{"BelowMinusOneGoesFirst", {-7}, "0abcdefghijklm"},
                      InsertCase{"InTheMiddle", {2, 2}, "ab10cdefghijklm"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PopupMenu, CheckItemAloneAndSubmenus) {
  IPopupMenu menu;
  menu.AddItem("x");
  menu.AddSeparator();
  IPopupMenu* sub = new IPopupMenu;
  menu.AddItem("more", sub)->SetChecked(true);
  menu.CheckItemAlone(0);
  EXPECT_TRUE(menu.IsItemChecked(0));
  EXPECT_FALSE(menu.IsItemChecked(2));
  EXPECT_TRUE(menu.GetItem(1)->GetIsSeparator());
  EXPECT_EQ(menu.GetItem(2)->GetSubmenu(), sub);
  EXPECT_EQ(menu.GetItem(3), nullptr);
  EXPECT_STREQ(menu.GetItemText(-1), "");
}

}  // namespace
