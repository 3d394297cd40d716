#include "shell/Configuration.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <new>
#include <vector>
#include <filesystem>
#include <string>

#include "shell/ProfileStore.h"
#include "support/TempFolder.h"

namespace {

constexpr int kParameters = 107;

// Every test runs with HOME pointing at a fresh temporary folder of its own.
class ConfigurationTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("HOME", home_.path().c_str(), 1); }
  void TearDown() override { setenv("HOME", savedHome_.c_str(), 1); }

  std::string folder() const { return home_ / "Music/ZanderVoltMusic"; }
  std::string ini() const { return folder() + "/zorq.ini"; }
  std::string oldIni() const { return home_ / "Library/Application Support/ZanderVoltMusic/zorq.ini"; }

  Configuration located() const {
    Configuration config(kParameters);
    config.locate();
    return config;
  }

  const std::string savedHome_ = getenv("HOME");
  TempFolder home_;
};

TEST_F(ConfigurationTest, FirstStartCreatesTheFolderAndAnEmptyFile) {
  const Configuration config = located();
  EXPECT_TRUE(Configuration::fileExists(ini()));
  EXPECT_FALSE(Configuration::fileExists(""));
  EXPECT_EQ(config.homeFolder(), home_.path());
  EXPECT_EQ(config.iniPath(), ini());
  EXPECT_EQ(readText(ini()), "");
  EXPECT_EQ(config.programPath(), home_.path());
  EXPECT_EQ(config.defaultWAVPath(), "");
  EXPECT_EQ(config.startupFxb(), "");
  EXPECT_FALSE(config.midiThru());
  EXPECT_FALSE(config.ignoreProgramChange());
  for (int entry : config.controllerMap()) EXPECT_EQ(entry, -1);
  // Only the folder's own files are there: no temporary left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder()),
                          std::filesystem::directory_iterator()),
            1);
}

// The folder and file follow the umask, so other users cannot rewrite them; the
// rewrite keeps the file's mode (ProfileStore).
TEST_F(ConfigurationTest, FolderAndFileModesFollowTheUmask) {
  struct Case {
    mode_t umask, folder, file;
  };
  for (const Case& c : {Case{022, 0755, 0644}, Case{077, 0700, 0600}}) {
    std::filesystem::remove_all(home_ / "Music");
    const mode_t saved = umask(c.umask);
    Configuration config = located();
    config.storeDefaultWAVPath("/wav");
    umask(saved);
    EXPECT_EQ(statOf(home_ / "Music").st_mode & 07777, c.folder) << std::oct << c.umask;
    EXPECT_EQ(statOf(folder()).st_mode & 07777, c.folder) << std::oct << c.umask;
    EXPECT_EQ(statOf(ini()).st_mode & 07777, c.file) << std::oct << c.umask;
  }
}

TEST_F(ConfigurationTest, FirstStartCopiesTheOldFileOnce) {
  const std::string oldText =
      "[Global]\nPath to WAV Files=/samples\n\n[MIDI Control]\nCC1=20\n\n"
      "[MIDI Global]\nMIDI Thru=true\n\n[Update Check]\nVersion URL=http://127.0.0.1:8/v\n\n";
  std::filesystem::create_directories(std::filesystem::path(oldIni()).parent_path());
  writeText(oldIni(), oldText);
  const Configuration config = located();
  EXPECT_EQ(readText(ini()), oldText);
  EXPECT_EQ(readText(oldIni()), oldText);  // left in place
  EXPECT_EQ(config.defaultWAVPath(), "/samples");
  EXPECT_EQ(config.controllerParameter(1), 20);
  EXPECT_TRUE(config.midiThru());
  EXPECT_EQ(config.versionUrl(), "http://127.0.0.1:8/v");

  writeText(oldIni(), "[MIDI Global]\nMIDI Thru=false\n");
  EXPECT_TRUE(located().midiThru());  // the new file exists: no second copy
  EXPECT_EQ(readText(ini()), oldText);
}

