// zorq-render end to end: what it writes, what it refuses to overwrite, what it reports.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <thread>

#include "ToolsTestSupport.h"

namespace {

constexpr int kRate = 8000;

// One second of a 100 Hz sine; its samples reach the amplitude exactly.
std::vector<float> sine(float amplitude, size_t frames = kRate) {
  std::vector<float> samples(frames);
  for (size_t i = 0; i < frames; ++i)
    samples[i] = amplitude * float(std::sin(2 * M_PI * 100 * double(i) / kRate));
  return samples;
}

float peakOf(const AudioBuffer& audio) {
  float peak = 0.0f;
  for (const auto& channel : audio.channels)
    for (float x : channel) peak = std::max(peak, std::fabs(x));
  return peak;
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

}  // namespace

// The fake plug-in passes a mono modulator through unchanged at its default gain.
struct LevelCase {
  const char* name;
  float amplitude;
  const char* bits;
  std::vector<std::string> extra;
  const char* report;   // part of the level report line
  const char* warning;  // part of a warning, or "" for none
  float filePeak;
};

void PrintTo(const LevelCase& c, std::ostream* os) { *os << c.name; }

class ZorqRenderLevels : public ::testing::TestWithParam<LevelCase> {};

TEST_P(ZorqRenderLevels, AreReportedAndNormalised) {
  const LevelCase& c = GetParam();
  TempFolder temp;
  writeWav(temp / "in.wav", {sine(c.amplitude)}, kRate);
  std::vector<std::string> arguments = {"-p", ZORQ_FAKE_PLUGIN, "-m", temp / "in.wav", "-t", "0",
                                        "--bits", c.bits, "-o", temp / "out.wav"};
  arguments.insert(arguments.end(), c.extra.begin(), c.extra.end());
  const CommandResult result = runRender(arguments, temp);
  ASSERT_EQ(result.exitCode, 0) << result.errorText;
  EXPECT_TRUE(contains(result.errorText, c.report)) << result.errorText;
  EXPECT_EQ(contains(result.errorText, "warning:"), *c.warning != '\0') << result.errorText;
  EXPECT_TRUE(contains(result.errorText, c.warning)) << result.errorText;
  EXPECT_NEAR(peakOf(readAudio(temp / "out.wav")), c.filePeak, 1e-4f);
}

// A 1.5 sine is beyond full scale in 4200 of its 8000 samples.
INSTANTIATE_TEST_SUITE_P(
    KnownSine, ZorqRenderLevels,
    ::testing::Values(
        LevelCase{"Report", 0.5f, "float", {},
                  "peak -6.0 / -6.0 dBFS, RMS -9.0 / -9.0 dBFS, clipped 0 / 0 samples", "", 0.5f},
        LevelCase{"NormalizeToMinusOne", 0.5f, "24", {"--normalize"}, "peak -1.0 / -1.0 dBFS, RMS -4.0",
                  "", 0.89125f},
        LevelCase{"NormalizeToALevel", 0.5f, "float", {"--normalize=-12"},
                  "peak -12.0 / -12.0 dBFS, RMS -15.0", "", 0.25119f},
        LevelCase{"IntegerFileClips", 1.5f, "16", {}, "peak 3.5 / 3.5 dBFS, RMS 0.5 / 0.5 dBFS, clipped 4200 / 4200",
                  "8400 samples clipped in the 16-bit file", 1.0f},
        LevelCase{"FloatFileKeepsTheOvers", 1.5f, "float", {}, "clipped 4200 / 4200", "", 1.5f},
        LevelCase{"NormalizeRemovesTheOvers", 1.5f, "16", {"--normalize"}, "clipped 0 / 0", "",
                  0.89125f},
        LevelCase{"QuietKeepsWarnings", 1.5f, "24", {"-q"}, "", "clipped in the 24-bit file", 1.0f},
        LevelCase{"SilenceIsNotNormalised", 0.0f, "float", {"--normalize"}, "peak -inf / -inf dBFS",
                  "warning: output is silent\n", 0.0f}),
    [](const ::testing::TestParamInfo<LevelCase>& info) { return std::string(info.param.name); });

// A vocoder needs a voice and notes: the warning says which one is missing.
TEST(ZorqRenderHints, SilentVocoderSaysWhatIsMissing) {
  TempFolder temp;
  writeWav(temp / "voice.wav", {sine(0.5f, 4000)}, 44100);
  struct Case {
    std::vector<std::string> inputs;
    const char* hint;  // "" for none
  };
  for (const Case& c :
       {Case{{"-m", temp / "voice.wav"}, "no carrier: play notes with --midi/--notes or raise In Balance"},
        Case{{"--notes", "C3:0.2"}, "no modulator: give a voice with --modulator"},
        Case{{"-m", temp / "voice.wav", "--notes", "C3:0.2"}, ""}}) {
    std::vector<std::string> arguments = {"-p", ZORQ_PLUGIN, "-q", "-t", "0.1", "-o", temp / "out.wav"};
    arguments.insert(arguments.end(), c.inputs.begin(), c.inputs.end());
    const CommandResult result = runRender(arguments, temp);
    EXPECT_EQ(result.exitCode, 0) << result.errorText;
    if (*c.hint)
      EXPECT_TRUE(contains(result.errorText, c.hint)) << result.errorText;
    else
      EXPECT_EQ(result.errorText, "");
  }
}

TEST(ZorqRenderInputs, DamagedInputFileRendersWithAWarning) {
  TempFolder temp;
  writeWav(temp / "in.wav", {sine(0.5f)}, kRate);
  // The samples come last: cut off the second half of them.
  std::filesystem::resize_file(temp / "in.wav",
                               std::filesystem::file_size(temp / "in.wav") - 4000 * sizeof(float));
  const CommandResult result = runRender(
      {"-p", ZORQ_FAKE_PLUGIN, "-m", temp / "in.wav", "-t", "0", "-o", temp / "out.wav"}, temp);
  EXPECT_EQ(result.exitCode, 0) << result.errorText;
  EXPECT_TRUE(contains(result.errorText, "warning: '" + temp / "in.wav" + "' is damaged")) << result.errorText;
  EXPECT_EQ(readAudio(temp / "out.wav").frames(), 4000u);
}

// The output may not be an input, whatever name leads to it.
TEST(ZorqRenderInputs, OutputThatIsAnInputIsRefused) {
  TempFolder temp;
  writeWav(temp / "mine.wav", {sine(0.5f)}, kRate);
  const std::string original = readText(temp / "mine.wav");
  std::filesystem::create_hard_link(temp / "mine.wav", temp / "hard.wav");
  std::filesystem::create_symlink(temp / "mine.wav", temp / "soft.wav");
  for (const char* output : {"mine.wav", "hard.wav", "soft.wav"}) {
    const CommandResult result =
        runRender({"-p", ZORQ_FAKE_PLUGIN, "-m", temp / "mine.wav", "-o", temp / output}, temp);
    EXPECT_EQ(result.exitCode, 2) << output;
    EXPECT_TRUE(contains(result.errorText, "is the modulator")) << result.errorText;
  }
  const CommandResult preset = runRender(
      {"-p", ZORQ_FAKE_PLUGIN, "-m", temp / "mine.wav", "--save-fxp", temp / "soft.wav", "--list-params"},
      temp);
  EXPECT_EQ(preset.exitCode, 2) << preset.errorText;
  EXPECT_EQ(readText(temp / "mine.wav"), original);
  EXPECT_EQ(temp.entries(), (std::vector<std::string>{"hard.wav", "mine.wav", "soft.wav", "stderr.txt",
                                                      "stdout.txt"}));
}

// Ctrl-C in the middle of a long render: the process dies of SIGINT and leaves nothing.
TEST(ZorqRenderInputs, InterruptedRenderLeavesNoFile) {
  TempFolder temp;
  const std::string out = temp / "long.wav";
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    const int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    dup2(quiet, STDERR_FILENO);
    execl(ZORQ_RENDER_EXECUTABLE, "zorq-render", "-p", ZORQ_FAKE_PLUGIN, "--notes", "C4:3600", "-o",
          out.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::seconds(30);
  while (temp.entries().empty() && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  EXPECT_FALSE(temp.entries().empty()) << "the render never started writing";
  kill(child, SIGINT);
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (Clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      FAIL() << "the render ignored SIGINT";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGINT) << status;
  EXPECT_TRUE(temp.entries().empty());
}

// A preset made on the command line loads back with the values that were set.
TEST(ZorqRenderPresets, SavedProgramAndBankLoadBack) {
  TempFolder temp;
  const CommandResult saved = runRender({"-p", ZORQ_PLUGIN, "--set", "Final Volume=-6 dB", "--set",
                                         "Vocoder Mode=VE-10 Full Bands", "--save-fxp", temp / "p.fxp",
                                         "--save-fxb", temp / "b.fxb"},
                                        temp);
  ASSERT_EQ(saved.exitCode, 0) << saved.errorText;
  for (const char* preset : {"p.fxp", "b.fxb"}) {
    const CommandResult listed =
        runRender({"-p", ZORQ_PLUGIN, "--preset", temp / preset, "--list-params"}, temp);
    EXPECT_EQ(listed.exitCode, 0) << listed.errorText;
    EXPECT_TRUE(contains(listed.outputText, "Final Volume                 -6.0 ")) << preset;
    EXPECT_TRUE(contains(listed.outputText, "Vocoder Mode                 VE-10 Full Bands")) << preset;
  }
}
