#pragma once

// The current user's folders, as UTF-8 paths without a trailing separator; empty when
// the system cannot say. Any thread.
#include <string>

// POSIX: $HOME, else the account's home folder. Windows: %USERPROFILE%, else the
// profile's known folder.
std::string homeFolder();
// POSIX: home + "/Music". Windows: the Music known folder of the profile (which its
// user may have moved); home + "/Music" when %USERPROFILE% names another profile
// folder than the account's (a test, a redirected environment).
std::string musicFolder();
