// Text placement through the real font stack, and the platform prompts as controls see
// them through the graphics context.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "gui/IFileSelectorControl.h"
#include "raster/RasterFont.h"

namespace {

// The extent lands inside r by the alignment; the line height comes close to the size
// asked for.
TEST(IGraphics, MeasureITextPlacesTheExtentByAlignment) {
  for (const IText::EAlign align : {IText::kAlignNear, IText::kAlignCenter, IText::kAlignFar}) {
    SCOPED_TRACE(int(align));
    IText style(12, &COLOR_WHITE, "Arial", IText::kStyleNormal, align);
    IRECT r(10, 5, 110, 25);
    TestEditor editor;
    ASSERT_TRUE(editor.graphics->MeasureIText(&style, "Vocoder", &r));
    ASSERT_NE(style.mCached, nullptr);
    int width = 0, height = 0;
    style.mCached->Measure("Vocoder", &width, &height);
    EXPECT_NEAR(style.mCached->LineHeight(), 12, 1);
    const int left = align == IText::kAlignNear  ? 10
                     : align == IText::kAlignFar ? 110 - width
                                                 : 60 - width / 2;
    EXPECT_EQ(r, IRECT(left, 5, left + width, 5 + height));
    EXPECT_EQ(IGraphics::CacheFont(&style), style.mCached);  // found again in the cache
  }
}

TEST(Prompts, EnumOpensAMenuOfItsTextsAndDoubleOpensATextField) {
  TestEditor editor;
  auto* mode = new RecordingKnob(&editor.plug, IRECT(10, 10, 50, 50), 1);
  auto* freq = new RecordingKnob(&editor.plug, IRECT(60, 10, 100, 50), 3);
  for (RecordingKnob* knob : {mode, freq}) {
    knob->DisablePrompt(false);
    editor.graphics->AttachControl(knob);
  }
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

TEST(Prompts, FileSelectorRemembersTheFolderAndClearsOnCancel) {
  TestEditor editor;
  auto* selector =
      new IFileSelectorControl(&editor.plug, IRECT(0, 0, 20, 20), -1, kFileOpen, "", "wav");
  editor.graphics->AttachControl(selector);
  editor.attach();
  HeadlessPlatform& platform = *editor.platform;
  IMouseMod mod(true);
  auto clickedFile = [&] {
    std::string file;
    editor.graphics->OnMouseDown(5, 5, &mod);
    selector->GetLastSelectedFileForPlug(&file);
    return file;
  };
  selector->SetLastSelectedFileFromPlug("/old.wav");
  EXPECT_EQ(clickedFile(), "");  // window closed: the file is cleared
  EXPECT_EQ(platform.Count("PromptForFile"), 0);

  platform.windowOpen = true;
  platform.fileAnswers = {std::string("/music/take 2.wav"), std::nullopt};
  EXPECT_EQ(clickedFile(), "/music/take 2.wav");
  EXPECT_EQ(clickedFile(), "");  // cancelled: empty file, folder kept
  EXPECT_TRUE(platform.Called("PromptForFile", {"", "open", "~/Desktop", "wav"}));
  EXPECT_TRUE(platform.Called("PromptForFile", {"/music/take 2.wav", "open", "/music/", "wav"}));
}

}  // namespace
