// What every plug-in format must do alike, checked once per format through the hosting
// library and the built plug-in files: the same samples for the same input, program and
// MIDI; random block sizes give the samples of one size; a damaged state is refused and
// changes nothing; processing allocates nothing; a side chain left unconnected is
// silence; MIDI Thru, a learned controller and a program change reach the host; a value
// sent inside a block acts at its tick; a stepped value that arrives between steps and a
// typed text give the value the core decides; each reports the project's version. A
// format is one row of kFormats (VST 3 in the builds that make its bundle).
#include <gtest/gtest.h>
#include <lv2/core/lv2.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "dsp/ParamIndex.h"
#include "engine/ZORQ.h"
#include "framework/ByteChunk.h"
#include "framework/ParamText.h"
#include "hosting/ClapPluginHost.h"
#include "hosting/Lv2PluginHost.h"
#include "hosting/Vst2PluginHost.h"
#include "hosting/Vst3PluginHost.h"
#include "shell/ZorqVersion.h"
#include "support/HostRecorder.h"
#include "support/HostRender.h"
#include "support/TestBank.h"
#include "support/TestSignals.h"
#include "support/UserIni.h"

namespace {

constexpr double kRate = 44100.0;

// The instrument in this process: what the core decides, and states read back.
ZORQ& core() {
  static ZORQ zorq;
  return zorq;
}

struct Format {
  const char* name;
  std::function<std::unique_ptr<PluginHost>(const HostSetup&)> open;
  // A plain value handed over as the format carries one (between steps too), for the
  // next block at `frame` where the format carries that.
  std::function<void(PluginHost&, int index, double plain, int frame)> sendPlain;
  bool learnedValuesRecorded;                 // false: the plug-in asks the host not to record them
  const char* noUnconnectedInput = nullptr;   // why, when the format has none
  const char* noLearnedController = nullptr;  // why, when the host cannot hear of one
  const char* noMidiOut = nullptr;            // why, when the format has no MIDI output
  const char* noRescan = nullptr;             // why, when the host is not told to read values again
  const char* noValueInsideABlock = nullptr;  // why, when values come between blocks only
  friend void PrintTo(const Format& format, std::ostream* out) { *out << format.name; }
};

std::unique_ptr<PluginHost> openClap(const HostSetup& setup, ClapPluginHost::NoteDialect dialect) {
  auto host = std::make_unique<ClapPluginHost>(ZORQ_CLAP_PATH, setup);
  host->setNoteDialect(dialect);
  return host;
}

void sendClapValue(PluginHost& host, int index, double plain, int frame) {
  static_cast<ClapPluginHost&>(host).events().param(uint32_t(frame), clap_id(index), plain);
}

const std::shared_ptr<Lv2Bundle>& lv2Bundle() {
  static const auto bundle = std::make_shared<Lv2Bundle>(ZORQ_LV2_BUNDLE);
  return bundle;
}

const Format kFormats[] = {
    {"Vst2",
     [](const HostSetup& setup) {
       return std::make_unique<Vst2PluginHost>(ZORQ_PLUGIN_PATH, setup);
     },
     [](PluginHost& host, int index, double plain, int) {
       host.setParameter(index, float(core().GetParam(index)->GetNormalized(plain)));
     },
     true, "VST 2 has no unconnected input: hosts hand silence", nullptr, nullptr, nullptr,
     "VST 2 hands values over between blocks"},
    {"ClapMidi",
     [](const HostSetup& setup) { return openClap(setup, ClapPluginHost::NoteDialect::kMidi); },
     sendClapValue, false},
    {"ClapNotes",
     [](const HostSetup& setup) {
       return openClap(setup, ClapPluginHost::NoteDialect::kClapNotes);
     },
     sendClapValue, false},
    {"Lv2",
     [](const HostSetup& setup) { return std::make_unique<Lv2PluginHost>(lv2Bundle(), setup); },
     [](PluginHost& host, int index, double plain, int) {
       static_cast<Lv2PluginHost&>(host).setValue(index, float(plain));
     },
     false, nullptr,
     "an LV2 plug-in cannot move the host's ports: its editor tells the host "
     "(Lv2Editor.MidiLearnWorksAcrossEditorAndPlugin)",
     nullptr, "its editor writes the values that changed (Lv2Editor)",
     "LV2 control ports hold one value a block"},
#ifdef ZORQ_VST3_BUNDLE
    {"Vst3",
     [](const HostSetup& setup) {
       return std::make_unique<Vst3PluginHost>(ZORQ_VST3_BUNDLE, setup);
     },
     [](PluginHost& host, int index, double plain, int frame) {
       auto& vst3 = static_cast<Vst3PluginHost&>(host);
       vst3.changes().add(vst3.paramId(index), frame, core().GetParam(index)->GetNormalized(plain));
     },
     false, nullptr, nullptr, "the VST 3 build has no event output bus"},
#endif
};

// What the side-chain input carries.
enum class Carrier { kSignal, kSilence, kUnconnected };

// `frames` frames in blocks of the sizes given (cycled), MIDI at absolute frames, the
// voice on the main input. Left, then right.
std::vector<float> render(PluginHost& host, int frames, const std::vector<int>& blocks,
                          const std::vector<HostMidiEvent>& midi,
                          Carrier carrier = Carrier::kSignal) {
  static const std::vector<float> voice = noise(40000, 3, 0.5f), signal = noise(40000, 4, 0.3f),
                                  silence(40000);
  const float* ext = carrier == Carrier::kUnconnected ? nullptr
                     : carrier == Carrier::kSignal    ? signal.data()
                                                      : silence.data();
  auto out = renderBlocks(host, {voice.data(), voice.data(), ext, ext}, frames, blocks, midi);
  out[0].insert(out[0].end(), out[1].begin(), out[1].end());
  return out[0];
}

// Notes struck and released across block boundaries, pitch wheel, sustain pedal and a
// program change.
const std::vector<HostMidiEvent> kSequence = {
    {0, 0x90, 48, 100},  {0, 0x90, 55, 90},     {700, 0x90, 60, 110},  {1500, 0xE0, 0, 80},
    {2100, 0x80, 48, 0}, {2100, 0x90, 52, 70},  {3333, 0xB0, 64, 127}, {4000, 0x80, 55, 0},
    {5000, 0x80, 60, 0}, {6001, 0xB0, 64, 0},   {6500, 0x90, 67, 1},   {7000, 0xC0, 1, 0},
    {9000, 0xE0, 0, 64}, {10000, 0x80, 52, 64}, {11000, 0x80, 67, 0},
};
const std::vector<HostMidiEvent> kChord = {
    {0, 0x90, 48, 100}, {0, 0x90, 55, 100}, {0, 0x90, 60, 100}, {0, 0x90, 64, 100}};

class FormatParity : public ::testing::TestWithParam<Format> {
 protected:
  std::unique_ptr<PluginHost> open(const HostSetup& setup = {}) {
    std::unique_ptr<PluginHost> host = GetParam().open(setup);
    host->start(kRate, 4096);
    return host;
  }
  // An instance made while the user's INI holds `ini`, telling `recorder` what it reports.
  std::unique_ptr<PluginHost> openRecorded(const std::string& ini = "") {
    writeUserIni(ini);
    std::unique_ptr<PluginHost> host = open({"Test Host", "Test Host Maker", 10203, &recorder});
    writeUserIni("");
    return host;
  }
  std::unique_ptr<PluginHost> openWithProgram() {
    std::unique_ptr<PluginHost> host = open();
    EXPECT_TRUE(host->setChunk(true, testBank()));
    return host;
  }
  // The value parameter `index` holds in the plug-in's state, once a block has passed.
  double held(PluginHost& host, int index) {
    render(host, 64, {64}, {});
    const std::vector<uint8_t> bank = host.chunk(true);
    ByteChunk chunk;
    chunk.PutBytes(bank.data(), int(bank.size()));
    ZORQ zorq;
    EXPECT_GT(zorq.unserializeBankChunk(&chunk), 0);
    return zorq.GetParam(index)->Value();
  }

