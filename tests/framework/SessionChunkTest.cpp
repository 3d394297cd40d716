#include <gtest/gtest.h>

#include "framework/TestPlug.h"

namespace {
const std::vector<double> kLive{0.25, 7.0, 1.0, 1000.0};

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

// The whole state with the current program: another plug-in ends on the same program
// with the same live values and presets; a plain bank chunk keeps its current program.
TEST(SessionChunk, CarriesTheBankAndTheCurrentProgram) {
  TestPlug source;
  source.fillPresets(2, kLive);
  const ByteChunk session = sessionOf(source);

  TestPlug target;
  ASSERT_TRUE(target.unserializeSessionChunk(&session));
  EXPECT_EQ(target.GetCurrentPresetIdx(), 2);
  EXPECT_EQ(target.values(), kLive);
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
    plug.fillPresets(1, kLive);
    plug.setValues({0.5, 4.0, 1.0, 700.0});  // edited since the preset was stored
    ByteChunk before;
    ASSERT_TRUE(plug.serializeSessionChunk(&before));
    EXPECT_FALSE(plug.unserializeSessionChunk(&refused)) << refused.Size();
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
    EXPECT_EQ(plug.values(), (std::vector<double>{0.5, 4.0, 1.0, 700.0}));
    EXPECT_EQ(sessionOf(plug), before);
  }
}
