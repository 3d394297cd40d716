// The adapter around an instrument made in the test process, where a test reaches the
// plug-in inside: the editor's gestures and values reach the host in order, learned
// controllers and "MIDI Thru" come out of the block, a program change asks the host to
// read the values again, and neither processing nor a reset allocates.
#include <cstdio>
#include <memory>

#include "ClapFixture.h"
#include "engine/ZORQ.h"
#include "formats/clap/IPlugCLAP.h"
#include "plugin/RecordingHost.h"
#include "support/AllocationCounter.h"

namespace {
const char* const kFeatures[] = {"audio-effect", nullptr};
const clap_plugin_descriptor_t kDescriptor = {{1, 2, 10}, "test.zorq", "ZORQ", "", "",
                                              "",         "",          "1",    "", kFeatures};

// The instrument hosted by the adapter; `ini` is the user's settings file while it is made.
struct HostedZorq {
  explicit HostedZorq(const std::string& ini = "") {
    if (!ini.empty()) writeUserIni(ini);
    auto plug = std::make_unique<ZORQ>();
    if (!ini.empty()) writeUserIni("");
    plug->EnsureDefaultPreset();
    zorq = plug.get();
    host.adopt((new IPlugCLAP(std::move(plug), &kDescriptor, host.host()))->ClapPlugin());
  }
  ClapTestHost host;
  ZORQ* zorq = nullptr;
};

std::vector<ClapTestHost::OutEvent> ofType(const std::vector<ClapTestHost::OutEvent>& events,
                                           uint16_t type) {
  std::vector<ClapTestHost::OutEvent> found;
  for (const auto& e : events)
    if (e.type == type) found.push_back(e);
  return found;
}
}  // namespace

