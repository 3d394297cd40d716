// The INI profile store, and the configuration kept in it.
#include "shell/ProfileStore.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <climits>
#include <filesystem>
#include <new>
#include <string>
#include <tuple>
#include <vector>

#include "shell/Configuration.h"
#include "support/TempFolder.h"
#include "system/Files.h"

namespace {

std::string get(const std::string& file, const char* section, const char* key,
                const char* defaultValue = "", int size = 1024) {
  std::vector<char> out(size > 0 ? size : 1, 'Z');
  const int length =
      GetPrivateProfileString(section, key, defaultValue, out.data(), size, file.c_str());
  EXPECT_EQ(length, int(strlen(out.data())));
  return out.data();
}

void put(const std::string& file, const char* section, const char* key, const char* value) {
  EXPECT_EQ(WritePrivateProfileString(section, key, value, file.c_str()), 1);
}

// Sets the file's modification time to a fixed past moment, so that a later
// rewrite (or the lack of one) shows in the time as well as in the inode.
void backdate(const std::string& path, int seconds = 1000000000) {
  std::filesystem::last_write_time(std::filesystem::u8path(path),
                                   std::filesystem::file_time_type(std::chrono::seconds(seconds)));
}

FileStatus statusAt(const std::string& path) {
  FileStatus status;
  EXPECT_TRUE(statusOf(path, &status)) << path;
  return status;
}

// Overwrites the value of the file's first key "[S]\nK=..." in place, same size.
[[maybe_unused]] void overwriteValue(const std::string& file, const char* value) {
  std::fstream edit(file, std::ios::in | std::ios::out | std::ios::binary);
  edit.seekp(std::string("[S]\nK=").size());
  edit << value;
}

[[maybe_unused]] std::string keyOf(const char* prefix, int writer, int k) {
  return prefix + std::to_string(writer) + "k" + std::to_string(k);
}

class ProfileStore : public ::testing::Test {
 protected:
  TempFolder folder;
  std::string file = folder / "test.ini";
};

// Each file as written by hand, then the entry read ("absent" stands for the default).
// Orphan keys, header forms and lines without a key are read as the rewrite below keeps them.
// A long text without a section header is given up (a later section is not found), one
// inside a section is read through.
TEST_F(ProfileStore, ReadFollowsTheLineRules) {
  int n = 0;
  std::string junk;
  while (junk.size() <= 300000) junk += "this is no INI file, just a long text\n";
  using Row = std::tuple<std::string, const char*, const char*, const char*>;
  for (const auto& [text, section, key, expected] :
       {Row{"[S]\nK=  \"quoted value\"  \n", "S", "K", "quoted value"},
        Row{"[S]\nK=\"\n", "S", "K", "\""}, Row{"[S]\nK='single'\n", "S", "K", "single"},
        Row{"[S]\nK=\"mixed'\n", "S", "K", "\"mixed'"}, Row{"[S]\nK=a=b\n", "S", "K", "a=b"},
        Row{"[S]\n   K=crlf\r\n", "S", "K", "crlf"},
        Row{"[Global]\nMIDI Thru=false\n", "GLOBAL", "Midi THRU", "false"},
        Row{"[First]\nkey = spaced\n", "First", "key", "absent"},
        Row{"[First]\nno equals sign\n=no key\n;K=comment\n", "First", "K", "absent"},
        Row{"[First]\n=no key\n", "First", "", "absent"},
        Row{"[S]\na=1\n[s]\nc=3\n", "S", "a", "absent"}, Row{"[S]\nc=3\nc=4\n", "S", "c", "4"},
        Row{junk + "[S]\nK=v\n", "S", "K", "absent"},
        Row{"[S]\n" + junk + "K=v\n", "S", "K", "v"}}) {
    const std::string path = folder / ("read" + std::to_string(n++) + ".ini");
    writeText(path, text);
    EXPECT_EQ(get(path, section, key, "absent"), expected) << text.substr(0, 80);
  }
}

// Invalid writes change nothing and create no file.
TEST_F(ProfileStore, DefaultsStayUntrimmedOutputIsCutToItsSizeAndInvalidArgumentsFail) {
  EXPECT_EQ(WritePrivateProfileString(nullptr, "k", "v", file.c_str()), 0);
  EXPECT_EQ(WritePrivateProfileString("s", "", "v", file.c_str()), 0);
  EXPECT_EQ(WritePrivateProfileString("s", "k", "v", nullptr), 0);
  EXPECT_EQ(WritePrivateProfileSection("s", "k=v\0", nullptr), 0);
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(get(folder / "missing.ini", "Global", "Key", "  fallback  "), "  fallback  ");
  put(file, "S", "K", "abcdef");
  EXPECT_EQ(get(file, "S", "K", "", 4), "abc");
  char untouched = 'x';
  EXPECT_EQ(GetPrivateProfileString("S", "K", "", &untouched, 0, file.c_str()), 0);
  EXPECT_EQ(untouched, 'x');
  EXPECT_EQ(GetPrivateProfileString("S", "K", "", nullptr, 8, file.c_str()), 0);
}

// A write rewrites the file sorted, matching sections and keys ignoring case, without
// comments, blank lines or lines without a key; a null value deletes the key, a null key
// the section.
TEST_F(ProfileStore, WriteRewritesSortedIgnoringCase) {
  int n = 0;
  for (const auto& [before, section, key, value, after] :
       {std::tuple<const char*, const char*, const char*, const char*, const char*>{
            "[b section]\nzeta=1\nAlpha=3\n[A Section]\nbeta=2\n", "a section", "ALPHA", "4",
            "[A Section]\nALPHA=4\nbeta=2\n\n[b section]\nAlpha=3\nzeta=1\n\n"},
        {"[Global]\nMIDI Thru=false\n", "gLoBaL", "midi thru", "true",
         "[Global]\nMIDI Thru=true\n\n"},
        {"# hand edited\n\n[Global]\n; comment\nPath=/x\n\n\n", "Global", "Other", "y",
         "[Global]\nOther=y\nPath=/x\n\n"},
        {"orphan=1\n  [First] x\nkey = spaced\nno equals\n=no key\n[]\nlost=1\n"
         "[Unclosed\nin=u\n",
         "First", "added", "1", "[First]\nadded=1\nkey = spaced\n\n[Unclosed]\nin=u\n\n"},
        {"[A]\nx=1\ny=2\n\n[B]\nz=3\n\n", "a", "X", nullptr, "[A]\ny=2\n\n[B]\nz=3\n\n"},
        {"[A]\ny=2\n\n[B]\nz=3\n\n", "b", nullptr, nullptr, "[A]\ny=2\n\n"},
        {"[A]\ny=2\n\n", "Missing", nullptr, nullptr, "[A]\ny=2\n\n"}}) {
    const std::string path = folder / ("write" + std::to_string(n++) + ".ini");
    writeText(path, before);
    put(path, section, key, value);
    EXPECT_EQ(readText(path), after) << before;
  }
}

// Writing the same value leaves the file untouched; a change is written to a temporary
// that replaces the file and keeps its mode; when the temporary cannot be made, the old
// file stays.
TEST_F(ProfileStore, OnlyAChangeRewritesTheFileThroughATemporary) {
  put(file, "S", "K", "v");
  backdate(file);
  const FileStatus before = statusAt(file);
  put(file, "s", "k", "v");
  EXPECT_EQ(statusAt(file).modifiedNanoseconds, before.modifiedNanoseconds);
#ifndef _WIN32
  chmod(file.c_str(), 0666);
#endif
  put(file, "S", "K", "V");  // the comparison is case-sensitive
  EXPECT_FALSE(statusAt(file).sameFile(before));
#ifndef _WIN32
  struct stat st {};
  stat(file.c_str(), &st);
  EXPECT_EQ(st.st_mode & 07777, 0666u);  // the rewrite keeps the mode
#endif

  const std::string old = readText(file);
  // A directory where the temporary file belongs: opening it for writing fails,
  // for root too.
  ASSERT_TRUE(std::filesystem::create_directory(std::filesystem::u8path(folder / ".test.ini.new")));
  put(file, "S", "K", "new");
  EXPECT_EQ(readText(file), old);
  EXPECT_EQ(get(file, "S", "K"), "new");  // the change lives on in the cache
}

TEST_F(ProfileStore, SectionWriteReplacesTheKeys) {
  put(file, "S", "old", "1");
  put(file, "T", "keep", "2");
  EXPECT_EQ(WritePrivateProfileSection("s", "b=2\0no equals\0a=1=one\0\0", file.c_str()), 1);
  EXPECT_EQ(readText(file), "[S]\na=1=one\nb=2\n\n[T]\nkeep=2\n\n");
  EXPECT_EQ(WritePrivateProfileSection("S", "\0", file.c_str()), 1);
  EXPECT_EQ(readText(file), "[S]\n\n[T]\nkeep=2\n\n");  // the header stays
  std::filesystem::remove(file);
  EXPECT_EQ(WritePrivateProfileSection("S", "\0", file.c_str()), 1);
  EXPECT_FALSE(std::filesystem::exists(file));  // an empty section creates no file
}

// The cache serves an unchanged file from memory (inode, size and time as cached) and
// rereads it when another process renamed a new file over it, edited it in place or
// when the file was evicted (32 files fit).
TEST_F(ProfileStore, CacheRereadsChangedFilesAndEvictsTheLeastRecentlyUsed) {
  put(file, "S", "K", "one");
  backdate(file);
  EXPECT_EQ(get(file, "S", "K"), "one");
#ifdef _WIN32
  GTEST_SKIP() << "not on Windows: the other process is a fork of this one";
#else
  // Same size and time: only the new file behind the name tells the change.
  const pid_t child = fork();  // another process renames a new file over it
  if (child == 0) {
    put(file, "S", "K", "two");
    backdate(file);
    _exit(0);
  }
  waitpid(child, nullptr, 0);
  EXPECT_EQ(get(file, "S", "K"), "two");
  overwriteValue(file, "xyz");
  backdate(file, 1000000001);  // same size, time moved
  EXPECT_EQ(get(file, "S", "K"), "xyz");
  // Changed behind the store's back with inode, size and time as cached.
  backdate(file);
  EXPECT_EQ(get(file, "S", "K"), "xyz");
  overwriteValue(file, "new");
  backdate(file);
  EXPECT_EQ(get(file, "S", "K"), "xyz");  // from the cache
  for (int i = 0; i < 31; ++i) get(folder / ("other" + std::to_string(i) + ".ini"), "S", "K");
  EXPECT_EQ(get(file, "S", "K"), "xyz");
  for (int i = 0; i < 32; ++i) get(folder / ("more" + std::to_string(i) + ".ini"), "S", "K");
  EXPECT_EQ(get(file, "S", "K"), "new");  // evicted, then read from disk
#endif
}

TEST_F(ProfileStore, WritersInSeveralProcessesKeepEachOthersKeys) {
  put(file, "S", "start", "1");
#ifdef _WIN32
  GTEST_SKIP() << "not on Windows: the writers are forks of this process";
#else
  constexpr int kProcesses = 6, kKeys = 15;
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t child = fork();
    if (child == 0) {
      for (int k = 0; k < kKeys; ++k)
        WritePrivateProfileString("S", keyOf("p", p, k).c_str(), "v", file.c_str());
      _exit(0);
    }
    children.push_back(child);
  }
  for (pid_t child : children) waitpid(child, nullptr, 0);
  for (int p = 0; p < kProcesses; ++p)
    for (int k = 0; k < kKeys; ++k) EXPECT_EQ(get(file, "S", keyOf("p", p, k).c_str()), "v");
  EXPECT_FALSE(std::filesystem::exists(folder / ".test.ini.new"));
#endif
}

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
TEST_F(ConfigurationTest, FirstStartCreatesFolderAndEmptyFileFollowingTheUmaskWhereItCan) {
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

  // A folder that cannot be created leaves the defaults, and saving fails silently.
  std::filesystem::remove_all(std::filesystem::u8path(home_ / "Music"));
  writeText(home_ / "Music", "a file where the folder should be");
  Configuration config = located();
  EXPECT_EQ(config.programPath(), home_.path());
  EXPECT_FALSE(Configuration::fileExists(ini()));
  config.storeDefaultWAVPath("/w");
  config.saveConfig(Configuration::kSaveEverything);
  EXPECT_EQ(config.defaultWAVPath(), "/w");
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

// Paths read back up to the 1023-character buffer. Reloading keeps what the file does not
// mention (an empty value leaves it) but empties the startup bank. (The entry table below
// shows that flags and controllers the file does not mention stay.)
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
  writeText(ini(), "[Global]\nPath to WAV Files=\n");
  config.loadConfig();
  EXPECT_EQ(config.defaultWAVPath(), "/wav folder");  // an empty value leaves it
  EXPECT_EQ(config.startupFxb(), "");
  const std::string limit(1100, 'p');  // beyond the 1023-character buffer
  config.storeDefaultWAVPath(limit.c_str());
  EXPECT_EQ(located().defaultWAVPath(), limit.substr(0, 1023));
}

