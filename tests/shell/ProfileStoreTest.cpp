#include "shell/ProfileStore.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "shell/TempFolder.h"

namespace {

std::string get(const std::string& file, const char* section, const char* key,
                const char* defaultValue = "", int size = 1024) {
  std::vector<char> out(size > 0 ? size : 1, 'Z');
  const int length = GetPrivateProfileString(section, key, defaultValue, out.data(), size, file.c_str());
  EXPECT_EQ(length, int(strlen(out.data())));
  return out.data();
}

void put(const std::string& file, const char* section, const char* key, const char* value) {
  EXPECT_EQ(WritePrivateProfileString(section, key, value, file.c_str()), 1);
}

// Sets the file's modification time to a fixed past moment, so that a later
// rewrite (or the lack of one) shows in the time as well as in the inode.
void backdate(const std::string& path) {
  struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
  utimensat(AT_FDCWD, path.c_str(), times, 0);
}

// Runs `body` in a child process and returns its exit status.
template <typename Body>
int inChild(Body body) {
  const pid_t child = fork();
  if (child == 0) _exit(body());
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class ProfileStore : public ::testing::Test {
 protected:
  TempFolder folder;
  std::string file = folder / "test.ini";
};

TEST_F(ProfileStore, WritesSectionsAndKeysSortedIgnoringCase) {
  put(file, "b section", "zeta", "1");
  put(file, "A Section", "beta", "2");
  put(file, "b section", "Alpha", "3");
  put(file, "a section", "ALPHA", "4");
  EXPECT_EQ(readText(file), "[A Section]\nALPHA=4\nbeta=2\n\n[b section]\nAlpha=3\nzeta=1\n\n");
}

TEST_F(ProfileStore, FindsSectionAndKeyRegardlessOfCase) {
  put(file, "Global", "MIDI Thru", "false");
  EXPECT_EQ(get(file, "global", "midi thru"), "false");
  EXPECT_EQ(get(file, "GLOBAL", "Midi THRU"), "false");
  put(file, "gLoBaL", "midi thru", "true");
  EXPECT_EQ(readText(file), "[Global]\nMIDI Thru=true\n\n");
}

TEST_F(ProfileStore, MissingEntriesGiveTheDefaultUntrimmed) {
  put(file, "Global", "Key", "value");
  EXPECT_EQ(get(file, "Global", "Other", "  fallback  "), "  fallback  ");
  EXPECT_EQ(get(file, "Nowhere", "Key", "d"), "d");
  EXPECT_EQ(get(file, "Global", "Other", nullptr), "");
  EXPECT_EQ(get(file, nullptr, "Key", "d"), "d");
  EXPECT_EQ(get(folder / "missing.ini", "Global", "Key", "d"), "d");
}

TEST_F(ProfileStore, OutputIsCutToItsSize) {
  put(file, "S", "K", "abcdef");
  EXPECT_EQ(get(file, "S", "K", "", 4), "abc");
  EXPECT_EQ(get(file, "S", "K", "", 1), "");
  char untouched = 'x';
  EXPECT_EQ(GetPrivateProfileString("S", "K", "", &untouched, 0, file.c_str()), 0);
  EXPECT_EQ(untouched, 'x');
  EXPECT_EQ(GetPrivateProfileString("S", "K", "", nullptr, 8, file.c_str()), 0);
}

struct StoredValue {
  const char* line;      // the key line as written in the file
  const char* expected;  // what GetPrivateProfileString returns
};

class ProfileStoreValue : public ProfileStore, public ::testing::WithParamInterface<StoredValue> {};

TEST_P(ProfileStoreValue, ReadsBackTrimmedAndUnquoted) {
  writeText(file, std::string("[S]\n") + GetParam().line + "\n");
  EXPECT_EQ(get(file, "S", "K"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, ProfileStoreValue,
    ::testing::Values(StoredValue{"K=  \"quoted value\"  ", "quoted value"},
                      StoredValue{"K=\"", "\""}, StoredValue{"K='single'", "single"},
                      StoredValue{"K=\"mixed'", "\"mixed'"}, StoredValue{"K=\"\"", ""},
                      StoredValue{"K=\t plain \t", "plain"}, StoredValue{"K=a=b", "a=b"},
                      StoredValue{"K=crlf\r", "crlf"}, StoredValue{"   K=indented", "indented"},
                      StoredValue{"K=", ""}));

TEST_F(ProfileStore, ParsesTheLineRules) {
  writeText(file,
            "orphan=before any section\n"
            "; a comment\n"
            "  [First] trailing text\n"
            "key = spaced\n"
            "no equals sign\n"
            "=no key\n"
            "[]\n"
            "lost=after an empty header\n"
            "[Unclosed\n"
            "in=unclosed\n");
  EXPECT_EQ(get(file, "First", "key "), "spaced");  // blanks before "=" belong to the key
  EXPECT_EQ(get(file, "First", "key", "absent"), "absent");
  EXPECT_EQ(get(file, "Unclosed", "in"), "unclosed");
  EXPECT_EQ(get(file, "", "lost", "absent"), "absent");
  put(file, "First", "added", "1");
  EXPECT_EQ(readText(file), "[First]\nadded=1\nkey = spaced\n\n[Unclosed]\nin=unclosed\n\n");
}

TEST_F(ProfileStore, RepeatedSectionStartsOver) {
  writeText(file, "[S]\na=1\nb=2\n[s]\nc=3\nc=4\n");
  EXPECT_EQ(get(file, "S", "a", "gone"), "gone");
  EXPECT_EQ(get(file, "S", "c"), "4");
}

TEST_F(ProfileStore, CommentsAndBlankLinesDisappearAfterTheFirstWrite) {
  writeText(file, "# hand edited\n\n[Global]\n; comment\nPath=/x\n\n\n");
  put(file, "Global", "Other", "y");
  EXPECT_EQ(readText(file), "[Global]\nOther=y\nPath=/x\n\n");
}

TEST_F(ProfileStore, StopsReadingALongFileWithoutSections) {
  std::string junk;
  while (junk.size() <= 300000) junk += "this is no INI file, just a long text\n";
  writeText(file, junk + "[S]\nK=v\n");
  EXPECT_EQ(get(file, "S", "K", "absent"), "absent");
  writeText(file, "[S]\n" + junk + "K=v\n");
  EXPECT_EQ(get(file, "S", "K", "absent"), "v");
}

TEST_F(ProfileStore, WritingTheSameValueDoesNotTouchTheFile) {
  put(file, "S", "K", "v");
  backdate(file);
  const struct stat before = statOf(file);
  put(file, "S", "K", "v");
  put(file, "s", "k", "v");
  const struct stat after = statOf(file);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  put(file, "S", "K", "V");  // the comparison is case-sensitive
  EXPECT_NE(statOf(file).st_ino, before.st_ino);
}

TEST_F(ProfileStore, NullKeyDeletesTheSectionAndNullValueTheKey) {
  put(file, "A", "x", "1");
  put(file, "A", "y", "2");
  put(file, "B", "z", "3");
  put(file, "a", "X", nullptr);
  EXPECT_EQ(readText(file), "[A]\ny=2\n\n[B]\nz=3\n\n");
  put(file, "b", nullptr, nullptr);
  EXPECT_EQ(readText(file), "[A]\ny=2\n\n");
  put(file, "Missing", nullptr, nullptr);
  put(file, "A", "missing", nullptr);
  EXPECT_EQ(readText(file), "[A]\ny=2\n\n");
}

TEST_F(ProfileStore, RejectsInvalidArguments) {
  EXPECT_EQ(WritePrivateProfileString(nullptr, "k", "v", file.c_str()), 0);
  EXPECT_EQ(WritePrivateProfileString("s", "", "v", file.c_str()), 0);
  EXPECT_EQ(WritePrivateProfileString("s", "k", "v", nullptr), 0);
  EXPECT_EQ(WritePrivateProfileSection(nullptr, "k=v\0", file.c_str()), 0);
  EXPECT_EQ(WritePrivateProfileSection("s", "k=v\0", nullptr), 0);
  EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(ProfileStore, SectionWriteReplacesTheKeys) {
  put(file, "S", "old", "1");
  put(file, "T", "keep", "2");
  EXPECT_EQ(WritePrivateProfileSection("s", "b=2\0no equals\0a=1=one\0\0", file.c_str()), 1);
  EXPECT_EQ(readText(file), "[S]\na=1=one\nb=2\n\n[T]\nkeep=2\n\n");
  EXPECT_EQ(WritePrivateProfileSection("S", "\0", file.c_str()), 1);
  EXPECT_EQ(readText(file), "[S]\n\n[T]\nkeep=2\n\n");  // the header stays
}

TEST_F(ProfileStore, EmptySectionWriteCreatesNothing) {
  EXPECT_EQ(WritePrivateProfileSection("S", "\0", file.c_str()), 1);
  EXPECT_EQ(WritePrivateProfileSection("S", nullptr, file.c_str()), 1);
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_EQ(WritePrivateProfileSection("S", "k=v\0\0", file.c_str()), 1);
  EXPECT_EQ(readText(file), "[S]\nk=v\n\n");
}

TEST_F(ProfileStore, RewriteKeepsTheFileMode) {
  put(file, "S", "K", "1");
  chmod(file.c_str(), 0666);
  put(file, "S", "K", "2");
  EXPECT_EQ(statOf(file).st_mode & 07777, 0666u);
}

TEST_F(ProfileStore, RereadsAFileAnotherProcessRewrote) {
  put(file, "S", "K", "one");
  EXPECT_EQ(get(file, "S", "K"), "one");
  backdate(file);
  EXPECT_EQ(get(file, "S", "K"), "one");
  // Same size, and the child sets the same modification time afterwards: only
  // the new file behind the name (the atomic rename) tells the change.
  EXPECT_EQ(inChild([&] {
              put(file, "S", "K", "two");
              backdate(file);
              return 0;
            }),
            0);
  EXPECT_EQ(get(file, "S", "K"), "two");
}

TEST_F(ProfileStore, RereadsAFileEditedInPlace) {
  put(file, "S", "K", "one");
  EXPECT_EQ(get(file, "S", "K"), "one");
  std::ofstream(file, std::ios::app) << "L=longer\n";
  EXPECT_EQ(get(file, "S", "L"), "longer");
  backdate(file);
  EXPECT_EQ(get(file, "S", "L"), "longer");
  {
    std::fstream edit(file, std::ios::in | std::ios::out | std::ios::binary);
    edit.seekp(std::string("[S]\nK=").size());
    edit << "xyz";
  }
  struct timespec later[2] = {{1000000001, 0}, {1000000001, 0}};  // same size, time moved
  utimensat(AT_FDCWD, file.c_str(), later, 0);
  EXPECT_EQ(get(file, "S", "K"), "xyz");
}

TEST_F(ProfileStore, ServesUnchangedFilesFromMemoryAndEvictsTheLeastRecentlyUsed) {
  put(file, "S", "K", "old");
  backdate(file);
  EXPECT_EQ(get(file, "S", "K"), "old");
  // Change the bytes behind the store's back, leaving inode, size and time as cached.
  {
    std::fstream edit(file, std::ios::in | std::ios::out | std::ios::binary);
    edit.seekp(std::string("[S]\nK=").size());
    edit << "new";
  }
  backdate(file);
  EXPECT_EQ(get(file, "S", "K"), "old");  // from the cache
  for (int i = 0; i < 31; ++i) get(folder / ("other" + std::to_string(i) + ".ini"), "S", "K");
  EXPECT_EQ(get(file, "S", "K"), "old");  // 32 files fit
  for (int i = 0; i < 32; ++i) get(folder / ("more" + std::to_string(i) + ".ini"), "S", "K");
  EXPECT_EQ(get(file, "S", "K"), "new");  // evicted, then read from disk
}

TEST_F(ProfileStore, OldFileStaysWhenTheTemporaryCannotBeCreated) {
  put(file, "S", "K", "old");
  const std::string before = readText(file);
  // A directory where the temporary file belongs: opening it for writing fails,
  // for root too.
  ASSERT_EQ(mkdir((folder / ".test.ini.new").c_str(), 0755), 0);
  put(file, "S", "K", "new");
  EXPECT_EQ(readText(file), before);
  EXPECT_EQ(get(file, "S", "K"), "new");  // the change lives on in the cache
  // Another writer changes the file: the cache rereads it and the change is lost.
  writeText(file, "[S]\nK=other writer\n");
  EXPECT_EQ(get(file, "S", "K"), "other writer");
}

TEST_F(ProfileStore, OldFileStaysWhenTheTemporaryCannotBeWrittenCompletely) {
  put(file, "S", "K", "old");
  const std::string before = readText(file);
  const std::string big(4096, 'x');
  // A file-size limit makes every write past 100 bytes fail with EFBIG, for root too.
  EXPECT_EQ(inChild([&] {
              signal(SIGXFSZ, SIG_IGN);
              struct rlimit limit = {100, 100};
              setrlimit(RLIMIT_FSIZE, &limit);
              put(file, "S", "K", big.c_str());
              return 0;
            }),
            0);
  EXPECT_EQ(readText(file), before);
  EXPECT_FALSE(std::filesystem::exists(folder / ".test.ini.new"));
  put(file, "S", "K", big.c_str());
  EXPECT_EQ(get(file, "S", "K", "", 8192), big);
}

TEST_F(ProfileStore, WritersInSeveralProcessesKeepEachOthersKeys) {
  constexpr int kProcesses = 6, kKeys = 15;
  put(file, "S", "start", "1");
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t child = fork();
    if (child == 0) {
      for (int k = 0; k < kKeys; ++k) {
        const std::string key = "p" + std::to_string(p) + "k" + std::to_string(k);
        WritePrivateProfileString("S", key.c_str(), "v", file.c_str());
      }
      _exit(0);
    }
    children.push_back(child);
  }
  for (pid_t child : children) waitpid(child, nullptr, 0);
  for (int p = 0; p < kProcesses; ++p)
    for (int k = 0; k < kKeys; ++k) {
      const std::string key = "p" + std::to_string(p) + "k" + std::to_string(k);
      EXPECT_EQ(get(file, "S", key.c_str()), "v") << key;
    }
  EXPECT_FALSE(std::filesystem::exists(folder / ".test.ini.new"));
}

TEST_F(ProfileStore, ThreadsShareTheStoreSafely) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int k = 0; k < 20; ++k) {
        const std::string key = "t" + std::to_string(t) + "k" + std::to_string(k);
        WritePrivateProfileString("S", key.c_str(), "v", file.c_str());
        char out[8];
        GetPrivateProfileString("S", key.c_str(), "", out, sizeof out, file.c_str());
      }
    });
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < 4; ++t)
    for (int k = 0; k < 20; ++k) {
      const std::string key = "t" + std::to_string(t) + "k" + std::to_string(k);
      EXPECT_EQ(get(file, "S", key.c_str()), "v");
    }
}

}  // namespace
