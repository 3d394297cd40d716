#include "shell/Configuration.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "framework/ReplacementFile.h"
#include "shell/ProfileStore.h"
#include "system/Files.h"
#include "system/UserFolders.h"

namespace {

constexpr const char* kGlobal = "Global";
constexpr const char* kWavPathKey = "Path to WAV Files";
constexpr const char* kProgramPathKey = "Path to Program Files";
constexpr const char* kEditorScaleKey = "Editor Scale";
constexpr const char* kStartupBank = "Startup Bank";
constexpr const char* kStartupFileKey = "File";
constexpr const char* kMidiGlobal = "MIDI Global";
constexpr const char* kMidiThruKey = "MIDI Thru";
constexpr const char* kIgnoreProgramChangeKey = "Ignore Program Change";
constexpr const char* kMidiControl = "MIDI Control";
constexpr const char* kUpdateCheck = "Update Check";
constexpr const char* kVersionUrlKey = "Version URL";

bool equalsIgnoringAsciiCase(const std::string& text, const char* word) {
  size_t i = 0;
  for (; i < text.size() && word[i]; ++i) {
    char a = text[i], b = word[i];
    if (a >= 'A' && a <= 'Z') a = char(a - 'A' + 'a');
    if (b >= 'A' && b <= 'Z') b = char(b - 'A' + 'a');
    if (a != b) return false;
  }
  return i == text.size() && !word[i];
}

// Decimal integer as atoi reads it (leading blanks, optional sign, digits up to
// the first non-digit), clamped to the int range instead of overflowing.
long parseDecimal(const std::string& text) {
  const long value = std::strtol(text.c_str(), nullptr, 10);
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return value;
}

bool copyBytes(int from, ReplacementFile& to) {
  char buffer[8192];
  for (;;) {
    const long n = readDescriptor(from, buffer, sizeof buffer);
    if (n <= 0) return n == 0;
    if (!to.write(buffer, size_t(n))) return false;
  }
}

}  // namespace

Configuration::Configuration(int parameterCount) : parameterCount_(parameterCount) {
  controllerMap_.fill(kUnassigned);
}

bool Configuration::fileExists(const std::string& path) { return ::fileExists(path); }

// Modes of new folders are 0777 less the umask (usually 0755), so other users cannot
// rewrite this user's configuration.
void Configuration::locate() {
  homeFolder_ = ::homeFolder();
  programPath_ = homeFolder_;
  const std::string music = musicFolder();
  if (homeFolder_.empty() || music.empty()) return;  // no INI file: defaults only

  const std::string folder = music + "/" + kVendorFolder;
  makeFolders(folder);
  iniPath_ = folder + "/" + kFileName;
  if (fileExists(iniPath_) || createIniFile(folder)) loadConfig();
}

// The new file is built under a unique temporary name and linked into place,
// so another instance starting at the same moment never reads a half-copied
// file and never has its own file replaced (that instance's file is read then).
bool Configuration::createIniFile(const std::string& folder) const {
  ReplacementFile file(folder + "/" + kFileName);  // mode 0666 less the umask
  if (!file.isOpen()) return false;
  const std::string oldIni =
      homeFolder_ + "/Library/Application Support/" + kVendorFolder + "/" + kFileName;
  if (fileExists(oldIni)) {
    const int old = openDescriptor(oldIni, OpenFor::kRead);
    const bool copied = old >= 0 && copyBytes(old, file);
    if (old >= 0) closeDescriptor(old);
    if (!copied && !truncateDescriptor(file.descriptor())) return false;  // else an empty file
  }
  return file.place(ReplacementFile::Placement::kKeepExisting) || fileExists(iniPath_);
}

std::string Configuration::read(const char* section, const char* key,
                                const char* defaultValue) const {
  char buffer[kPathBufferSize];
  GetPrivateProfileString(section, key, defaultValue, buffer, kPathBufferSize, iniPath_.c_str());
  return buffer;
}

int Configuration::readFlag(const char* key) const {
  const std::string text = read(kMidiGlobal, key, "");
  return text.empty() ? -1 : equalsIgnoringAsciiCase(text, "true") ? 1 : 0;
}

void Configuration::writeFlag(const char* key, bool flag) const {
  WritePrivateProfileString(kMidiGlobal, key, flag ? "true" : "false", iniPath_.c_str());
}

int Configuration::loadConfig() {
  applyFileSettings(readFileSettings());
  return 0;
}

