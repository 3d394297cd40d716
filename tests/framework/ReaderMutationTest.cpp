#include "framework/ByteChunk.h"
#include "framework/FxFormat.h"

#include "framework/ChunkMutator.h"

#include <gtest/gtest.h>

namespace {

// A read either fails or moves forward inside the chunk.
void expectForward(int before, int after, const ByteChunk& chunk) {
  if (after < 0) return;
  EXPECT_GT(after, before);
  EXPECT_LE(after, chunk.Size());
}

// Walks a preset-list-like layout (name, flag, a few doubles) until a read fails.
void walkRecords(const ByteChunk& chunk, int pos = 0) {
  SkipIPlugVerMarker(&chunk, &pos);
  while (pos >= 0) {
    std::string name;
    int next = chunk.GetStr(&name, pos);
    expectForward(pos, next, chunk);
    if (next < 0) break;
    EXPECT_LE(name.size(), static_cast<size_t>(chunk.Size()));
    bool flag = false;
    pos = next;
    next = chunk.Get(&flag, pos);
    expectForward(pos, next, chunk);
    for (int i = 0; i < 3 && next >= 0; ++i) {
      double value = 0;
      pos = next;
      next = chunk.Get(&value, pos);
      expectForward(pos, next, chunk);
    }
    pos = next;
  }
}

void readFileHeaders(const ByteChunk& file) {
  const fx::BankHeader bank = fx::readBankHeader(file);
  EXPECT_TRUE(bank.pos == -1 || bank.pos == fx::kBankHeaderBytes);
  int pos = bank.pos;
  for (int i = 0; i < 4 && pos >= 0; ++i) {  // parameter-form programs one after another
    const fx::ProgramHeader program = fx::readProgramHeader(file, pos);
    expectForward(pos, program.pos, file);
    pos = program.pos;
    for (int p = 0; p < 3 && pos >= 0; ++p) {
      float value = 0;
      const int next = fx::getBigEndianFloat(file, &value, pos);
      expectForward(pos, next, file);
      pos = next;
    }
  }
  const fx::ProgramHeader program = fx::readProgramHeader(file, 0);
  EXPECT_LE(program.name.size(), static_cast<size_t>(fx::kProgramNameBytes));
  int32_t chunkSize = 0;
  int chunkPos = fx::getBigEndian(file, &chunkSize, program.pos);
  walkRecords(file, chunkPos);
}

ByteChunk sampleRecords() {
  ByteChunk chunk;
  InitChunkWithIPlugVer(&chunk);
  for (int i = 0; i < 6; ++i) {
    chunk.PutStr(i % 2 ? "Robot Choir" : "");
    chunk.Put(true);
    for (int v = 0; v < 3; ++v) chunk.Put(0.5 * v + i);
  }
  return chunk;
}

}  // namespace

TEST(ReaderMutation, DamagedChunksAndHeadersNeverReadOutsideOrBackwards) {
  const ByteChunk records = sampleRecords();
  const fx::Identity id{fx::fourCharCode('z', 'o', 'r', 'q'), 10103};
  const ByteChunk bankFile = fx::bankFileChunkForm(id, 64, 0, records);
  const ByteChunk programFile = fx::programFileChunkForm(id, 3, "Robot", records);
  ByteChunk paramBank;
  fx::putBankHeader(&paramBank, 0, fx::kBankParamsType, id, 2, 0);
  const float values[] = {0.1f, 0.2f, 0.3f};
  for (int i = 0; i < 2; ++i) fx::putProgramParamForm(&paramBank, id, "P", values, 3);

  ChunkMutator mutator(20261206);
  for (int round = 0; round < 3000; ++round) {
    walkRecords(mutator.mutate(records));
    readFileHeaders(mutator.mutate(bankFile));
    readFileHeaders(mutator.mutate(programFile));
    readFileHeaders(mutator.mutate(paramBank));
    if (HasFailure()) FAIL() << "round " << round;
  }
}
