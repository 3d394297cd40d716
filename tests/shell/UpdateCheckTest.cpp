#include "shell/UpdateCheck.h"

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
         "\tYour version: \t1.1.3\n\tNew version: \t" + version +
         "\n\nDo you want to go to www.zandervoltmusic.com to get the new version?";
}

const std::string kErrorBox = "Check Online for Update | An error occurred while contacting 127.0.0.1.";

struct AnswerCase {
  const char* name;
  std::string body;
  int result;
  std::vector<std::string> boxes;
};
void PrintTo(const AnswerCase& c, std::ostream* out) { *out << c.name; }

class UpdateAnswers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(UpdateAnswers, ShowTheOutcomeAndReturnTheCode) {
  LoopbackHttpServer server(LoopbackHttpServer::Mode::kAnswer, GetParam().body);
  RecordingDialogs dialogs;
  EXPECT_EQ(UpdateCheck(server.url(), kQuick).run(dialogs), GetParam().result);
  EXPECT_EQ(dialogs.boxes, GetParam().boxes);
}

INSTANTIATE_TEST_SUITE_P(
    Server, UpdateAnswers,
    ::testing::Values(
        AnswerCase{"Same", "1103", 0, {"Check Online for Update | Your version is up to date."}},
        AnswerCase{"NotANumber", "soon", 0, {"Check Online for Update | Your version is up to date."}},
        AnswerCase{"NextPatch", "1104", 0, {newVersionBox("1.1.4")}},
        AnswerCase{"TwoDigitPatch", "1112\n", 0, {newVersionBox("1.1.12")}},
        AnswerCase{"NextMajor", "2015", 0, {newVersionBox("2.0.15")}},
        AnswerCase{"HtmlPage", "<html><body>404</body></html>", -3,
                   {"Check Online for Update | Invalid call to 127.0.0.1."}},
        AnswerCase{"Empty", "", -1, {kErrorBox}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(UpdateCheck, OpensTheDownloadPageUnlessTheAnswerIsNo) {
  LoopbackHttpServer server(LoopbackHttpServer::Mode::kAnswer, "1104");
  RecordingDialogs yes(6), no(7);
  UpdateCheck(server.url(), kQuick).run(yes);
  UpdateCheck(server.url(), kQuick).run(no);
  EXPECT_EQ(yes.pages, std::vector<std::string>{UpdateSite::kDownloadUrl});
  EXPECT_TRUE(no.pages.empty());
}

TEST(UpdateCheck, DeadOrEndlessServersEndWithAnErrorInBoundedTime) {
  struct Case {
    std::string url;
    int result;
  };
  LoopbackHttpServer silent(LoopbackHttpServer::Mode::kSilent);
  LoopbackHttpServer endless(LoopbackHttpServer::Mode::kEndless);
  for (const Case& c : {Case{LoopbackHttpServer::refusedUrl(), -5}, Case{silent.url(), -5},
                        Case{endless.url(), -2}}) {
    RecordingDialogs dialogs;
    EXPECT_EQ(UpdateCheck(c.url, kQuick).run(dialogs), c.result) << c.url;
    EXPECT_EQ(dialogs.boxes, std::vector<std::string>{kErrorBox}) << c.url;
  }
}

}  // namespace
