// The same program, input and MIDI through the built ZORQ.so (VST 2), ZORQ.clap and
// ZORQ.vst3 give the same samples: notes across block boundaries, pitch wheel and
// sustain pedal (for VST 3 through its MIDI mapping), the program as the VST 2 build's
// bank chunk loaded as each one's state.
#include <memory>

#include "Vst3Fixture.h"
#include "hosting/ClapPluginHost.h"
#include "hosting/Vst2PluginHost.h"

#ifdef ZORQ_VST3_BUNDLE
namespace {
constexpr int kBlock = 512;
constexpr int kBlocks = 24;

const std::vector<HostMidiEvent> kSequence = {
    {0, 0x90, 48, 100},    {0, 0x90, 55, 90},    {700, 0x90, 60, 110},  {1500, 0xE0, 0, 80},
    {2100, 0x80, 48, 0},   {2100, 0x90, 52, 70}, {3333, 0xB0, 64, 127}, {4000, 0x80, 55, 0},
    {5000, 0x80, 60, 0},   {6001, 0xB0, 64, 0},  {6500, 0x90, 67, 1},   {9000, 0xE0, 0, 64},
    {10000, 0x80, 52, 64}, {11000, 0x80, 67, 0},
};

std::vector<float> render(PluginHost& host, const std::vector<uint8_t>& bank) {
  EXPECT_TRUE(host.setChunk(true, bank));
  host.start(44100.0, kBlock);
  const std::vector<float> voice = noise(kBlock * kBlocks, 3),
                           carrier = noise(kBlock * kBlocks, 4, 0.3f);
  std::vector<float> left(kBlock * kBlocks), right(kBlock);
  for (int block = 0; block < kBlocks; ++block) {
    const int start = block * kBlock;
    std::vector<HostMidiEvent> events;
    for (HostMidiEvent e : kSequence)
      if (e.frame >= start && e.frame < start + kBlock)
        events.push_back({e.frame - start, e.status, e.data1, e.data2});
    host.sendEvents(events);
    float* in[4] = {
        const_cast<float*>(voice.data()) + start, const_cast<float*>(voice.data()) + start,
        const_cast<float*>(carrier.data()) + start, const_cast<float*>(carrier.data()) + start};
    float* out[2] = {left.data() + start, right.data()};
    host.process(in, out, kBlock);
  }
  return left;
}
}  // namespace

TEST(Vst3MatchesOtherFormats, SameProgramInputAndMidiGiveTheSameSamples) {
  Vst2PluginHost vst2(ZORQ_PLUGIN_PATH);
  vst2.start(44100.0, kBlock);
  const std::pair<int, float> program[] = {{0, 1.0f},  {4, 0.8f},  {5, 0.2f},  {10, 0.4f},
                                           {16, 1.0f}, {28, 0.3f}, {66, 0.7f}, {104, 0.65f}};
  for (const auto& [index, value] : program) vst2.setParameter(index, value);
  const std::vector<uint8_t> bank = vst2.chunk(true);
  ASSERT_FALSE(bank.empty());
  const std::vector<float> expected = render(vst2, bank);
  ASSERT_GT(rms(expected), 1e-3);

  ClapPluginHost clap(ZORQ_CLAP_PATH);
  EXPECT_EQ(render(clap, bank), expected) << "CLAP";
  Vst3PluginHost vst3(ZORQ_VST3_BUNDLE);
  EXPECT_EQ(render(vst3, bank), expected) << "VST 3";
}
#endif
