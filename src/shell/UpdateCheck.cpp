#include "shell/UpdateCheck.h"

#include <cctype>
#include <cstdlib>
#include <utility>

namespace {

constexpr const char* kCaption = "Check Online for Update";
constexpr int kOk = 0;
constexpr int kYesNo = 4;
constexpr int kAnswerNo = 7;

}  // namespace

UpdateCheck::UpdateCheck(std::string versionUrl, HttpGetLimits limits)
    : versionUrl_(std::move(versionUrl)), limits_(limits) {}

std::string UpdateCheck::serverName() const {
  std::string::size_type start = versionUrl_.find("://");
  start = start == std::string::npos ? 0 : start + 3;
  const std::string::size_type end = versionUrl_.find_first_of(":/?", start);
  return versionUrl_.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool UpdateCheck::formatVersion(const std::string& answer, std::string* version) {
  std::string digits = answer;
  while (!digits.empty() && std::isspace(static_cast<unsigned char>(digits.back())))
    digits.pop_back();  // a line end after the number is not part of the version
  if (digits.size() < 3) return false;
  *version = std::string(1, digits[0]) + "." + digits[1] + ".";
  // A patch number below 10 is sent with a leading zero ("04"), shown without it.
  *version += digits[2] == '0' && digits.size() > 3 ? digits.substr(3) : digits.substr(2);
  return true;
}

int UpdateCheck::run(Dialogs& dialogs) const {
  const HttpGetResult reply = httpGet(versionUrl_, limits_);
  int result = kDone;
  if (reply.status == HttpGetResult::Status::kTooLarge) {
    result = kUnprocessable;  // a server streaming without end is not an answer
  } else {
    if (reply.status == HttpGetResult::Status::kReadError) result = kReadError;
    const std::string& answer = reply.body;
    if (answer.empty()) {
      if (result == kDone) result = kEmptyAnswer;
    } else if (answer.find('<') != std::string::npos) {
      const std::string text = "Invalid call to " + serverName() + ".";
      dialogs.ShowMessageBox(text.c_str(), kCaption, kOk);
      return kHtmlAnswer;
    } else if (std::atoi(answer.c_str()) < kFirstNewerVersion) {
      dialogs.ShowMessageBox("Your version is up to date.", kCaption, kOk);
    } else {
      std::string newVersion;
      // A newer number has at least four digits, so formatting cannot fail here;
      // the check stays for answers with leading signs or blanks that atoi skips.
      if (!formatVersion(answer, &newVersion)) {
        result = kUnprocessable;
      } else {
        const std::string caption = std::string("New Version of ") + kProductName + " Detected";
        const std::string text =
            std::string("A new version of ") + kProductName + " is available.\n\n" +
            "\tYour version: \t" + kOwnVersion + "\n" + "\tNew version: \t" + newVersion + "\n" +
            "\nDo you want to go to " + UpdateSite::kServerName + " to get the new version?";
        if (dialogs.ShowMessageBox(text.c_str(), caption.c_str(), kYesNo) != kAnswerNo)
          dialogs.OpenURL(UpdateSite::kDownloadUrl);
      }
    }
  }
  if (result != kDone) {
    const std::string text = "An error occurred while contacting " + serverName() + ".";
    dialogs.ShowMessageBox(text.c_str(), kCaption, kOk);
  }
  return result;
}
