// The answers read from the desktop's dialog programs.
#include <gtest/gtest.h>

#include "platform/x11/FileDialogCommand.h"
#include "platform/x11/X11Platform.h"

namespace {

FilePromptRequest request(EFileAction action, const char* dir, const char* file,
                          const char* extensions) {
  return {action, dir, file, extensions, 0x400007};
}

TEST(FileDialogCommand, Answers) {
  const auto save = request(kFileSave, "/m", "", "fxp");
  EXPECT_EQ(DialogAnswer(save, 0, "/m/take\n"), "/m/take.fxp");  // the type is added
  EXPECT_EQ(DialogAnswer(save, 0, "/m/TAKE.FXP\n"), "/m/TAKE.FXP");
  EXPECT_EQ(DialogAnswer(save, 1, ""), "");  // cancelled
  EXPECT_EQ(DialogAnswer(save, 0, "relative\n"), "");
  EXPECT_EQ(DialogAnswer(request(kFileOpen, "/m", "", "wav"), 0, "/m/voice\n"), "/m/voice");
  EXPECT_EQ(FolderOf("/m/take.fxp"), "/m/");
  EXPECT_EQ(SplitExtensions(" "), std::vector<std::string>{});
}

TEST(X11Platform, ScreenScaleFromXftDpi) {
  EXPECT_EQ(X11Platform::ResourceDpi("Xft.antialias:\t1\nXft.dpi:\t144\nXft.hinting:\t1\n"), 144.0);
  EXPECT_EQ(X11Platform::ResourceDpi("*dpi: 144\n"), 0.0);
}

}  // namespace
