// zorq-live itself on a private dummy JACK server: its ports as jack_lsp lists them
// and their metadata as a patchbay reads it, a voice and a chord vocoded through it
// across a change of the server's period by jack_bufsize, autoconnect, and the state
// written on SIGTERM and read at the next start.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "engine/ZORQ.h"
#include "framework/FileBytes.h"
#include "framework/FxFormat.h"
#include "support/JackTestServer.h"
#include "zorq-live/LiveProcess.h"
#include "zorq-live/LiveTestClient.h"

namespace {
using namespace std::chrono_literals;
using ::testing::HasSubstr;
using ::testing::Not;
constexpr int kRate = 48000;

// Whether a port's metadata as a patchbay reads it (jack_property, a line per key)
// shows the text, within a while: the properties follow the ports' registration.
bool propertiesShow(const std::string& port, const std::string& text) {
  return eventually(
      [&] { return commandOutput("jack_property -p -l " + port).find(text) != std::string::npos; });
}

class ZorqLive : public testing::Test {
 protected:
  void SetUp() override {
    if (!server.Reason().empty()) GTEST_SKIP() << server.Reason();
    // A program with every parameter at its default: the vocoder alone (no dry voice,
    // no noise), its carrier the keyboard.
    ZORQ defaults;
    defaults.initPreset();
    ASSERT_TRUE(defaults.SaveProgramAsFXP(folder / "defaults.fxp"));
  }
  // Waits until the client runs: its ports are on the server and it says it is active.
  bool portsUp(const LiveProcess& live, const std::string& name) {
    return eventually([&] {
      return live.Output().find("JACK client '" + name + "'") != std::string::npos &&
             commandOutput("jack_lsp").find(name + ":zorq_right") != std::string::npos;
    });
  }

