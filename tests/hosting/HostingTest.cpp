// The hosting library: program and bank files; --set values found through the displays
// the plug-ins show; and each format's host refusing what is no plug-in of its format,
// naming the file.
#include <gtest/gtest.h>

#include <functional>

#include "support/LoadablePlugin.h"
#include "support/TempFolder.h"
#include "framework/FxFormat.h"
#include "hosting/ClapPluginHost.h"
#include "hosting/HostError.h"
#include "hosting/Lv2PluginHost.h"
#include "hosting/ParameterSetter.h"
#include "hosting/PresetFile.h"
#include "hosting/Vst2PluginHost.h"

namespace {

constexpr int kGain = 0, kMode = 1, kLevel = 2;  // the fake plug-in's parameters
const fx::Identity kFake{fx::fourCharCode('Z', 'f', 'A', 'k'), 1};

std::vector<uint8_t> bytesOf(const ByteChunk& chunk) {
  return {chunk.GetBytes(), chunk.GetBytes() + chunk.Size()};
}

std::vector<uint8_t> parameterProgram(const char* name, std::vector<float> values,
                                      const fx::Identity& id = kFake) {
  ByteChunk file;
  fx::putProgramParamForm(&file, id, name, values.data(), int(values.size()));
  return bytesOf(file);
}

// The fake plug-in's chunk: "FAKE" then native floats.
std::vector<uint8_t> chunkProgram(const char* name, std::vector<float> values) {
  ByteChunk state;
  state.PutBytes("FAKE", 4);
  state.PutBytes(values.data(), int(4 * values.size()));
  return bytesOf(fx::programFileChunkForm(kFake, 3, name, state));
}

std::vector<uint8_t> parameterBank(int current,
                                   std::initializer_list<std::vector<uint8_t>> programs) {
  ByteChunk header;
  fx::putBankHeader(&header, 0, fx::kBankParamsType, kFake, int(programs.size()), current);
  std::vector<uint8_t> file = bytesOf(header);
  for (const auto& program : programs) file.insert(file.end(), program.begin(), program.end());
  return file;
}

template <typename Edit>
std::vector<uint8_t> edited(std::vector<uint8_t> file, Edit edit) {
  edit(file);
  return file;
}

}  // namespace

class PresetFileTest : public ::testing::Test {
 protected:
  Vst2PluginHost host_{ZORQ_FAKE_PLUGIN};
};

TEST_F(PresetFileTest, ProgramsAndBanksSetValuesAndNamesByParametersOrChunk) {
  const auto file = parameterProgram("Bright", {0.75f, 1.0f, 0.5f});
  EXPECT_EQ(PresetFile::kindOf(file), PresetFile::Kind::kProgram);
  PresetFile::load(host_, file);
  EXPECT_FLOAT_EQ(host_.getParameter(0), 0.75f);
  EXPECT_EQ(host_.paramDisplay(1), "Mute");
  EXPECT_EQ(host_.programName(0), "Bright");
  PresetFile::load(host_, chunkProgram("Chunky", {0.1f, 0.5f, 0.2f}));
  EXPECT_FLOAT_EQ(host_.getParameter(2), 0.2f);
  EXPECT_EQ(host_.programName(0), "Chunky");

  // A bank fills every program.
  const auto bank = parameterBank(1, {parameterProgram("One", {0.1f, 0.0f, 1.0f}),
                                      parameterProgram("Two", {0.2f, 0.5f, 1.0f})});
  EXPECT_EQ(PresetFile::kindOf(bank), PresetFile::Kind::kBank);
  PresetFile::load(host_, bank);
  EXPECT_EQ(host_.dispatch(effGetProgram), 1);
  EXPECT_FLOAT_EQ(host_.getParameter(0), 0.2f);
  EXPECT_EQ(host_.programName(0), "One");
  EXPECT_EQ(host_.programName(1), "Two");
}

