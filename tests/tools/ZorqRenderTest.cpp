// zorq-render end to end: the executable against the fake plug-in, the built plug-in and
// a third-party one; what it writes, what it refuses, what it reports.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "support/ChildProcess.h"
#include "support/LoadablePlugin.h"
#include "support/TempFolder.h"
#include "support/TestSignals.h"
#include "zorq-render/AudioFileWriter.h"
#include "zorq-render/AudioInput.h"

namespace {

// A whole audio file's first two channels (what the tools write) through zorq-render's
// reader.
std::vector<std::vector<float>> readAudio(const std::string& path) {
  AudioInput file(path);
  std::vector<std::vector<float>> channels(2, std::vector<float>(file.frames()));
  file.read(channels[0].data(), channels[1].data(), file.frames());
  channels.resize(size_t(std::min(file.fileChannels(), 2)));
  return channels;
}

// Float WAV with the given channels.
void writeWav(const std::string& path, const std::vector<std::vector<float>>& channels,
              int sampleRate) {
  AudioFileWriter writer(path, int(channels.size()), sampleRate, SampleFormat::kFloat);
  std::vector<float> interleaved;
  for (size_t frame = 0; frame < channels[0].size(); ++frame)
    for (const auto& channel : channels) interleaved.push_back(channel[frame]);
  writer.write(interleaved.data(), channels[0].size());
  writer.commit();
}

struct CommandResult {
  int exitCode;
  std::string errorText;
  std::string outputText;
};

// Runs the zorq-render executable with the arguments, capturing both streams.
CommandResult runRender(std::vector<std::string> arguments, const TempFolder& temp) {
  arguments.insert(arguments.begin(), ZORQ_RENDER_EXECUTABLE);
  testsupport::ChildProcess render(arguments, temp / "stdout.txt", temp / "stderr.txt");
  const int exitCode = render.Wait(std::chrono::minutes(5));
  return {exitCode, render.Errors(), render.Output()};
}

using ::testing::HasSubstr;
constexpr int kRate = 8000;

std::vector<float> ramp(size_t frames, float step) {
  std::vector<float> samples(frames);
  for (size_t i = 0; i < frames; ++i) samples[i] = step * float(i % 100);
  return samples;
}

// A 100 Hz sine (one second by default); its samples reach the amplitude exactly.
std::vector<float> sine(float amplitude, size_t frames = kRate) {
  std::vector<float> samples(frames);
  for (size_t i = 0; i < frames; ++i)
    samples[i] = amplitude * float(std::sin(2 * M_PI * 100 * double(i) / kRate));
  return samples;
}

}  // namespace

class ZorqRender : public ::testing::Test {
 protected:
  CommandResult render(std::vector<std::string> arguments, const char* plugin = ZORQ_FAKE_PLUGIN) {
    arguments.insert(arguments.begin(), {"--plugin", plugin});
    return runRender(arguments, temp_);
  }
  TempFolder temp_;
  std::string out_ = temp_ / "out.wav";
};

TEST_F(ZorqRender, MixesModulatorAndCarrierThroughTheSetGain) {
  const std::string modulator = temp_ / "mod.wav", carrier = temp_ / "car.wav";
  writeWav(modulator, {ramp(1000, 0.001f)}, kRate);                   // mono: both inputs
  writeWav(carrier, {ramp(600, 0.002f), ramp(600, -0.001f)}, kRate);  // stereo
  const CommandResult result = render({"-q", "-m", modulator, "-c", carrier, "--set", "Gain=1.5",
                                       "--tail", "0.5", "-b", "17", "-o", out_});
  ASSERT_EQ(result.exitCode, 0) << result.errorText;
  EXPECT_EQ(result.errorText, "");  // no level report with -q
  const std::vector<std::vector<float>> audio = readAudio(out_);
  ASSERT_EQ(audio.size(), 2u);
  EXPECT_EQ(audio[0].size(), 1000u + kRate / 2);
  for (size_t i : {0u, 1u, 99u, 599u, 600u, 999u}) {
    const float m = 0.001f * float(i % 100);
    const float left = i < 600 ? 0.002f * float(i % 100) : 0.0f;
    const float right = i < 600 ? -0.001f * float(i % 100) : 0.0f;
    // The gain display has two decimals: 1.5 is found to within a step of the search.
    EXPECT_NEAR(audio[0][i], 1.5f * (m + left), 2e-3f * std::fabs(m + left)) << i;
    EXPECT_NEAR(audio[1][i], 1.5f * (m + right), 2e-3f * std::fabs(m + right)) << i;
  }
  EXPECT_EQ(audio[0].back(), 0.0f);
}

