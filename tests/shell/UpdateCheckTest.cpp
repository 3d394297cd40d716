#include "shell/UpdateCheck.h"
#include "shell/ZorqVersion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/LoopbackHttpServer.h"

namespace {

// Records the boxes and pages; answers Yes/No boxes as told.
class RecordingDialogs : public UpdateCheck::Dialogs {
 public:
  explicit RecordingDialogs(int yesNoAnswer = 6) : yesNoAnswer_(yesNoAnswer) {}
  int ShowMessageBox(const char* text, const char* caption, int type) override {
    boxes.push_back(std::string(caption) + " | " + text);
    return type == 4 ? yesNoAnswer_ : 1;
  }
  bool OpenURL(const char* url) override {
    pages.push_back(url);
    return true;
  }
  std::vector<std::string> boxes;
  std::vector<std::string> pages;

 private:
  int yesNoAnswer_;
};

const HttpGetLimits kQuick{1000, 1000, 64 * 1024};

std::string newVersionBox(const std::string& version) {
  return "New Version of ZORQ Detected | A new version of ZORQ is available.\n\n"
         "\tYour version: \t" +
         std::string(ZorqVersion::kText) + "\n\tNew version: \t" + version +
         "\n\nDo you want to go to www.zandervoltmusic.com to get the new version?";
}

const std::string kErrorBox =
    "Check Online for Update | An error occurred while contacting 127.0.0.1.";
const std::string kUpToDate = "Check Online for Update | Your version is up to date.";
using Mode = LoopbackHttpServer::Mode;

// Each server answer shows one box and returns its code; the download page opens after
// Yes to a new version. Dead or endless servers end with an error within the limits.
TEST(UpdateCheck, ServerAnswersShowTheOutcomeAndReturnTheCode) {
  struct Case {
    Mode mode;  // kSilent with an empty body: no server listening at all
    std::string body;
    int result;
    std::string box;
    int yesNoAnswer;  // 6 Yes, 7 No
  };
  // Our own number, and the next patch: the first one newer.
  const std::string ours = std::to_string(UpdateCheck::kFirstNewerVersion - 1);
  const std::string next = std::to_string(UpdateCheck::kFirstNewerVersion);
  const std::string nextText = std::to_string(ZorqVersion::kMajor) + "." +
                               std::to_string(ZorqVersion::kMinor) + "." +
                               std::to_string(ZorqVersion::kPatch + 1);
  for (const Case& c :
       {Case{Mode::kAnswer, ours, 0, kUpToDate, 6}, Case{Mode::kAnswer, "soon", 0, kUpToDate, 6},
        Case{Mode::kAnswer, next, 0, newVersionBox(nextText), 6},
        Case{Mode::kAnswer, "9112\n", 0, newVersionBox("9.1.12"), 7},
        Case{Mode::kAnswer, "<html><body>404</body></html>", -3,
             "Check Online for Update | Invalid call to 127.0.0.1.", 6},
        Case{Mode::kAnswer, "", -1, kErrorBox, 6}, Case{Mode::kSilent, "", -5, kErrorBox, 6},
        Case{Mode::kSilent, "x", -5, kErrorBox, 6}, Case{Mode::kEndless, "", -2, kErrorBox, 6}}) {
    LoopbackHttpServer server(c.mode, c.body);
    const bool refused = c.mode == Mode::kSilent && c.body.empty();
    RecordingDialogs dialogs(c.yesNoAnswer);
    const std::string url = refused ? LoopbackHttpServer::refusedUrl() : server.url();
    EXPECT_EQ(UpdateCheck(url, kQuick).run(dialogs), c.result) << c.body;
    EXPECT_EQ(dialogs.boxes, std::vector<std::string>{c.box}) << c.body;
    const bool opens = c.yesNoAnswer == 6 && c.box.find("New Version") != std::string::npos;
    EXPECT_EQ(dialogs.pages, opens ? std::vector<std::string>{UpdateSite::kDownloadUrl}
                                   : std::vector<std::string>{});
  }
}

}  // namespace