// "true" in any case turns the flag on, other words off, an empty value changes nothing.
// Controller entries naming no parameter (outside 0..106) are unassigned on reading.
TEST_F(ConfigurationTest, ParsesFlagsAndControllers) {
  // The file's lines, "MIDI Thru" before and after reading, CC7 after (it starts as 42).
  using Row = std::tuple<const char*, bool, bool, int>;
  for (const auto& [text, thruBefore, midiThru, cc7] :
       {Row{"CC7=0\n", true, true, 0}, Row{"CC7=106\n", true, true, 106},
        Row{"CC7=12abc\n", true, true, 12}, Row{"CC7=x\n", true, true, -1},
        Row{"CC7=\n", true, true, 42}, Row{"CC7=107\n", true, true, -1},
        Row{"CC7=99999999999999999999\n", true, true, -1},
        Row{"[MIDI Global]\nMIDI Thru=yes\n", true, false, 42},
        Row{"[MIDI Global]\nMIDI Thru=\n", true, true, 42},
        Row{"[MIDI Global]\nMIDI Thru= \"TRUE\" \n", false, true, 42}}) {
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

TEST_F(ConfigurationTest, EditorScaleIsOneTwoOrNoChoice) {
  located();
  for (const auto& [text, scale] :
       {std::pair<const char*, int>{"2", 2}, {"1", 1}, {"3", 0}, {"x", 0}}) {
    writeText(ini(), std::string("[Global]\nEditor Scale=") + text + "\n\n");
    EXPECT_EQ(located().editorScale(), scale) << text;
  }
}

}  // namespace