TEST_F(ZorqRender, ListsParametersAfterPresetProgramAndSettings) {
  const CommandResult result = render({"--program", "1", "--set", "mode=mute", "--list-params"});
  ASSERT_EQ(result.exitCode, 0) << result.errorText;
  EXPECT_EQ(result.outputText,
            "   0  Gain                         0.50 x             range: 0.00 x .. 2.00 x\n"
            "   1  Mode                         Mute               choices: Pass, Invert, Mute\n"
            "   2  Level                        0.0 dB             range: -60.0 dB .. 0.0 dB\n");
  EXPECT_EQ(render({"--list-programs"}).outputText, "   0  First\n   1  Second\n");
  const CommandResult version = render({"--version"});
  EXPECT_EQ(version.outputText.rfind("zorq-render 1.", 0), 0u) << version.outputText;
}

// Each prints one line "zorq-render: ..." naming the problem, exits with 1 (files and
// plug-ins) or 2 (usage) and writes no output. The output may not be an input, whatever
// name leads to it.
TEST_F(ZorqRender, FailuresPrintOneLineAndExitNonZero) {
  writeBytes(temp_ / "bad.mid", {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1});
  writeWav(temp_ / "ok.wav", {ramp(100, 0.001f)}, kRate);
  const std::string original = readText(temp_ / "ok.wav");
  std::filesystem::create_hard_link(temp_ / "ok.wav", temp_ / "hard.wav");
  std::filesystem::create_symlink(temp_ / "ok.wav", temp_ / "soft.wav");
  const struct {
    const char* arguments;  // separated by blanks; "@" stands for the temporary folder
    int exitCode;
    const char* messagePart;
  } cases[] = {{"-m @none.wav -o @out.wav", 1, "none.wav"},
               {"--midi @bad.mid -o @out.wav", 1, "bad MIDI file"},
               {"-m @ok.wav --set Mode=Loud -o @out.wav", 2, "choices: Pass, Invert, Mute"},
               {"--loud", 2, "--loud"},
               {"--plugin @ok.wav -m @ok.wav -o @out.wav", 1, "cannot load plug-in"},
               {"-m @ok.wav -o @ok.wav", 2, "is the modulator"},
               {"-m @ok.wav -o @hard.wav", 2, "is the modulator"},
               {"-m @ok.wav -o @soft.wav", 2, "is the modulator"},
               {"-m @ok.wav --save-fxp @soft.wav --list-params", 2, "is the modulator"}};
  for (const auto& c : cases) {
    std::vector<std::string> arguments;
    std::istringstream words(c.arguments);
    for (std::string word; words >> word;)
      arguments.push_back(word[0] == '@' ? temp_ / word.substr(1) : word);
    const CommandResult result = render(arguments);
    const std::string& error = result.errorText;
    EXPECT_EQ(result.exitCode, c.exitCode) << error;
    EXPECT_EQ(std::count(error.begin(), error.end(), '\n'), 1) << error;
    EXPECT_EQ(error.rfind("zorq-render: ", 0), 0u) << error;
    EXPECT_THAT(error, HasSubstr(c.messagePart));
  }
  EXPECT_EQ(readText(temp_ / "ok.wav"), original);
  EXPECT_EQ(temp_.entries(), (std::vector<std::string>{"bad.mid", "hard.wav", "ok.wav", "soft.wav",
                                                       "stderr.txt", "stdout.txt"}));
}

// Levels are reported, normalised and clipped as the file format needs: a known sine,
// which the fake plug-in passes through unchanged at its default gain. A 1.5 sine is
// beyond full scale in 4200 of its 8000 samples. An input file cut short renders what
// it holds, with a warning.
TEST_F(ZorqRender, LevelsAreReportedAndNormalised) {
  const struct {
    float amplitude, filePeak;
    const char* options;  // --bits and more, separated by blanks
    const char* report;   // part of the level report line
    const char* warning;  // part of a warning, or "" for none
    bool cut = false;     // the input's second half of samples cut off
  } cases[] = {
      {0.5f, 0.5f, "float", "peak -6.0 / -6.0 dBFS, RMS -9.0 / -9.0 dBFS, clipped 0 / 0 samples",
       ""},
      {0.5f, 0.89125f, "24 --normalize", "peak -1.0 / -1.0 dBFS, RMS -4.0", ""},
      {1.5f, 1.0f, "16", "peak 3.5 / 3.5 dBFS, RMS 0.5 / 0.5 dBFS, clipped 4200 / 4200",
       "8400 samples clipped in the 16-bit file"},
      {1.5f, 1.5f, "float", "clipped 4200 / 4200", ""},  // the overs are kept
      {1.5f, 1.0f, "24 -q", "", "clipped in the 24-bit file"},
      {0.0f, 0.0f, "float --normalize", "peak -inf / -inf dBFS", "warning: output is silent\n"},
      {0.5f, 0.5f, "float", "peak -6.0 / -6.0 dBFS", "in.wav' is damaged", true}};
  for (const auto& c : cases) {
    const std::string input = temp_ / "in.wav";
    writeWav(input, {sine(c.amplitude)}, kRate);
    // The samples come last.
    if (c.cut) std::filesystem::resize_file(input, std::filesystem::file_size(input) - 16000);
    std::vector<std::string> arguments = {"-m", input, "-t", "0", "-o", out_, "--bits"};
    std::istringstream options(c.options);
    for (std::string option; options >> option;) arguments.push_back(option);
    const CommandResult result = render(arguments);
    const std::string& report = result.errorText;
    ASSERT_EQ(result.exitCode, 0) << report;
    EXPECT_THAT(report, HasSubstr(c.report));
    EXPECT_EQ(report.find("warning:") != std::string::npos, *c.warning != '\0') << report;
    EXPECT_THAT(report, HasSubstr(c.warning));
    float peak = 0.0f;
    for (const auto& channel : readAudio(out_)) {
      EXPECT_EQ(channel.size(), c.cut ? 4000u : 8000u) << report;
      for (float x : channel) peak = std::max(peak, std::fabs(x));
    }
    EXPECT_NEAR(peak, c.filePeak, 1e-4f) << report;
  }
}

