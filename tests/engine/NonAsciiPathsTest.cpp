// Names outside ASCII work wherever the instrument touches a file: program and bank
// files, the sample player's WAV file, and the per-user INI in a home folder with such
// a name (on Windows every one goes through the wide-character calls).
#include <gtest/gtest.h>

#include <string>

#include "EngineHarness.h"
#include "system/Files.h"

namespace {

const char kFolder[] = u8"Ünïcode 声";
const char kProgram[] = u8"Überstimme — 音.fxp";
const char kBank[] = u8"Bänke 音.fxb";
const char kSample[] = u8"Stimme 声.wav";

class NonAsciiPaths : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(makeFolders(folder_));
    setHomeFolder(folder_);
  }
  void TearDown() override { setHomeFolder(savedHome_); }

  const std::string savedHome_ = currentHomeFolder();
  wavtest::TempDir root_;
  const std::string folder_ = root_ / kFolder;
};

TEST_F(NonAsciiPaths, IniProgramsBanksAndSamplesTakeAnyName) {
  EngineHarness source;
  Configuration& config = source.plug->configuration();
  ASSERT_NE(config.iniPath().find(kFolder), std::string::npos) << config.iniPath();
  EXPECT_TRUE(fileExists(config.iniPath()));
  config.storeProgramPath(folder_.c_str());
  EXPECT_EQ(config.readFileSettings().programPath, folder_);

  source.setParam(kFinalVolume, 0.8);
  const std::string program = folder_ + "/" + kProgram, bank = folder_ + "/" + kBank;
  ASSERT_TRUE(source.plug->SaveProgramAsFXP(program));
  ASSERT_TRUE(source.plug->SaveBankAsFXB(bank));
  EngineHarness fromProgram, fromBank;
  ASSERT_TRUE(fromProgram.plug->LoadProgramFromFXP(program));
  EXPECT_DOUBLE_EQ(fromProgram.plug->GetParam(kFinalVolume)->Value(), 0.8);
  EXPECT_TRUE(fromBank.plug->LoadBankFromFXB(bank));

  const std::string sample =
      root_.write(std::string(kFolder) + "/" + kSample,
                  wavtest::floatWav(1, 44100, wavtest::sine(100, 441, 44100)));
  source.plug->setSampleFileName(sample.c_str());
  source.plug->loadSampleFile(false);
  EXPECT_FALSE(source.plug->sampleLoadFailed());
  EXPECT_EQ(source.plug->sampler().length(), 100u);
}

}  // namespace
