// Program and bank files: the plug-in's files, the format's headers, the byte chunk they
// are read from and the file calls that write them.
#include "framework/IPlugBase.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "framework/ByteChunk.h"
#include "framework/FileBytes.h"
#include "framework/FxFormat.h"
#include "framework/GoldenProgramFiles.h"
#include "framework/TestPlug.h"
#include "support/TempFolder.h"

namespace {

const std::vector<double> kValues{0.25, 7.0, 1.0, 1000.0};
const fx::Identity kTestId{TestPlug::kUniqueId, 10203};

ByteChunk chunkOf(const std::string& text) {
  ByteChunk chunk;
  chunk.PutBytes(text.data(), static_cast<int>(text.size()));
  return chunk;
}

}  // namespace

class ProgramFiles : public ::testing::Test {
 protected:
  std::string path(const char* name) const { return folder_.path() + "/" + name; }
  TempFolder folder_;
};

// A bank of parameter-form programs with the wrong parameter count fails at its first
// program and changes nothing; programs beyond the plug-in's presets are ignored instead
// of overwriting the last.
TEST_F(ProgramFiles, ParameterFormBanksNeedTheParameterCountAndIgnoreExtraPrograms) {
  // kValues normalised: gain 0.25 on -1..1, 7 on 0..10, on, and 1000 Hz on 20..20000
  // with shape 2 (sqrt of the linear position).
  const std::vector<float> floats{0.625f, 0.7f, 1.0f, float(std::sqrt(980.0 / 19980.0))};
  for (int params : {TestPlug::kParams - 1, TestPlug::kParams}) {
    ByteChunk image;
    fx::putBankHeader(&image, 0, fx::kBankParamsType, kTestId, 3, 0);
    for (const char* name : {"One", "Two", "Three"})
      fx::putProgramParamForm(&image, kTestId, name, floats.data(), params);
    ASSERT_TRUE(writeFileAtomically(path("b.fxb"), image));
    TestPlug plug(true, 2);
    plug.EnsureDefaultPreset();
    EXPECT_EQ(plug.LoadBankFromFXB(path("b.fxb")), params == TestPlug::kParams);
    EXPECT_STREQ(plug.GetPresetName(0), params == TestPlug::kParams ? "One" : "Empty");
    EXPECT_STREQ(plug.GetPresetName(1), params == TestPlug::kParams ? "Two" : "Empty");
  }
}

// Fixed byte images of a known plug-in state, chunk and parameter forms (rewritten by
// `make golden` only). Each loads back into another plug-in as that state, and the host
// hears of it: a program file its current preset's name and values, a bank (with header
// version 1 too) every preset's; the chunk form exactly, the parameter form within its
// floats' rounding.
// (The longest name a file holds, 28 characters, is the cross-build state's.)
TEST_F(ProgramFiles, GoldenFilesKeepTheirBytesAndLoadBack) {
  const char* dataFolder = std::getenv("ZORQ_TEST_DATA");
  ASSERT_NE(dataFolder, nullptr);
  for (const std::string& name : goldenprogramfiles::kNames) {
    SCOPED_TRACE(name);
    ByteChunk bytes, written;
    ASSERT_TRUE(readWholeFile(std::string(dataFolder) + "/" + name, &bytes));
    ASSERT_TRUE(goldenprogramfiles::save(name, path(name.c_str())));
    ASSERT_TRUE(readWholeFile(path(name.c_str()), &written));
    EXPECT_TRUE(written == bytes);
    const bool bank = name.back() == 'b', params = name.find("params") != std::string::npos;
    if (bank) bytes.GetBytes()[15] = 1;
    ASSERT_TRUE(writeFileAtomically(path("loaded"), bytes));
    TestPlug known, reader;
    known.fillPresets(1, kValues);
    reader.EnsureDefaultPreset();
    ASSERT_TRUE(bank ? reader.LoadBankFromFXB(path("loaded"))
                     : reader.LoadProgramFromFXP(path("loaded")));
    EXPECT_EQ(reader.programChanges, 1);  // the host hears of it
    if (bank && params) {
      EXPECT_EQ(reader.GetCurrentPresetIdx(), 1);
    }
    for (int i = 0; i < (bank ? known.NPresets() : 1); ++i) {
      const int preset = bank ? i : 1;  // a program file holds the current preset
      ASSERT_TRUE(known.RestorePreset(preset) && (!bank || reader.RestorePreset(i)));
      EXPECT_STREQ(reader.GetPresetName(i), known.GetPresetName(preset));
      for (int p = 0; p < TestPlug::kParams; ++p)
        EXPECT_NEAR(reader.GetParam(p)->Value(), known.GetParam(p)->Value(), params ? 0.1 : 0.0)
            << "preset " << i << ", parameter " << p;
    }
  }
}

