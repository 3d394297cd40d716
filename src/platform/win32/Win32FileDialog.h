#pragma once

// The system's file open and save dialogs (common dialogs), modal over the editor's
// window: starting in a folder, suggesting a file name, showing the files of the
// given space-separated extensions first. Saving asks before replacing a file and
// adds the first extension to a bare name.
#include <windows.h>

#include <string>

#include "gui/IGraphicsStructs.h"

namespace Win32FileDialog {
// The view's thread. The chosen file's UTF-8 path, or empty when the user cancelled.
std::string Run(HWND owner, EFileAction action, const std::string& dir, const std::string& file,
                const std::string& extensions);
// The folder of a path, with its trailing separator ('\' or '/').
std::string FolderOf(const std::string& path);
}  // namespace Win32FileDialog
