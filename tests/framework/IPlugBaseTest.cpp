// The plug-in base: parameters, presets, the state chunks, its own processing and the
// bypass ramp.
#include "framework/IPlugBase.h"

#include <gtest/gtest.h>

#include "framework/GainRamp.h"
#include "framework/TestPlug.h"

#include <cmath>
#include <limits>
#include <tuple>
#include <vector>

namespace {

const std::vector<double> kValuesA{0.25, 7.0, 1.0, 1000.0};
const std::vector<double> kValuesB{-0.5, 2.0, 0.0, 50.0};
const std::vector<int> kEveryParam{0, 1, 2, 3};

ByteChunk sessionOf(TestPlug& plug) {
  ByteChunk chunk;
  EXPECT_TRUE(plug.serializeSessionChunk(&chunk));
  return chunk;
}

ByteChunk cut(const ByteChunk& chunk, int size) {
  ByteChunk part;
  part.PutBytes(chunk.GetBytes(), size);
  return part;
}

}  // namespace

// Every parameter is reported changed, whatever the chunk held. A missing value sets
// zero (clamped); stored values are clamped and NaN counts as zero; a negative start
// reads nothing.
TEST(IPlugBase, UnserializeParamsSetsClampsAndReportsEveryParameter) {
  // Stored as doubles (one short when three), the start, whether complete, the values after
  // (they start as kValuesB).
  using Values = std::vector<double>;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const auto& [stored, start, complete, after] :
       {std::tuple{kValuesA, 0, true, kValuesA},
        {Values{0.25, 7.0, 1.0}, 0, false, Values{0.25, 7.0, 1.0, 20.0}},
        {Values{5.0, -3.0, nan, 1e9}, 0, true, Values{1.0, 0.0, 0.0, 20000.0}},
        {kValuesA, -1, false, kValuesB}}) {
    TestPlug plug;
    plug.setValues(kValuesB);
    ByteChunk chunk;
    for (double v : stored) chunk.Put(v);
    EXPECT_EQ(plug.UnserializeParams(&chunk, start), complete ? chunk.Size() : -1);
    EXPECT_EQ(plug.values(), after);
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
// edits as they were, is the format parity suite's check, for every format. A refused
// program chunk keeping the live edits and the presets is the chunk fuzz target's check,
// fuzz/regressions/chunk.)

// The editor and MIDI learn path sets, informs the host and notifies; NaN changes and
// reports nothing; the host hears the clamped value that was stored. Indexes beyond the
// parameters and inputs are ignored.
TEST(IPlugBase, GuiChangeSetsInformsAndNotifiesButIgnoresNaNAndStrayIndexes) {
  TestPlug plug;
  EXPECT_EQ(plug.GetParam(TestPlug::kParams), nullptr);
  plug.SetParameterFromGUI(7, 0.5);
  plug.SetInputLabel(9, "x");
  EXPECT_STREQ(plug.GetInputLabel(9), "");
  plug.SetParameterFromGUI(0, std::nan(""));
  plug.SetParameterFromGUI(0, 0.25);  // normalised, on -1..1
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), -0.5);
  plug.SetParameterFromGUI(0, -7.0);
  EXPECT_EQ(plug.GetParam(0)->Value(), -1.0);
  EXPECT_EQ(plug.informed, (std::vector<std::pair<int, double>>{{0, 0.25}, {0, 0.0}}));
  EXPECT_EQ(plug.changes, (std::vector<int>{0, 0}));

  plug.changes.clear();
  plug.OnParamReset();
  EXPECT_EQ(plug.changes, (std::vector<int>{0, 1, 2, 3}));
}

// The base's own processing copies input c to output c through the float path, or
// accumulates onto the outputs. A disconnected input reads silence, even when its scratch
// buffer last held a float block of the host's.
TEST(IPlugBase, BaseProcessConvertsAccumulatesAndADisconnectedInputReadsSilence) {
  IPlugBase plug(0, "2-2", 0, "", "", "", 0, 0, 0, 0, false, false, false, 0);
  plug.SetBlockSize(4);
  std::vector<float> in0(4, 0.5f), in1(4, -0.25f), out0(4, 1.0f), out1(4, 1.0f);
  float* floatIns[2] = {in0.data(), in1.data()};
  float* floatOuts[2] = {out0.data(), out1.data()};
  plug.AttachInputBuffers(0, 2, floatIns, 4);
  plug.AttachOutputBuffers(0, 2, floatOuts);
  plug.ProcessBuffers(0.0f, 4);
  EXPECT_EQ(out0, std::vector<float>(4, 0.5f));
  plug.AttachOutputBuffers(0, 2, floatOuts);
  plug.ProcessBuffersAccumulating(0.0f, 4);
  EXPECT_EQ(out1, std::vector<float>(4, -0.5f));

  plug.SetInputChannelConnections(0, 1, false);
  std::vector<double> hostIn(4, 0.75), left(4, 9.0), right(4, 9.0);
  double* ins[1] = {hostIn.data()};
  double* outs[2] = {left.data(), right.data()};
  plug.AttachInputBuffers(0, 2, ins, 4);  // the one host buffer goes to input 1
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0, 4);
  EXPECT_EQ(left, std::vector<double>(4, 0.0));
  EXPECT_EQ(right, std::vector<double>(4, 0.75));
}

