// The options and tools menus' commands through the headless platform: confirmations, file
// prompts and their answers, failures, the remembered folders, the MIDI switches in
// the INI file and going online.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "EditorTestSupport.h"
#include "editor/EditorCommands.h"
#include "engine/MutexAtFileCalls.h"
#include "support/TempFolder.h"

namespace {

using Args = std::vector<std::string>;

std::string iniPath() {
  return std::string(std::getenv("HOME")) + "/Music/ZanderVoltMusic/zorq.ini";
}
bool iniHas(const std::string& line) {
  return readText(iniPath()).find(line + "\n") != std::string::npos;
}

// The instrument with its editor open on the headless platform.
struct CommandEditor : EditorHarness {
  CommandEditor() {
    instrument.EnsureDefaultPreset();
    platform->windowOpen = true;
  }
  void run(File::Command command) { runCommand(&instrument, editor, nullptr, command); }
  void setVolume(double value) {
    instrument.GetParam(kFinalVolume)->Set(value);
    instrument.OnParamChange(kFinalVolume);
  }
  double volume() const { return instrument.GetParam(kFinalVolume)->Value(); }
  // The last file prompt: file, action, folder, extensions.
  Args lastPrompt() const {
    for (auto call = platform->calls.rbegin(); call != platform->calls.rend(); ++call)
      if (call->op == "PromptForFile") return call->args;
    return {};
  }
  bool showed(const char* text, const char* caption = "Error", const char* type = "0") const {
    return platform->Called("ShowMessageBox", {text, caption, type});
  }
};

// Every test starts as a fresh process does: no INI file, no remembered folders.
class EditorCommands : public ::testing::Test {
 protected:
  EditorCommands() {
    std::filesystem::remove(iniPath());
    File::forgetRememberedFolders();
    editor = std::make_unique<CommandEditor>();
  }
  CommandEditor& e() { return *editor; }
  std::string home() { return e().instrument.configuration().homeFolder(); }

