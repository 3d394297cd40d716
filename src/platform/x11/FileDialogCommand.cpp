#include "platform/x11/FileDialogCommand.h"

#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "platform/x11/ChildProcess.h"

std::vector<std::string> SplitExtensions(const std::string& extensions) {
  std::vector<std::string> types;
  size_t start = 0;
  while (start <= extensions.size()) {
    const size_t end = std::min(extensions.find(' ', start), extensions.size());
    if (end > start) types.push_back(extensions.substr(start, end - start));
    start = end + 1;
  }
  return types;
}

std::string ExpandHome(const std::string& path) {
  if (path != "~" && path.rfind("~/", 0) != 0) return path;
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + path.substr(1);
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

bool ChooseDialogTool(DialogTool* tool) {
  const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
  const bool kde = desktop && std::strstr(desktop, "KDE");
  const bool zenity = !ChildProcess::Find("zenity").empty();
  const bool kdialog = !ChildProcess::Find("kdialog").empty();
  if (kdialog && (kde || !zenity))
    *tool = DialogTool::kKdialog;
  else if (zenity)
    *tool = DialogTool::kZenity;
  else
    return false;
  return true;
}

std::vector<std::string> DialogArguments(DialogTool tool, const FilePromptRequest& request) {
  const bool save = request.action == kFileSave;
  std::string start = ExpandHome(request.dir);
  if (!start.empty() && start.back() != '/') start += '/';
  start += request.file;
  std::string patterns;
  for (const std::string& type : SplitExtensions(request.extensions))
    patterns += (patterns.empty() ? "*." : " *.") + type;
  const std::string title = save ? "Save File" : "Open File";
  const std::string parent = std::to_string(request.parentWindow);
  std::vector<std::string> arguments;
  if (tool == DialogTool::kZenity) {
    arguments = {"zenity", "--file-selection", "--title=" + title, "--filename=" + start};
    if (save) {
      arguments.push_back("--save");
      arguments.push_back("--confirm-overwrite");
    }
    if (!patterns.empty()) arguments.push_back("--file-filter=" + patterns);
    if (request.parentWindow) {
      arguments.push_back("--modal");
      arguments.push_back("--attach=" + parent);
    }
  } else {
    arguments = {"kdialog", "--title", title};
    if (request.parentWindow) {
      arguments.push_back("--attach");
      arguments.push_back(parent);
    }
    arguments.push_back(save ? "--getsavefilename" : "--getopenfilename");
    arguments.push_back(start);
    if (!patterns.empty()) arguments.push_back(patterns);
  }
  return arguments;
}

std::string DialogAnswer(const FilePromptRequest& request, int exitStatus,
                         const std::string& output) {
  if (exitStatus != 0) return "";
  std::string path = output.substr(0, output.find('\n'));
  if (path.empty() || path[0] != '/') return "";
  const std::vector<std::string> types = SplitExtensions(request.extensions);
  if (request.action == kFileSave && !types.empty()) {
    bool allowed = false;
    for (const std::string& type : types) {
      const std::string suffix = "." + type;
      allowed |= path.size() > suffix.size() &&
                 strcasecmp(path.c_str() + path.size() - suffix.size(), suffix.c_str()) == 0;
    }
    if (!allowed) path += "." + types[0];
  }
  return path;
}