// Each must fail with HostError, never crash or read past the data.
TEST_F(PresetFileTest, DamagedFilesAreRejected) {
  const auto chunk = chunkProgram("Cut", {0.1f, 0.5f, 0.2f});
  const auto one = parameterProgram("One", {0.1f, 0.0f, 1.0f});
  const std::pair<const char*, std::vector<uint8_t>> files[] = {
      {"Short", std::vector<uint8_t>(40, 'C')},
      {"OtherPlugin", parameterProgram("Other", {0.1f, 0.2f, 0.3f}, {0x41424344, 1})},
      {"FewerValuesThanCounted", edited(one, [](auto& f) { f.resize(60); })},
      {"UnknownType", edited(one, [](auto& f) { f[11] = 'x'; })},
      {"TruncatedChunk", edited(chunk, [](auto& f) { f.resize(f.size() - 3); })},
      {"HugeChunkSize", edited(chunk, [](auto& f) { f[56] = 0xFF; })},
      {"BankWithShortProgram", parameterBank(0, {one, {one.begin(), one.begin() + 60}})},
      {"ChunkThePluginRejects", edited(chunk, [](auto& f) { f[60] = 'X'; })}};
  for (const auto& [name, bytes] : files)
    EXPECT_THROW(PresetFile::load(host_, bytes), HostError) << name;
  // So are missing files and folders.
  TempFolder temp;
  EXPECT_THROW(PresetFile::readFile("/nonexistent/x.fxp"), HostError);
  EXPECT_THROW(PresetFile::saveProgram(host_, temp / "no/x.fxp"), HostError);
}

// Saved through the host's chunk calls (the fake plug-in: its own bank chunk round trips)
// or as parameter values (the Debian equaliser keeps no chunks), then loaded into a fresh
// instance.
class PresetFileOf : public ::testing::TestWithParam<const char*> {};

TEST_P(PresetFileOf, SavedProgramsAndBanksLoadIntoAFreshInstance) {
  const char* plugin = GetParam();
  if (!loadablePlugin(plugin))
    GTEST_SKIP() << plugin << " cannot be loaded here (dpf-plugins-vst for this pointer size)";
  TempFolder temp;
  for (const bool bank : {false, true}) {
    const std::string path = temp / (bank ? "saved.fxb" : "saved.fxp");
    {
      Vst2PluginHost source(plugin);
      source.setParameter(0, 0.125f);
      bank ? PresetFile::saveBank(source, path) : PresetFile::saveProgram(source, path);
    }
    Vst2PluginHost target(plugin);
    const std::vector<uint8_t> bytes = PresetFile::readFile(path);
    EXPECT_EQ(PresetFile::kindOf(bytes),
              bank ? PresetFile::Kind::kBank : PresetFile::Kind::kProgram);
    PresetFile::load(target, bytes);
    EXPECT_FLOAT_EQ(target.getParameter(0), 0.125f) << (bank ? "bank" : "program");
  }
}

INSTANTIATE_TEST_SUITE_P(Plugins, PresetFileOf,
                         ::testing::Values(ZORQ_FAKE_PLUGIN, "/usr/lib/vst/3BandEQ-vst.so"),
                         [](const auto& paramInfo) {
                           return std::string(paramInfo.index == 0 ? "KeepsChunks" : "KeepsValues");
                         });

TEST(OpenPluginHost, EachFormatRefusesWhatIsNoPlugInOfIt) {
  const std::pair<std::function<void(const std::string&)>, std::string> refused[] = {
      {[](const std::string& path) { ClapPluginHost host(path); }, "/nonexistent/x.clap"},
      {[](const std::string& path) { ClapPluginHost host(path); }, ZORQ_PLUGIN},
      {[](const std::string& path) { Vst2PluginHost host(path); }, "/nonexistent/x.so"},
      {[](const std::string& path) { Vst2PluginHost host(path); }, ZORQ_FAKE_PLUGIN_REFUSES}};
  for (const auto& [open, path] : refused) {
    try {
      open(path);
      ADD_FAILURE() << "loaded " << path;
    } catch (const HostError& e) {
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
    }
  }
  EXPECT_FALSE(Lv2Bundle::isBundle(ZORQ_PLUGIN));
  EXPECT_THROW(Lv2PluginHost(std::string(ZORQ_SOURCE_DIR) + "/demo"), HostError);
}

