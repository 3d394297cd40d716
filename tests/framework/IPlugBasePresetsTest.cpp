#include "framework/IPlugBase.h"

#include "framework/TestPlug.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

const std::vector<double> kValuesA{0.25, 7.0, 1.0, 1000.0};
const std::vector<double> kValuesB{-0.5, 2.0, 0.0, 50.0};
const std::vector<int> kEveryParam{0, 1, 2, 3};

ByteChunk paramsChunk(const std::vector<double>& values) {
  ByteChunk chunk;
  for (double v : values) chunk.Put(v);
  return chunk;
}

}  // namespace

// Every parameter is reported changed, whatever the chunk held. A missing value sets
// zero (clamped); stored values are clamped and NaN counts as zero; a negative start
// reads nothing.
TEST(IPlugBase, UnserializeParamsSetsClampsAndReportsEveryParameter) {
  struct Case {
    std::vector<double> stored;  // written as doubles; one short when it has three
    int start;
    bool complete;
    std::vector<double> after;  // the live values start as kValuesB
  };
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const Case& c :
       {Case{kValuesA, 0, true, kValuesA}, Case{{0.25, 7.0, 1.0}, 0, false, {0.25, 7.0, 1.0, 20.0}},
        Case{{5.0, -3.0, nan, 1e9}, 0, true, {1.0, 0.0, 0.0, 20000.0}},
        Case{kValuesA, -1, false, kValuesB}}) {
    TestPlug plug;
    plug.setValues(kValuesB);
    const ByteChunk chunk = paramsChunk(c.stored);
    EXPECT_EQ(plug.UnserializeParams(&chunk, c.start), c.complete ? chunk.Size() : -1);
    EXPECT_EQ(plug.values(), c.after);
    EXPECT_EQ(plug.changes, kEveryParam);
  }
}

// A never-used slot becomes "user preset N", N one more than the names already
// containing "user preset"; the live state stays as it is. The default preset fills
// only the slots still unused.
TEST(IPlugBasePresets, UnusedSlotsBecomeUserPresetsOrTheDefault) {
  TestPlug plug;
  for (int i : {1, 0}) plug.RestorePreset(i);
  plug.setValues(kValuesB);
  ASSERT_TRUE(plug.RestorePreset(3));
  EXPECT_STREQ(plug.GetPresetName(3), "user preset 3");
  EXPECT_EQ(plug.values(), kValuesB);
  plug.EnsureDefaultPreset();
  EXPECT_STREQ(plug.GetPresetName(1), "user preset 1");
  EXPECT_STREQ(plug.GetPresetName(2), "Empty");
  EXPECT_STREQ(plug.GetPresetName(4), "");
}

// By index inside the list, by name only on an exact match; a failure keeps the index.
TEST(IPlugBasePresets, RestoreNeedsAnIndexInTheListOrTheExactName) {
  TestPlug plug;
  plug.fillPresets(0, kValuesA);
  EXPECT_TRUE(plug.RestorePreset("Prog 2"));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 2);
  EXPECT_EQ(plug.GetParam(3)->Value(), 300.0);
  for (int index : {4, -1}) EXPECT_FALSE(plug.RestorePreset(index));
  EXPECT_FALSE(plug.RestorePreset("prog 2"));
  EXPECT_FALSE(plug.RestorePreset(static_cast<const char*>(nullptr)));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 2);
}

// A preset list that ends early (at a preset's end or inside the next) updates the presets
// read in full, keeps the others (including the one at the break) and still restores the
// current preset.
TEST(IPlugBasePresets, CutBankChunkKeepsUnreadPresets) {
  TestPlug source;
  source.fillPresets(0, kValuesA);
  const int presetBytes = 4 + 6 + 1 + 8 * TestPlug::kParams;  // "Prog n", flag, values
  for (int cut : {0, 7}) {
    ByteChunk bank;
    source.serializeBankChunk(&bank);
    bank.Resize(kIPlugVersionMarkerBytes + 2 * presetBytes + cut);
    TestPlug target;
    target.EnsureDefaultPreset();
    target.RestorePreset(3);
    target.setValues(kValuesB);
    target.ModifyCurrentPreset("mine");
    EXPECT_EQ(target.unserializeBankChunk(&bank), -1) << cut;
    EXPECT_STREQ(target.GetPresetName(1), "Prog 1");
    EXPECT_STREQ(target.GetPresetName(2), "Empty");
    EXPECT_STREQ(target.GetPresetName(3), "mine");
    EXPECT_EQ(target.values(), kValuesB);
  }
}

// (Whole or not at all, a cut bank leaving every preset, the current one and the live
// edits as they were, is the format parity suite's check, for every format.)
TEST(IPlugBasePresets, DamagedProgramChunkKeepsTheLiveEditsAndThePreset) {
  TestPlug source;
  source.setValues(kValuesA);
  ByteChunk program;
  source.serializeProgramChunk(&program);
  program.Resize(kIPlugVersionMarkerBytes + 12);
  TestPlug target;
  target.setValues(kValuesB);
  target.EnsureDefaultPreset();
  const std::vector<double> edited{0.5, 4.0, 1.0, 300.0};  // not stored in the preset
  target.setValues(edited);
  EXPECT_EQ(target.unserializeProgramChunk(&program), -1);
  EXPECT_EQ(target.values(), edited);
  target.RestorePreset(0);
  EXPECT_EQ(target.values(), kValuesB);
}
