#include "system/UserFolders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>

// Hosts started by a service may lack HOME; the account's home folder is the sensible
// stand-in for a folder at the root of the file system.
std::string homeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  if (const passwd* user = getpwuid(getuid()); user && user->pw_dir) return user->pw_dir;
  return "";
}

std::string musicFolder() {
  const std::string home = homeFolder();
  return home.empty() ? "" : home + "/Music";
}
