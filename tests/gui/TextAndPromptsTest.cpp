// The file prompt as the file selector sees it through the graphics context.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "gui/IFileSelectorControl.h"

namespace {

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
