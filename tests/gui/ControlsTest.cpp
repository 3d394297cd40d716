// Value logic and drawing of the standard controls, bitmaps by resource name, and the
// popup menu model.
#include <gtest/gtest.h>

#include <cmath>

#include "GuiTestSupport.h"
#include "gui/BitmapResources.h"
#include "gui/IBitmapControl.h"
#include "gui/IKnobControl.h"
#include "gui/IPopupMenu.h"
#include "support/TempFolder.h"

namespace {

// A 65-frame knob shows the frame its value selects; grayed out, it draws at a
// quarter weight over the black panel.
TEST(Knob, DrawsTheNearestFrameAndGrayedAtAQuarter) {
  const struct {
    double value;
    int frame;
    bool grayed;
  } cases[] = {{0.5, 33, false}, {0.0078, 1, false}, {0.0079, 2, false},
               {7.0, 65, false}, {NAN, 1, false},    {1.0, 65, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << "value " << c.value << (c.grayed ? " grayed" : ""));
    TestEditor editor(40, 40);
    editor.graphics->AttachPanelBackground(&COLOR_BLACK);
    auto frames = numberedFrames(6, 5, 65);
    IBitmap bitmap(frames.get(), 6, 5 * 65, 65);
    auto* knob = editor.add(new IKnobMultiControl(&editor.plug, 3, 4, -1, &bitmap));
    editor.attach();
    knob->SetValueFromPlug(c.value);
    knob->GrayOut(c.grayed);
    editor.settle();
    const int red = LICE_PixelR(LICE_RowPointer(editor.graphics->GetDrawBitmap(), 8)[5]);
    EXPECT_EQ(red, c.grayed ? 16 : c.frame - 1);  // 64 at a weight of 64/256
  }
}

// A 40 x 40 knob with gearing 4 bound to "Gain": drags in pixels (y downwards for
// vertical knobs), wheel steps, with shift or control for fine steps.
TEST(Knob, DragAndWheelMoveTheValue) {
  using Dir = IKnobControl::EDirection;
  const struct {
    const char* name;
    Dir direction;
    double start;
    bool wheel;
    int delta;
    IMouseMod mod;
    double expected;
  } cases[] = {{"UpTenPixels", Dir::kVertical, 0.5, false, -10, {true}, 0.5625},
               {"UpTenWithShift", Dir::kVertical, 0.5, false, -10, {true, false, true}, 0.50625},
               {"AtTheTopStaysThere", Dir::kVertical, 1.0, false, -30, {true}, 1.0},
               {"FirstPixelDownFromTheTop", Dir::kVertical, 1.0, false, 1, {true}, 0.99375},
               {"HorizontalRight", Dir::kHorizontal, 0.5, false, 8, {true}, 0.55},
               {"WheelUpThree", Dir::kVertical, 0.5, true, 3, {}, 0.53},
               {"WheelFineDown", Dir::kVertical, 0.5, true, -3, {false, false, true}, 0.497},
               {"WheelPastTheBottom", Dir::kVertical, 0.5, true, -100, {}, 0.0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestEditor editor;
    auto* knob = new RecordingKnob(&editor.plug, IRECT(10, 10, 50, 50), 0, c.direction);
    editor.graphics->AttachControl(knob);
    editor.attach();
    knob->SetValueFromUserInput(c.start);
    IMouseMod mod = c.mod;
    const bool vertical = c.direction == Dir::kVertical;
    if (c.wheel)
      knob->OnMouseWheel(20, 20, &mod, c.delta);
    else
      knob->OnMouseDrag(20, 20, vertical ? 0 : c.delta, vertical ? c.delta : 0, &mod);
    EXPECT_DOUBLE_EQ(knob->GetValue(), c.expected);
  }
}

TEST(Switches, StepThroughTheirFramesAndWrapAndContactsSpringBack) {
  TestEditor editor;
  IBitmap three(nullptr, 10, 30, 3), one(nullptr, 10, 10, 1), two(nullptr, 10, 20, 2);
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

  auto* contact = editor.add(new IContactControl(&editor.plug, 0, 0, 2, &two));
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
  auto* knob = editor.add(new RecordingKnob(&editor.plug, IRECT(10, 10, 50, 50), 0));
  editor.attach();  // Gain's default 0.5 becomes the knob's default
  AEffect* effect = editor.effect();
  effect->setParameter(effect, 0, 0.875f);
  EXPECT_EQ(knob->GetValue(), 0.875);
  IMouseMod mod(true);
  editor.graphics->OnMouseDblClick(20, 20, &mod);
  EXPECT_EQ(knob->GetValue(), 0.5);
  EXPECT_EQ(editor.plug.GetParam(0)->Value(), 0.5);
}

// Images by base name, from memory or a folder; the first load of an id decides its
// image; refused, missing and broken ones give an empty image that keeps its frames.
TEST(Bitmaps, LoadByBaseNameAndMissingOnesStayEmpty) {
  TempFolder folder;
  LICE_MemBitmap lamp(16, 32);
  ASSERT_TRUE(LICE_WritePNG((folder / "lamp.png").c_str(), &lamp));
  const std::string bytes = readText(folder / "lamp.png");
  BitmapResources::AddFolder(folder.path());
  BitmapResources::Register("in_memory", bytes.data(), bytes.size());
  BitmapResources::Register("broken", bytes.data(), bytes.size() / 2);
  TestEditor editor;
  IGraphics& g = *editor.graphics;
  const IBitmap fromMemory = g.LoadIBitmap(9010, "img/in_memory.PNG", 2);
  EXPECT_EQ(fromMemory.W, 16);
  EXPECT_EQ(fromMemory.FrameHeight(), 16);
  EXPECT_EQ(g.LoadIBitmap(9010, "resources/img/lamp.png").mData, fromMemory.mData);
  int id = 9012;
  for (const char* name : {"resources/img/none.png", "resources/img/lamp.bmp", "broken.png"}) {
    const IBitmap missing = g.LoadIBitmap(id++, name, 65);
    EXPECT_EQ(std::vector<int>({missing.W, missing.H, missing.N, missing.FrameForValue(0.5)}),
              std::vector<int>({0, 0, 65, 33}))
        << name;
  }
  EXPECT_EQ(g.LoadIBitmap(9020, "none.png", 0).N, 1);
  BitmapResources::Clear();
}

TEST(PopupMenu, InsertsByIndexChecksAloneAndHoldsSubmenus) {
  const struct {
    std::vector<int> indexes;  // insertion index of items "0", "1", ... into "a".."m"
    std::string expected;
  } cases[] = {{{14, 13}, "abcdefghijklm10"},  // past the end, then at the old end
               {{-7}, "0abcdefghijklm"},
               {{2, 2}, "ab10cdefghijklm"}};
  for (const auto& c : cases) {
    IPopupMenu menu;
    for (char letter = 'a'; letter <= 'm'; ++letter) menu.AddItem(std::string(1, letter).c_str());
    for (size_t i = 0; i < c.indexes.size(); ++i)
      menu.AddItem(std::to_string(i).c_str(), c.indexes[i]);
    std::string texts;
    for (int i = 0; i < menu.GetNItems(); ++i) texts += menu.GetItemText(i);
    EXPECT_EQ(texts, c.expected);
  }
  IPopupMenu menu;
  menu.AddItem("x");
  menu.AddSeparator();
  IPopupMenu* sub = new IPopupMenu;
  menu.AddItem("more", sub)->SetChecked(true);
  menu.CheckItemAlone(0);
  EXPECT_TRUE(menu.IsItemChecked(0));
  EXPECT_FALSE(menu.IsItemChecked(2));
  EXPECT_EQ(menu.GetItem(2)->GetSubmenu(), sub);
  EXPECT_EQ(menu.GetItem(3), nullptr);
  EXPECT_STREQ(menu.GetItemText(-1), "");
}

}  // namespace
