#include "framework/IPlugBase.h"

#include "framework/FileBytes.h"
#include "support/TempFolder.h"
#include "framework/TestPlug.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

const std::vector<double> kValues{0.25, 7.0, 1.0, 1000.0};
const std::vector<double> kOther{-0.5, 2.0, 0.0, 50.0};
const fx::Identity kTestId{TestPlug::kUniqueId, 10203};

ByteChunk readBytes(const std::string& path) {
  ByteChunk bytes;
  EXPECT_TRUE(readWholeFile(path, &bytes));
  return bytes;
}

void writeBytes(const std::string& path, const ByteChunk& bytes) {
  ASSERT_TRUE(writeFileAtomically(path, bytes));
}

// Normalised floats for kValues: gain 0.25 on -1..1, 7 on 0..10, on, and 1000 Hz on
// 20..20000 with shape 2 (sqrt of the linear position).
std::vector<float> normalisedValues() {
  return {0.625f, 0.7f, 1.0f, static_cast<float>(std::sqrt(980.0 / 19980.0))};
}

}  // namespace

class ProgramFiles : public ::testing::Test {
protected:
  std::string path(const char* name) const { return folder_.path() + "/" + name; }
  TempFolder folder_;
};

const char kLongestName[] = "abcdefghijklmnopqrstuvwxyz01";  // 28 characters, the most a file holds

struct Transfer {
  const char* name;
  bool bank;
  bool (*move)(TestPlug& from, TestPlug& to, const std::string& path);
};

class ChunkRoundTrip : public ::testing::TestWithParam<Transfer> {};