// Ctrl-C in the middle of a long render: the process dies of SIGINT and leaves nothing.
TEST_F(ZorqRender, InterruptedRenderLeavesNoFile) {
  using std::chrono::seconds;
  testsupport::ChildProcess render(
      {ZORQ_RENDER_EXECUTABLE, "-p", ZORQ_FAKE_PLUGIN, "--notes", "C4:3600", "-o", out_});
  EXPECT_TRUE(eventually([&] { return !temp_.entries().empty(); }, seconds(30)))
      << "the render never started writing";
  render.Signal(SIGINT);
  EXPECT_EQ(render.Wait(seconds(30)), 128 + SIGINT);
  EXPECT_TRUE(temp_.entries().empty());
}

// A preset made on the command line loads back with the values that were set.
TEST_F(ZorqRender, SavedProgramAndBankLoadBack) {
  const CommandResult saved =
      render({"--set", "Final Volume=-6 dB", "--set", "Vocoder Mode=VE-10 Full Bands", "--save-fxp",
              temp_ / "p.fxp", "--save-fxb", temp_ / "b.fxb"},
             ZORQ_PLUGIN);
  ASSERT_EQ(saved.exitCode, 0) << saved.errorText;
  for (const char* preset : {"p.fxp", "b.fxb"}) {
    // Without --plugin: the build puts ZORQ.so beside zorq-render, where the tool looks.
    const CommandResult listed = runRender({"--preset", temp_ / preset, "--list-params"}, temp_);
    EXPECT_EQ(listed.exitCode, 0) << listed.errorText;
    EXPECT_THAT(listed.outputText, HasSubstr("Final Volume                 -6.0 "));
    EXPECT_THAT(listed.outputText, HasSubstr("Vocoder Mode                 VE-10 Full Bands"));
  }
}

// A third-party synthesizer from Debian has no audio inputs.
TEST_F(ZorqRender, RefusesInputFilesASynthCannotTake) {
  const char* const synth = "/usr/lib/vst/Kars-vst.so";
  if (!loadablePlugin(synth)) GTEST_SKIP() << "dpf-plugins-vst not installed for this pointer size";
  writeWav(temp_ / "in.wav", {std::vector<float>(100)}, 44100);
  for (const char* input : {"-m", "-c"}) {
    const CommandResult result = render({input, temp_ / "in.wav", "-o", out_}, synth);
    EXPECT_EQ(result.exitCode, 2) << input;
    EXPECT_THAT(result.errorText, HasSubstr("inputs"));
  }
}

// The CLAP and the LV2 build load, take a setting by name and render sound (their samples
// against the VST 2 build's are the parity suite's).
TEST_F(ZorqRender, RendersThroughTheClapAndLv2Builds) {
  writeWav(temp_ / "voice.wav", {noise(30000, 1, 0.3f)}, 44100);
  for (const char* plugin : {ZORQ_CLAP_PLUGIN, ZORQ_LV2_BUNDLE}) {
    const CommandResult result =
        render({"-q", "-m", temp_ / "voice.wav", "-n", "C3+G3:0.5", "--set",
                "Vocoder Mode=VE-10 Full Bands", "-b", "333", "-o", out_},
               plugin);
    ASSERT_EQ(result.exitCode, 0) << plugin << ": " << result.errorText;
    const std::vector<std::vector<float>> audio = readAudio(out_);
    ASSERT_EQ(audio.size(), 2u) << plugin;
    EXPECT_GT(rms(audio[0]), 5e-4) << plugin;
  }
}