  TempFolder folder;
  std::unique_ptr<CommandEditor> editor;
};

// --- confirmations: asked with their texts; the command goes ahead only on "Yes"
// (an answer of 0, a box that could not be shown, counts as "No")

struct ConfirmCase {
  const char* name;
  File::Command command;
  const char* caption;
  const char* question;
  int pathKind;  // 0 none, 1 the startup bank, 2 the INI file
  void (*arrange)(CommandEditor&, const TempFolder&);
  bool (*acted)(CommandEditor&);
};
void PrintTo(const ConfirmCase& c, std::ostream* os) { *os << c.name; }

void startupBank(CommandEditor& e, const TempFolder& folder) {
  e.setVolume(0.7);
  e.instrument.ModifyCurrentPreset();
  e.instrument.SaveBankAsFXB(folder / "startup.fxb");
  e.instrument.setStartupFxb((folder / "startup.fxb").c_str());
  e.setVolume(0.1);
}

const ConfirmCase kConfirmCases[] = {
    {"Paste", File::kPasteProgram, "Paste Program",
     "Do you really want to overwrite the current program?", 0,
     [](CommandEditor& e, const TempFolder&) {
       e.setVolume(0.9);
       e.instrument.copyPreset();
       e.setVolume(0.1);
     },
     [](CommandEditor& e) { return e.volume() == 0.9; }},
    {"Init", File::kInitProgram, "Initialize Program",
     "Do you really want to initialize the current program?", 0,
     [](CommandEditor& e, const TempFolder&) { e.setVolume(0.9); },
     [](CommandEditor& e) { return std::fabs(e.volume() - 0.25) < 1e-12; }},
    {"LoadStartupBank", File::kLoadStartupBank, "Load Startup Bank",
     "Do you really want to reload all programs?", 1, startupBank,
     [](CommandEditor& e) { return e.volume() == 0.7; }},
    {"SaveConfiguration", File::kSaveConfiguration, "Save Configuration",
     "Do you really want to overwrite it?", 2,
     [](CommandEditor& e, const TempFolder&) { e.instrument.configuration().setMidiThru(true); },
     [](CommandEditor&) { return iniHas("MIDI Thru=true"); }},
};

class Confirmation : public EditorCommands,
                     public ::testing::WithParamInterface<std::tuple<ConfirmCase, int>> {};

TEST_P(Confirmation, AsksAndGoesAheadOnlyOnYes) {
  const auto& [c, answer] = GetParam();
  c.arrange(e(), folder);
  const Configuration& config = e().instrument.configuration();
  const std::string text =
      c.pathKind == 0 ? c.question
      : c.pathKind == 1
          ? "The Startup Bank is:\n" + config.startupFxb() + "\n\n" + c.question
          : "The INI configuration file is:\n" + config.iniPath() + "\n\n" + c.question;
  e().platform->messageBoxAnswers = {answer};
  e().run(c.command);
  EXPECT_TRUE(e().showed(text.c_str(), c.caption, "4"));
  EXPECT_EQ(e().platform->Count("ShowMessageBox"), 1);
  EXPECT_EQ(c.acted(e()), answer == 6);
}

INSTANTIATE_TEST_SUITE_P(Commands, Confirmation,
                         ::testing::Combine(::testing::ValuesIn(kConfirmCases),
                                            ::testing::Values(6, 7, 0)),
                         [](const auto& paramInfo) {
                           const int answer = std::get<1>(paramInfo.param);
                           return std::get<0>(paramInfo.param).name +
                                  std::string(answer ? answer == 6 ? "Yes" : "No" : "NotShown");
                         });

// --- file prompts

// A cancelled prompt changes nothing; the second prompt starts where the first did. The
// startup bank and the default folders chosen are stored; the prompts create no file, and
// only the folder commands move the remembered folders.
TEST_F(EditorCommands, CancelledPromptsChangeNothingAndChosenFoldersAreStored) {
  e().instrument.ModifyCurrentPreset("Current");
  const std::string ini = readText(iniPath());
  const std::pair<File::Command, Args> cases[] = {
      {File::kLoadProgram, {"", "open", "fxp"}},
      {File::kSaveProgram, {"Current", "save", "fxp"}},
      {File::kLoadBank, {"", "open", "fxb"}},
      {File::kSaveBank, {"ZORQ", "save", "fxb"}},
      {File::kSelectStartupBank, {"", "open", "fxb"}},
      {File::kProgramFilesPath, {"[file name is ignored]", "save", " "}},
      {File::kWAVFilesPath, {"[file name is ignored]", "save", " "}}};
  for (const auto& [command, prompt] : cases)
    for (int i = 0; i < 2; ++i) {
      e().run(command);
      EXPECT_EQ(e().lastPrompt(), (Args{prompt[0], prompt[1], home(), prompt[2]})) << command;
    }
  EXPECT_EQ(e().platform->Count("ShowMessageBox"), 0);
  EXPECT_EQ(readText(iniPath()), ini);

  e().platform->fileAnswers = {folder / "start.fxb", folder / "[file name is ignored]",
                               folder / "wav/[file name is ignored]"};
  e().run(File::kSelectStartupBank);
  e().run(File::kProgramFilesPath);
  EXPECT_EQ(e().lastPrompt()[2], home());
  e().run(File::kWAVFilesPath);
  EXPECT_TRUE(iniHas("File=" + folder / "start.fxb"));
  EXPECT_TRUE(iniHas("Path to Program Files=" + folder.path()));
  EXPECT_TRUE(iniHas("Path to WAV Files=" + folder / "wav"));
  EXPECT_EQ(e().instrument.configuration().defaultWAVPath(), folder / "wav");
  EXPECT_TRUE(folder.entries().empty());
  e().run(File::kWAVFilesPath);
  EXPECT_EQ(e().lastPrompt()[2], folder / "wav");
}

// Saved files load back; a failed load or save is reported. Either way the remembered
// folder follows the file, in every instance.
TEST_F(EditorCommands, FilesLoadBackFailuresAreReportedAndTheFolderFollows) {
  writeText(folder / "garbage.fxb", "not a bank");
  using Row = std::tuple<File::Command, const char*, const char*>;
  for (const auto& [command, file, message] :
       {Row{File::kSaveProgram, "p.fxp", ""}, Row{File::kLoadProgram, "p.fxp", ""},
        Row{File::kSaveBank, "b.fxb", ""}, Row{File::kLoadBank, "b.fxb", ""},
        Row{File::kLoadProgram, "none.fxp", "Cannot load file!"},
        Row{File::kLoadBank, "garbage.fxb", "Cannot load file!"},
        Row{File::kSaveProgram, "no/p.fxp", "Cannot save file!"},
        Row{File::kSaveBank, "no/b.fxb", "Cannot save file!"}}) {
    const bool save = command == File::kSaveProgram || command == File::kSaveBank;
    e().platform->calls.clear();
    e().setVolume(save ? 0.6 : 0.2);
    e().platform->fileAnswers = {folder / file};
    e().run(command);
    EXPECT_EQ(e().platform->Count("ShowMessageBox"), *message ? 1 : 0) << file;
    if (*message) {
      EXPECT_TRUE(e().showed(message)) << file;
    } else if (!save) {
      EXPECT_EQ(e().volume(), 0.6) << file;
    }
    e().run(File::kLoadProgram);
    EXPECT_EQ(e().lastPrompt()[2], std::filesystem::path(folder / file).parent_path().string())
        << file;
  }
  CommandEditor other;
  other.run(File::kLoadBank);
  EXPECT_EQ(other.lastPrompt()[2], folder / "no");
  e().instrument.setStartupFxb((folder / "gone.fxb").c_str());
  e().platform->calls.clear();
  e().run(File::kLoadStartupBank);  // unscripted: answered "Yes"
  EXPECT_TRUE(e().showed("Cannot load file!"));
}

// "Save Program" suggests the program's name, file-name characters replaced, cut to 63
// bytes between characters, and saves under it.
TEST_F(EditorCommands, SuggestedNameFitsInSixtyThreeBytesAndSaves) {
  const std::pair<std::string, std::string> cases[] = {
      {"Lead \"1\": a/b\\c*d?<e>|f", "Lead _1__ a_b_c_d__e__f"},
      {std::string(200, 'x'), std::string(63, 'x')},
      {std::string(61, 'a') + "\xF0\x9F\x8E\xB9", std::string(61, 'a')}};
  for (const auto& [programName, suggested] : cases) {
    e().instrument.ModifyCurrentPreset(programName.c_str());
    e().platform->fileAnswers = {std::nullopt, folder / (suggested + ".fxp")};
    e().run(File::kSaveProgram);
    EXPECT_EQ(e().lastPrompt()[0], suggested);
    e().run(File::kSaveProgram);
    EXPECT_TRUE(std::filesystem::exists(folder / (suggested + ".fxp"))) << suggested;
  }
}

// --- the audio thread never waits for a file

TEST_F(EditorCommands, EveryFileCommandWorksWithTheMutexFree) {
  for (const char* name : {"p.fxp", "p.fxp", "b.fxb", "b.fxb", "b.fxb", "[file name is ignored]",
                           "[file name is ignored]"})
    e().platform->fileAnswers.push_back(folder / name);
  const File::Command commands[] = {
      File::kSaveProgram,        File::kLoadProgram,       File::kSaveBank,
      File::kLoadBank,           File::kSelectStartupBank, File::kProgramFilesPath,
      File::kWAVFilesPath,       File::kLoadStartupBank,   File::kReloadConfiguration,
      File::kSaveConfiguration,  File::kMidiThru,          File::kIgnoreProgramChange,
      File::kUnselectStartupBank};
  if (!fileCallsAreCounted()) GTEST_SKIP() << "file calls are not counted here";
  {
    const MutexAtFileCalls mutex(e().instrument);
    for (File::Command command : commands) {
      const int before = MutexAtFileCalls::free;
      e().run(command);  // every question answered "Yes"
      EXPECT_GT(MutexAtFileCalls::free, before) << "no file work in command " << command;
    }
  }
  EXPECT_EQ(MutexAtFileCalls::held, 0);
  EXPECT_EQ(e().platform->Count("ShowMessageBox"), 4);  // the four questions, no error
  EXPECT_TRUE(iniHas("MIDI Thru=true"));
}

// --- going online

TEST_F(EditorCommands, WebSiteThatCannotBeOpenedIsReportedWithItsAddress) {
  EXPECT_TRUE(openWebSite(e().editor));
  EXPECT_TRUE(e().platform->Called("OpenURL", {UpdateSite::kWebSiteUrl}));
  e().platform->openURLResult = false;
  EXPECT_FALSE(openWebSite(e().editor));
  EXPECT_TRUE(
      e().showed((std::string("Cannot open the web page!\n\n") + UpdateSite::kWebSiteUrl).c_str()));
}

// The tools menu's band commands on known band sets: the distribution chains,
// reversing, shifts clamped band by band, copies, resets, levels and fixed switches.

using Bands = std::vector<double>;
using namespace Properties;

Bands filled(double value) { return Bands(kNumBands, value); }
Bands defaults() { return Bands(FREQUENCY, FREQUENCY + kNumBands); }
Bands geometric(double low, double high) {
  Bands values;
  for (int b = 0; b < kNumBands; ++b) values.push_back(low * std::pow(high / low, b / 19.0));
  return values;
}
// 100 Hz doubling every four bands.
Bands ladder() { return geometric(100.0, 100.0 * std::pow(2.0, 19 / 4.0)); }
Bands linear(double low, double high) {
  Bands values;
  for (int b = 0; b < kNumBands; ++b) values.push_back(low + (high - low) * b / 19.0);
  return values;
}
Bands ends(Bands values, double low, double high) {
  values.front() = low;
  values.back() = high;
  return values;
}
Bands times(const Bands& values, double factor) {
  Bands out;
  for (double v : values) out.push_back(std::fmin(std::fmax(v * factor, 16.0), 16000.0));
  return out;
}
Bands reversed(const Bands& values) { return Bands(values.rbegin(), values.rend()); }

struct ToolsCase {
  const char* name;
  int command;
  int first;  // the block of 20 parameters the command rewrites
  Bands start, expected;
  double relative = 0.0;  // tolerance of chained arithmetic
};
void PrintTo(const ToolsCase& c, std::ostream* os) { *os << c.name; }

class ToolsCommand : public ::testing::TestWithParam<ToolsCase> {
 protected:
  Bands bands(int first) {
    Bands values;
    for (int b = 0; b < kNumBands; ++b) values.push_back(h.instrument.GetParam(first + b)->Value());
    return values;
  }
  void setBands(int first, const Bands& values) {
    for (int b = 0; b < kNumBands; ++b) h.instrument.GetParam(first + b)->Set(values[b]);
  }