// Files carry the program and bank chunks: the values exactly and the preset names.
TEST_P(ChunkRoundTrip, RestoresValuesAndNames) {
  TempFolder folder;
  TestPlug source;
  source.fillPresets(1, kValues);
  source.ModifyCurrentPreset(kLongestName);
  TestPlug target;
  target.EnsureDefaultPreset();
  ASSERT_TRUE(GetParam().move(source, target, folder / "state"));
  if (!GetParam().bank) {
    EXPECT_EQ(target.values(), kValues);
    EXPECT_STREQ(target.GetPresetName(0), kLongestName);
    return;
  }
  for (int i = 0; i < 4; ++i) {
    EXPECT_STREQ(target.GetPresetName(i), source.GetPresetName(i));
    ASSERT_TRUE(target.RestorePreset(i));
    ASSERT_TRUE(source.RestorePreset(i));
    EXPECT_EQ(target.values(), source.values());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Forms, ChunkRoundTrip,
    ::testing::Values(
        Transfer{"fxp", false,
                 [](TestPlug& from, TestPlug& to, const std::string& path) {
                   return from.SaveProgramAsFXP(path) && to.LoadProgramFromFXP(path);
                 }},
        Transfer{"fxb", true,
                 [](TestPlug& from, TestPlug& to, const std::string& path) {
                   return from.SaveBankAsFXB(path) && to.LoadBankFromFXB(path);
                 }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgramFiles, ParameterFormProgramImageLoads) {
  const std::vector<float> floats = normalisedValues();
  ByteChunk image;
  fx::putProgramParamForm(&image, kTestId, "Hand made", floats.data(), TestPlug::kParams);
  writeBytes(path("p.fxp"), image);
  TestPlug plug;
  plug.EnsureDefaultPreset();
  ASSERT_TRUE(plug.LoadProgramFromFXP(path("p.fxp")));
  for (int i = 0; i < 4; ++i) EXPECT_NEAR(plug.GetParam(i)->Value(), kValues[i], 1e-3 * (i == 3 ? 1000 : 1));
  EXPECT_STREQ(plug.GetPresetName(0), "Hand made");
  EXPECT_EQ(plug.programChanges, 1);  // the host hears of the loaded program
}

TEST_F(ProgramFiles, PluginWithoutChunksWritesParameterForms) {
  TestPlug source(false);
  source.fillPresets(1, kValues);
  ASSERT_TRUE(source.SaveProgramAsFXP(path("p.fxp")));
  ASSERT_TRUE(source.SaveBankAsFXB(path("p.fxb")));
  EXPECT_EQ(fx::readProgramHeader(readBytes(path("p.fxp")), 0).type, fx::kProgramParamsType);
  EXPECT_EQ(readBytes(path("p.fxb")).Size(), 156 + 4 * (56 + 4 * TestPlug::kParams));
  TestPlug target;
  ASSERT_TRUE(target.LoadBankFromFXB(path("p.fxb")));
  EXPECT_EQ(target.GetCurrentPresetIdx(), 1);
  EXPECT_STREQ(target.GetPresetName(3), "Prog 3");
  target.RestorePreset(3);
  EXPECT_NEAR(target.GetParam(3)->Value(), 400.0, 0.1);
}

// A parameter-form bank with the wrong parameter count fails at its first program and
// changes nothing; programs beyond the plug-in's presets are ignored instead of
// overwriting the last.
TEST_F(ProgramFiles, ParameterFormBankNeedsTheParameterCountAndIgnoresExtraPrograms) {
  const std::vector<float> floats = normalisedValues();
  for (int params : {TestPlug::kParams - 1, TestPlug::kParams}) {
    ByteChunk image;
    fx::putBankHeader(&image, 0, fx::kBankParamsType, kTestId, 3, 0);
    for (const char* name : {"One", "Two", "Three"})
      fx::putProgramParamForm(&image, kTestId, name, floats.data(), params);
    writeBytes(path("b.fxb"), image);
    TestPlug plug(true, 2);
    plug.EnsureDefaultPreset();
    EXPECT_EQ(plug.LoadBankFromFXB(path("b.fxb")), params == TestPlug::kParams);
    EXPECT_STREQ(plug.GetPresetName(0), params == TestPlug::kParams ? "One" : "Empty");
    EXPECT_STREQ(plug.GetPresetName(1), params == TestPlug::kParams ? "Two" : "Empty");
  }
}

TEST_F(ProgramFiles, BankWithHeaderVersionOneIsAccepted) {
  TestPlug source;
  source.fillPresets(1, kValues);
  source.SaveBankAsFXB(path("v.fxb"));
  ByteChunk file = readBytes(path("v.fxb"));
  file.GetBytes()[15] = 1;
  writeBytes(path("v.fxb"), file);
  TestPlug target;
  EXPECT_TRUE(target.LoadBankFromFXB(path("v.fxb")));
  EXPECT_STREQ(target.GetPresetName(2), "Prog 2");
}

struct Damage {
  const char* name;
  int offset;     // byte to overwrite, or -1
  int truncateTo; // new length, or -1
};

class DamagedProgramFile : public ::testing::TestWithParam<Damage> {};

// Wrong magic, type, version or id, a cut header or state, too few floats, an empty
// file: refused, with the live state and the presets as they were.
TEST_P(DamagedProgramFile, IsRefusedWithoutChange) {
  TempFolder folder;
  const std::string file = folder.path() + "/d.fxp";
  for (bool chunks : {true, false}) {
    TestPlug source(chunks);
    source.setValues(kValues);
    ASSERT_TRUE(source.SaveProgramAsFXP(file));
    ByteChunk bytes = readBytes(file);
    if (GetParam().offset >= 0) bytes.GetBytes()[GetParam().offset] ^= 0x20;
    if (GetParam().truncateTo >= 0) bytes.Resize(GetParam().truncateTo);
    writeBytes(file, bytes);
    TestPlug target;
    target.setValues(kOther);
    target.EnsureDefaultPreset();
    EXPECT_FALSE(target.LoadProgramFromFXP(file)) << (chunks ? "chunk form" : "parameter form");
    EXPECT_EQ(target.values(), kOther);
    EXPECT_STREQ(target.GetPresetName(0), "Empty");
    EXPECT_EQ(target.programChanges, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, DamagedProgramFile,
    ::testing::Values(Damage{"magic", 0, -1}, Damage{"type", 9, -1}, Damage{"uniqueId", 17, -1},
                      Damage{"cutInValues", -1, 70}, Damage{"empty", -1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Fixed byte images of a known plug-in state. Regenerate (after an intended format
// change) with ZORQ_REGENERATE_GOLDEN=1 framework_tests --gtest_filter='*Golden*'.
TEST_F(ProgramFiles, GoldenFilesKeepTheirBytes) {
  const char* dataFolder = std::getenv("ZORQ_TEST_DATA");
  ASSERT_NE(dataFolder, nullptr);
  TestPlug plug;
  plug.fillPresets(1, kValues);
  for (const char* name : {"golden.fxp", "golden.fxb"}) {
    const std::string golden = std::string(dataFolder) + "/" + name;
    const bool isBank = std::string(name).back() == 'b';
    ASSERT_TRUE(isBank ? plug.SaveBankAsFXB(path(name)) : plug.SaveProgramAsFXP(path(name)));
    if (std::getenv("ZORQ_REGENERATE_GOLDEN")) writeBytes(golden, readBytes(path(name)));
    EXPECT_TRUE(readBytes(path(name)) == readBytes(golden)) << name;
    TestPlug reader;
    EXPECT_TRUE(isBank ? reader.LoadBankFromFXB(golden) : reader.LoadProgramFromFXP(golden));
  }
}
