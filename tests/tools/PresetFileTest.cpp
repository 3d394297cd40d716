#include "zorq-render/PresetFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "ToolsTestSupport.h"
#include "zorq-render/PluginHost.h"
#include "zorq-render/RenderError.h"

namespace {

constexpr uint32_t kFakeId = ('Z' << 24) | ('f' << 16) | ('A' << 8) | 'k';

void appendMagic(std::vector<uint8_t>& out, const char* magic) { out.insert(out.end(), magic, magic + 4); }

void appendFloat(std::vector<uint8_t>& out, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  appendBigEndian(out, bits, 4);
}

void appendName(std::vector<uint8_t>& out, const std::string& name) {
  std::vector<uint8_t> field(28, 0);
  std::memcpy(field.data(), name.data(), std::min<size_t>(name.size(), 28));
  out.insert(out.end(), field.begin(), field.end());
}

// Program header up to and including the name (56 bytes).
std::vector<uint8_t> programHeader(const char* type, uint32_t id, const std::string& name) {
  std::vector<uint8_t> out;
  appendMagic(out, "CcnK");
  appendBigEndian(out, 0, 4);
  appendMagic(out, type);
  appendBigEndian(out, 1, 4);
  appendBigEndian(out, id, 4);
  appendBigEndian(out, 1, 4);
  appendBigEndian(out, 3, 4);
  appendName(out, name);
  return out;
}

std::vector<uint8_t> parameterProgram(const std::string& name, std::vector<float> values,
                                      uint32_t id = kFakeId) {
  std::vector<uint8_t> out = programHeader("FxCk", id, name);
  for (float v : values) appendFloat(out, v);
  return out;
}

std::vector<uint8_t> chunkProgram(const std::string& name, std::vector<float> values) {
  std::vector<uint8_t> out = programHeader("FPCh", kFakeId, name);
  appendBigEndian(out, uint32_t(4 + 4 * values.size()), 4);
  appendMagic(out, "FAKE");
  for (float v : values) {  // the fake plug-in's chunk keeps native floats
    uint8_t raw[4];
    std::memcpy(raw, &v, 4);
    out.insert(out.end(), raw, raw + 4);
  }
  return out;
}

std::vector<uint8_t> bankHeader(const char* type, uint32_t programs, uint32_t current) {
  std::vector<uint8_t> out;
  appendMagic(out, "CcnK");
  appendBigEndian(out, 0, 4);
  appendMagic(out, type);
  appendBigEndian(out, 2, 4);
  appendBigEndian(out, kFakeId, 4);
  appendBigEndian(out, 1, 4);
  appendBigEndian(out, programs, 4);
  appendBigEndian(out, current, 4);
  out.resize(156, 0);
  return out;
}

}  // namespace

class PresetFileTest : public ::testing::Test {
 protected:
  PluginHost host_{ZORQ_FAKE_PLUGIN};
};

TEST_F(PresetFileTest, ParameterProgramSetsValuesAndName) {
  const auto file = parameterProgram("Bright", {0.75f, 1.0f, 0.5f});
  EXPECT_EQ(PresetFile::kindOf(file), PresetFile::Kind::kProgram);
  PresetFile::load(host_, file);
  EXPECT_FLOAT_EQ(host_.getParameter(0), 0.75f);
  EXPECT_EQ(host_.paramDisplay(1), "Mute");
  EXPECT_EQ(host_.programName(0), "Bright");
}

TEST_F(PresetFileTest, ChunkProgramGoesThroughSetChunk) {
  PresetFile::load(host_, chunkProgram("Chunky", {0.1f, 0.5f, 0.2f}));
  EXPECT_FLOAT_EQ(host_.getParameter(0), 0.1f);
  EXPECT_FLOAT_EQ(host_.getParameter(2), 0.2f);
  EXPECT_EQ(host_.programName(0), "Chunky");
}

TEST_F(PresetFileTest, ParameterBankFillsEveryProgramAndSelectsTheCurrentOne) {
  auto file = bankHeader("FxBk", 2, 1);
  const auto first = parameterProgram("One", {0.1f, 0.0f, 1.0f});
  const auto second = parameterProgram("Two", {0.2f, 0.5f, 1.0f});
  file.insert(file.end(), first.begin(), first.end());
  file.insert(file.end(), second.begin(), second.end());
  EXPECT_EQ(PresetFile::kindOf(file), PresetFile::Kind::kBank);
  PresetFile::load(host_, file);
  EXPECT_EQ(host_.dispatch(effGetProgram), 1);
  EXPECT_FLOAT_EQ(host_.getParameter(0), 0.2f);
  EXPECT_EQ(host_.programName(0), "One");
  EXPECT_EQ(host_.programName(1), "Two");
}

