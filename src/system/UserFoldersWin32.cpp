#include "system/UserFolders.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>

#include "system/WideText.h"

namespace {
std::string knownFolder(REFKNOWNFOLDERID id) {
  wchar_t* path = nullptr;
  std::string folder;
  if (SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &path) == S_OK) folder = narrow(path);
  CoTaskMemFree(path);
  return folder;
}

std::string profileFromEnvironment() {
  const wchar_t* profile = _wgetenv(L"USERPROFILE");
  return profile && *profile ? narrow(profile) : "";
}
}  // namespace

std::string homeFolder() {
  const std::string profile = profileFromEnvironment();
  return profile.empty() ? knownFolder(FOLDERID_Profile) : profile;
}

std::string musicFolder() {
  const std::string profile = profileFromEnvironment();
  if (!profile.empty() &&
      CompareStringOrdinal(widen(profile).c_str(), -1, widen(knownFolder(FOLDERID_Profile)).c_str(),
                           -1, TRUE) != CSTR_EQUAL)
    return profile + "/Music";
  const std::string music = knownFolder(FOLDERID_Music);
  return music.empty() && !profile.empty() ? profile + "/Music" : music;
}
