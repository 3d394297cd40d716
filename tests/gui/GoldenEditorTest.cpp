// A small editor (background, knobs, a grayed knob, a switch, a panel and texts)
// drawn through the headless platform and compared with a committed picture pixel by
// pixel. Its images are made here and loaded as PNG resources from a folder, so the
// whole path from resource to raster is covered. After an intended change of the
// drawing, regenerate the picture with
// ZORQ_REGENERATE_GOLDEN=1 gui_tests --gtest_filter='GoldenEditor.*' and look at it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "GuiTestSupport.h"
#include "gui/IBitmapControl.h"
#include "gui/IKnobControl.h"
#include "gui/ITextControl.h"
#include "platform/BitmapResources.h"
#include "support/TempFolder.h"

namespace {

constexpr int kKnobSize = 24;
constexpr int kKnobFrames = 9;

void writeBackground(const std::string& path) {
  LICE_MemBitmap back(160, 80);
  LICE_FillRect(&back, 0, 0, 160, 80, LICE_PackPixel(255, 26, 34, 58), 1.0f, 0);
  LICE_FillRect(&back, 0, 52, 160, 28, LICE_PackPixel(255, 52, 64, 98), 1.0f, 0);
  LICE_FillRect(&back, 4, 4, 152, 1, LICE_PackPixel(255, 120, 140, 190), 1.0f, 0);
  ASSERT_TRUE(LICE_WritePNG(path.c_str(), &back));
}

// A grey disc with a soft rim and a light pointer sweeping 270 degrees.
void writeKnob(const std::string& path) {
  LICE_MemBitmap knob(kKnobSize, kKnobSize * kKnobFrames);
  for (int k = 0; k < kKnobFrames; ++k) {
    const double angle = (-135.0 + 270.0 * k / (kKnobFrames - 1)) * M_PI / 180.0;
    const int px = 12 + int(std::lround(7 * std::sin(angle)));
    const int py = 12 - int(std::lround(7 * std::cos(angle)));
    for (int y = 0; y < kKnobSize; ++y)
      for (int x = 0; x < kKnobSize; ++x) {
        const int dx = 2 * x + 1 - kKnobSize, dy = 2 * y + 1 - kKnobSize;  // doubled units
        const int d2 = dx * dx + dy * dy;
        const uint8_t alpha = d2 <= 400 ? 255 : d2 <= 484 ? 96 : 0;
        const uint8_t shade = uint8_t(150 - y * 3);
        LICE_RowPointer(&knob, k * kKnobSize + y)[x] = LICE_PackPixel(alpha, shade, shade, uint8_t(shade + 10));
      }
    LICE_FillRect(&knob, px - 1, k * kKnobSize + py - 1, 3, 3, LICE_PackPixel(255, 255, 230, 140), 1.0f, 0);
  }
  ASSERT_TRUE(LICE_WritePNG(path.c_str(), &knob));
}

// Two frames: off (dark lamp) and on (green lamp), on a half-transparent plate.
void writeSwitch(const std::string& path) {
  LICE_MemBitmap lamp(16, 32);
  for (int frame = 0; frame < 2; ++frame) {
    LICE_FillRect(&lamp, 0, frame * 16, 16, 16, LICE_PackPixel(128, 200, 200, 210), 1.0f, 0);
    const LICE_pixel light = frame ? LICE_PackPixel(255, 60, 230, 90) : LICE_PackPixel(255, 30, 50, 35);
    LICE_FillRect(&lamp, 4, frame * 16 + 4, 8, 8, light, 1.0f, 0);
  }
  ASSERT_TRUE(LICE_WritePNG(path.c_str(), &lamp));
}

struct GoldenEditor : ::testing::Test {
  GoldenEditor() {
    writeBackground(folder / "gold_back.png");
    writeKnob(folder / "gold_knob.png");
    writeSwitch(folder / "gold_switch.png");
    BitmapResources::AddFolder(folder.path());
  }
  ~GoldenEditor() override { BitmapResources::Clear(); }
  TempFolder folder;
};

TEST_F(GoldenEditor, DrawsThePicture) {
  TestEditor editor(160, 80);
  IGraphics& g = *editor.graphics;
  IBitmap knob = g.LoadIBitmap(9002, "resources/img/gold_knob.png", kKnobFrames);
  IBitmap lamp = g.LoadIBitmap(9003, "resources/img/gold_switch.png", 2);
  g.AttachBackground(9001, "resources/img/gold_back.png");
  auto* gain = new IKnobMultiControl(&editor.plug, 12, 20, 0, &knob);
  auto* freq = new IKnobMultiControl(&editor.plug, 44, 20, 3, &knob);
  auto* grayed = new IKnobMultiControl(&editor.plug, 76, 20, -1, &knob);
  auto* on = new ISwitchControl(&editor.plug, 112, 24, 2, &lamp);
  IColor panelColor(128, 255, 200, 0);
  auto* panel = new IPanelControl(&editor.plug, IRECT(8, 56, 40, 76), &panelColor);
  IColor white(255, 255, 255, 255), dim(160, 255, 255, 192);
  IText title(14, &white, "Arial", IText::kStyleBold);
  IText note(11, &dim, "Arial", IText::kStyleNormal, IText::kAlignFar);
  auto* heading = new ITextControl(&editor.plug, IRECT(0, 4, 160, 20), &title, "ZORQ");
  auto* label = new ITextControl(&editor.plug, IRECT(48, 60, 152, 76), &note, "Vocoder 1.1");
  for (IControl* c : std::vector<IControl*>{gain, freq, grayed, on, panel, heading, label}) g.AttachControl(c);
  editor.attach();
  grayed->SetValueFromPlug(1.0);
  grayed->GrayOut(true);
  on->SetValueFromPlug(1.0);
  editor.platform->windowOpen = true;
  editor.settle();

  ASSERT_EQ(knob.N, kKnobFrames);
  EXPECT_EQ(gain->GetRECT(), IRECT(12, 20, 36, 44));
  const LICE_IBitmap* drawn = g.GetDrawBitmap();
  const char* dataFolder = std::getenv("ZORQ_TEST_DATA");
  ASSERT_NE(dataFolder, nullptr);
  const std::string golden = std::string(dataFolder) + "/golden-editor.png";
  if (std::getenv("ZORQ_REGENERATE_GOLDEN")) {
    ASSERT_TRUE(LICE_WritePNG(golden.c_str(), drawn));
  }
  std::unique_ptr<LICE_IBitmap> expected(LICE_LoadPNG(golden.c_str()));
  ASSERT_NE(expected, nullptr) << golden;
  ASSERT_EQ(expected->getWidth(), drawn->getWidth());
  ASSERT_EQ(expected->getHeight(), drawn->getHeight());
  int mismatches = 0;
  for (int y = 0; y < drawn->getHeight(); ++y)
    for (int x = 0; x < drawn->getWidth(); ++x)
      if (pixelAt(drawn, x, y) != pixelAt(expected.get(), x, y) && mismatches++ == 0)
        ADD_FAILURE() << "first differing pixel at " << x << "," << y;
  EXPECT_EQ(mismatches, 0);
}

// Resources by base name, from memory or a folder; refused, missing and broken ones.
TEST_F(GoldenEditor, LoadsBitmapsByBaseNameAndSurvivesMissingOnes) {
  TestEditor editor;
  IGraphics& g = *editor.graphics;
  const std::string bytes = readText(folder / "gold_switch.png");
  BitmapResources::Register("lamp_in_memory", bytes.data(), bytes.size());

  IBitmap fromMemory = g.LoadIBitmap(9010, "img/lamp_in_memory.PNG", 2);
  EXPECT_EQ(fromMemory.W, 16);
  EXPECT_EQ(fromMemory.FrameHeight(), 16);
  // The first load of an id decides its image.
  EXPECT_EQ(g.LoadIBitmap(9010, "resources/img/gold_knob.png").mData, fromMemory.mData);

  BitmapResources::Register("broken", bytes.data(), bytes.size() / 2);
  for (const char* name : {"resources/img/none.png", "resources/img/gold_knob.bmp", "broken.png"}) {
    static int id = 9011;
    IBitmap missing = g.LoadIBitmap(id++, name, 65);
    EXPECT_EQ(missing.W, 0) << name;
    EXPECT_EQ(missing.H, 0) << name;
    EXPECT_EQ(missing.N, 65) << name;
    EXPECT_EQ(missing.FrameForValue(0.5), 33) << name;
  }
  EXPECT_EQ(g.LoadIBitmap(9020, "none.png", 0).N, 1);

  // A knob on a missing image draws nothing and sits at its corner.
  IBitmap missing = g.LoadIBitmap(9011, "resources/img/none.png", 65);
  auto* knob = new IKnobMultiControl(&editor.plug, 5, 5, 0, &missing);
  g.AttachControl(knob);
  editor.attach();
  editor.settle();
  EXPECT_EQ(knob->GetRECT(), IRECT(5, 5, 5, 5));
  EXPECT_EQ(pixelAt(g.GetDrawBitmap(), 5, 5), LICE_PackPixel(0, 0, 0, 0));
  EXPECT_TRUE(editor.platform->Called("OSLoadBitmap", {"9010", "img/lamp_in_memory.PNG"}));
}

}  // namespace
