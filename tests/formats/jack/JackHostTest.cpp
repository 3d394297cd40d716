// The adapter's port names, from the channel labels; on a private dummy JACK server, the
// MIDI it hands the plug-in with the frame offsets they had in the period. (Its ports on
// the server and a period change while running are zorq-live's.)
#include "formats/jack/JackHost.h"

#include <gtest/gtest.h>
#include <jack/jack.h>

#include <atomic>
#include <chrono>
#include <vector>

#include "framework/IMidiMsg.h"
#include "formats/jack/JackPortNames.h"
#include "framework/IPlugBase.h"
#include "support/JackTestServer.h"

namespace {
using namespace std::chrono_literals;

TEST(JackPortNames, ComeFromTheChannelLabel) {
  const struct {
    const char* label;
    int index;
    bool input;
    const char *name, *prettyName;
  } cases[] = {{"MIC Left ", 0, true, "mic_left", "MIC Left"},
               {"  Side: chain (L) ", 2, true, "side_chain_l", "Side: chain (L)"},
               {"", 1, true, "in_2", "Input 2"},
               {" :: ", 0, false, "out_1", "Output 1"},
               {nullptr, 4, false, "out_5", "Output 5"}};
  for (const auto& c : cases) {
    const JackPortName port = jackAudioPortName(c.label, c.index, c.input);
    EXPECT_EQ(port.name, c.name);
    EXPECT_EQ(port.prettyName, c.prettyName) << c.name;
  }
}

// Records the MIDI it receives (offset and note).
class RecordingPlug : public IPlugBase {
 public:
  static constexpr int kMaxEvents = 16;
  RecordingPlug()
      : IPlugBase(0, "2-2 4-2", 1, "Rec", "", "Maker", 0x00010000, 1, 0, 0, true, true, false, 0) {}
  void ProcessMidiMsg(IMidiMsg* msg) override {
    const int n = events.load();
    if (n >= kMaxEvents) return;
    offsets[n] = msg->mOffset;
    notes[n] = msg->NoteNumber();
    events.store(n + 1);
  }

  std::atomic<int> events{0};
  int offsets[kMaxEvents] = {};
  int notes[kMaxEvents] = {};
};

TEST(JackHostOnServer, HandsMidiToThePlugInAtItsFrameOffsets) {
  JackTestServer server;
  if (!server.Reason().empty()) GTEST_SKIP() << server.Reason();
  RecordingPlug plug;
  JackHost host{&plug};
  std::string error;
  ASSERT_TRUE(host.Open("host", &error)) << error;
  // jack_midiseq playing a loop of 100 periods of 256 frames, so each loop starts a
  // period: note 60 from frame 7 to 57 and note 64 from frame 100 to 150 of it.
  testsupport::ChildProcess sequencer(
      {"jack_midiseq", "sequencer", "25600", "7", "60", "50", "100", "64", "50"});
  // A client just started may not be connectable for a few cycles: retried.
  ASSERT_TRUE(eventually([] {
    return JackTestServer::runQuiet({"jack_connect", "sequencer:out", "host:midi_in"}) == 0;
  })) << "jack_midiseq could not be connected";
  ASSERT_TRUE(eventually([&] { return plug.events.load() >= 4; }, 5000ms));
  EXPECT_EQ(std::vector<int>(plug.offsets, plug.offsets + 4), (std::vector<int>{7, 57, 100, 150}));
  EXPECT_EQ(std::vector<int>(plug.notes, plug.notes + 4), (std::vector<int>{60, 60, 64, 64}));
}

}  // namespace
