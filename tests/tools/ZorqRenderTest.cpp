// zorq-render end to end: the executable against the fake plug-in and third-party ones.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "ToolsTestSupport.h"

namespace {

constexpr int kRate = 8000;

std::vector<float> ramp(size_t frames, float step) {
  std::vector<float> samples(frames);
  for (size_t i = 0; i < frames; ++i) samples[i] = step * float(i % 100);
  return samples;
}

// Frames of channel 0 that hold a note impulse (the fake plug-in adds velocity/127).
std::vector<size_t> impulseFrames(const AudioBuffer& audio) {
  std::vector<size_t> frames;
  for (size_t i = 0; i < audio.frames(); ++i)
    if (audio.channels[0][i] > 0.5f) frames.push_back(i);
  return frames;
}

}  // namespace

class ZorqRender : public ::testing::Test {
 protected:
  CommandResult render(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"--plugin", ZORQ_FAKE_PLUGIN, "--bits", "float"});
    return runRender(arguments, temp_);
  }
  TempFolder temp_;
  std::string out_ = (temp_ / "out.wav");
};

TEST_F(ZorqRender, MixesModulatorAndCarrierThroughTheSetGain) {
  const std::string modulator = (temp_ / "mod.wav"), carrier = (temp_ / "car.wav");
  writeWav(modulator, {ramp(1000, 0.001f)}, kRate);                      // mono: both inputs
  writeWav(carrier, {ramp(600, 0.002f), ramp(600, -0.001f)}, kRate);    // stereo
  const CommandResult result = render({"-q", "-m", modulator, "-c", carrier, "--set", "Gain=1.5",
                                       "--tail", "0.5", "-b", "17", "-o", out_});
  ASSERT_EQ(result.exitCode, 0) << result.errorText;
  EXPECT_EQ(result.errorText, "");  // no level report with -q
  const AudioBuffer audio = readAudio(out_);
  ASSERT_EQ(audio.channels.size(), 2u);
  EXPECT_EQ(audio.frames(), 1000u + kRate / 2);
  for (size_t i : {0u, 1u, 99u, 599u, 600u, 999u}) {
    const float m = 0.001f * float(i % 100);
    const float left = i < 600 ? 0.002f * float(i % 100) : 0.0f;
    const float right = i < 600 ? -0.001f * float(i % 100) : 0.0f;
    // The gain display has two decimals: 1.5 is found to within a step of the search.
    EXPECT_NEAR(audio.channels[0][i], 1.5f * (m + left), 2e-3f * std::fabs(m + left)) << i;
    EXPECT_NEAR(audio.channels[1][i], 1.5f * (m + right), 2e-3f * std::fabs(m + right)) << i;
  }
  EXPECT_EQ(audio.channels[0].back(), 0.0f);
}

TEST_F(ZorqRender, PlaysMidiFileEventsAtTheirTimesAcrossTempoChanges) {
  std::vector<uint8_t> track;
  appendEvent(track, 0, {0x90, 60, 127});        // 0 s
  appendTempo(track, 96, 1000000);               // one beat at 120 bpm: 0.5 s
  appendEvent(track, 0, {0x90, 62, 127});        // 0.5 s
  appendEvent(track, 48, {0x90, 64, 127});       // half a beat at 60 bpm: 1.0 s
  appendEndOfTrack(track);
  std::vector<uint8_t> file = midiHeader(0, 1, 96);
  appendTrack(file, track);
  const std::string midi = (temp_ / "song.mid");
  writeBytes(midi, file);
  const CommandResult result = render({"--midi", midi, "--tail", "0.25", "-b", "333", "-o", out_});
  ASSERT_EQ(result.exitCode, 0) << result.errorText;
  const AudioBuffer audio = readAudio(out_);
  // No input file: the default rate.
  EXPECT_EQ(audio.sampleRate, 44100);
  EXPECT_EQ(impulseFrames(audio), (std::vector<size_t>{0, 22050, 44100}));
  EXPECT_EQ(audio.frames(), size_t(44100 + 44100 / 4));
}

