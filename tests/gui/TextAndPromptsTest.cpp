// Text placement through the real font stack, and the platform prompts as controls
// see them through the graphics context.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>

#include "GuiTestSupport.h"
#include "gui/IFileSelectorControl.h"
#include "raster/RasterFont.h"

namespace {

struct AlignCase {
  IText::EAlign align;
  const char* name;
};

void PrintTo(const AlignCase& c, std::ostream* os) { *os << c.name; }

class TextMeasure : public ::testing::TestWithParam<AlignCase> {};

// The extent lands inside r by the alignment; the line height comes close to the
// size asked for.
TEST_P(TextMeasure, PlacesTheExtentByAlignment) {
  IText style(12, &COLOR_WHITE, "Arial", IText::kStyleNormal, GetParam().align);
  IRECT r(10, 5, 110, 25);
  TestEditor editor;
  ASSERT_TRUE(editor.graphics->MeasureIText(&style, "Vocoder", &r));
  ASSERT_NE(style.mCached, nullptr);
  int width = 0, height = 0;
  style.mCached->Measure("Vocoder", &width, &height);
  EXPECT_NEAR(style.mCached->LineHeight(), 12, 1);
  const int left = GetParam().align == IText::kAlignNear   ? 10
                   : GetParam().align == IText::kAlignFar ? 110 - width
                                                          : 60 - width / 2;
  EXPECT_EQ(r, IRECT(left, 5, left + width, 5 + height));
  EXPECT_EQ(IGraphics::CacheFont(&style), style.mCached);  // found again in the cache
}

INSTANTIATE_TEST_SUITE_P(Alignments, TextMeasure,
                         ::testing::Values(AlignCase{IText::kAlignNear, "Left"},
                                           AlignCase{IText::kAlignCenter, "Centred"},
                                           AlignCase{IText::kAlignFar, "Right"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Prompts, FileSelectorAndMessageBoxesFollowTheScript) {
  TestEditor editor;
  auto* selector = new IFileSelectorControl(&editor.plug, IRECT(0, 0, 20, 20), -1, kFileOpen, "", "wav");
  editor.graphics->AttachControl(selector);
  editor.attach();
  HeadlessPlatform& platform = *editor.platform;
  IMouseMod mod(true);
  std::string file;

  selector->SetLastSelectedFileFromPlug("/old.wav");
  editor.graphics->OnMouseDown(5, 5, &mod);  // window closed: the file is cleared
  selector->GetLastSelectedFileForPlug(&file);
  EXPECT_EQ(file, "");
  EXPECT_EQ(platform.Count("PromptForFile"), 0);

  platform.windowOpen = true;
  platform.fileAnswers = {std::string("/music/take 2.wav"), std::nullopt};
  editor.graphics->OnMouseDown(5, 5, &mod);
  selector->GetLastSelectedFileForPlug(&file);
  EXPECT_EQ(file, "/music/take 2.wav");
  editor.graphics->OnMouseDown(5, 5, &mod);  // cancelled: empty file, folder kept
  selector->GetLastSelectedFileForPlug(&file);
  EXPECT_EQ(file, "");
  EXPECT_TRUE(platform.Called("PromptForFile", {"", "open", "~/Desktop", "wav"}));
  EXPECT_TRUE(platform.Called("PromptForFile", {"/music/take 2.wav", "open", "/music/", "wav"}));

  platform.messageBoxAnswers = {7};
  EXPECT_EQ(editor.graphics->ShowMessageBox("Overwrite?", "Save", 4), 7);
  EXPECT_EQ(editor.graphics->ShowMessageBox("Cannot load file!", "Error", 0), 1);
  EXPECT_TRUE(platform.Called("ShowMessageBox", {"Overwrite?", "Save", "4"}));
}

}  // namespace