TEST_F(ConfigurationTest, SaveAndLoadRoundTrip) {
  Configuration config = located();
  config.storeDefaultWAVPath("/wav folder");
  config.storeProgramPath("/programs");
  config.setStartupFxb("/banks/a=b c.fxb");
  config.setMidiThru(true);
  config.setControllerParameter(1, 20);
  config.setControllerParameter(119, 0);
  config.saveConfig(Configuration::kSaveEverything);
  EXPECT_EQ(readText(ini()),
            "[Global]\nPath to Program Files=/programs\nPath to WAV Files=/wav folder\n\n"
            "[MIDI Control]\nCC1=20\nCC119=0\n\n"
            "[MIDI Global]\nIgnore Program Change=false\nMIDI Thru=true\n\n"
            "[Startup Bank]\nFile=/banks/a=b c.fxb\n\n");

  const Configuration reread = located();
  EXPECT_EQ(reread.defaultWAVPath(), "/wav folder");
  EXPECT_EQ(reread.programPath(), "/programs");
  EXPECT_EQ(reread.startupFxb(), "/banks/a=b c.fxb");
  EXPECT_TRUE(reread.midiThru());
  EXPECT_FALSE(reread.ignoreProgramChange());
  EXPECT_EQ(reread.controllerMap(), config.controllerMap());

  config.setControllerParameter(1, -1);  // saving everything replaces the controller section
  config.saveConfig(Configuration::kSaveEverything);
  EXPECT_EQ(located().controllerParameter(1), -1);
}

// Every save writes the startup bank; items 20 and 21 one MIDI flag each; other items
// nothing more, and none of them the controller assignments.
TEST_F(ConfigurationTest, SavingOneItemWritesTheStartupBankAndThatFlagOnly) {
  Configuration config = located();
  config.setMidiThru(true);
  config.saveConfig(5);
  EXPECT_EQ(readText(ini()), "[Startup Bank]\nFile=\n\n");
  config.setControllerParameter(7, 3);
  config.saveConfig(Configuration::kSaveEverything);
  config.setControllerParameter(7, 9);
  config.setIgnoreProgramChange(true);
  config.setStartupFxb("/b.fxb");
  config.saveConfig(Configuration::kSaveMidiThru);
  EXPECT_EQ(readText(ini()),
            "[MIDI Control]\nCC7=3\n\n[MIDI Global]\nIgnore Program Change=false\nMIDI Thru=true\n\n"
            "[Startup Bank]\nFile=/b.fxb\n\n");
  config.saveConfig(Configuration::kSaveIgnoreProgramChange);
  EXPECT_NE(readText(ini()).find("Ignore Program Change=true\n"), std::string::npos);
}

TEST_F(ConfigurationTest, UnsetStartupFxbLeavesTheEmptySectionHeader) {
  Configuration config = located();
  config.setStartupFxb("/banks/a.fxb");
  config.storeProgramPath(nullptr);
  config.unsetStartupFxb();
  EXPECT_EQ(config.startupFxb(), "");
  EXPECT_EQ(readText(ini()),
            "[Global]\nPath to Program Files=" + home_.path() + "\n\n[Startup Bank]\n\n");
  config.saveStartupFxb();
  EXPECT_NE(readText(ini()).find("[Startup Bank]\nFile=\n\n"), std::string::npos);
}

TEST_F(ConfigurationTest, ReloadKeepsWhatTheFileDoesNotMentionButEmptiesTheStartupBank) {
  Configuration config = located();
  config.setMidiThru(true);
  config.setControllerParameter(3, 4);
  config.storeDefaultWAVPath("/w");
  config.setStartupFxb("/a.fxb");
  writeText(ini(), "[Global]\nPath to WAV Files=\n");
  config.loadConfig();
  EXPECT_TRUE(config.midiThru());
  EXPECT_EQ(config.controllerParameter(3), 4);
  EXPECT_EQ(config.defaultWAVPath(), "/w");  // an empty value leaves it
  EXPECT_EQ(config.startupFxb(), "");
}

struct FlagText {
  const char* text;  // value of "MIDI Thru" in the file, or null for no key
  bool before;
  bool after;
};

void PrintTo(const FlagText& c, std::ostream* os) {
  *os << (c.text ? "MIDI Thru=" + std::string(c.text) : "no key") << (c.before ? ", was on" : ", was off");
}

class ConfigurationFlag : public ConfigurationTest, public ::testing::WithParamInterface<FlagText> {};

