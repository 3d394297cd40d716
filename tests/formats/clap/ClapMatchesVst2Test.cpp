// The same program, input and MIDI through the built ZORQ.so (VST 2) and ZORQ.clap give
// the same samples when the events fall on the same frames. The program reaches the
// CLAP instance as the VST 2 build's bank chunk, loaded as its state.
#include <array>

#include "ClapFixture.h"
#include "plugin/RecordingHost.h"

namespace {
constexpr int kBlock = 512;
constexpr int kBlocks = 24;

// Notes struck and released across block boundaries, pitch wheel, sustain pedal: frame,
// status, data 1, data 2.
const std::vector<std::array<int, 4>> kSequence = {
    {0, 0x90, 48, 100},    {0, 0x90, 55, 90},    {700, 0x90, 60, 110},  {1500, 0xE0, 0, 80},
    {2100, 0x80, 48, 0},   {2100, 0x90, 52, 70}, {3333, 0xB0, 64, 127}, {4000, 0x80, 55, 0},
    {5000, 0x80, 60, 0},   {6001, 0xB0, 64, 0},  {6500, 0x90, 67, 1},   {9000, 0xE0, 0, 64},
    {10000, 0x80, 52, 64}, {11000, 0x80, 67, 0},
};

// Notes as CLAP note events (velocity / 127) or as MIDI; the rest as MIDI.
std::vector<float> renderClap(ClapTestHost& host, const std::vector<float>& voice,
                              const std::vector<float>& carrier, bool clapNotes) {
  for (int block = 0; block < kBlocks; ++block) {
    const int start = block * kBlock;
    ClapEventList events;
    for (const auto& [frame, status, data1, data2] : kSequence) {
      if (frame < start || frame >= start + kBlock) continue;
      const uint32_t time = static_cast<uint32_t>(frame - start);
      const int kind = status & 0xF0;
      if (clapNotes && (kind == 0x90 || kind == 0x80))
        events.note(kind == 0x90 ? kClapEventNoteOn : kClapEventNoteOff, time, data1,
                    data2 / 127.0);
      else
        events.midi(time, uint8_t(status), uint8_t(data1), uint8_t(data2));
    }
    host.process(kBlock, voice.data() + start, carrier.data() + start, &events);
  }
  return host.left;
}
}  // namespace

TEST(ClapMatchesVst2, SameProgramInputAndMidiGiveTheSameSamples) {
  RecordingHost vst;
  ASSERT_NE(vst.effect, nullptr);
  vst.start(44100.0f, kBlock);
  const std::pair<int, float> program[] = {{0, 1.0f},  {4, 0.8f},  {5, 0.2f},  {10, 0.4f},
                                           {16, 1.0f}, {28, 0.3f}, {66, 0.7f}, {104, 0.65f}};
  for (const auto& [index, value] : program) vst.setParameter(index, value);
  const std::vector<char> chunk = vst.chunk(true);
  ASSERT_FALSE(chunk.empty());
  const std::vector<float> voice = noise(kBlock * kBlocks, 3),
                           carrier = noise(kBlock * kBlocks, 4, 0.3f);
  const std::vector<float> expected =
      vst.render(voice, carrier, kBlock * kBlocks, kBlock, kSequence)[0];
  ASSERT_GT(rms(expected), 1e-3);

  for (bool clapNotes : {false, true}) {
    LoadedClap clap;
    ASSERT_TRUE(clap.created);
    ASSERT_TRUE(clap.host.loadState(std::vector<uint8_t>(chunk.begin(), chunk.end())));
    ASSERT_TRUE(clap.host.activate(44100.0, kBlock));
    EXPECT_EQ(renderClap(clap.host, voice, carrier, clapNotes), expected)
        << (clapNotes ? "CLAP notes" : "MIDI");
  }
}
