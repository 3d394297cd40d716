#include "engine/ZORQ.h"

#include "framework/ChunkMutator.h"
#include "framework/FileBytes.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <random>

namespace {

class CountingZorq : public ZORQ {
public:
  void OnParamChange(int index) override {
    ++reported;
    ZORQ::OnParamChange(index);
  }
  std::vector<double> values() const {
    std::vector<double> result;
    for (int i = 0; i < NParams(); ++i) result.push_back(GetParam(i)->Value());
    return result;
  }
  // Every parameter at a different value inside its range.
  void scramble(uint32_t seed) {
    std::mt19937 random(seed);
    for (int i = 0; i < NParams(); ++i) GetParam(i)->SetNormalized((random() % 1000) / 999.0);
  }
  int reported = 0;
};

ByteChunk stateOf(CountingZorq& plug) {
  ByteChunk chunk;
  EXPECT_TRUE(plug.SerializeState(&chunk));
  return chunk;
}

constexpr int kMarkerAndIndex = 10 + 4;

// Offset of the first parameter value in a record written for a preset named "Empty".
constexpr int kValuesStart = kMarkerAndIndex + 4 + 5;

}  // namespace

TEST(ZorqState, RoundTripRestoresEveryValueAndEndsAtTheRecordEnd) {
  CountingZorq source;
  source.EnsureDefaultPreset();
  source.scramble(1);
  const ByteChunk record = stateOf(source);
  EXPECT_EQ(record.Size(), kValuesStart + 8 * kNumParams + 1);
  CountingZorq target;
  target.scramble(2);
  EXPECT_EQ(target.UnserializeState(&record, 0), record.Size());
  EXPECT_EQ(target.values(), source.values());
  EXPECT_EQ(target.reported, kNumParams);
}

class ZorqStateInputMode : public ::testing::TestWithParam<int> {};

// The sample file name is kept only in "File" input mode; restoring a record without
// one empties the name.
TEST_P(ZorqStateInputMode, StoresTheFileNameOnlyInFileMode) {
  const bool fileMode = GetParam() == 1;
  CountingZorq source;
  source.GetParam(kInputMode)->Set(GetParam());
  source.setSampleFileName("voice.wav");
  const ByteChunk record = stateOf(source);
  EXPECT_EQ(record.GetBytes()[kMarkerAndIndex + 4 + 5 + 8 * kNumParams], fileMode ? 1 : 0);
  CountingZorq target;
  target.setSampleFileName("old.wav");
  EXPECT_EQ(target.UnserializeState(&record, 0), record.Size());
  EXPECT_EQ(target.sampleFileName(), fileMode ? "voice.wav" : "");
}

INSTANTIATE_TEST_SUITE_P(SignalAndFile, ZorqStateInputMode, ::testing::Values(0, 1));

TEST(ZorqState, OldRecordIsReadAsValuesFromItsFirstByteAndClamped) {
  CountingZorq source;
  source.scramble(3);
  ByteChunk record;
  for (double v : source.values()) record.Put(v);
  record.Put(uint8_t{0});
  ByteChunk outOfRange = record;
  const double tooLoud = 1e6;
  std::memcpy(outOfRange.GetBytes() + 8 * kFinalVolume, &tooLoud, 8);
  CountingZorq target;
  EXPECT_FALSE(ZORQ::isNewVersion_1_1_1(&record, 0));
  EXPECT_EQ(target.UnserializeState(&record, 0), record.Size());
  EXPECT_EQ(target.values(), source.values());
  EXPECT_EQ(target.UnserializeState(&outOfRange, 0), record.Size());
  EXPECT_EQ(target.GetParam(kFinalVolume)->Value(), target.GetParam(kFinalVolume)->GetMax());
}

TEST(ZorqState, RecordCutInsideTheValuesKeepsTheRestAndReportsAll) {
  CountingZorq source;
  source.scramble(4);
  ByteChunk record = stateOf(source);
  const int breakAt = 50;
  record.Resize(kValuesStart + 8 * breakAt + 3);
  CountingZorq target;
  target.scramble(5);
  const std::vector<double> before = target.values();
  EXPECT_EQ(target.UnserializeState(&record, 0), -1);
  const IParam* atBreak = target.GetParam(breakAt);
  EXPECT_EQ(atBreak->Value(), std::min(std::max(0.0, atBreak->GetMin()), atBreak->GetMax()));
  for (int i = 0; i < kNumParams; ++i) {
    const double expected = i < breakAt ? source.GetParam(i)->Value() : before[static_cast<size_t>(i)];
    if (i != breakAt) {
      EXPECT_EQ(target.GetParam(i)->Value(), expected) << i;
    }
  }
  EXPECT_EQ(target.reported, kNumParams);
}

TEST(ZorqState, RecordWithoutTheFlagByteIsIncomplete) {
  CountingZorq plug;
  ByteChunk record = stateOf(plug);
  record.Resize(record.Size() - 1);
  EXPECT_EQ(plug.UnserializeState(&record, 0), -1);
}