TEST_F(ZorqRender, PlaysANoteListAtTheChosenRate) {
  const CommandResult result =
      render({"--notes=C4+E4:0.5, r:0.25, 67", "--rate=8000", "--tail", "0", "-o", out_});
  ASSERT_EQ(result.exitCode, 0) << result.errorText;
  const AudioBuffer audio = readAudio(out_);
  EXPECT_EQ(impulseFrames(audio), (std::vector<size_t>{0, 6000}));
  EXPECT_NEAR(audio.channels[0][0], 2 * 100 / 127.0f, 1e-6f) << "two notes at one frame";
  EXPECT_EQ(audio.frames(), 14000u);
}

TEST_F(ZorqRender, ConvertsInputFilesToTheRenderRate) {
  const std::string modulator = (temp_ / "mod.flac");
  {
    AudioFileWriter writer(modulator, 1, 4000, SampleFormat::kPcm16);
    std::vector<float> tone(4000);
    for (size_t i = 0; i < tone.size(); ++i) tone[i] = 0.5f * float(std::sin(2 * M_PI * 100 * i / 4000.0));
    writer.write(tone.data(), tone.size());
    writer.commit();
  }
  const CommandResult result = render({"-m", modulator, "--rate", "8000", "--tail", "0", "-o", out_});
  ASSERT_EQ(result.exitCode, 0) << result.errorText;
  const AudioBuffer audio = readAudio(out_);
  EXPECT_NEAR(double(audio.frames()), 8000.0, 2.0);
  const float peak = *std::max_element(audio.channels[0].begin(), audio.channels[0].end());
  EXPECT_NEAR(peak, 0.5f, 0.02f);
}

TEST_F(ZorqRender, ListsParametersAfterPresetProgramAndSettings) {
  const CommandResult result = render({"--program", "1", "--set", "mode=mute", "--list-params"});
  ASSERT_EQ(result.exitCode, 0) << result.errorText;
  EXPECT_EQ(result.outputText,
            "   0  Gain                         0.50 x             range: 0.00 x .. 2.00 x\n"
            "   1  Mode                         Mute               choices: Pass, Invert, Mute\n"
            "   2  Level                        0.0 dB             range: -60.0 dB .. 0.0 dB\n");
  const CommandResult programs = render({"--list-programs"});
  EXPECT_EQ(programs.outputText, "   0  First\n   1  Second\n");
  const CommandResult version = render({"--version"});
  EXPECT_EQ(version.outputText.rfind("zorq-render 1.", 0), 0u) << version.outputText;
}

TEST_F(ZorqRender, DefaultPluginIsBesideTheExecutable) {
  const std::filesystem::path beside =
      std::filesystem::path(ZORQ_RENDER_EXECUTABLE).parent_path() / "ZORQ.so";
  const CommandResult result = runRender({"--list-params"}, temp_);
  if (std::filesystem::exists(beside)) {
    EXPECT_EQ(result.exitCode, 0) << result.errorText;
    EXPECT_NE(result.outputText.find("Vocoder Mode"), std::string::npos);
  } else {
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.errorText.find(beside.string()), std::string::npos) << result.errorText;
  }
}

struct FailureCase {
  const char* name;
  std::vector<std::string> arguments;  // "@" stands for the temporary folder
  int exitCode;
  const char* messagePart;
};

void PrintTo(const FailureCase& c, std::ostream* os) { *os << c.name; }

