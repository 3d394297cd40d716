// Program and bank files through the hosting library; and each format's host refusing
// what is no plug-in of its format, naming the file.
#include "hosting/PresetFile.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/LoadablePlugin.h"
#include "support/TempFolder.h"
#include "framework/FxFormat.h"
#include "hosting/ClapPluginHost.h"
#include "hosting/HostError.h"
#include "hosting/Lv2PluginHost.h"
#include "hosting/Vst2PluginHost.h"

namespace {

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
