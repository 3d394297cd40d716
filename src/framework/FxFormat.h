#pragma once

#include "framework/ByteChunk.h"

#include <cstdint>
#include <string>

// Layouts of the program (.fxp) and bank (.fxb) files. Header integers and the floats
// of the parameter forms are big-endian; magics are their characters in reading order;
// embedded state chunks keep their own little-endian layout.
namespace fx {

constexpr int32_t fourCharCode(char a, char b, char c, char d) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16) |
                              (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8) |
                              static_cast<uint32_t>(static_cast<uint8_t>(d)));
}

constexpr int32_t kMagic = fourCharCode('C', 'c', 'n', 'K');
constexpr int32_t kProgramChunkType = fourCharCode('F', 'P', 'C', 'h');
constexpr int32_t kProgramParamsType = fourCharCode('F', 'x', 'C', 'k');
constexpr int32_t kBankChunkType = fourCharCode('F', 'B', 'C', 'h');
constexpr int32_t kBankParamsType = fourCharCode('F', 'x', 'B', 'k');
constexpr int32_t kProgramFormatVersion = 1;
constexpr int32_t kBankFormatVersion = 2;

constexpr int kProgramNameBytes = 28;
constexpr int kProgramHeaderBytes = 56;  // up to the chunk size or the first float
constexpr int kProgramChunkOffset = 60;
constexpr int kBankReservedBytes = 124;
constexpr int kBankHeaderBytes = 156;  // up to the chunk size or the first program
constexpr int kBankChunkOffset = 160;

// What every header says about the plug-in that wrote it.
struct Identity {
  int32_t uniqueId = 0;
  int32_t pluginVersion = 0;  // decimal form, major * 10000 + minor * 100 + patch
};

// Fields every program and bank header starts with. Fields the bytes do not hold stay 0.
struct FileHeader {
  int32_t magic = 0;
  int32_t byteSize = 0;
  int32_t type = 0;
  int32_t formatVersion = 0;
  int32_t uniqueId = 0;
  int32_t pluginVersion = 0;
};

// A program file, or a program record inside a parameter-form bank. pos is the offset
// after the name, or -1 when the header is cut before the end of the name.
struct ProgramHeader : FileHeader {
  int32_t numParams = 0;
  std::string name;
  int pos = -1;
};

// A bank file; pos is kBankHeaderBytes, or -1 when the file is shorter.
struct BankHeader : FileHeader {
  int32_t numPrograms = 0;
  int32_t currentProgram = 0;
  int pos = -1;
};

void putBigEndian(ByteChunk* out, int32_t value);
void putBigEndianFloat(ByteChunk* out, float value);
// Reads at pos; returns pos + 4, or -1 (value unchanged) when the bytes do not fit.
int getBigEndian(const ByteChunk& in, int32_t* value, int pos);
int getBigEndianFloat(const ByteChunk& in, float* value, int pos);

// The 28-byte name field: the first 28 bytes of the name, zero-padded (a longer name
// fills the field without a terminating zero). Reading stops at the first zero byte.
void putProgramName(ByteChunk* out, const char* name);
int getProgramName(const ByteChunk& in, std::string* name, int pos);

ProgramHeader readProgramHeader(const ByteChunk& in, int start);
BankHeader readBankHeader(const ByteChunk& in);

// Program header up to and including the name (56 bytes).
void putProgramHeader(ByteChunk* out, int32_t byteSize, int32_t type, const Identity& id,
                      int32_t numParams, const char* name);
// Bank header up to and including the reserved zeros (156 bytes).
void putBankHeader(ByteChunk* out, int32_t byteSize, int32_t type, const Identity& id,
                   int32_t numPrograms, int32_t currentProgram);

// Whole chunk-form files around a state chunk.
ByteChunk programFileChunkForm(const Identity& id, int32_t numParams, const char* name,
                               const ByteChunk& state);
ByteChunk bankFileChunkForm(const Identity& id, int32_t numPrograms, int32_t currentProgram,
                            const ByteChunk& bankState);
// A parameter-form program: the header then one float per normalised value. The same
// record makes up a whole program file and each program of a parameter-form bank.
void putProgramParamForm(ByteChunk* out, const Identity& id, const char* name,
                         const float* normalisedValues, int32_t numParams);

}  // namespace fx
