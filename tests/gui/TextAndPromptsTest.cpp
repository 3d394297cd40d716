// The platform prompts as controls see them through the graphics context.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "gui/IFileSelectorControl.h"

namespace {

TEST(Prompts, EnumOpensAMenuOfItsTextsAndDoubleOpensATextFieldReadByTheTextPath) {
  TestEditor editor;
  auto* mode = editor.add(new RecordingKnob(&editor.plug, IRECT(10, 10, 50, 50), 1));
  auto* freq = editor.add(new RecordingKnob(&editor.plug, IRECT(60, 10, 100, 50), 3));
  for (RecordingKnob* knob : {mode, freq}) knob->DisablePrompt(false);
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
  editor.platform->textEntryAnswers.push_back(std::string("loud"));  // names no value
  freq->PromptUserInput();
  EXPECT_DOUBLE_EQ(editor.plug.GetParam(3)->Value(), 880.0);
}

TEST(Prompts, FileSelectorRemembersTheFolderAndClearsOnCancel) {
  TestEditor editor;
  auto* selector = editor.add(
      new IFileSelectorControl(&editor.plug, IRECT(0, 0, 20, 20), -1, kFileOpen, "", "wav"));
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
