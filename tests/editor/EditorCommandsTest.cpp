// The options menu's commands through the headless platform: confirmations, file
// prompts and their answers, failures, the remembered folders, the MIDI switches in
// the INI file and the update check.
#include "editor/EditorCommands.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>

#include "engine/ZORQ.h"
#include "gui/IGraphics.h"
#include "platform/HeadlessPlatform.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempFolder.h"

namespace {

std::string iniPath() { return std::string(std::getenv("HOME")) + "/Music/ZanderVoltMusic/zorq.ini"; }

// An instrument as the entry point makes it (every program filled), with a plain
// graphics context on the headless platform, its window open.
struct CommandEditor {
  CommandEditor() {
    plug->EnsureDefaultPreset();
    auto platform = std::make_unique<HeadlessPlatform>();
    headless = platform.get();
    headless->windowOpen = true;
    graphics = new IGraphics(plug.get(), 800, 360, 0, std::move(platform));
    plug->AttachGraphics(graphics);
  }
  void run(File::Command command) { runCommand(plug.get(), graphics, nullptr, command); }
  void setVolume(double value) {
    plug->GetParam(kFinalVolume)->Set(value);
    plug->OnParamChange(kFinalVolume);
  }
  double volume() const { return plug->GetParam(kFinalVolume)->Value(); }
  // The arguments of the last file prompt: file, action, folder, extensions.
  std::vector<std::string> lastPrompt() const {
    for (auto call = headless->calls.rbegin(); call != headless->calls.rend(); ++call)
      if (call->op == "PromptForFile") return call->args;
    return {};
  }

  std::unique_ptr<ZORQ> plug = std::make_unique<ZORQ>();
  IGraphics* graphics = nullptr;  // owned by the instrument
  HeadlessPlatform* headless = nullptr;
};

// Every test starts as a fresh process would: no INI file, no remembered folders.
class EditorCommands : public ::testing::Test {
 protected:
  EditorCommands() {
    std::filesystem::remove(iniPath());
    File::forgetRememberedFolders();
    editor = std::make_unique<CommandEditor>();
  }
  std::string home() const { return editor->plug->configuration().homeFolder(); }