class ZorqRenderFailure : public ZorqRender, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ZorqRenderFailure, PrintsOneLineAndExitsNonZero) {
  writeBytes((temp_ / "bad.wav"), {'R', 'I', 'F', 'F', 1, 2, 3});
  writeBytes((temp_ / "bad.mid"), {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1});
  writeWav((temp_ / "ok.wav"), {ramp(100, 0.001f)}, kRate);
  std::vector<std::string> arguments;
  for (std::string argument : GetParam().arguments) {
    if (argument[0] == '@') argument = temp_ / argument.substr(1);
    arguments.push_back(argument);
  }
  const CommandResult result = render(arguments);
  EXPECT_EQ(result.exitCode, GetParam().exitCode) << result.errorText;
  EXPECT_EQ(std::count(result.errorText.begin(), result.errorText.end(), '\n'), 1) << result.errorText;
  EXPECT_EQ(result.errorText.rfind("zorq-render: ", 0), 0u) << result.errorText;
  EXPECT_NE(result.errorText.find(GetParam().messagePart), std::string::npos) << result.errorText;
  for (const std::string& name : temp_.entries()) EXPECT_NE(name.rfind("out.", 0), 0u) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, ZorqRenderFailure,
    ::testing::Values(
        FailureCase{"MissingModulator", {"-m", "@none.wav", "-o", "@out.wav"}, 1, "none.wav"},
        FailureCase{"UnreadableAudio", {"-m", "@bad.wav", "-o", "@out.wav"}, 1, "bad.wav"},
        FailureCase{"BadMidi", {"--midi", "@bad.mid", "-o", "@out.wav"}, 1, "bad MIDI file"},
        FailureCase{"BadNotes", {"--notes", "C4:0", "-o", "@out.wav"}, 1, "C4:0"},
        FailureCase{"RenderTooLong", {"--notes", "C4@100000", "-o", "@out.wav"}, 1, "would last"},
        FailureCase{"UnknownParameter", {"-m", "@ok.wav", "--set", "Volume=1", "-o", "@out.wav"}, 2,
                    "unknown parameter 'Volume'"},
        FailureCase{"UnknownValue", {"-m", "@ok.wav", "--set", "Mode=Loud", "-o", "@out.wav"}, 2,
                    "choices: Pass, Invert, Mute"},
        FailureCase{"SetWithoutEquals", {"-m", "@ok.wav", "--set", "Gain", "-o", "@out.wav"}, 2,
                    "Name=value"},
        FailureCase{"MissingPreset", {"-m", "@ok.wav", "--preset", "@no.fxp", "-o", "@out.wav"}, 1,
                    "no.fxp"},
        FailureCase{"NoSuchProgram", {"-m", "@ok.wav", "--program", "2", "-o", "@out.wav"}, 2,
                    "program 2"},
        FailureCase{"OutputType", {"-m", "@ok.wav", "-o", "@out.mp3"}, 2, ".wav or .flac"},
        FailureCase{"NoOutput", {"-m", "@ok.wav"}, 2, "-o"},
        FailureCase{"NothingToRender", {"-o", "@out.wav"}, 2, "nothing to render"},
        FailureCase{"UnknownOption", {"--loud"}, 2, "--loud"},
        FailureCase{"FlagWithAValue", {"--quiet=yes"}, 2, "takes no value"},
        FailureCase{"NormalizeAboveFullScale", {"-m", "@ok.wav", "--normalize=3", "-o", "@out.wav"},
                    2, "--normalize needs"},
        FailureCase{"BadBlockSize", {"-m", "@ok.wav", "-b", "0", "-o", "@out.wav"}, 2, "-b needs"},
        FailureCase{"BadPlugin", {"--plugin", "@ok.wav", "-m", "@ok.wav", "-o", "@out.wav"}, 1,
                    "cannot load plug-in"}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

// A third-party synthesizer from Debian has no audio inputs.
TEST(ZorqRenderThirdParty, RefusesInputFilesASynthCannotTake) {
  const char* const synth = "/usr/lib/vst/Kars-vst.so";
  if (!std::filesystem::exists(synth)) GTEST_SKIP() << "dpf-plugins-vst not installed";
  TempFolder temp;
  writeWav((temp / "in.wav"), {std::vector<float>(100)}, 44100);
  for (const char* input : {"-m", "-c"}) {
    const CommandResult result =
        runRender({"-p", synth, input, (temp / "in.wav"), "-o", (temp / "out.wav")}, temp);
    EXPECT_EQ(result.exitCode, 2) << input;
    EXPECT_NE(result.errorText.find("inputs"), std::string::npos) << result.errorText;
  }
}
