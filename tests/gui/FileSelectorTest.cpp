// File prompts answer through a callback: the file selector moves on only when the
// answer arrives, and a prompt without an open window is answered at once, empty.
#include <gtest/gtest.h>

#include "GuiTestSupport.h"
#include "gui/IFileSelectorControl.h"

namespace {

struct FileSelectorEditor : TestEditor {
  FileSelectorEditor() {
    selector = new IFileSelectorControl(&plug, IRECT(10, 10, 40, 40), -1, kFileSave, "/start/", "fxp");
    graphics->AttachControl(selector);
    attach();
    graphics->OpenWindow(nullptr);
  }
  std::string chosen() const {
    std::string file;
    selector->GetLastSelectedFileForPlug(&file);
    return file;
  }
  IFileSelectorControl* selector;
};

TEST(FileSelector, TakesTheChosenFileAndStepsItsValue) {
  FileSelectorEditor editor;
  editor.platform->fileAnswers = {std::string("/songs/take.fxp"), std::nullopt};
  IMouseMod left(true);
  editor.graphics->OnMouseDown(20, 20, &left);
  EXPECT_TRUE(editor.platform->Called("PromptForFile", {"", "save", "/start/", "fxp"}));
  EXPECT_EQ(editor.chosen(), "/songs/take.fxp");
  EXPECT_EQ(editor.selector->GetValue(), 1.0);
  EXPECT_EQ(editor.selector->GetState(), IFileSelectorControl::kDone);

  // Cancelled: no file, the folder stays where the last choice left it.
  editor.graphics->OnMouseDown(20, 20, &left);
  EXPECT_TRUE(editor.platform->Called("PromptForFile", {"/songs/take.fxp", "save", "/songs/", "fxp"}));
  EXPECT_EQ(editor.chosen(), "");
  EXPECT_EQ(editor.selector->GetValue(), 0.0);
}

TEST(FileSelector, PromptWithoutWindowAnswersAtOnceWithNoFile) {
  FileSelectorEditor editor;
  editor.graphics->CloseWindow();
  int answers = 0;
  editor.graphics->PromptForFile("name", kFileOpen, "", "wav",
                                 [&](const std::string& file, const std::string& dir) {
                                   ++answers;
                                   EXPECT_EQ(file, "");
                                   EXPECT_EQ(dir, "");
                                 });
  EXPECT_EQ(answers, 1);
  EXPECT_EQ(editor.platform->Count("PromptForFile"), 0);

  editor.graphics->OpenWindow(nullptr);
  editor.graphics->PromptForFile("", kFileOpen, "", "wav", nullptr);
  EXPECT_TRUE(editor.platform->Called("PromptForFile", {"", "open", "~/Desktop", "wav"}));
}

}  // namespace
