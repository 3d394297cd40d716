#include "shell/UpdateCheck.h"
#include "shell/ZorqVersion.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "support/LoopbackHttpServer.h"

namespace {

// Records the boxes and pages; answers Yes/No boxes as told.
struct RecordingDialogs : UpdateCheck::Dialogs {
  explicit RecordingDialogs(int answer) : yesNoAnswer(answer) {}
  int ShowMessageBox(const char* text, const char* caption, int type) override {
    boxes.push_back(std::string(caption) + " | " + text);
    return type == 4 ? yesNoAnswer : 1;
  }
  bool OpenURL(const char* url) override {
    pages.push_back(url);
    return true;
  }
  int yesNoAnswer;
  std::vector<std::string> boxes, pages;
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
  // Our own number, and the next patch: the first one newer.
  const std::string ours = std::to_string(UpdateCheck::kFirstNewerVersion - 1);
  const std::string next = std::to_string(UpdateCheck::kFirstNewerVersion);
  const std::string nextText = std::to_string(ZorqVersion::kMajor) + "." +
                               std::to_string(ZorqVersion::kMinor) + "." +
                               std::to_string(ZorqVersion::kPatch + 1);
  // The server's way and answer (kSilent with an empty body: no server listening at all),
  // the code, the box, and the answer to a Yes/No box (6 Yes, 7 No).
  using Row = std::tuple<Mode, std::string, int, std::string, int>;
  for (const auto& [mode, body, result, box, yesNoAnswer] :
       {Row{Mode::kAnswer, ours, 0, kUpToDate, 6}, Row{Mode::kAnswer, "soon", 0, kUpToDate, 6},
        Row{Mode::kAnswer, next, 0, newVersionBox(nextText), 6},
        Row{Mode::kAnswer, "9112\n", 0, newVersionBox("9.1.12"), 7},
        Row{Mode::kAnswer, "<html><body>404</body></html>", -3,
            "Check Online for Update | Invalid call to 127.0.0.1.", 6},
        Row{Mode::kAnswer, "", -1, kErrorBox, 6}, Row{Mode::kSilent, "", -5, kErrorBox, 6},
        Row{Mode::kSilent, "x", -5, kErrorBox, 6}, Row{Mode::kEndless, "", -2, kErrorBox, 6}}) {
    LoopbackHttpServer server(mode, body);
    const bool refused = mode == Mode::kSilent && body.empty();
    RecordingDialogs dialogs(yesNoAnswer);
    const std::string url = refused ? LoopbackHttpServer::refusedUrl() : server.url();
    EXPECT_EQ(UpdateCheck(url, kQuick).run(dialogs), result) << body;
    EXPECT_EQ(dialogs.boxes, std::vector<std::string>{box}) << body;
    const bool opens = yesNoAnswer == 6 && box.find("New Version") != std::string::npos;
    EXPECT_EQ(dialogs.pages, opens ? std::vector<std::string>{UpdateSite::kDownloadUrl}
                                   : std::vector<std::string>{});
  }
}

}  // namespace
