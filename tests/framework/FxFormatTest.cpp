#include "framework/FxFormat.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

namespace {

const fx::Identity kId{fx::fourCharCode('z', 'o', 'r', 'q'), 10103};

// Builds expected file images byte by byte, independently of the writers.
struct Image {
  std::vector<uint8_t> bytes;
  Image& text(const char* s, size_t n) {
    bytes.insert(bytes.end(), s, s + n);
    return *this;
  }
  Image& be(uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<uint8_t>(v >> shift));
    return *this;
  }
  Image& zeros(size_t n) {
    bytes.insert(bytes.end(), n, 0);
    return *this;
  }
};

std::vector<uint8_t> bytesOf(const ByteChunk& chunk) {
  return {chunk.GetBytes(), chunk.GetBytes() + chunk.Size()};
}

ByteChunk stateOf(int bytes) {
  ByteChunk state;
  for (int i = 0; i < bytes; ++i) state.Put(static_cast<uint8_t>(i * 7));
  return state;
}

}  // namespace

// The chunk forms are fixed by the golden files of the program-file tests.
TEST(FxFormat, ProgramParamFormMatchesTheLayout) {
  const float values[] = {0.0f, 1.0f, 0.5f};
  ByteChunk file;
  fx::putProgramParamForm(&file, kId, "P", values, 3);
  Image expected;
  expected.text("CcnK", 4).be(0).text("FxCk", 4).be(1).text("zorq", 4).be(10103).be(3);
  expected.text("P", 1).zeros(27).be(0x00000000).be(0x3f800000).be(0x3f000000);
  EXPECT_EQ(bytesOf(file), expected.bytes);
}

// A cut header keeps what fits and has no position; a start outside the file reads nothing.
TEST(FxFormat, CutProgramHeaderOrHugeStartHasNoPosition) {
  ByteChunk file = fx::programFileChunkForm(kId, 107, "Robot", stateOf(9));
  for (int start : {-1, INT_MIN, INT_MAX, INT_MAX - 20}) {
    const fx::ProgramHeader h = fx::readProgramHeader(file, start);
    EXPECT_EQ(h.magic, 0);
    EXPECT_EQ(h.pos, -1);
  }
  file.Resize(40);
  const fx::ProgramHeader h = fx::readProgramHeader(file, 0);
  EXPECT_EQ(h.magic, fx::kMagic);
  EXPECT_EQ(h.uniqueId, kId.uniqueId);
  EXPECT_EQ(h.name, "");
  EXPECT_EQ(h.pos, -1);
  file.Resize(18);
  EXPECT_EQ(fx::readProgramHeader(file, 0).uniqueId, 0);
}

TEST(FxFormat, BankHeaderReadsBackAndNeedsAllOf156Bytes) {
  ByteChunk file = fx::bankFileChunkForm(kId, 64, 7, stateOf(2));
  fx::BankHeader h = fx::readBankHeader(file);
  EXPECT_EQ(h.type, fx::kBankChunkType);
  EXPECT_EQ(h.formatVersion, 2);
  EXPECT_EQ(h.numPrograms, 64);
  EXPECT_EQ(h.currentProgram, 7);
  EXPECT_EQ(h.pos, fx::kBankHeaderBytes);
  file.Resize(155);
  h = fx::readBankHeader(file);
  EXPECT_EQ(h.currentProgram, 7);
  EXPECT_EQ(h.pos, -1);
}