// Replaced files and files larger than one read block round trip, and no temporary file
// is left behind; empty paths, missing folders, directories and oversized files fail.
TEST(FileBytes, RoundTripsLeaveNoTemporaryAndEmptyPathsMissingFoldersAndOversizedFilesFail) {
  TempFolder folder;
  const std::string path = folder.path() + "/bank.fxb";
  ByteChunk read, big;
  ASSERT_TRUE(writeFileAtomically(path, chunkOf("first")));
  big.Resize(200000);
  for (int i = 0; i < big.Size(); ++i) big.GetBytes()[i] = static_cast<uint8_t>(i * 31);
  ASSERT_TRUE(writeFileAtomically(path, big));
  ASSERT_TRUE(readWholeFile(path, &read));
  EXPECT_TRUE(read == big);
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"bank.fxb"});
  ASSERT_TRUE(std::filesystem::create_directory(std::filesystem::u8path(folder / "dir")));
  for (const std::string& refused : {std::string(), folder / "no/such/file", folder / "dir"}) {
    EXPECT_FALSE(writeFileAtomically(refused, chunkOf("x"))) << refused;
    read.Put(1.0);
    EXPECT_FALSE(readWholeFile(refused, &read)) << refused;
    EXPECT_EQ(read.Size(), 0) << refused;
  }
  EXPECT_EQ(folder.entries(), (std::vector<std::string>{"bank.fxb", "dir"}));  // no temporary
  big.Resize(1001);
  ASSERT_TRUE(writeFileAtomically(path, big));
  EXPECT_FALSE(readWholeFile(path, &read, 1000));
  EXPECT_TRUE(readWholeFile(path, &read, 1001));
  EXPECT_FALSE(readWholeFile("/dev/zero", &read, 100000));
}

// A write that fails part-way (here: the file size limit stands in for a full disk)
// must keep the user's existing file and remove the partial temporary file.
TEST(FileBytes, FailedWriteKeepsTheExistingFile) {
  TempFolder folder;
  const std::string path = folder.path() + "/program.fxp";
  ASSERT_TRUE(writeFileAtomically(path, chunkOf("precious")));
#ifdef _WIN32
  GTEST_SKIP() << "not on Windows: no per-process file size limit stands in for a full disk";
#else
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{4096, 4096};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ByteChunk big;
    big.Resize(100000);
    ::_exit(writeFileAtomically(path, big) ? 1 : 0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the oversized write reported success";
  ByteChunk read;
  ASSERT_TRUE(readWholeFile(path, &read));
  EXPECT_TRUE(read == chunkOf("precious"));
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"program.fxp"});
#endif
}

// A start outside the file reads nothing: no magic and no position. (Program and bank
// files cut in their headers are program-file fuzz regressions, fuzz/regressions.)
TEST(FxFormat, AStartOutsideTheFileHasNoPosition) {
  const ByteChunk file = fx::programFileChunkForm(kTestId, 107, "Robot", ByteChunk());
  for (int start : {-1, INT_MIN, INT_MAX, INT_MAX - 20}) {
    const fx::ProgramHeader h = fx::readProgramHeader(file, start);
    EXPECT_EQ(h.magic, 0) << start;
    EXPECT_EQ(h.pos, -1) << start;
  }
}

// Byte order and widths are fixed by the golden program files; chunk round trips read them.
// A string stops at an embedded zero but the read skips its full length. A length that is
// negative, runs past the end or would overflow a 32-bit position, or a chunk too short to
// hold one, makes the record incomplete: -1, text untouched, no read outside the chunk.
TEST(ByteChunk, ReadsOutsideTheChunkAndBadStringLengthsFail) {
  ByteChunk chunk;
  for (int i = 0; i < 3; ++i) chunk.Put(1.0 + i);
  double value = 7.0;
  for (int pos : {chunk.Size() - 7, -1, -8, INT_MIN, INT_MAX, INT_MAX - 4})
    EXPECT_EQ(chunk.Get(&value, pos), -1) << pos;
  EXPECT_EQ(value, 7.0);
  EXPECT_EQ(chunk.Get(&value, chunk.Size() - 8), chunk.Size());
  EXPECT_EQ(value, 3.0);
  std::string text;
  EXPECT_EQ(chunk.GetStr(&text, -4), -1);
  ByteChunk good;
  good.Put(int32_t{4});
  good.PutBytes("ab\0d", 4);
  EXPECT_EQ(good.GetStr(&text, 0), 8);
  EXPECT_EQ(text, "ab");
  auto rejects = [](const ByteChunk& record) {
    std::string kept = "kept";
    return record.GetStr(&kept, 0) == -1 && kept == "kept";
  };
  for (const int32_t length : {-1, INT_MAX - 3, 9}) {
    ByteChunk bad;
    bad.Put(length);
    for (int i = 0; i < 8; ++i) bad.Put(static_cast<uint8_t>('a' + i));
    EXPECT_TRUE(rejects(bad)) << length;
  }
  ByteChunk cut;
  cut.Put(uint8_t{1});
  EXPECT_TRUE(rejects(cut)) << "too short for a length";
}

// Other bytes leave the position alone; the magic without a version invalidates it.
TEST(IPlugVersionMarker, OtherBytesKeepThePositionAndACutMarkerInvalidatesIt) {
  ByteChunk other, cut;
  other.Put(0.25);
  cut.Put(kIPlugVersionMagic);
  cut.Put(uint8_t{0});
  for (const ByteChunk* chunk : {&other, &cut}) {
    const int expected = chunk == &other ? 0 : -1;
    int pos = 0;
    EXPECT_EQ(GetIPlugVerFromChunk(chunk, &pos), 0);
    EXPECT_EQ(pos, expected);
    pos = 0;
    SkipIPlugVerMarker(chunk, &pos);
    EXPECT_EQ(pos, expected);
  }
}
