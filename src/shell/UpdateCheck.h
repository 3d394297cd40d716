// The "Check Online for Update" command: asks the maker's version server for the
// newest release number of this instrument, compares it with our own and tells the
// user through message boxes, offering the download page when a newer one exists.
#pragma once

#include <string>

#include "shell/HttpGet.h"
#include "shell/ZorqVersion.h"

// Where the version number and the download page live. A studio behind a proxy
// (or a test) replaces the version URL with the INI key "Version URL" of the
// section "Update Check".
namespace UpdateSite {
constexpr const char* kServerName = "www.zandervoltmusic.com";
constexpr const char* kVersionUrl = "https://www.zandervoltmusic.com/music/version/?file=zorq";
constexpr const char* kDownloadUrl = "http://www.zandervoltmusic.com/music/vst.html";
constexpr const char* kWebSiteUrl = "http://www.zandervoltmusic.com/";
}  // namespace UpdateSite

class UpdateCheck {
 public:
  static constexpr const char* kProductName = "ZORQ";
  static constexpr const char* kOwnVersion = ZorqVersion::kText;
  // The server's number for a version: a digit each for major and minor, then the
  // patch ("1103" is 1.1.3). Ours plus one is the first newer one.
  static constexpr int kFirstNewerVersion =
      ZorqVersion::kMajor * 1000 + ZorqVersion::kMinor * 100 + ZorqVersion::kPatch + 1;
  static_assert(ZorqVersion::kMajor < 10 && ZorqVersion::kMinor < 10 && ZorqVersion::kPatch < 100,
                "the server's numbers hold one digit for major and minor, two for the patch");

  // Result codes of run().
  static constexpr int kDone = 0;
  static constexpr int kEmptyAnswer = -1;
  static constexpr int kUnprocessable = -2;
  static constexpr int kHtmlAnswer = -3;
  static constexpr int kReadError = -5;

  // What the check needs of the editor: message boxes (type 0 OK, 4 Yes/No; answer
  // 7 is No) and a browser.
  class Dialogs {
   public:
    virtual ~Dialogs() = default;
    virtual int ShowMessageBox(const char* text, const char* caption, int type) = 0;
    virtual bool OpenURL(const char* url) = 0;
  };

  explicit UpdateCheck(std::string versionUrl = UpdateSite::kVersionUrl, HttpGetLimits limits = {});

  // Editor thread; blocks until the server answers or the time limit passes.
  int run(Dialogs& dialogs) const;

  // "1104" -> "1.1.4", "1112" -> "1.1.12", "2015" -> "2.0.15"; false when the
  // text is too short to hold major, minor and patch digits.
  static bool formatVersion(const std::string& answer, std::string* version);

 private:
  // The host named in the version URL, shown in the error messages.
  std::string serverName() const;

  std::string versionUrl_;
  HttpGetLimits limits_;
};