  TempFolder folder;
  std::unique_ptr<CommandEditor> editor;
};

// --- confirmations

struct ConfirmCase {
  const char* name;
  File::Command command;
  const char* caption;
  std::string (*text)(CommandEditor&);
  void (*arrange)(CommandEditor&, const TempFolder&);
  bool (*acted)(CommandEditor&);
};
void PrintTo(const ConfirmCase& c, std::ostream* os) { *os << c.name; }

std::string startupText(CommandEditor& e, const char* question) {
  return "The Startup Bank is:\n" + e.plug->configuration().startupFxb() + "\n\n" + question;
}
std::string iniText(CommandEditor& e, const char* question) {
  return "The INI configuration file is:\n" + e.plug->configuration().iniPath() + "\n\n" + question;
}
void saveStartupBank(CommandEditor& e, const TempFolder& folder) {
  e.setVolume(0.7);
  e.plug->ModifyCurrentPreset();
  ASSERT_TRUE(e.plug->SaveBankAsFXB(folder / "startup.fxb"));
  e.plug->setStartupFxb((folder / "startup.fxb").c_str());
  e.setVolume(0.1);
}

const ConfirmCase kConfirmCases[] = {
    {"Paste", File::kPasteProgram, "Paste Program",
     [](CommandEditor&) -> std::string { return "Do you really want to overwrite the current program?"; },
     [](CommandEditor& e, const TempFolder&) {
       e.setVolume(0.9);
       e.plug->copyPreset();
       e.setVolume(0.1);
     },
     [](CommandEditor& e) { return e.volume() == 0.9; }},
    {"Init", File::kInitProgram, "Initialize Program",
     [](CommandEditor&) -> std::string { return "Do you really want to initialize the current program?"; },
     [](CommandEditor& e, const TempFolder&) { e.setVolume(0.9); },
     [](CommandEditor& e) { return std::fabs(e.volume() - 0.25) < 1e-12; }},
    {"LoadStartupBank", File::kLoadStartupBank, "Load Startup Bank",
     [](CommandEditor& e) { return startupText(e, "Do you really want to reload all programs?"); },
     saveStartupBank, [](CommandEditor& e) { return e.volume() == 0.7; }},
    {"UnselectStartupBank", File::kUnselectStartupBank, "Unselect Startup Bank",
     [](CommandEditor& e) { return startupText(e, "Do you really want to unselect it?"); },
     saveStartupBank, [](CommandEditor& e) { return e.plug->configuration().startupFxb().empty(); }},
    {"ReloadConfiguration", File::kReloadConfiguration, "Reload Configuration",
     [](CommandEditor& e) { return iniText(e, "Do you really want to reload it?"); },
     [](CommandEditor&, const TempFolder&) { writeText(iniPath(), "[MIDI Global]\nMIDI Thru=true\n"); },
     [](CommandEditor& e) { return e.plug->configuration().midiThru(); }},
    {"SaveConfiguration", File::kSaveConfiguration, "Save Configuration",
     [](CommandEditor& e) { return iniText(e, "Do you really want to overwrite it?"); },
     [](CommandEditor& e, const TempFolder&) { e.plug->configuration().setMidiThru(true); },
     [](CommandEditor&) { return readText(iniPath()).find("MIDI Thru=true") != std::string::npos; }},
};

// 6 Yes, 7 No, 0 the box could not be shown.
class Confirmation : public EditorCommands,
                     public ::testing::WithParamInterface<std::tuple<ConfirmCase, int>> {};

TEST_P(Confirmation, AsksAndGoesAheadOnlyOnYes) {
  const auto& [c, answer] = GetParam();
  c.arrange(*editor, folder);
  const std::string text = c.text(*editor);
  editor->headless->messageBoxAnswers = {answer};
  editor->run(c.command);
  EXPECT_TRUE(editor->headless->Called("ShowMessageBox", {text, c.caption, "4"}));
  EXPECT_EQ(editor->headless->Count("ShowMessageBox"), 1);
  EXPECT_EQ(c.acted(*editor), answer == 6);
}

INSTANTIATE_TEST_SUITE_P(Commands, Confirmation,
                         ::testing::Combine(::testing::ValuesIn(kConfirmCases), ::testing::Values(6, 7, 0)),
                         [](const auto& info) {
                           const int answer = std::get<1>(info.param);
                           return std::string(std::get<0>(info.param).name) +
                                  (answer == 6 ? "Yes" : answer == 7 ? "No" : "NotShown");
                         });

// --- file prompts

struct PromptCase {
  const char* name;
  File::Command command;
  const char* file;  // suggested file name
  const char* action;
  const char* extensions;
};
void PrintTo(const PromptCase& c, std::ostream* os) { *os << c.name; }

class FilePrompt : public EditorCommands, public ::testing::WithParamInterface<PromptCase> {};

TEST_P(FilePrompt, CancelledPromptChangesNothing) {
  const PromptCase& c = GetParam();
  editor->plug->ModifyCurrentPreset("Current");
  const std::string iniBefore = readText(iniPath());
  editor->run(c.command);
  EXPECT_EQ(editor->lastPrompt(), (std::vector<std::string>{c.file, c.action, home(), c.extensions}));
  EXPECT_EQ(editor->headless->Count("ShowMessageBox"), 0);
  EXPECT_EQ(readText(iniPath()), iniBefore);
  EXPECT_EQ(folder.entries().size(), 0u);
  editor->run(c.command);  // the remembered folder has not moved
  EXPECT_EQ(editor->lastPrompt()[2], home());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, FilePrompt,
    ::testing::Values(PromptCase{"LoadProgram", File::kLoadProgram, "", "open", "fxp"},
                      PromptCase{"SaveProgram", File::kSaveProgram, "Current", "save", "fxp"},
                      PromptCase{"LoadBank", File::kLoadBank, "", "open", "fxb"},
                      PromptCase{"SaveBank", File::kSaveBank, "ZORQ", "save", "fxb"},
                      PromptCase{"SelectStartupBank", File::kSelectStartupBank, "", "open", "fxb"},
                      PromptCase{"ProgramFolder", File::kProgramFilesPath, "[file name is ignored]", "save", " "},
                      PromptCase{"WAVFolder", File::kWAVFilesPath, "[file name is ignored]", "save", " "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorCommands, SavedProgramAndBankLoadBackAndMoveTheRememberedFolder) {
  for (const auto& [save, load, name] : {std::tuple{File::kSaveProgram, File::kLoadProgram, "p.fxp"},
                                        std::tuple{File::kSaveBank, File::kLoadBank, "b.fxb"}}) {
    editor->setVolume(0.6);
    editor->headless->fileAnswers = {folder / name};
    editor->run(save);
    editor->setVolume(0.2);
    editor->headless->fileAnswers = {folder / name};
    editor->run(load);
    EXPECT_EQ(editor->lastPrompt()[2], folder.path()) << name;
    EXPECT_EQ(editor->volume(), 0.6) << name;
  }
  EXPECT_EQ(editor->headless->Count("ShowMessageBox"), 0);
  // Another instance of the process starts where this one left off.
  CommandEditor other;
  other.run(File::kLoadBank);
  EXPECT_EQ(other.lastPrompt()[2], folder.path());
}

struct FailureCase {
  const char* name;
  File::Command command;
  const char* file;
  const char* message;
};
void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class FileFailure : public EditorCommands, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FileFailure, IsReportedAfterTheFolderWasRemembered) {
  const FailureCase& c = GetParam();
  writeText(folder / "garbage.fxb", "not a bank");
  editor->headless->fileAnswers = {folder / c.file};
  editor->run(c.command);
  EXPECT_TRUE(editor->headless->Called("ShowMessageBox", {c.message, "Error", "0"}));
  editor->run(File::kLoadProgram);
  EXPECT_EQ(editor->lastPrompt()[2], std::filesystem::path(folder / c.file).parent_path().string());
}

INSTANTIATE_TEST_SUITE_P(
    Commands, FileFailure,
    ::testing::Values(FailureCase{"MissingProgram", File::kLoadProgram, "none.fxp", "Cannot load file!"},
                      FailureCase{"GarbageBank", File::kLoadBank, "garbage.fxb", "Cannot load file!"},
                      FailureCase{"ProgramIntoMissingFolder", File::kSaveProgram, "no/p.fxp", "Cannot save file!"},
                      FailureCase{"BankIntoMissingFolder", File::kSaveBank, "no/b.fxb", "Cannot save file!"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditorCommands, StartupBankIsSelectedWithoutMovingTheFolderAndAFailedLoadIsReported) {
  editor->headless->fileAnswers = {folder / "gone.fxb"};
  editor->run(File::kSelectStartupBank);
  EXPECT_EQ(editor->plug->configuration().startupFxb(), folder / "gone.fxb");
  EXPECT_NE(readText(iniPath()).find("File=" + folder / "gone.fxb"), std::string::npos);
  editor->run(File::kLoadStartupBank);  // unscripted: answered Yes
  EXPECT_TRUE(editor->headless->Called("ShowMessageBox", {"Cannot load file!", "Error", "0"}));
  editor->run(File::kLoadBank);
  EXPECT_EQ(editor->lastPrompt()[2], home());
}

TEST_F(EditorCommands, DefaultFoldersTakeTheChosenFoldersWithoutCreatingFiles) {
  std::filesystem::create_directories(folder / "programs");
  std::filesystem::create_directories(folder / "wav");
  editor->headless->fileAnswers = {folder / "programs/[file name is ignored]",
                                   folder / "wav/[file name is ignored]"};
  editor->run(File::kProgramFilesPath);
  editor->run(File::kWAVFilesPath);
  const Configuration& config = editor->plug->configuration();
  EXPECT_EQ(config.programPath(), folder / "programs");
  EXPECT_EQ(config.defaultWAVPath(), folder / "wav");
  const std::string ini = readText(iniPath());
  EXPECT_NE(ini.find("Path to Program Files=" + folder / "programs\n"), std::string::npos);
  EXPECT_NE(ini.find("Path to WAV Files=" + folder / "wav\n"), std::string::npos);
  EXPECT_EQ(folder.entries(), (std::vector<std::string>{"programs", "wav"}));
  EXPECT_TRUE(std::filesystem::is_empty(folder / "programs"));
  editor->run(File::kWAVFilesPath);
  EXPECT_EQ(editor->lastPrompt()[2], folder / "wav");
}

// --- MIDI switches

struct SwitchCase {
  const char* name;
  File::Command command;
  bool (Configuration::*state)() const;
};
void PrintTo(const SwitchCase& c, std::ostream* os) { *os << c.name; }

class MidiSwitch : public EditorCommands, public ::testing::WithParamInterface<SwitchCase> {};

TEST_P(MidiSwitch, TogglesAndWritesTheINIFile) {
  const SwitchCase& c = GetParam();
  for (const char* expected : {"true", "false"}) {
    editor->run(c.command);
    EXPECT_EQ((editor->plug->configuration().*c.state)(), std::string(expected) == "true");
    EXPECT_NE(readText(iniPath()).find(std::string(c.name) + "=" + expected), std::string::npos) << expected;
  }
}

INSTANTIATE_TEST_SUITE_P(Commands, MidiSwitch,
                         ::testing::Values(SwitchCase{"MIDI Thru", File::kMidiThru, &Configuration::midiThru},
                                           SwitchCase{"Ignore Program Change", File::kIgnoreProgramChange,
                                                      &Configuration::ignoreProgramChange}),
                         [](const auto& info) { return std::string(info.param.command == File::kMidiThru ? "MidiThru" : "IgnoreProgramChange"); });

// --- the suggested name of "Save Program"

struct NameCase {
  const char* name;
  std::string programName;
  std::string suggested;
};
void PrintTo(const NameCase& c, std::ostream* os) { *os << c.name; }

class SuggestedName : public EditorCommands, public ::testing::WithParamInterface<NameCase> {};

TEST_P(SuggestedName, FitsInSixtyThreeBytesAndStillSaves) {
  editor->plug->ModifyCurrentPreset(GetParam().programName.c_str());
  editor->run(File::kSaveProgram);
  ASSERT_EQ(editor->lastPrompt()[0], GetParam().suggested);
  editor->headless->fileAnswers = {folder / (GetParam().suggested + ".fxp")};
  editor->run(File::kSaveProgram);
  EXPECT_EQ(editor->headless->Count("ShowMessageBox"), 0);
  EXPECT_TRUE(std::filesystem::exists(folder / (GetParam().suggested + ".fxp")));
}

std::string repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Names, SuggestedName,
    ::testing::Values(NameCase{"IllegalCharacters", "Lead \"1\": a/b\\c*d?<e>|f", "Lead _1__ a_b_c_d__e__f"},
                      NameCase{"LongAscii", repeat("x", 200), repeat("x", 63)},
                      NameCase{"TwoByteCharacters", repeat("\xC3\xA9", 40), repeat("\xC3\xA9", 31)},
                      NameCase{"FourByteCharacterAtTheEnd", repeat("a", 61) + "\xF0\x9F\x8E\xB9", repeat("a", 61)}),
    [](const auto& info) { return std::string(info.param.name); });

// --- going online

TEST_F(EditorCommands, UpdateCheckAsksThroughTheEditorAndOpensTheDownloadPage) {
  LoopbackHttpServer server(LoopbackHttpServer::Mode::kAnswer, "1104");
  writeText(iniPath(), "[Update Check]\nVersion URL=" + server.url() + "\n");
  CommandEditor online;
  online.run(File::kCheckForUpdate);
  ASSERT_EQ(online.headless->Count("ShowMessageBox"), 1);
  for (const HeadlessPlatform::Call& call : online.headless->calls)
    if (call.op == "ShowMessageBox") {
      EXPECT_EQ(call.args[1], "New Version of ZORQ Detected");
    }
  EXPECT_TRUE(online.headless->Called("OpenURL", {UpdateSite::kDownloadUrl}));
}

TEST_F(EditorCommands, WebSiteThatCannotBeOpenedIsReportedWithItsAddress) {
  EXPECT_TRUE(openWebSite(editor->graphics));
  EXPECT_TRUE(editor->headless->Called("OpenURL", {UpdateSite::kWebSiteUrl}));
  editor->headless->openURLResult = false;
  EXPECT_FALSE(openWebSite(editor->graphics));
  EXPECT_TRUE(editor->headless->Called(
      "ShowMessageBox", {std::string("Cannot open the web page!\n\n") + UpdateSite::kWebSiteUrl, "Error", "0"}));
}

// --- the file name helpers

TEST(FileNameHelpers, FolderIsCutBeforeTheLastSeparatorFoundFromTheSecondCharacter) {
  const std::pair<const char*, const char*> cases[] = {
      {"/home/u/a.fxp", "/home/u"}, {"C:\\banks\\b.fxb", "C:\\banks"}, {"/a.fxp", ""},
      {"a.fxp", ""},                {"", ""},                          {"x/y/", "x/y"}};
  for (const auto& [path, expected] : cases) {
    std::string folder = "unchanged";
    makeNewFilePath(folder, path);
    EXPECT_EQ(folder, expected) << path;
  }
}

}  // namespace
