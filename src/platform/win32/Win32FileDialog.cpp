#include "platform/win32/Win32FileDialog.h"

#include <commdlg.h>

#include <algorithm>
#include <sstream>
#include <vector>

#include "system/WideText.h"

namespace {
constexpr size_t kPathCapacity = 32768;  // the longest path the wide calls take

std::wstring backslashed(const std::string& path) {
  std::wstring wide = widen(path);
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  return wide;
}

std::vector<std::wstring> split(const std::string& extensions) {
  std::vector<std::wstring> list;
  std::istringstream words(extensions);
  std::string word;
  while (words >> word) list.push_back(widen(word));
  return list;
}

// "*.fxp;*.fxb" twice (name and pattern), then every file; pairs end with NUL, the
// list with a second one.
std::wstring filterOf(const std::vector<std::wstring>& extensions) {
  std::wstring patterns;
  for (const std::wstring& extension : extensions)
    patterns += (patterns.empty() ? L"*." : L";*.") + extension;
  std::wstring filter;
  if (!patterns.empty()) filter += patterns + L'\0' + patterns + L'\0';
  filter += std::wstring(L"*.*") + L'\0' + L"*.*" + L'\0';
  return filter;
}
}  // namespace

std::string Win32FileDialog::Run(HWND owner, EFileAction action, const std::string& dir,
                                 const std::string& file, const std::string& extensions) {
  const std::vector<std::wstring> types = split(extensions);
  const std::wstring filter = filterOf(types);
  const std::wstring folder = backslashed(dir);
  std::vector<wchar_t> chosen(kPathCapacity, L'\0');
  const std::wstring suggested = backslashed(file).substr(0, kPathCapacity - 1);
  std::copy(suggested.begin(), suggested.end(), chosen.begin());
  OPENFILENAMEW dialog = {};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = chosen.data();
  dialog.nMaxFile = DWORD(chosen.size());
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.lpstrDefExt = types.empty() ? nullptr : types.front().c_str();
  dialog.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_HIDEREADONLY;
  const bool ok =
      action == kFileSave
          ? (dialog.Flags |= OFN_OVERWRITEPROMPT, GetSaveFileNameW(&dialog))
          : (dialog.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST, GetOpenFileNameW(&dialog));
  return ok ? narrow(chosen.data()) : std::string();
}

std::string Win32FileDialog::FolderOf(const std::string& path) {
  const size_t separator = path.find_last_of("\\/");
  return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}