struct LengthCase {
  const char* name;
  int offset;  // where the 32-bit length sits, relative to the record end or name field
  int32_t length;
  bool fileName;
  int expected;  // -1, or the position relative to the length field
};

class ZorqStateLength : public ::testing::TestWithParam<LengthCase> {};

// Program-name and file-name lengths that run past the end or backwards make the
// record incomplete without touching the parameters; a zero file-name length is valid.
TEST_P(ZorqStateLength, IsBoundsChecked) {
  const LengthCase& c = GetParam();
  CountingZorq source;
  source.GetParam(kInputMode)->Set(1);
  source.setSampleFileName("a.wav");
  ByteChunk record = stateOf(source);
  const int field = c.fileName ? record.Size() - 4 - 5 : kMarkerAndIndex;
  std::memcpy(record.GetBytes() + field, &c.length, 4);
  CountingZorq target;
  target.scramble(6);
  const std::vector<double> before = target.values();
  EXPECT_EQ(target.UnserializeState(&record, 0), c.expected < 0 ? -1 : field + c.expected);
  if (!c.fileName) {
    EXPECT_EQ(target.values(), before);
  }
  EXPECT_EQ(target.sampleFileName(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, ZorqStateLength,
    ::testing::Values(LengthCase{"NamePastEnd", 0, 100000, false, -1},
                      LengthCase{"NameNegative", 0, -20, false, -1},
                      LengthCase{"FilePastEnd", 0, 6, true, -1},
                      LengthCase{"FileNegative", 0, -9, true, -1},
                      LengthCase{"FileZero", 0, 0, true, 4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ZorqState, NegativeStartChangesNoParameter) {
  CountingZorq plug;
  plug.scramble(7);
  const std::vector<double> before = plug.values();
  const ByteChunk record = stateOf(plug);
  CountingZorq other;
  other.scramble(8);
  const std::vector<double> otherBefore = other.values();
  EXPECT_EQ(other.UnserializeState(&record, -1), -1);
  EXPECT_EQ(other.values(), otherBefore);
  EXPECT_NE(before, otherBefore);
}

TEST(ZorqState, FilesAndBankBlobsCarryTheRecord) {
  TempFolder folder;
  const std::string fxp = folder.path() + "/a.fxp", fxb = folder.path() + "/a.fxb";
  CountingZorq source;
  source.EnsureDefaultPreset();
  source.scramble(9);
  source.GetParam(kInputMode)->Set(1);
  source.setSampleFileName("voice.wav");
  source.ModifyCurrentPreset("Robot");
  ASSERT_TRUE(source.SaveProgramAsFXP(fxp));
  ASSERT_TRUE(source.SaveBankAsFXB(fxb));

  CountingZorq program;
  program.EnsureDefaultPreset();
  ASSERT_TRUE(program.LoadProgramFromFXP(fxp));
  EXPECT_EQ(program.values(), source.values());
  EXPECT_EQ(program.sampleFileName(), "voice.wav");
  EXPECT_STREQ(program.GetPresetName(0), "Robot");

  ByteChunk image;
  ASSERT_TRUE(readWholeFile(fxb, &image));
  CountingZorq bank;
  EXPECT_TRUE(bank.loadFXBfromBlob(image.GetBytes(), image.Size()));
  EXPECT_EQ(bank.values(), source.values());
  EXPECT_STREQ(bank.GetPresetName(0), "Robot");
  EXPECT_FALSE(bank.loadFXBfromBlob(image.GetBytes(), 159));
  EXPECT_FALSE(bank.loadFXBfromBlob(nullptr, 0));
  CountingZorq loaded;
  EXPECT_TRUE(loaded.LoadBankFromFXB(fxb));
  EXPECT_EQ(loaded.values(), source.values());
}

TEST(ZorqState, MutatedRecordsAndBankBlobsKeepParametersInRange) {
  CountingZorq source;
  source.GetParam(kInputMode)->Set(1);
  source.setSampleFileName("voice.wav");
  source.EnsureDefaultPreset();
  const ByteChunk record = stateOf(source);
  ByteChunk bank;
  source.serializeBankChunk(&bank);
  CountingZorq plug;
  ChunkMutator mutator(11);
  for (int round = 0; round < 300; ++round) {
    const ByteChunk damaged = mutator.mutate(record);
    const int end = plug.UnserializeState(&damaged, 0);
    EXPECT_TRUE(end == -1 || (end > 0 && end <= damaged.Size()));
    const ByteChunk damagedBank = mutator.mutate(bank);
    plug.loadFXBfromBlob(damagedBank.GetBytes(), damagedBank.Size());
    for (int i = 0; i < kNumParams; ++i) {
      const IParam* param = plug.GetParam(i);
      ASSERT_TRUE(param->Value() >= param->GetMin() && param->Value() <= param->GetMax()) << i;
    }
  }
}