TEST_P(ConfigurationFlag, ReadsTrueIgnoringCaseAndEmptyAsUnchanged) {
  Configuration config = located();
  std::string text = "[MIDI Global]\n";
  if (GetParam().text) text += std::string("MIDI Thru=") + GetParam().text + "\n";
  writeText(ini(), text);
  config.setMidiThru(GetParam().before);
  config.loadConfig();
  EXPECT_EQ(config.midiThru(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Texts, ConfigurationFlag,
                         ::testing::Values(FlagText{"TRUE", false, true}, FlagText{"True", false, true},
                                           FlagText{"yes", true, false}, FlagText{"false", true, false},
                                           FlagText{"", true, true}, FlagText{"", false, false},
                                           FlagText{nullptr, true, true}, FlagText{" \"true\" ", false, true}));

struct ControllerText {
  const char* text;  // value of CC7 in the file, or null for no key
  int expected;      // entry 7 afterwards; it starts as 42
};

void PrintTo(const ControllerText& c, std::ostream* os) { *os << (c.text ? "CC7=" + std::string(c.text) : "no key"); }

class ConfigurationController : public ConfigurationTest,
                                public ::testing::WithParamInterface<ControllerText> {};

TEST_P(ConfigurationController, ParsesTheEntry) {
  Configuration config = located();
  config.setControllerParameter(7, 42);
  std::string text = "[MIDI Control]\n";
  if (GetParam().text) text += std::string("CC7=") + GetParam().text + "\n";
  writeText(ini(), text);
  config.loadConfig();
  EXPECT_EQ(config.controllerParameter(7), GetParam().expected);
}

// Entries naming no parameter (outside 0..106) are unassigned on reading.
INSTANTIATE_TEST_SUITE_P(
    Texts, ConfigurationController,
    ::testing::Values(ControllerText{"0", 0}, ControllerText{"106", 106}, ControllerText{"12abc", 12},
                      ControllerText{"x", -1}, ControllerText{nullptr, 42}, ControllerText{"", 42},
                      ControllerText{"-1", -1}, ControllerText{"107", -1}, ControllerText{"500", -1},
                      ControllerText{"-5", -1}, ControllerText{"99999999999999999999", -1}));

// Controllers 120..127 arrive from MIDI: they read as unassigned and are never stored.
// The object lives in memory filled with a valid parameter index (5), so one entry read
// or written past either end of the map shows.
TEST_F(ConfigurationTest, ControllerMapStaysInsideItsBoundsAndHoldsOnlyParameters) {
  alignas(Configuration) unsigned char memory[sizeof(Configuration) + 64];
  for (size_t i = 0; i + 4 <= sizeof memory; i += 4) *reinterpret_cast<int32_t*>(memory + i) = 5;
  Configuration& config = *new (memory) Configuration(kParameters);
  config.setControllerParameter(0, 3);
  config.setControllerParameter(1, 200);
  config.setControllerParameter(119, 106);
  const std::vector<unsigned char> before(memory, memory + sizeof memory);
  for (int controller : {120, 127, -1, INT_MIN, INT_MAX}) config.setControllerParameter(controller, 6);
  EXPECT_TRUE(before == std::vector<unsigned char>(memory, memory + sizeof memory));
  for (int controller : {120, 127, -1, INT_MIN}) EXPECT_EQ(config.controllerParameter(controller), -1);
  EXPECT_EQ(config.controllerParameter(0), 3);
  EXPECT_EQ(config.controllerParameter(1), -1);
  EXPECT_EQ(config.controllerParameter(119), 106);
  config.~Configuration();
}

TEST_F(ConfigurationTest, LongFolderPathsReadBackWhole) {
  std::string longFolder = "/" + std::string(200, 'w') + "/" + std::string(300, 'x');
  Configuration config = located();
  config.storeDefaultWAVPath(longFolder.c_str());
  config.storeProgramPath((longFolder + "/programs").c_str());
  const Configuration reread = located();
  EXPECT_EQ(reread.defaultWAVPath(), longFolder);
  EXPECT_EQ(reread.programPath(), longFolder + "/programs");

  const std::string limit(1100, 'p');  // beyond the 1023-character buffer
  config.storeDefaultWAVPath(limit.c_str());
  EXPECT_EQ(located().defaultWAVPath(), limit.substr(0, 1023));
}

TEST_F(ConfigurationTest, AnUncreatableFolderLeavesTheDefaults) {
  writeText(home_ / "Music", "a file where the folder should be");
  Configuration config = located();
  EXPECT_EQ(config.programPath(), home_.path());
  EXPECT_FALSE(Configuration::fileExists(ini()));
  config.storeDefaultWAVPath("/w");  // fails silently
  config.saveConfig(Configuration::kSaveEverything);
  EXPECT_EQ(config.defaultWAVPath(), "/w");
}

TEST_F(ConfigurationTest, AnotherInstancesSaveIsSeenAfterReload) {
  Configuration first = located();
  Configuration second = located();
  first.setIgnoreProgramChange(true);
  first.saveConfig(Configuration::kSaveIgnoreProgramChange);
  EXPECT_FALSE(second.ignoreProgramChange());
  second.loadConfig();
  EXPECT_TRUE(second.ignoreProgramChange());
}

TEST_F(ConfigurationTest, EditorScaleIsOneTwoOrNoChoice) {
  located();
  for (const auto& [text, scale] : {std::pair<const char*, int>{"2", 2}, {"1", 1}, {"3", 0}, {"x", 0}}) {
    writeText(ini(), std::string("[Global]\nEditor Scale=") + text + "\n\n");
    EXPECT_EQ(located().editorScale(), scale) << text;
  }
}

}  // namespace