// A drag in the editor: begin, the values (the last of a run of one parameter's
// values), end, sent at the next flush that the host is asked for.
TEST(ClapAdapter, EditorGesturesReachTheHostAroundTheirValues) {
  HostedZorq hosted;
  ZORQ& zorq = *hosted.zorq;
  zorq.BeginInformHostOfParamChange(kFinalVolume);
  zorq.SetParameterFromGUI(kFinalVolume, 0.5);
  zorq.SetParameterFromGUI(kFinalVolume, 0.6);
  zorq.EndInformHostOfParamChange(kFinalVolume);
  zorq.SetParameterFromGUI(kBias, 1.0);
  EXPECT_EQ(hosted.host.flushRequests, 0);  // asked for once the editor's call is over
  hosted.host.plugin()->on_main_thread(hosted.host.plugin());
  EXPECT_EQ(hosted.host.flushRequests, 1);
  hosted.host.flush(nullptr);
  const auto& sent = hosted.host.sent;
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_EQ(sent[0].type, kClapEventParamGestureBegin);
  EXPECT_EQ(sent[1].type, kClapEventParamValue);
  EXPECT_DOUBLE_EQ(sent[1].value, 0.36);  // "Final Volume" at 0.6 on its squared scale
  EXPECT_EQ(sent[2].type, kClapEventParamGestureEnd);
  EXPECT_EQ(sent[3].param, kBias);
  EXPECT_EQ(sent[3].value, 1.0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(sent[i].param, kFinalVolume);
  hosted.host.sent.clear();
  hosted.host.flush(nullptr);
  EXPECT_TRUE(hosted.host.sent.empty());
}

// A learned controller moves its parameter inside the block: the host is told, but not
// to record it. "MIDI Thru" sends every message back out at its frame.
TEST(ClapAdapter, LearnedControllersAndMidiThruComeOutOfTheBlock) {
  HostedZorq hosted("[MIDI Global]\nMIDI Thru=true\n[MIDI Control]\nCC1=4\n");
  ASSERT_TRUE(hosted.host.activate(44100.0, 512));
  ClapEventList events;
  events.midi(10, 0x90, 60, 100);
  events.midi(100, 0xB0, 1, 127);
  hosted.host.process(512, nullptr, nullptr, &events);
  const auto midi = ofType(hosted.host.sent, kClapEventMidi);
  ASSERT_EQ(midi.size(), 2u);
  EXPECT_EQ(midi[0].time, 10u);
  EXPECT_EQ(midi[1].time, 100u);
  EXPECT_EQ(midi[1].midi[1], 1);
  const auto values = ofType(hosted.host.sent, kClapEventParamValue);
  ASSERT_EQ(values.size(), 1u);
  EXPECT_EQ(values[0].param, kFinalVolume);
  EXPECT_EQ(values[0].value, 1.0);
  EXPECT_TRUE(values[0].flags & kClapEventDontRecord);
  EXPECT_EQ(hosted.host.value(kFinalVolume), 1.0);
  uint32_t last = 0;
  for (const auto& e : hosted.host.sent) {
    EXPECT_GE(e.time, last);
    last = e.time;
  }
}

// A program change by MIDI asks for the main thread, where the host is told to read
// every value again.
TEST(ClapAdapter, ProgramChangeAsksTheHostToRescanValues) {
  HostedZorq hosted;
  ASSERT_TRUE(hosted.host.activate(44100.0, 256));
  ClapEventList events;
  events.midi(0, 0xC0, 3, 0);
  hosted.host.process(256, nullptr, nullptr, &events);
  EXPECT_EQ(hosted.zorq->GetCurrentPresetIdx(), 3);
  EXPECT_EQ(hosted.host.callbackRequests, 1);
  EXPECT_EQ(hosted.host.valueRescans, 0);
  hosted.host.plugin()->on_main_thread(hosted.host.plugin());
  EXPECT_EQ(hosted.host.valueRescans, 1);
}

// From the first block on, blocks with notes, controllers and value events, a reset
// and a flush allocate nothing.
TEST(ClapAdapter, ProcessingResetAndFlushAllocateNothing) {
  HostedZorq hosted("[MIDI Global]\nMIDI Thru=true\n[MIDI Control]\nCC1=4\n");
  const clap_plugin_t* plugin = hosted.host.plugin();
  ASSERT_TRUE(hosted.host.activate(44100.0, 1024));
  const std::vector<float> voice = noise(1024, 1);
  std::vector<float> carrier = noise(1024, 2), left(1024), right(1024);
  float* inputs[4] = {const_cast<float*>(voice.data()), const_cast<float*>(voice.data()),
                      carrier.data(), carrier.data()};
  float* outputs[2] = {left.data(), right.data()};
  clap_audio_buffer_t in[2] = {{inputs, nullptr, 2, 0, 0}, {inputs + 2, nullptr, 2, 0, 0}};
  clap_audio_buffer_t out = {outputs, nullptr, 2, 0, 0};
  ClapEventList events;
  events.midi(0, 0x90, 60, 100);
  events.note(kClapEventNoteOn, 5, 64, 0.5);
  events.param(100, kBias, 0.3);
  events.midi(200, 0xB0, 1, 90);
  events.midi(300, 0xE0, 0, 70);
  events.note(kClapEventNoteOff, 900, 64, 0.0);
  const clap_input_events_t* list = events.list();
  clap_output_events_t sink{
      nullptr, [](const clap_output_events_t*, const clap_event_header_t*) { return true; }};
  clap_process_t process{-1, 1024, nullptr, in, &out, 2, 1, list, &sink};
  const auto* params =
      static_cast<const clap_plugin_params_t*>(plugin->get_extension(plugin, kClapExtParams));
  ASSERT_EQ(plugin->process(plugin, &process),
            kClapProcessContinue);  // the first block may grow the queues

  const size_t before = allocationCount();
  for (int block = 0; block < 20; ++block)
    ASSERT_EQ(plugin->process(plugin, &process), kClapProcessContinue);
  plugin->reset(plugin);
  params->flush(plugin, list, &sink);
  ASSERT_EQ(plugin->process(plugin, &process), kClapProcessContinue);
  EXPECT_EQ(allocationCount(), before);
}