  EditorHarness h;
};

// Around the block: frequencies ladder(), levels 0.3 .. 1.9, the fixed switches of the end
// bands on. The other frequency kind stays as it was.
TEST_P(ToolsCommand, RewritesItsBlockWithoutStepRounding) {
  const ToolsCase& c = GetParam();
  setBands(kAnalysisFreq1, ladder());
  setBands(kSynthesisFreq1, ladder());
  setBands(kSynthesisLevel1, linear(0.3, 1.9));
  setBands(kSynthesisFixed1, ends(filled(0), 1, 1));
  setBands(c.first, c.start);
  const Bands others = bands(c.first == kAnalysisFreq1 ? kSynthesisFreq1 : kAnalysisFreq1);
  h.instrument.runToolsCommand(static_cast<ToolsCmd>(c.command));
  const Bands actual = bands(c.first);
  for (int b = 0; b < kNumBands; ++b)
    EXPECT_NEAR(actual[b], c.expected[b], c.relative * std::fabs(c.expected[b])) << "band " << b;
  if (c.command != kResetAll) {
    EXPECT_EQ(bands(c.first == kAnalysisFreq1 ? kSynthesisFreq1 : kAnalysisFreq1), others);
  }
  // The editor's control of band 8 follows a command that acts.
  if (c.start != c.expected) {
    EXPECT_DOUBLE_EQ(h.controlValue(c.first + 7),
                     h.instrument.GetParam(c.first + 7)->GetNormalized());
  }
}

constexpr double kSemitone = 1.0594630943592953;

INSTANTIATE_TEST_SUITE_P(
    Bands, ToolsCommand,
    ::testing::Values(
        ToolsCase{"Logarithmic", kAnalysisDistributeLogarithmic, kAnalysisFreq1,
                  ends(defaults(), 100, 10000), geometric(100, 10000), 1e-12},
        ToolsCase{"Linear", kAnalysisDistributeLinear, kAnalysisFreq1, ends(defaults(), 100, 1950),
                  linear(100, 1950), 1e-12},
        ToolsCase{"Reverse", kSynthesisReverse, kSynthesisFreq1, defaults(), reversed(defaults())},
        ToolsCase{"Reset", kAnalysisReset, kAnalysisFreq1, filled(50), defaults()},
        ToolsCase{"CopyFromSynthesis", kAnalysisCopyFromSynthesis, kAnalysisFreq1, defaults(),
                  ladder()},
        ToolsCase{"CopyFromAnalysis", kSynthesisCopyFromAnalysis, kSynthesisFreq1, defaults(),
                  ladder()},
        ToolsCase{"OctaveUpClampsEachBand", kAnalysisOctaveUp, kAnalysisFreq1,
                  geometric(100, 12000), times(geometric(100, 12000), 2.0)},
        ToolsCase{"OctaveDownClampsEachBand", kSynthesisOctaveDown, kSynthesisFreq1,
                  geometric(20, 2000), times(geometric(20, 2000), 0.5)},
        ToolsCase{"SemitoneUp", kAnalysisSemitoneUp, kAnalysisFreq1, defaults(),
                  times(defaults(), kSemitone)},
        ToolsCase{"LevelsEqualToLevel1", kLevelsEqualToLevel1, kSynthesisLevel1, linear(0.3, 1.9),
                  filled(0.3)},
        ToolsCase{"LevelsPlus6dB", kLevelsPlus6dB, kSynthesisLevel1, linear(0.3, 1.9), filled(2)},
        ToolsCase{"LevelsMinusInfinity", kLevelsMinusInfinity, kSynthesisLevel1, linear(0.3, 1.9),
                  filled(0)},
        ToolsCase{"AllModulate", kAllModulate, kSynthesisFixed1, ends(filled(0), 1, 1), filled(0)},
        ToolsCase{"AllFixed", kAllFixed, kSynthesisFixed1, ends(filled(0), 1, 1), filled(1)},
        ToolsCase{"ResetAllLevels", kResetAll, kSynthesisLevel1, linear(0.3, 1.9), filled(1)},
        ToolsCase{"ResetAllFrequencies", kResetAll, kAnalysisFreq1, ladder(), defaults()},
        ToolsCase{"PastTheMenu", 32, kSynthesisLevel1, linear(0.3, 1.9), linear(0.3, 1.9)}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

}  // namespace
