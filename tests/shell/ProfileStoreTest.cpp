#include "shell/ProfileStore.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/TempFolder.h"

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

// Overwrites the value of the file's first key "[S]\nK=..." in place, same size.
void overwriteValue(const std::string& file, const char* value) {
  std::fstream edit(file, std::ios::in | std::ios::out | std::ios::binary);
  edit.seekp(std::string("[S]\nK=").size());
  edit << value;
}

std::string keyOf(const char* prefix, int writer, int k) {
  return prefix + std::to_string(writer) + "k" + std::to_string(k);
}

class ProfileStore : public ::testing::Test {
 protected:
  TempFolder folder;
  std::string file = folder / "test.ini";
};

struct ReadCase {
  const char* text;  // the file as written by hand
  const char* section;
  const char* key;
  const char* expected;  // "absent" stands for the default
};

// The file's text on one line ('|' for a line end), then the entry read.
void PrintTo(const ReadCase& c, std::ostream* os) {
  for (const char* p = c.text; *p; ++p)
    *os << (*p == '\n' ? "|" : *p == '\r' ? "\\r" : std::string(1, *p));
  *os << " [" << c.section << "] " << c.key;
}

class ProfileStoreRead : public ProfileStore, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ProfileStoreRead, FollowsTheLineRules) {
  writeText(file, GetParam().text);
  EXPECT_EQ(get(file, GetParam().section, GetParam().key, "absent"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ProfileStoreRead,
    ::testing::Values(ReadCase{"[S]\nK=  \"quoted value\"  \n", "S", "K", "quoted value"},
                      ReadCase{"[S]\nK=\"\n", "S", "K", "\""},
                      ReadCase{"[S]\nK='single'\n", "S", "K", "single"},
                      ReadCase{"[S]\nK=\"mixed'\n", "S", "K", "\"mixed'"},
                      ReadCase{"[S]\nK=\t plain \t\n", "S", "K", "plain"},
                      ReadCase{"[S]\nK=a=b\n", "S", "K", "a=b"},
                      ReadCase{"[S]\n   K=crlf\r\n", "S", "K", "crlf"},
                      ReadCase{"[Global]\nMIDI Thru=false\n", "GLOBAL", "Midi THRU", "false"},
                      ReadCase{"K=before any section\n", "", "K", "absent"},
                      ReadCase{"  [First] trailing text\nkey = spaced\n", "First", "key ", "spaced"},
                      ReadCase{"[First]\nkey = spaced\n", "First", "key", "absent"},
                      ReadCase{"[First]\nno equals sign\n=no key\n;K=comment\n", "First", "K", "absent"},
                      ReadCase{"[]\nlost=after an empty header\n", "", "lost", "absent"},
                      ReadCase{"[Unclosed\nin=unclosed\n", "Unclosed", "in", "unclosed"},
                      ReadCase{"[S]\na=1\n[s]\nc=3\n", "S", "a", "absent"},  // a repeated section starts over
                      ReadCase{"[S]\nc=3\nc=4\n", "S", "c", "4"}));

TEST_F(ProfileStore, DefaultsStayUntrimmedAndOutputIsCutToItsSize) {
  EXPECT_EQ(get(folder / "missing.ini", "Global", "Key", "  fallback  "), "  fallback  ");
  put(file, "S", "K", "abcdef");
  EXPECT_EQ(get(file, "S", "K", "", 4), "abc");
  char untouched = 'x';
  EXPECT_EQ(GetPrivateProfileString("S", "K", "", &untouched, 0, file.c_str()), 0);
  EXPECT_EQ(untouched, 'x');
  EXPECT_EQ(GetPrivateProfileString("S", "K", "", nullptr, 8, file.c_str()), 0);
}

struct WriteCase {
  const char* before;  // the file's text, as written by hand
  const char* section;
  const char* key;
  const char* value;
  const char* after;
};

void PrintTo(const WriteCase& c, std::ostream* os) {
  *os << "[" << c.section << "] " << (c.key ? c.key : "(whole section)") << " = "
      << (c.value ? c.value : "(deleted)");
}

class ProfileStoreWrite : public ProfileStore, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(ProfileStoreWrite, RewritesSortedIgnoringCase) {
  writeText(file, GetParam().before);
  put(file, GetParam().section, GetParam().key, GetParam().value);
  EXPECT_EQ(readText(file), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Files, ProfileStoreWrite,
    ::testing::Values(
        WriteCase{"[b section]\nzeta=1\nAlpha=3\n[A Section]\nbeta=2\n", "a section", "ALPHA", "4",
                  "[A Section]\nALPHA=4\nbeta=2\n\n[b section]\nAlpha=3\nzeta=1\n\n"},
        WriteCase{"[Global]\nMIDI Thru=false\n", "gLoBaL", "midi thru", "true", "[Global]\nMIDI Thru=true\n\n"},
        WriteCase{"# hand edited\n\n[Global]\n; comment\nPath=/x\n\n\n", "Global", "Other", "y",
                  "[Global]\nOther=y\nPath=/x\n\n"},
        WriteCase{"orphan=1\n  [First] x\nkey = spaced\nno equals\n=no key\n[]\nlost=1\n[Unclosed\nin=u\n", "First",
                  "added", "1", "[First]\nadded=1\nkey = spaced\n\n[Unclosed]\nin=u\n\n"},
        WriteCase{"[A]\nx=1\ny=2\n\n[B]\nz=3\n\n", "a", "X", nullptr, "[A]\ny=2\n\n[B]\nz=3\n\n"},
        WriteCase{"[A]\ny=2\n\n[B]\nz=3\n\n", "b", nullptr, nullptr, "[A]\ny=2\n\n"},
        WriteCase{"[A]\ny=2\n\n", "Missing", nullptr, nullptr, "[A]\ny=2\n\n"}));

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
  put(file, "s", "k", "v");
  EXPECT_EQ(statOf(file).st_mtim.tv_sec, before.st_mtim.tv_sec);
  chmod(file.c_str(), 0666);
  put(file, "S", "K", "V");  // the comparison is case-sensitive
  EXPECT_NE(statOf(file).st_ino, before.st_ino);
  EXPECT_EQ(statOf(file).st_mode & 07777, 0666u);  // the rewrite keeps the mode
}

TEST_F(ProfileStore, RejectsInvalidArguments) {
  EXPECT_EQ(WritePrivateProfileString(nullptr, "k", "v", file.c_str()), 0);
  EXPECT_EQ(WritePrivateProfileString("s", "", "v", file.c_str()), 0);
  EXPECT_EQ(WritePrivateProfileString("s", "k", "v", nullptr), 0);
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
  std::filesystem::remove(file);
  EXPECT_EQ(WritePrivateProfileSection("S", "\0", file.c_str()), 1);
  EXPECT_FALSE(std::filesystem::exists(file));  // an empty section creates no file
}

// The cache serves an unchanged file from memory (inode, size and time as cached) and
// rereads it when another process renamed a new file over it, edited it in place or
// when the file was evicted (32 files fit).
TEST_F(ProfileStore, CacheRereadsChangedFilesAndEvictsTheLeastRecentlyUsed) {
  put(file, "S", "K", "one");
  backdate(file);
  EXPECT_EQ(get(file, "S", "K"), "one");
  // Same size and time: only the new file behind the name tells the change.
  EXPECT_EQ(inChild([&] {
              put(file, "S", "K", "two");
              backdate(file);
              return 0;
            }),
            0);
  EXPECT_EQ(get(file, "S", "K"), "two");
  overwriteValue(file, "xyz");
  struct timespec later[2] = {{1000000001, 0}, {1000000001, 0}};  // same size, time moved
  utimensat(AT_FDCWD, file.c_str(), later, 0);
  EXPECT_EQ(get(file, "S", "K"), "xyz");
  // Changed behind the store's back with inode, size and time as cached.
  backdate(file);
  EXPECT_EQ(get(file, "S", "K"), "xyz");
  overwriteValue(file, "new");
  backdate(file);
  EXPECT_EQ(get(file, "S", "K"), "xyz");  // from the cache
  for (int i = 0; i < 31; ++i) get(folder / ("other" + std::to_string(i) + ".ini"), "S", "K");
  EXPECT_EQ(get(file, "S", "K"), "xyz");
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
}

TEST_F(ProfileStore, WritersInSeveralProcessesKeepEachOthersKeys) {
  constexpr int kProcesses = 6, kKeys = 15;
  put(file, "S", "start", "1");
  std::vector<pid_t> children;
  for (int p = 0; p < kProcesses; ++p) {
    const pid_t child = fork();
    if (child == 0) {
      for (int k = 0; k < kKeys; ++k) {
        WritePrivateProfileString("S", keyOf("p", p, k).c_str(), "v", file.c_str());
      }
      _exit(0);
    }
    children.push_back(child);
  }
  for (pid_t child : children) waitpid(child, nullptr, 0);
  for (int p = 0; p < kProcesses; ++p)
    for (int k = 0; k < kKeys; ++k) EXPECT_EQ(get(file, "S", keyOf("p", p, k).c_str()), "v");
  EXPECT_FALSE(std::filesystem::exists(folder / ".test.ini.new"));
}

TEST_F(ProfileStore, ThreadsShareTheStoreSafely) {
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&, t] {
      for (int k = 0; k < 20; ++k) put(file, "S", keyOf("t", t, k).c_str(), "v");
    });
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < 4; ++t)
    for (int k = 0; k < 20; ++k) EXPECT_EQ(get(file, "S", keyOf("t", t, k).c_str()), "v");
}

}  // namespace