Configuration::FileSettings Configuration::readFileSettings() const {
  FileSettings settings;
  // The folders are read at full length (up to kPathBufferSize - 1 characters).
  settings.defaultWAVPath = read(kGlobal, kWavPathKey, "");
  settings.startupFxb = read(kStartupBank, kStartupFileKey, "");
  settings.programPath = read(kGlobal, kProgramPathKey, "");
  // Set by hand in the file: 1 or 2; anything else leaves the choice to the host and
  // the screen.
  const std::string scale = read(kGlobal, kEditorScaleKey, "");
  settings.editorScale = scale == "1" ? 1 : scale == "2" ? 2 : 0;
  settings.versionUrl = read(kUpdateCheck, kVersionUrlKey, "");
  settings.midiThru = readFlag(kMidiThruKey);
  settings.ignoreProgramChange = readFlag(kIgnoreProgramChangeKey);
  for (int controller = 0; controller < kNumControllers; ++controller) {
    char key[16];
    snprintf(key, sizeof key, "CC%i", controller);
    // A controller the file does not mention keeps its entry: the default is empty
    // (a default of "-1" would unassign it).
    const std::string text = read(kMidiControl, key, "");
    settings.controllers[controller] = kNotMentioned;
    if (text.empty()) continue;
    const long number = parseDecimal(text);
    const long entry = (number != 0 || text[0] == '0') ? number : kUnassigned;
    // An entry that names no parameter is unassigned, so nothing can index the
    // parameter list with it.
    settings.controllers[controller] = isParameter(int(entry)) ? int(entry) : kUnassigned;
  }
  return settings;
}

void Configuration::applyFileSettings(FileSettings&& settings) {
  if (!settings.defaultWAVPath.empty()) defaultWAVPath_.swap(settings.defaultWAVPath);
  startupFxb_.swap(settings.startupFxb);
  if (!settings.programPath.empty()) programPath_.swap(settings.programPath);
  editorScale_ = settings.editorScale;
  versionUrl_.swap(settings.versionUrl);
  if (settings.midiThru >= 0) midiThru_ = settings.midiThru == 1;
  if (settings.ignoreProgramChange >= 0) ignoreProgramChange_ = settings.ignoreProgramChange == 1;
  for (int controller = 0; controller < kNumControllers; ++controller)
    if (settings.controllers[controller] != kNotMentioned)
      controllerMap_[controller] = settings.controllers[controller];
}

// The section is replaced in one write, so another instance never sees it empty
// in between.
void Configuration::writeStartupSection(bool withFile) const {
  std::string data;
  if (withFile) {
    data = std::string(kStartupFileKey) + "=" + startupFxb_;
    data += '\0';
  }
  data += '\0';
  WritePrivateProfileSection(kStartupBank, data.c_str(), iniPath_.c_str());
}

void Configuration::saveConfig(int item) {
  writeStartupSection(true);
  if (item < 0 || item == kSaveMidiThru) writeFlag(kMidiThruKey, midiThru_);
  if (item < 0 || item == kSaveIgnoreProgramChange)
    writeFlag(kIgnoreProgramChangeKey, ignoreProgramChange_);
  if (item < 0) {
    // The whole controller section in one rewrite, not one rewrite per key.
    std::string data;
    for (int controller = 0; controller < kNumControllers; ++controller) {
      if (controllerMap_[controller] == kUnassigned) continue;
      char entry[40];
      snprintf(entry, sizeof entry, "CC%i=%i", controller, controllerMap_[controller]);
      data += entry;
      data += '\0';
    }
    data += '\0';
    WritePrivateProfileSection(kMidiControl, data.c_str(), iniPath_.c_str());
  }
}

void Configuration::storeDefaultWAVPath(const char* folder) {
  if (folder) defaultWAVPath_ = folder;
  WritePrivateProfileString(kGlobal, kWavPathKey, defaultWAVPath_.c_str(), iniPath_.c_str());
}

void Configuration::storeProgramPath(const char* folder) {
  if (folder) programPath_ = folder;
  WritePrivateProfileString(kGlobal, kProgramPathKey, programPath_.c_str(), iniPath_.c_str());
}

void Configuration::setStartupFxb(const char* path) {
  startupFxb_ = path ? path : "";
  writeStartupSection(true);
}

void Configuration::unsetStartupFxb() {
  startupFxb_.clear();
  writeStartupSection(false);
}

void Configuration::saveStartupFxb() { writeStartupSection(true); }

int Configuration::controllerParameter(int controller) const {
  if (!isController(controller)) return kUnassigned;
  const int parameter = controllerMap_[controller];
  return isParameter(parameter) ? parameter : kUnassigned;
}

void Configuration::setControllerParameter(int controller, int parameter) {
  if (!isController(controller)) return;
  controllerMap_[controller] = isParameter(parameter) ? parameter : kUnassigned;
}