TEST_F(PresetFileTest, ChunkBankRoundTripsThePluginsOwnChunk) {
  host_.setParameter(0, 0.125f);
  void* data = nullptr;
  const VstIntPtr size = host_.dispatch(effGetChunk, 0, 0, &data);
  ASSERT_GT(size, 0);
  auto file = bankHeader("FBCh", 2, 0);
  appendBigEndian(file, uint32_t(size), 4);
  file.insert(file.end(), static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
  host_.setParameter(0, 0.9f);
  PresetFile::load(host_, file);
  EXPECT_FLOAT_EQ(host_.getParameter(0), 0.125f);
}

std::vector<uint8_t> truncatedChunkProgram() {
  auto file = chunkProgram("Cut", {0.1f, 0.5f, 0.2f});
  file.resize(file.size() - 3);
  return file;
}

std::vector<uint8_t> hugeChunkSize() {
  auto file = chunkProgram("Huge", {0.1f, 0.5f, 0.2f});
  file[56] = 0xFF;
  return file;
}

std::vector<uint8_t> bankWithShortProgram() {
  auto file = bankHeader("FxBk", 2, 0);
  const auto first = parameterProgram("One", {0.1f, 0.0f, 1.0f});
  file.insert(file.end(), first.begin(), first.end());
  file.insert(file.end(), first.begin(), first.begin() + 60);
  return file;
}

std::vector<uint8_t> rejectedChunk() {
  auto file = chunkProgram("Wrong", {0.1f, 0.5f, 0.2f});
  file[60] = 'X';
  return file;
}

struct DamagedPreset {
  const char* name;
  std::vector<uint8_t> bytes;
};

void PrintTo(const DamagedPreset& file, std::ostream* os) { *os << file.name; }

class PresetFileDamage : public PresetFileTest, public ::testing::WithParamInterface<DamagedPreset> {};

TEST_P(PresetFileDamage, IsRejected) {
  EXPECT_THROW(PresetFile::load(host_, GetParam().bytes), RenderError);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, PresetFileDamage,
    ::testing::Values(
        DamagedPreset{"Empty", {}}, DamagedPreset{"Short", std::vector<uint8_t>(40, 'C')},
        DamagedPreset{"OtherPlugin", parameterProgram("Other", {0.1f, 0.2f, 0.3f}, 0x41424344)},
        DamagedPreset{"FewerValuesThanCounted", parameterProgram("Short", {0.1f})},
        DamagedPreset{"UnknownType", programHeader("FxXx", kFakeId, "Kind")},
        DamagedPreset{"TruncatedChunk", truncatedChunkProgram()},
        DamagedPreset{"HugeChunkSize", hugeChunkSize()},
        DamagedPreset{"BankWithShortProgram", bankWithShortProgram()},
        DamagedPreset{"ChunkThePluginRejects", rejectedChunk()}));

TEST(PresetFile, ReadingAMissingFileFails) {
  EXPECT_THROW(PresetFile::readFile("/nonexistent/x.fxp"), RenderError);
}

// Saved through the host's chunk calls (the fake plug-in) or as parameter values (the
// Debian equaliser keeps no chunks), then loaded into a fresh instance.
TEST(PresetFile, SavedProgramsAndBanksLoadIntoAFreshInstance) {
  TempFolder temp;
  for (const char* plugin : {ZORQ_FAKE_PLUGIN, "/usr/lib/vst/3BandEQ-vst.so"}) {
    if (!std::filesystem::exists(plugin)) continue;
    for (const bool bank : {false, true}) {
      const std::string path = temp / (bank ? "saved.fxb" : "saved.fxp");
      {
        PluginHost source(plugin);
        source.setParameter(0, 0.125f);
        bank ? PresetFile::saveBank(source, path) : PresetFile::saveProgram(source, path);
      }
      PluginHost target(plugin);
      const std::vector<uint8_t> bytes = PresetFile::readFile(path);
      EXPECT_EQ(PresetFile::kindOf(bytes), bank ? PresetFile::Kind::kBank : PresetFile::Kind::kProgram);
      PresetFile::load(target, bytes);
      EXPECT_FLOAT_EQ(target.getParameter(0), 0.125f) << plugin << (bank ? " bank" : " program");
    }
  }
  EXPECT_THROW(PresetFile::saveProgram(*std::make_unique<PluginHost>(ZORQ_FAKE_PLUGIN), temp / "no/x.fxp"),
               RenderError);
}
