#include "framework/FileBytes.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

namespace {

ByteChunk chunkOf(const std::string& text) {
  ByteChunk chunk;
  chunk.PutBytes(text.data(), static_cast<int>(text.size()));
  return chunk;
}

[[maybe_unused]] std::string textOf(const ByteChunk& chunk) {
  return {reinterpret_cast<const char*>(chunk.GetBytes()), static_cast<size_t>(chunk.Size())};
}

}  // namespace

// Replaced files and files larger than one read block round trip, and no
// temporary file is left behind.
TEST(FileBytes, WriteThenReadRoundTripsAndLeavesNoTemporaryFile) {
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
}

TEST(FileBytes, ReadAndWriteRefuseEmptyPathsMissingFoldersDirectoriesAndOversizedFiles) {
  TempFolder folder;
  EXPECT_FALSE(writeFileAtomically("", chunkOf("x")));
  EXPECT_FALSE(writeFileAtomically(folder.path() + "/no/such/file", chunkOf("x")));
  ASSERT_TRUE(std::filesystem::create_directory(std::filesystem::u8path(folder / "dir")));
  EXPECT_FALSE(writeFileAtomically(folder.path() + "/dir", chunkOf("x")));
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"dir"});  // no temporary left behind
  ByteChunk read;
  read.Put(1.0);
  EXPECT_FALSE(readWholeFile("", &read));
  EXPECT_EQ(read.Size(), 0);
  EXPECT_FALSE(readWholeFile(folder.path() + "/missing", &read));
  EXPECT_FALSE(readWholeFile(folder.path(), &read));
  const std::string path = folder.path() + "/big";
  ByteChunk data;
  data.Resize(1001);
  ASSERT_TRUE(writeFileAtomically(path, data));
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
  EXPECT_EQ(textOf(read), "precious");
  EXPECT_EQ(folder.entries(), std::vector<std::string>{"program.fxp"});
#endif
}
