#pragma once

// The desktop's file dialog programs as the platform layer runs them: the command
// line for an open or save prompt (starting folder and file, the allowed extensions
// as a filter, the host's window as parent), and the chosen path read from their
// answer. Window-system free.
#include <string>
#include <vector>

#include "gui/IGraphicsStructs.h"

enum class DialogTool { kZenity, kKdialog };

struct FilePromptRequest {
  EFileAction action = kFileOpen;
  std::string dir;         // "~" is the home folder
  std::string file;        // suggested name, may be empty
  std::string extensions;  // split at single spaces: "fxp", "wav", " " (no types)
  unsigned long parentWindow = 0;
};

// "fxp fxb" -> {"fxp", "fxb"}; empty pieces (from " ") are dropped.
std::vector<std::string> SplitExtensions(const std::string& extensions);
// "~" and "~/..." with $HOME; other paths as they are.
std::string ExpandHome(const std::string& path);
// The tool to use, preferring the desktop's own (kdialog under KDE); false when
// neither is installed.
bool ChooseDialogTool(DialogTool* tool);
std::vector<std::string> DialogArguments(DialogTool tool, const FilePromptRequest& request);
// The chosen file from the tool's exit status and output (first line), with the
// first extension appended to a saved name that has none of the allowed ones; empty
// for a cancelled dialog.
std::string DialogAnswer(const FilePromptRequest& request, int exitStatus,
                         const std::string& output);
// The folder of a path with its trailing "/".
std::string FolderOf(const std::string& path);
