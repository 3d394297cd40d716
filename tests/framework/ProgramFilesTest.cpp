#include "framework/IPlugBase.h"

#include "framework/FileBytes.h"
#include "support/TempFolder.h"
#include "framework/GoldenProgramFiles.h"
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

}  // namespace

class ProgramFiles : public ::testing::Test {
 protected:
  std::string path(const char* name) const { return folder_.path() + "/" + name; }
  TempFolder folder_;
};

const char kLongestName[] = "abcdefghijklmnopqrstuvwxyz01";  // 28 characters, the most a file holds

// Files carry the program and bank chunks: the values exactly and the preset names.
TEST_F(ProgramFiles, ChunkFilesRestoreValuesAndNames) {
  TestPlug source, program, bank;
  source.fillPresets(1, kValues);
  source.ModifyCurrentPreset(kLongestName);
  program.EnsureDefaultPreset();
  ASSERT_TRUE(source.SaveProgramAsFXP(path("p.fxp")) && program.LoadProgramFromFXP(path("p.fxp")));
  EXPECT_EQ(program.values(), kValues);
  EXPECT_STREQ(program.GetPresetName(0), kLongestName);
  ASSERT_TRUE(source.SaveBankAsFXB(path("b.fxb")) && bank.LoadBankFromFXB(path("b.fxb")));
  for (int i = 0; i < 4; ++i) {
    EXPECT_STREQ(bank.GetPresetName(i), source.GetPresetName(i));
    ASSERT_TRUE(bank.RestorePreset(i) && source.RestorePreset(i));
    EXPECT_EQ(bank.values(), source.values());
  }
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

// Parameter-form images made by the file writer load: a program (and the host hears of
// it); a bank with the wrong parameter count fails at its first program and changes
// nothing; programs beyond the plug-in's presets are ignored instead of overwriting the last.
TEST_F(ProgramFiles, ParameterFormImagesLoadWithTheParameterCountAndIgnoreExtraPrograms) {
  // kValues normalised: gain 0.25 on -1..1, 7 on 0..10, on, and 1000 Hz on 20..20000
  // with shape 2 (sqrt of the linear position).
  const std::vector<float> floats{0.625f, 0.7f, 1.0f, float(std::sqrt(980.0 / 19980.0))};
  ByteChunk program;
  fx::putProgramParamForm(&program, kTestId, "Hand made", floats.data(), TestPlug::kParams);
  writeBytes(path("p.fxp"), program);
  TestPlug loaded;
  loaded.EnsureDefaultPreset();
  ASSERT_TRUE(loaded.LoadProgramFromFXP(path("p.fxp")));
  for (int i = 0; i < 4; ++i)
    EXPECT_NEAR(loaded.GetParam(i)->Value(), kValues[i], i == 3 ? 1.0 : 1e-3);
  EXPECT_STREQ(loaded.GetPresetName(0), "Hand made");
  EXPECT_EQ(loaded.programChanges, 1);
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

// Another plug-in's file or one cut in its values (chunk and parameter forms): refused,
// with the live state and the presets as they were. Other damage is left to the fuzz target.
TEST_F(ProgramFiles, DamagedProgramFileIsRefusedWithoutChange) {
  for (const bool chunks : {true, false}) {
    for (const bool cut : {false, true}) {
      TestPlug source(chunks);
      source.setValues(kValues);
      ASSERT_TRUE(source.SaveProgramAsFXP(path("d.fxp")));
      ByteChunk bytes = readBytes(path("d.fxp"));
      bytes.GetBytes()[17] ^= cut ? 0 : 0x20;  // in the unique id
      if (cut) bytes.Resize(70);
      writeBytes(path("d.fxp"), bytes);
      TestPlug target;
      target.setValues(kOther);
      target.EnsureDefaultPreset();
      EXPECT_FALSE(target.LoadProgramFromFXP(path("d.fxp"))) << chunks << cut;
      EXPECT_EQ(target.values(), kOther);
      EXPECT_STREQ(target.GetPresetName(0), "Empty");
      EXPECT_EQ(target.programChanges, 0);
    }
  }
}

// Fixed byte images of a known plug-in state (rewritten by `make golden` only).
TEST_F(ProgramFiles, GoldenFilesKeepTheirBytes) {
  const char* dataFolder = std::getenv("ZORQ_TEST_DATA");
  ASSERT_NE(dataFolder, nullptr);
  for (const std::string& name : goldenprogramfiles::kNames) {
    const std::string golden = std::string(dataFolder) + "/" + name;
    ASSERT_TRUE(goldenprogramfiles::save(name, path(name.c_str())));
    EXPECT_TRUE(readBytes(path(name.c_str())) == readBytes(golden)) << name;
    TestPlug reader;
    EXPECT_TRUE(name.back() == 'b' ? reader.LoadBankFromFXB(golden)
                                   : reader.LoadProgramFromFXP(golden));
  }
}