// One --set value on one plug-in: the display it must reach, or a part of the error (and
// the value unchanged).
TEST(ParameterSetter, DisplaySearchFindsTheValueShownOrNamesTheRange) {
  struct Case {
    const char *plugin, *parameter, *value;
    const char* display;  // nullptr: refused
    const char* errorPart;
  };
  for (const Case& c :
       {Case{ZORQ_PLUGIN, "Final Volume", "-6 dB", "-6.0", ""},
        Case{ZORQ_PLUGIN, "Final Volume", "-oo", "-oo", ""},
        Case{ZORQ_PLUGIN, "Vocoder Mode", "ve-10 full bands", "VE-10 Full Bands", ""},
        Case{ZORQ_PLUGIN, "Analysis Freq 20", "15000", "15000", ""},  // a steep end of the range
        Case{ZORQ_PLUGIN, "Final Volume", "6 dB", nullptr, "range: -oo .. 0.0"},
        Case{ZORQ_PLUGIN, "In Balance", "0.2", nullptr, "KBD .. Noise"},     // a ratio needs text
        Case{ZORQ_PLUGIN, "Vibrato Depth", "10 dB", nullptr, "0% .. 100%"},  // wrong unit
        Case{ZORQ_FAKE_PLUGIN, "Gain", "1.5", "1.50", ""},
        Case{ZORQ_FAKE_PLUGIN, "Gain", "2.004", "2.00", ""},  // within the last digit of the end
        Case{ZORQ_FAKE_PLUGIN, "Gain", "loud", nullptr, "range"},
        Case{ZORQ_FAKE_PLUGIN_BLANK, "Gain", "1", nullptr, "shows no values"}}) {
    Vst2PluginHost host(c.plugin);
    ParameterSetter setter(host);
    const int index = setter.findParameter(c.parameter);
    const float before = host.getParameter(index);
    try {
      setter.setFromText(index, c.value);
      EXPECT_EQ(host.paramDisplay(index), c.display ? c.display : "(refused)")
          << c.parameter << " = " << c.value;
    } catch (const UsageError& e) {
      EXPECT_FALSE(c.display) << e.what();
      EXPECT_NE(std::string(e.what()).find(c.errorPart), std::string::npos) << e.what();
      EXPECT_EQ(host.getParameter(index), before) << c.parameter << " = " << c.value;
    }
  }
}

// A plug-in that reads texts decides what one means (not the middle of the values that
// show it); for one that reads none, a text lands in the middle of its values. Normalised
// values are set as given.
TEST(ParameterSetter, ThePlugInsOwnReadingDecidesElseTheMiddleOfTheText) {
  Vst2PluginHost host(ZORQ_FAKE_PLUGIN);
  ParameterSetter setter(host);
  setter.setFromText(kMode, "Invert");
  EXPECT_NEAR(host.getParameter(kMode), 0.5f, 1e-3f);
  setter.setFromText(kLevel, "-6.04");
  EXPECT_FLOAT_EQ(host.getParameter(kLevel), float((60.0 - 6.04) / 60.0));
  Vst2PluginHost blank(ZORQ_FAKE_PLUGIN_BLANK);
  ParameterSetter(blank).setFromText(kLevel, "-6");
  EXPECT_FLOAT_EQ(blank.getParameter(kLevel), 0.9f);
  // Normalised values are checked and set as given.
  setter.setNormalised(kGain, "0.25");
  EXPECT_FLOAT_EQ(host.getParameter(kGain), 0.25f);
  EXPECT_THROW(setter.setNormalised(kGain, "1.5"), UsageError);
}
