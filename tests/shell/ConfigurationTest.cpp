#include "shell/Configuration.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <climits>
#include <new>
#include <vector>
#include <filesystem>
#include <string>
#include <tuple>

#include "support/TempFolder.h"

namespace {

constexpr int kParameters = 107;

// Every test runs with HOME pointing at a fresh temporary folder of its own.
class ConfigurationTest : public ::testing::Test {
 protected:
  void SetUp() override { setHomeFolder(home_.path()); }
  void TearDown() override { setHomeFolder(savedHome_); }

  std::string folder() const { return home_ / "Music/ZanderVoltMusic"; }
  std::string ini() const { return folder() + "/zorq.ini"; }
  std::string oldIni() const {
    return home_ / "Library/Application Support/ZanderVoltMusic/zorq.ini";
  }

  Configuration located() const {
    Configuration config(kParameters);
    config.locate();
    return config;
  }

  const std::string savedHome_ = currentHomeFolder();
  TempFolder home_;
};

// The first start creates the folder and an empty file, following the umask so that
// other users cannot rewrite them; the rewrite keeps the file's mode (ProfileStore).
TEST_F(ConfigurationTest, FirstStartCreatesFolderAndEmptyFileFollowingTheUmask) {
  for (const auto& [mask, folderMode, fileMode] :
       {std::tuple{022u, 0755u, 0644u}, {077, 0700, 0600}}) {
    std::filesystem::remove_all(std::filesystem::u8path(home_ / "Music"));
#ifndef _WIN32
    const mode_t saved = umask(mask);
#endif
    Configuration config = located();
    EXPECT_EQ(config.iniPath(), ini());
    EXPECT_EQ(readText(ini()), "");
    EXPECT_EQ(config.programPath(), home_.path());
    config.storeDefaultWAVPath("/wav");
#ifdef _WIN32  // Windows files carry access lists, inherited from the folder
    static_cast<void>(mask), static_cast<void>(folderMode), static_cast<void>(fileMode);
#else
    umask(saved);
    const auto modeOf = [](const std::string& path) {
      struct stat st {};
      stat(path.c_str(), &st);
      return st.st_mode & 07777;
    };
    EXPECT_EQ(modeOf(home_ / "Music"), folderMode) << std::oct << mask;
    EXPECT_EQ(modeOf(folder()), folderMode) << std::oct << mask;
    EXPECT_EQ(modeOf(ini()), fileMode) << std::oct << mask;
#endif
  }
  // Only the folder's own file is there: no temporary left behind.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(std::filesystem::u8path(folder())),
                          std::filesystem::directory_iterator()),
            1);
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
  EXPECT_TRUE(config.midiThru());
  writeText(oldIni(), "[MIDI Global]\nMIDI Thru=false\n");
  EXPECT_TRUE(located().midiThru());  // the new file exists: no second copy
  EXPECT_EQ(readText(ini()), oldText);
}

// Paths read back up to the 1023-character buffer.
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
  EXPECT_EQ(reread.controllerMap(), config.controllerMap());
  config.setControllerParameter(1, -1);  // saving everything replaces the controller section
  config.saveConfig(Configuration::kSaveEverything);
  EXPECT_EQ(located().controllerParameter(1), -1);
  const std::string limit(1100, 'p');  // beyond the 1023-character buffer
  config.storeDefaultWAVPath(limit.c_str());
  EXPECT_EQ(located().defaultWAVPath(), limit.substr(0, 1023));
}

// (The entry table below shows that flags and controllers the file does not mention stay.)
TEST_F(ConfigurationTest, ReloadKeepsWhatTheFileDoesNotMentionButEmptiesTheStartupBank) {
  Configuration config = located();
  config.storeDefaultWAVPath("/w");
  config.setStartupFxb("/a.fxb");
  writeText(ini(), "[Global]\nPath to WAV Files=\n");
  config.loadConfig();
  EXPECT_EQ(config.defaultWAVPath(), "/w");  // an empty value leaves it
  EXPECT_EQ(config.startupFxb(), "");
}

// "true" in any case turns the flag on, other words off, an empty value changes nothing.
// Controller entries naming no parameter (outside 0..106) are unassigned on reading.
TEST_F(ConfigurationTest, ParsesFlagsAndControllers) {
  // The file's lines, "MIDI Thru" before and after reading, CC7 after (it starts as 42).
  for (const auto& [text, thruBefore, midiThru, cc7] :
       {std::tuple{"CC7=0\n", true, true, 0},
        {"CC7=106\n", true, true, 106},
        {"CC7=12abc\n", true, true, 12},
        {"CC7=x\n", true, true, -1},
        {"CC7=\n", true, true, 42},
        {"CC7=107\n", true, true, -1},
        {"CC7=99999999999999999999\n", true, true, -1},
        {"[MIDI Global]\nMIDI Thru=yes\n", true, false, 42},
        {"[MIDI Global]\nMIDI Thru=\n", true, true, 42},
        {"[MIDI Global]\nMIDI Thru= \"TRUE\" \n", false, true, 42}}) {
    Configuration config = located();
    config.setMidiThru(thruBefore);
    config.setControllerParameter(7, 42);
    writeText(ini(), std::string("[MIDI Global]\n[MIDI Control]\n") + text);
    config.loadConfig();
    EXPECT_EQ(config.midiThru(), midiThru) << text;
    EXPECT_EQ(config.controllerParameter(7), cc7) << text;
  }
}

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
  for (int controller : {120, 127, -1, INT_MIN, INT_MAX})
    config.setControllerParameter(controller, 6);
  EXPECT_TRUE(before == std::vector<unsigned char>(memory, memory + sizeof memory));
  for (const auto& [controller, parameter] :
       {std::pair{120, -1}, {127, -1}, {-1, -1}, {INT_MIN, -1}, {0, 3}, {1, -1}, {119, 106}})
    EXPECT_EQ(config.controllerParameter(controller), parameter) << controller;
  config.~Configuration();
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

TEST_F(ConfigurationTest, EditorScaleIsOneTwoOrNoChoice) {
  located();
  for (const auto& [text, scale] :
       {std::pair<const char*, int>{"2", 2}, {"1", 1}, {"3", 0}, {"x", 0}}) {
    writeText(ini(), std::string("[Global]\nEditor Scale=") + text + "\n\n");
    EXPECT_EQ(located().editorScale(), scale) << text;
  }
}

}  // namespace