  JackTestServer server;
  TempFolder folder;
};

// 0.4 s of voice (noise) alone, then the chord: vocoded sound that the voice opens,
// through a change of the server's period to 512 frames at 0.8 s; then the voice stops
// while the chord holds and the sound dies away with it.
TEST_F(ZorqLive, VocodesAVoiceWithAChordAcrossAPeriodChange) {
  const int chord = int(0.4 * kRate), voiceEnd = int(1.4 * kRate), length = int(1.9 * kRate);
  const std::vector<float> voice = noise(2 * kRate, 5, 0.5f);
  LiveProcess live(folder, {"--no-gui", "--name", "zv", "--preset", folder / "defaults.fxp"});
  ASSERT_TRUE(portsUp(live, "zv")) << live.Errors();
  LiveTestClient performer(voice, voiceEnd, chord, length);
  ASSERT_TRUE(performer.Ready());
  ASSERT_EQ(performer.ConnectTo("zv"), "") << live.Errors();
  performer.Arm();
  ASSERT_TRUE(eventually([&] { return performer.Frame() >= int(0.8 * kRate); }));
  EXPECT_EQ(JackTestServer::runQuiet({"jack_bufsize", "512"}), 0);
  EXPECT_THAT(commandOutput("jack_bufsize"), HasSubstr("512"));
  ASSERT_TRUE(eventually([&] { return performer.Done(); }));
  EXPECT_TRUE(live.Running()) << live.Errors();

  const std::vector<float>& left = performer.Left();
  const std::vector<float>& right = performer.Right();
  for (size_t i = 0; i < left.size(); ++i)
    ASSERT_TRUE(std::isfinite(left[i]) && std::isfinite(right[i])) << "frame " << i;
  const double before = rms(left, int(0.05 * kRate), chord);
  const double during = rms(left, chord + int(0.05 * kRate), voiceEnd);
  const double after = rms(left, voiceEnd + int(0.25 * kRate), length);
  // No carrier without keys: the voice alone is not heard. With the chord it speaks.
  EXPECT_LT(before, 1e-4);
  EXPECT_GT(during, 1e-3);
  EXPECT_GT(rms(right, chord + int(0.05 * kRate), voiceEnd), 1e-3);
  // The level follows the voice: it falls when the voice stops.
  EXPECT_LT(after, 0.1 * during);
  // Through the change: no click louder than the music, and the music goes on.
  const int change = int(0.8 * kRate);
  const double music = peak(left, chord + int(0.05 * kRate), change - int(0.1 * kRate));
  EXPECT_LE(peak(left, change - int(0.1 * kRate), voiceEnd), 1.5 * music);
  EXPECT_GT(rms(left, voiceEnd - int(0.3 * kRate), voiceEnd), 1e-3);
  live.Signal(SIGTERM);
  EXPECT_EQ(live.Wait(), 0) << live.Errors();
}

int currentProgramIn(const std::string& path) {
  ByteChunk file;
  if (!readWholeFile(path, &file)) return -1;
  return fx::readBankHeader(file).currentProgram;
}

// Its ports for patchbays, autoconnected, gone after the signal that ends it; the state
// written on SIGTERM and read at the next start.
TEST_F(ZorqLive, ShowsItsPortsAutoconnectsThemAndStartsFromTheStateItWrote) {
  const std::string state = folder / "state.fxb";
  {
    LiveProcess live(
        folder, {"--no-gui", "--name", "za", "--autoconnect", "--state", state, "--program", "4"});
    ASSERT_TRUE(portsUp(live, "za")) << live.Errors();
    // Names and order for patchbays, in metadata JACK keeps in a database that only
    // processes of the server's word size share.
    if (sizeof(void*) == 8) {
      EXPECT_TRUE(propertiesShow("za:midi_in", "metadata/order value: 4 "));
      EXPECT_TRUE(propertiesShow("za:mic_right", "metadata/order value: 1 "));
      EXPECT_TRUE(propertiesShow("za:mic_right", "metadata/pretty-name value: MIC Right type"));
    }
    ASSERT_TRUE(
        eventually([&] { return live.Errors().find("autoconnect made") != std::string::npos; }));
    const std::string connections = commandOutput("jack_lsp -c");
    for (const char* link :
         {"system:capture_1\n   za:mic_left", "system:capture_2\n   za:mic_right",
          "za:zorq_left\n   system:playback_1", "za:zorq_right\n   system:playback_2"})
      EXPECT_THAT(connections, HasSubstr(link));
    // The dummy backend has no MIDI hardware: said, not hidden.
    EXPECT_THAT(live.Errors(), HasSubstr("not connected: za:midi_in: no hardware MIDI output"));
    EXPECT_THAT(live.Errors(), HasSubstr("autoconnect made 4 connection(s)"));
    // Its ports, audio and MIDI, as jack_lsp lists them.
    const std::string ports = commandOutput("jack_lsp -t");
    for (const char* port : {"za:mic_left", "za:mic_right", "za:ext_left", "za:ext_right",
                             "za:zorq_left", "za:zorq_right"})
      EXPECT_THAT(ports, HasSubstr(std::string(port) + "\n\t32 bit float mono audio"));
    EXPECT_THAT(ports, HasSubstr("za:midi_in\n\t8 bit raw midi"));
    live.Signal(SIGTERM);
    ASSERT_EQ(live.Wait(), 0) << live.Errors();
    EXPECT_THAT(live.Errors(), HasSubstr("state written to " + state));
  }
  EXPECT_THAT(commandOutput("jack_lsp"), Not(HasSubstr("za:")));
  EXPECT_EQ(currentProgramIn(state), 4);
  // Started again without --program: the state's program is the current one again; SIGINT
  // writes the state too. (What else the state keeps is the state file's own test.)
  LiveProcess again(folder, {"--no-gui", "--name", "za", "--state", state});
  ASSERT_TRUE(portsUp(again, "za")) << again.Errors();
  again.Signal(SIGINT);
  ASSERT_EQ(again.Wait(), 0) << again.Errors();
  EXPECT_EQ(currentProgramIn(state), 4);
  EXPECT_EQ(folder.entries(),
            (std::vector<std::string>{"defaults.fxp", "live.err", "live.out", "state.fxb"}));
}

// A state file it cannot read ends it before JACK is asked, and is left as it is; without
// a JACK server it says so and ends, and starts none.
TEST(ZorqLiveAlone, SaysWhyAndEndsWithADamagedStateFileOrWithoutAJackServer) {
  setenv("JACK_DEFAULT_SERVER", ("zorq-none-" + std::to_string(getpid())).c_str(), 1);
  TempFolder folder;
  writeText(folder / "state.fxb", "CcnK not a bank");
  using Row = std::pair<std::vector<std::string>, const char*>;
  for (const auto& [arguments, says] :
       {Row{{"--no-gui", "--state", folder / "state.fxb"}, "is left as it is"},
        Row{{"--no-gui"}, "no JACK server is running"}}) {
    LiveProcess live(folder, arguments);
    EXPECT_EQ(live.Wait(), 1);
    EXPECT_THAT(live.Errors(), HasSubstr(says));
  }
  EXPECT_EQ(readText(folder / "state.fxb"), "CcnK not a bank");
  EXPECT_EQ(JackTestServer::runQuiet({"jack_lsp"}), 1);  // and it started none
}

}  // namespace
