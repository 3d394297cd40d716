// The adapter on a private dummy JACK server: its ports, the MIDI it hands the plug-in
// with the frame offsets they had in the period, and a period change while running.
#include "formats/jack/JackHost.h"

#include <gtest/gtest.h>
#include <jack/jack.h>
#include <jack/midiport.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "framework/IMidiMsg.h"
#include "framework/IPlugBase.h"
#include "support/JackTestServer.h"

namespace {
using namespace std::chrono_literals;

// Records the MIDI it receives (offset and note) and the resets; outputs a constant.
class RecordingPlug : public IPlugBase {
 public:
  static constexpr int kMaxEvents = 16;
  RecordingPlug() : IPlugBase(0, "2-2 4-2", 1, "Rec", "", "Maker", 0x00010000, 1, 0, 0, true, true, false, 0) {
    SetInputLabel(0, "MIC Left ");
    SetInputLabel(1, "MIC Right ");
    SetOutputLabel(0, "ZORQ Left ");
  }
  void ProcessMidiMsg(IMidiMsg* msg) override {
    const int n = events.load();
    if (n >= kMaxEvents) return;
    offsets[n] = msg->mOffset;
    notes[n] = msg->NoteNumber();
    events.store(n + 1);
  }
  void ProcessDoubleReplacing(double**, double** outputs, int nFrames) override {
    for (int c = 0; c < 2; ++c)
      for (int i = 0; i < nFrames; ++i) outputs[c][i] = 0.5;
  }
  void Reset() override { resets.fetch_add(1); }

  std::atomic<int> events{0};
  int offsets[kMaxEvents] = {};
  int notes[kMaxEvents] = {};
  std::atomic<int> resets{0};
};

// A client that sends two notes in one period (at frames 7 and 100) once armed, and
// keeps the last sample it saw on the plug-in's left output.
struct Keyboard {
  Keyboard() {
    client = jack_client_open("keyboard", JackNoStartServer, nullptr);
    if (!client) return;
    midiOut = jack_port_register(client, "out", JACK_DEFAULT_MIDI_TYPE, JackPortIsOutput, 0);
    audioIn = jack_port_register(client, "in", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(client, process, this);
    jack_activate(client);
  }
  ~Keyboard() {
    if (client) jack_client_close(client);
  }
  static int process(jack_nframes_t n, void* self) {
    auto* k = static_cast<Keyboard*>(self);
    void* buffer = jack_port_get_buffer(k->midiOut, n);
    jack_midi_clear_buffer(buffer);
    if (k->armed.exchange(false)) {
      const jack_midi_data_t first[3] = {0x90, 60, 100}, second[3] = {0x90, 64, 90};
      jack_midi_event_write(buffer, 7, first, 3);
      jack_midi_event_write(buffer, 100, second, 3);
    }
    k->lastSample.store(static_cast<float*>(jack_port_get_buffer(k->audioIn, n))[n - 1]);
    return 0;
  }
  jack_client_t* client = nullptr;
  jack_port_t* midiOut = nullptr;
  jack_port_t* audioIn = nullptr;
  std::atomic<bool> armed{false};
  std::atomic<float> lastSample{0.0f};
};

// A client just activated may not be connectable for a few cycles: retried.
bool connect(jack_client_t* client, const char* from, const char* to) {
  for (int attempt = 0; attempt < 150; ++attempt) {
    if (jack_connect(client, from, to) == 0) return true;
    std::this_thread::sleep_for(20ms);
  }
  return false;
}

template <typename Pred>
bool waitFor(Pred pred, std::chrono::milliseconds limit = 5000ms) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!pred()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

class JackHostOnServer : public testing::Test {
 protected:
  void SetUp() override {
    if (!server.Reason().empty()) GTEST_SKIP() << server.Reason();
    std::string error;
    ASSERT_TRUE(host.Open("host", &error)) << error;
  }
  JackTestServer server;
  RecordingPlug plug;
  JackHost host{&plug};
};

TEST_F(JackHostOnServer, NamesItsPortsAfterTheChannelsAndTakesTheServersRateAndPeriod) {
  EXPECT_EQ(host.InputPorts(), (std::vector<std::string>{"host:mic_left", "host:mic_right", "host:in_3", "host:in_4"}));
  EXPECT_EQ(host.OutputPorts(), (std::vector<std::string>{"host:zorq_left", "host:out_2"}));
  EXPECT_EQ(host.MidiInputPort(), "host:midi_in");
  EXPECT_EQ(plug.GetSampleRate(), 48000.0);
  EXPECT_EQ(plug.GetBlockSize(), 256);
  EXPECT_EQ(plug.GetHost(), &host);
}

TEST_F(JackHostOnServer, HandsMidiToThePlugInAtItsFrameOffsets) {
  Keyboard keyboard;
  ASSERT_TRUE(keyboard.client);
  ASSERT_TRUE(connect(keyboard.client, "keyboard:out", "host:midi_in"));
  ASSERT_TRUE(connect(keyboard.client, "host:zorq_left", "keyboard:in"));
  // The plug-in's output reaches the keyboard: the graph runs.
  ASSERT_TRUE(waitFor([&] { return keyboard.lastSample.load() == 0.5f; }));
  keyboard.armed = true;
  ASSERT_TRUE(waitFor([&] { return plug.events.load() == 2; }));
  EXPECT_EQ(plug.offsets[0], 7);
  EXPECT_EQ(plug.notes[0], 60);
  EXPECT_EQ(plug.offsets[1], 100);
  EXPECT_EQ(plug.notes[1], 64);
}

// jack_bufsize changes the server's period as a session manager or PipeWire may do
// while the client runs: the plug-in is set up for it and reset, and plays on.
TEST_F(JackHostOnServer, FollowsAPeriodChangeWhileRunning) {
  Keyboard keyboard;
  ASSERT_TRUE(keyboard.client);
  ASSERT_TRUE(connect(keyboard.client, "host:zorq_left", "keyboard:in"));
  ASSERT_TRUE(waitFor([&] { return keyboard.lastSample.load() == 0.5f; }));
  const int resets = plug.resets.load();
  ASSERT_EQ(JackTestServer::runQuiet({"jack_bufsize", "128"}), 0);
  ASSERT_TRUE(waitFor([&] { return host.Period() == 128; }));
  {
    IMutexLock lock(plug.Mutex());
    EXPECT_EQ(plug.GetBlockSize(), 128);
  }
  EXPECT_GT(plug.resets.load(), resets);
  keyboard.lastSample = 0.0f;
  EXPECT_TRUE(waitFor([&] { return keyboard.lastSample.load() == 0.5f; }));
}

TEST(JackHost, SaysSoWhenNoServerRuns) {
  setenv("JACK_DEFAULT_SERVER", ("zorq-none-" + std::to_string(getpid())).c_str(), 1);
  RecordingPlug plug;
  JackHost host(&plug);
  std::string error;
  EXPECT_FALSE(host.Open("host", &error));
  EXPECT_NE(error.find("no JACK server is running"), std::string::npos) << error;
  EXPECT_FALSE(host.IsOpen());
  // No server was started on the way.
  EXPECT_EQ(JackTestServer::runQuiet({"jack_lsp"}), 1);
}
}  // namespace