  HostRecorder recorder;  // outlives the instances of the test
};

TEST_P(FormatParity, SameProgramInputAndMidiGiveTheSameSamples) {
  static const std::vector<float> expected = [] {
    Vst2PluginHost vst(ZORQ_PLUGIN_PATH);
    vst.start(kRate, 512);
    vst.setChunk(true, testBank());
    return render(vst, 12288, {512}, kSequence);
  }();
  ASSERT_GT(rms(expected), 1e-3);
  EXPECT_EQ(render(*openWithProgram(), 12288, {512}, kSequence), expected);
}

TEST_P(FormatParity, RandomBlockSizesGiveTheSamplesOfOneBlockSize) {
  std::mt19937 generator(24);
  std::vector<int> sizes;
  for (int i = 0; i < 64; ++i)
    sizes.push_back(std::uniform_int_distribution<int>(1, 4096)(generator));
  const std::vector<float> steady = render(*openWithProgram(), 30000, {4096}, kChord);
  EXPECT_GT(rms(steady), 1e-3);
  EXPECT_EQ(render(*openWithProgram(), 30000, sizes, kChord), steady);
}

// The lowest and highest rates hosts and validators use, with blocks from one frame to
// 16384: every sample finite and none subnormal, and sound where the bands fit.
TEST_P(FormatParity, EveryRateAndBlockSizeGivesCleanOutput) {
  for (const double rate : {1000.0, 44100.0, 768000.0})
    for (const int block : {1, 17, 512, 16384}) {
      SCOPED_TRACE(::testing::Message() << rate << " Hz, blocks of " << block);
      std::unique_ptr<PluginHost> host = GetParam().open({});
      host->start(rate, block);
      const std::vector<float> out =
          render(*host, std::max(block, int(rate / 20)), {block}, kChord);
      EXPECT_TRUE(cleanSignal(out));
      if (rate >= 22050.0) {
        EXPECT_GT(rms(out), 1e-4);
      }
    }
}

TEST_P(FormatParity, DamagedStateIsRefusedAndChangesNothing) {
  std::unique_ptr<PluginHost> host = openWithProgram();
  host->setParameter(kFinalVolume, 0.61f);
  render(*host, 64, {64}, {});
  const std::vector<uint8_t> before = host->chunk(true);
  ASSERT_GT(before.size(), 1000u);
  std::vector<uint8_t> random(5000);
  std::mt19937 generator(11);
  for (uint8_t& byte : random) byte = uint8_t(generator());
  std::vector<uint8_t> marked = random;  // the bank's version marker, then noise
  std::copy(before.begin(), before.begin() + 8, marked.begin());
  const std::vector<std::vector<uint8_t>> damaged = {
      {},
      random,
      marked,
      {before.begin(), before.begin() + long(before.size() / 2)},
      {before.begin(), before.end() - 9}};
  for (const std::vector<uint8_t>& bytes : damaged) {
    EXPECT_FALSE(host->setChunk(true, bytes)) << bytes.size() << " bytes";
    EXPECT_EQ(host->chunk(true), before) << bytes.size() << " bytes";
  }
}

// Notes, a learned controller, pitch wheel, pedal and a program change in every block,
// with MIDI Thru on: from the third block on, the plug-in allocates nothing.
TEST_P(FormatParity, ProcessingAllocatesNothing) {
  std::unique_ptr<PluginHost> host =
      openRecorded("[MIDI Global]\nMIDI Thru=true\n[MIDI Control]\nCC1=4\n");
  static const std::vector<float> in(22 * 512, 0.1f);
  std::vector<HostMidiEvent> events;
  for (int block = 0; block < 22; ++block)
    for (const HostMidiEvent& e : {HostMidiEvent{0, 0x90, 60, 100},
                                   {100, 0xB0, 1, 90},
                                   {200, 0xE0, 0, 70},
                                   {300, 0xB0, 64, 127},
                                   {400, 0xC0, 3, 0},
                                   {500, 0x80, 60, 0}})
      events.push_back({block * 512 + e.frame, e.status, e.data1, e.data2});
  size_t allocations = 0;
  renderBlocks(*host, {in.data(), in.data(), in.data(), in.data()}, 2 * 512, {512}, events);
  events.erase(events.begin(), events.begin() + 12);
  for (HostMidiEvent& e : events) e.frame -= 2 * 512;
  renderBlocks(*host, {in.data(), in.data(), in.data(), in.data()}, 20 * 512, {512}, events,
               &allocations);
  EXPECT_EQ(allocations, 0u);
}

TEST_P(FormatParity, UnconnectedSideChainIsSilence) {
  if (GetParam().noUnconnectedInput) GTEST_SKIP() << GetParam().noUnconnectedInput;
  const std::vector<float> silent =
      render(*openWithProgram(), 20000, {512}, kChord, Carrier::kSilence);
  EXPECT_GT(rms(silent), 1e-4);
  EXPECT_EQ(render(*openWithProgram(), 20000, {512}, kChord, Carrier::kUnconnected), silent);
}

// Every message of a list longer than the two slots VST 2 declares comes back out at its
// frame.
TEST_P(FormatParity, MidiThruSendsEveryMessageBack) {
  if (GetParam().noMidiOut) GTEST_SKIP() << GetParam().noMidiOut;
  std::unique_ptr<PluginHost> host = openRecorded("[MIDI Global]\nMIDI Thru=true\n");
  std::vector<HostMidiEvent> sent;
  for (int i = 0; i < 4; ++i) sent.push_back({i * 10, 0x90, uint8_t(60 + i), 100});
  sent.push_back({50, 0xB0, 7, 127});
  render(*host, 512, {512}, sent);
  std::vector<HostRecorder::Midi> expected;
  for (const HostMidiEvent& e : sent) expected.emplace_back(e.frame, e.status, e.data1, e.data2);
  std::lock_guard<std::mutex> lock(recorder.mutex);
  EXPECT_EQ(recorder.midi, expected);
}

// A controller learned for "Final Volume" moves it inside the block, and the host hears
// of the new value.
TEST_P(FormatParity, LearnedControllerReachesTheHost) {
  if (GetParam().noLearnedController) GTEST_SKIP() << GetParam().noLearnedController;
  std::unique_ptr<PluginHost> host = openRecorded("[MIDI Control]\nCC7=4\n");
  render(*host, 512, {512}, {{100, 0xB0, 7, 127}});
  // Read before the recorder's lock: the audio path takes the plug-in's lock, then it.
  const float volume = host->getParameter(kFinalVolume);
  std::lock_guard<std::mutex> lock(recorder.mutex);
  ASSERT_EQ(recorder.changes.size(), 1u);
  EXPECT_EQ(recorder.changes[0].index, kFinalVolume);
  EXPECT_EQ(recorder.changes[0].value, volume);
  EXPECT_EQ(recorder.changes[0].recordable, GetParam().learnedValuesRecorded);
}

// A program change by MIDI makes the host read every value again, once, after the block.
TEST_P(FormatParity, ProgramChangeMakesTheHostReadTheValuesAgain) {
  if (GetParam().noRescan) GTEST_SKIP() << GetParam().noRescan;
  std::unique_ptr<PluginHost> host = openRecorded();
  render(*host, 1024, {512}, {{100, 0xC0, 3, 0}});
  std::lock_guard<std::mutex> lock(recorder.mutex);
  EXPECT_EQ(recorder.rescans, 1);
}

// Typed texts reach the value the core reads from them; a text that names no value is
// refused and changes nothing.
TEST_P(FormatParity, TypedTextsGiveTheCoresValue) {
  const std::pair<int, const char*> typed[] = {{kFinalVolume, "-6 dB"},
                                               {kFinalVolume, "-6.0"},
                                               {kVocoderMode, "VE-10 Full Bands"},
                                               {kVocoderMode, "0.6"},
                                               {kAnalysisFreq1 + 4, "1234 Hz"}};
  for (const auto& [index, text] : typed) {
    std::unique_ptr<PluginHost> host = open();
    double expected = 0.0;
    ASSERT_TRUE(paramtext::toValue(*core().GetParam(index), text, &expected)) << text;
    EXPECT_TRUE(host->setParameterFromText(index, text)) << text;
    EXPECT_EQ(held(*host, index), expected) << text;
  }
  std::unique_ptr<PluginHost> host = open();
  const double before = held(*host, kFinalVolume);
  for (const char* text : {"loud", "", "+12 dB"})
    EXPECT_FALSE(host->setParameterFromText(kFinalVolume, text)) << text;
  EXPECT_EQ(held(*host, kFinalVolume), before);
}

// A value sent inside a block acts from the control tick its offset falls in (the tick
// rule is the engine's): the samples of blocks split at that tick, not those of the value
// sent at the block's start.
TEST_P(FormatParity, AValueInsideABlockActsAtTheTickOfItsOffset) {
  if (GetParam().noValueInsideABlock) GTEST_SKIP() << GetParam().noValueInsideABlock;
  static const std::vector<float> voice = noise(2048, 5);
  // "Vocoder Mode" to Standard at frame `at` of the block that starts at `split`.
  auto play = [&](int split, int at) {
    std::unique_ptr<PluginHost> host = openWithProgram();
    const float* in = voice.data();
    std::vector<float> left = renderBlocks(*host, {in, in, in, in}, split, {split}, kChord)[0];
    GetParam().sendPlain(*host, kVocoderMode, 0.0, at);
    in += split;
    const std::vector<float> rest = renderBlocks(*host, {in, in, in, in}, 2048 - split, {4096})[0];
    left.insert(left.end(), rest.begin(), rest.end());
    return left;
  };
  // 100 + 230: the tick at frame 308 (44 frames a tick at 44.1 kHz), 208 into the block.
  EXPECT_EQ(play(100, 230), play(308, 0));
  EXPECT_NE(play(100, 230), play(100, 0));
}

// A value between the steps of a stepped parameter lands on the step the core rounds it to.
TEST_P(FormatParity, SteppedValuesBetweenStepsGiveTheCoresStep) {
  const std::pair<int, double> plain[] = {{kVocoderMode, 0.7}, {kEnsemble, 0.4}, {kOctaveUp, 0.8}};
  for (const auto& [index, value] : plain) {
    std::unique_ptr<PluginHost> host = open();
    IParam param = *core().GetParam(index);
    param.SetNormalized(param.GetNormalized(value));
    GetParam().sendPlain(*host, index, value, 0);
    EXPECT_EQ(held(*host, index), param.Value()) << core().GetParam(index)->GetNameForHost();
  }
}

// The project's one version as each format reports it: VST 2's number and CLAP's
// descriptor text as the hosts read them; LV2 has only a minor (even for releases) and
// a micro version, in the bundle's description.
TEST_P(FormatParity, ReportsTheProjectVersion) {
  std::unique_ptr<PluginHost> host = open();
  if (dynamic_cast<Lv2PluginHost*>(host.get())) {
    LilvWorld* world = lv2Bundle()->world();
    const auto number = [&](const char* property) {
      LilvNode* predicate = lilv_new_uri(world, property);
      LilvNode* value =
          lilv_world_get(world, lilv_plugin_get_uri(lv2Bundle()->plugin()), predicate, nullptr);
      const int result = value ? lilv_node_as_int(value) : -1;
      lilv_node_free(value);
      lilv_node_free(predicate);
      return result;
    };
    EXPECT_EQ(number(LV2_CORE__minorVersion), 2 * ZorqVersion::kMinor);
    EXPECT_EQ(number(LV2_CORE__microVersion), ZorqVersion::kPatch);
  } else {
    EXPECT_EQ(host->version(),
              ZorqVersion::kMajor * 10000 + ZorqVersion::kMinor * 100 + ZorqVersion::kPatch);
  }
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, FormatParity, ::testing::ValuesIn(kFormats),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

}  // namespace
