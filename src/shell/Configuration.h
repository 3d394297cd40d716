// Per-user INI configuration: default folders, the startup bank,
// "MIDI Thru", "Ignore Program Change" and the MIDI-learn controller map, kept
// in "$HOME/Music/ZanderVoltMusic/zorq.ini" (on Windows the profile's Music folder:
// system/UserFolders.h) through the profile store
// (ProfileStore.h). `Synth` owns one and forwards its `loadConfig`
// and friends to it. The fields are not locked: they are used from the thread
// that builds the instance and from the editor's thread; the store
// serialises the file access itself. Every operation below runs on the thread
// that builds the instance or on the editor's thread; none needs the plug-in
// mutex, and all may block briefly on file I/O (never call them from audio).
#pragma once

#include <array>
#include <string>

class Configuration {
 public:
  static constexpr int kNumControllers = 120;
  static constexpr int kUnassigned = -1;
  static constexpr int kNotMentioned = -2;  // FileSettings: the file has no entry
  // saveConfig items: below 0 everything; 20 and 21 one MIDI flag.
  static constexpr int kSaveEverything = -1;
  static constexpr int kSaveMidiThru = 20;
  static constexpr int kSaveIgnoreProgramChange = 21;
  // Every path is read back into a buffer of this size (at most 1023 characters).
  static constexpr int kPathBufferSize = 1024;

  static constexpr const char* kVendorFolder = "ZanderVoltMusic";
  static constexpr const char* kFileName = "zorq.ini";

  // `parameterCount` bounds the controller map: an entry must name a parameter
  // 0 .. parameterCount - 1 or it is unassigned. Nothing is read until locate().
  explicit Configuration(int parameterCount);

  // Construction-time set-up: home folder from
  // HOME, the folder "$HOME/Music/ZanderVoltMusic" created when missing (mode
  // 0774), the INI file created when missing (mode 0666, with a one-time copy
  // of "$HOME/Library/Application Support/ZanderVoltMusic/zorq.ini" when that
  // exists), then loadConfig(). Failures leave the defaults.
  void locate();

  // What the INI file says, read without changing the configuration: every field is
  // unset (empty, -2 for a controller) where the file does not mention it.
  struct FileSettings {
    std::string defaultWAVPath, programPath, startupFxb, versionUrl;
    int editorScale = 0;
    int midiThru = -1, ignoreProgramChange = -1;  // -1: not mentioned, else 0 or 1
    std::array<int, kNumControllers> controllers;
  };

  // Reads every setting from the INI file; settings the file does not mention
  // keep their values, except the startup bank file, emptied first. Returns 0.
  int loadConfig();
  // The two halves of loadConfig: the file work (any thread, no lock needed beyond
  // the store's own) and applying its result, which reads no file and takes constant
  // time (the caller holds the lock that guards the configuration).
  FileSettings readFileSettings() const;
  void applyFileSettings(FileSettings&& settings);
  // Writes settings back: always the startup bank; "MIDI Thru" for item < 0 or
  // 20; "Ignore Program Change" for item < 0 or 21; the controller map for item < 0.
  void saveConfig(int item);

  // In memory only: the folder when given (null keeps the current one), the startup
  // bank file (null counts as empty).
  void setDefaultWAVPath(const char* folder) {
    if (folder) defaultWAVPath_ = folder;
  }
  void setProgramPath(const char* folder) {
    if (folder) programPath_ = folder;
  }
  void setStartupFxbPath(const char* path) { startupFxb_ = path ? path : ""; }

  // Sets the folder when given (null keeps the current one), then writes it.
  void storeDefaultWAVPath(const char* folder);
  void storeProgramPath(const char* folder);
  // Sets the WAV folder in memory only (another instance wrote the file).
  void setDefaultWAVPath(const std::string& folder) { defaultWAVPath_ = folder; }

  // Startup bank file = path (null counts as empty); rewrites the "Startup Bank" section.
  void setStartupFxb(const char* path);
  // Startup bank file = empty; the "Startup Bank" section is emptied (its header stays).
  void unsetStartupFxb();
  // Rewrites the "Startup Bank" section with the current startup bank file.
  void saveStartupFxb();
  // Forgets the startup bank file in memory only (the bank failed to load).
  void clearStartupFxb() { startupFxb_.clear(); }

  // True when `stat` can examine the path.
  static bool fileExists(const std::string& path);

  const std::string& homeFolder() const { return homeFolder_; }
  const std::string& iniPath() const { return iniPath_; }
  const std::string& defaultWAVPath() const { return defaultWAVPath_; }
  const std::string& programPath() const { return programPath_; }
  const std::string& startupFxb() const { return startupFxb_; }

  // "Global" / "Editor Scale": 1 or 2 screen pixels per editor pixel, 0 when the
  // file says neither (the host's scale or the screen's resolution decide then).
  int editorScale() const { return editorScale_; }
  // The update check's version URL from the INI file; empty means the built-in one.
  const std::string& versionUrl() const { return versionUrl_; }

  bool midiThru() const { return midiThru_; }
  void setMidiThru(bool on) { midiThru_ = on; }
  bool ignoreProgramChange() const { return ignoreProgramChange_; }
  void setIgnoreProgramChange(bool on) { ignoreProgramChange_ = on; }

  // Controller map: for controller 0..119 the parameter it drives, or -1.
  // Every entry is either -1 or a valid parameter index: values from the file
  // and from setControllerParameter outside 0 .. parameterCount - 1 become -1.
  const std::array<int, kNumControllers>& controllerMap() const { return controllerMap_; }
  // The parameter controller drives, or -1 (also for a controller outside 0..119).
  int controllerParameter(int controller) const;
  // Ignored for a controller outside 0..119; an invalid parameter unassigns.
  void setControllerParameter(int controller, int parameter);
  void clearControllerMap() { controllerMap_.fill(kUnassigned); }

 private:
  bool isParameter(int index) const { return index >= 0 && index < parameterCount_; }
  // The one bound of the controller map's index (MIDI controllers 120..127 reach
  // controllerParameter from the audio thread and must read nothing).
  static bool isController(int controller) {
    return controller >= 0 && controller < kNumControllers;
  }
  // Reads section/key into a std::string of at most kPathBufferSize - 1 characters.
  std::string read(const char* section, const char* key, const char* defaultValue) const;
  // 1 for "true" (any case), 0 for any other text, -1 when the key is missing or empty.
  int readFlag(const char* key) const;
  void writeFlag(const char* key, bool flag) const;
  void writeStartupSection(bool withFile) const;
  // Creates the missing INI file, from the old location's file when there is one.
  bool createIniFile(const std::string& folder) const;

  int parameterCount_;
  std::string homeFolder_;
  std::string iniPath_;
  std::string defaultWAVPath_;
  std::string programPath_;
  std::string startupFxb_;
  int editorScale_ = 0;
  std::string versionUrl_;
  bool midiThru_ = false;
  bool ignoreProgramChange_ = false;
  std::array<int, kNumControllers> controllerMap_;
};