// The whole state with the current program: another plug-in ends on the same program
// with the same live values and presets; a plain bank chunk keeps its current program.
TEST(SessionChunk, CarriesTheBankAndTheCurrentProgram) {
  TestPlug source;
  source.fillPresets(2, kValuesA);
  const ByteChunk session = sessionOf(source);

  TestPlug target;
  ASSERT_TRUE(target.unserializeSessionChunk(&session));
  EXPECT_EQ(target.GetCurrentPresetIdx(), 2);
  EXPECT_EQ(target.values(), kValuesA);
  EXPECT_STREQ(target.GetPresetName(3), "Prog 3");

  ByteChunk bank;
  source.serializeBankChunk(&bank);
  TestPlug plain;
  plain.RestorePreset(1);
  ASSERT_TRUE(plain.unserializeSessionChunk(&bank));
  EXPECT_EQ(plain.GetCurrentPresetIdx(), 1);
  EXPECT_EQ(plain.values(), (std::vector<double>{0.1, 1.0, 0.0, 200.0}));
}

// Anything that cannot be read to its end leaves the plug-in as it was: its presets,
// its current program and its live values, also edits not yet in a preset.
TEST(SessionChunk, RefusesWhatItCannotReadWholeAndChangesNothing) {
  TestPlug other;
  other.fillPresets(3, {-0.5, 2.0, 0.0, 50.0});
  const ByteChunk session = sessionOf(other);
  ByteChunk noMarker;
  noMarker.PutBytes(session.GetBytes() + 8, session.Size() - 8);
  ByteChunk badProgram = cut(session, session.Size() - 4);  // the current program: 99
  badProgram.Put(int32_t(99));
  ByteChunk trailing = session;
  trailing.Put(int32_t(0));
  for (const ByteChunk& refused : {ByteChunk(), noMarker, cut(session, session.Size() / 2),
                                   cut(session, session.Size() - 9), badProgram, trailing}) {
    TestPlug plug;
    plug.fillPresets(1, kValuesA);
    plug.setValues({0.5, 4.0, 1.0, 700.0});  // edited since the preset was stored
    const auto presets = [&] {               // names and stored states, the edits not among them
      std::vector<std::pair<std::string, ByteChunk>> all;
      for (int i = 0; i < plug.NPresets(); ++i)
        all.emplace_back(plug.GetPresetName(i), plug.GetPreset(i)->chunk);
      return all;
    };
    const auto before = presets();
    EXPECT_FALSE(plug.unserializeSessionChunk(&refused)) << refused.Size();
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
    EXPECT_EQ(plug.values(), (std::vector<double>{0.5, 4.0, 1.0, 700.0}));
    EXPECT_EQ(presets(), before);
  }
}

// A fade-in rises in even steps to full level in the ramp's length, whatever the block
// lengths it is cut into, and leaves the samples alone from then on.
TEST(GainRamp, FadeRisesEvenlyOverItsLengthAcrossBlocks) {
  constexpr double kRate = 1000.0;  // ten samples of ramp
  GainRamp ramp;
  ramp.SetSampleRate(kRate);
  ramp.JumpTo(0.0);
  ramp.SetTarget(1.0);
  std::vector<float> ones(16, 1.0f);
  float* channel = ones.data();
  ramp.Scale(&channel, 1, 3);
  channel += 3;
  ramp.Scale(&channel, 1, 13);
  for (int i = 0; i < 16; ++i)
    EXPECT_FLOAT_EQ(ones[static_cast<size_t>(i)], i < 10 ? float(i + 1) / 10.0f : 1.0f) << i;
  EXPECT_FALSE(ramp.Moving());
}

// Bypass: the processed signal gives way to the dry one and back; at rest the dry
// signal passes unchanged, and an output without a dry channel fades to silence.
TEST(GainRamp, CrossfadeMovesBetweenProcessedAndDry) {
  GainRamp ramp;
  ramp.SetSampleRate(400.0);  // four samples of ramp
  std::vector<float> left(6, 1.0f), right(6, 1.0f);
  const std::vector<float> dry(6, 0.25f);
  float* out[] = {left.data(), right.data()};
  const float* through[] = {dry.data()};
  ramp.SetTarget(0.0);
  ramp.Crossfade(out, 2, through, 1, 6);
  EXPECT_EQ(left, (std::vector<float>{0.8125f, 0.625f, 0.4375f, 0.25f, 0.25f, 0.25f}));
  EXPECT_EQ(right, (std::vector<float>{0.75f, 0.5f, 0.25f, 0.0f, 0.0f, 0.0f}));
  std::vector<float> processed(4, 3.0f);
  float* again[] = {processed.data()};
  ramp.Crossfade(again, 1, through, 1, 4);
  EXPECT_EQ(processed, std::vector<float>(4, 0.25f));
  processed.assign(4, 3.0f);
  ramp.SetTarget(1.0);
  ramp.Crossfade(again, 1, through, 1, 4);
  EXPECT_FLOAT_EQ(processed[0], 0.9375f);
  EXPECT_EQ(processed[3], 3.0f);  // the last step reaches the processed signal
  EXPECT_FALSE(ramp.Moving());
}
