#include "shell/ProfileStore.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

#include "framework/ReplacementFile.h"
#include "system/FileLock.h"
#include "system/Files.h"

namespace {

constexpr int kCacheSize = 32;
constexpr size_t kMaxLineLength = 32u << 20;           // longer lines are cut
constexpr size_t kMaxBytesBeforeSection = 256u << 10;  // not an INI file: stop reading
constexpr size_t kMaxSectionEntryLength = 8191;
constexpr int kTempLockAttempts = 100;

char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; }

// Orders names ignoring ASCII case only (independent of the host's locale).
struct AsciiCaseLess {
  bool operator()(const std::string& a, const std::string& b) const {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
      const unsigned char x = foldAscii(a[i]), y = foldAscii(b[i]);
      if (x != y) return x < y;
    }
    return a.size() < b.size();
  }
};

using KeyMap = std::map<std::string, std::string, AsciiCaseLess>;
using SectionMap = std::map<std::string, KeyMap, AsciiCaseLess>;

// What the cache remembers of a file on disk: modification time to the
// nanosecond, size, device and inode, so that a rewrite by another process
// (always a new inode, through the rename) is noticed even within the same
// second and at the same size. All zero: no file.
struct FileStamp {
  FileStatus status;

  static FileStamp of(const FileStatus& status) { return FileStamp{status}; }
  static FileStamp ofPath(const std::string& path) {
    FileStatus status;
    if (!statusOf(path, &status)) return FileStamp();
    return of(status);
  }
  bool operator==(const FileStamp& o) const {
    return status.sameFile(o.status) &&
           status.modifiedNanoseconds == o.status.modifiedNanoseconds &&
           status.size == o.status.size;
  }
  bool operator!=(const FileStamp& o) const { return !(*this == o); }
};

struct FileContext {
  bool used = false;
  uint64_t lastAccess = 0;
  FileStamp stamp;
  std::string path;
  SectionMap sections;
};

struct Cache {
  std::recursive_mutex mutex;
  FileContext contexts[kCacheSize];
  uint64_t accessCounter = 0;
};

Cache& cache() {
  static Cache instance;
  return instance;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// Reads one line without its LF; a line longer than kMaxLineLength is cut.
// Returns false at the end of the file when nothing was read; adds the bytes
// consumed to `consumed`.
bool readLine(FILE* f, std::string& line, size_t& consumed) {
  line.clear();
  char buffer[4096];
  bool any = false;
  while (fgets(buffer, sizeof buffer, f)) {
    any = true;
    size_t n = strlen(buffer);
    consumed += n;
    const bool ended = n > 0 && buffer[n - 1] == '\n';
    if (ended) --n;
    if (line.size() < kMaxLineLength)
      line.append(buffer, std::min(n, kMaxLineLength - line.size()));
    if (ended) return true;
  }
  return any;
}

// Parses the file of ctx.path into ctx.sections under a shared advisory lock
// and remembers its stamp. A file that cannot be opened reads as empty, stamp 0.
void readFile(FileContext& ctx) {
  ctx.sections.clear();
  ctx.stamp = FileStamp();
  if (ctx.path.empty()) return;
  FILE* f = openFile(ctx.path, "r");
  if (!f) return;
  const int fd = fileno(f);
  lockDescriptor(fd, false);
  std::string line;
  size_t consumed = 0;
  bool seenSection = false;
  KeyMap* current = nullptr;
  while (readLine(f, line, consumed)) {
    if (!seenSection && consumed > kMaxBytesBeforeSection) break;
    size_t end = line.size();
    while (end > 0 && (isBlank(line[end - 1]) || line[end - 1] == '\r' || line[end - 1] == '\n'))
      --end;
    size_t begin = 0;
    while (begin < end && isBlank(line[begin])) ++begin;
    if (begin == end) continue;
    if (line[begin] == '[') {
      seenSection = true;
      const size_t close = line.find(']', begin + 1);
      const size_t nameEnd = (close == std::string::npos || close > end) ? end : close;
      const std::string name = line.substr(begin + 1, nameEnd - begin - 1);
      if (name.empty()) {
        current = nullptr;
      } else {
        current = &ctx.sections[name];
        current->clear();  // a repeated section starts over
      }
      continue;
    }
    if (!current) continue;
    const size_t equals = line.find('=', begin);
    if (equals == std::string::npos || equals >= end || equals == begin) continue;
    (*current)[line.substr(begin, equals - begin)] = line.substr(equals + 1, end - equals - 1);
  }
  FileStatus status;
  if (statusOfDescriptor(fd, &status)) ctx.stamp = FileStamp::of(status);
  unlockDescriptor(fd);
  fclose(f);
}

// Getting a file context; store mutex held. Paths compare exactly: Linux file names
// are case-sensitive, so two names differing in case are two files (on Windows two
// contexts of one file, each read fresh when the other rewrote it).
FileContext& getContext(const char* path) {
  Cache& c = cache();
  FileContext* found = nullptr;
  FileContext* oldest = nullptr;
  for (FileContext& ctx : c.contexts) {
    if (!ctx.used || ctx.path == path) {
      found = &ctx;
      break;
    }
    if (!oldest || ctx.lastAccess < oldest->lastAccess) oldest = &ctx;
  }
  FileContext& ctx = found ? *found : *oldest;
  ctx.lastAccess = ++c.accessCounter;
  if (ctx.used && ctx.path == path && FileStamp::ofPath(ctx.path) == ctx.stamp) return ctx;
  ctx.used = true;
  ctx.path = path;
  readFile(ctx);
  return ctx;
}

std::string temporaryPathFor(const std::string& path) {
  const size_t slash = path.rfind('/');
  const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, nameStart) + "." + path.substr(nameStart) + ".new";
}

// Opens the temporary file and takes its exclusive lock. The lock is what
// serialises writers between processes: a writer renames its temporary while
// still holding the lock, so a writer that was waiting finds, once it has the
// lock, that the path names another file, and opens the new one. Returns -1
// when the temporary cannot be opened (e.g. the path is a directory).
int openLockedTemporary(const std::string& tempPath) {
  for (int attempt = 0; attempt < kTempLockAttempts; ++attempt) {
    const int fd = openDescriptor(tempPath, OpenFor::kWrite);
    if (fd < 0) return -1;
    const bool locked = lockDescriptor(fd, true);
    FileStatus held, named;
    if (locked && statusOfDescriptor(fd, &held) && statusOf(tempPath, &named) &&
        held.sameFile(named))
      return fd;
    closeDescriptor(fd);
    if (!locked) return -1;
  }
  return -1;
}

std::string writtenForm(const SectionMap& sections) {
  std::string text;
  for (const auto& [name, keys] : sections) {
    text += '[';
    text += name;
    text += "]\n";
    for (const auto& [key, value] : keys) {
      if (key.empty()) continue;
      text += key;
      text += '=';
      text += value;
      text += '\n';
    }
    text += '\n';
  }
  return text;
}

// Rewrites ctx's file from the cache; store mutex held. `edit` is the change
// already applied to the cache: if another process rewrote the file since it
// was read, the file is read again and the change applied to the fresh copy
// (under the writers' lock), so the other process's change is not lost. The
// old file stays untouched unless a complete temporary was written.
template <typename Edit>
void rewrite(FileContext& ctx, Edit& edit) {
  if (ctx.path.empty()) return;
  const std::string tempPath = temporaryPathFor(ctx.path);
  const int fd = openLockedTemporary(tempPath);
  if (fd < 0) return;  // the cache keeps the change
  bool wanted = true;
  if (FileStamp::ofPath(ctx.path) != ctx.stamp) {
    readFile(ctx);
    wanted = edit(ctx.sections);
  }
  ReplacementFile temporary(ctx.path, tempPath, fd);
  bool ok = false;
  if (wanted) {
    copyPermissions(ctx.path, fd);
    const std::string text = writtenForm(ctx.sections);
    // Renamed while the lock is held (the descriptor stays open).
    ok = truncateDescriptor(fd) && temporary.write(text.data(), text.size()) && temporary.place();
  }
  if (ok) {
    FileStatus written;
    ctx.stamp = statusOfDescriptor(fd, &written) ? FileStamp::of(written) : FileStamp();
  } else {
    temporary.discard();
  }
  unlockDescriptor(fd);
  closeDescriptor(fd);
}

// Applies `edit` (returns whether it changed the sections) to the file's
// cached copy and rewrites the file when something changed.
template <typename Edit>
void applyEdit(const char* file, Edit edit) {
  std::lock_guard<std::recursive_mutex> lock(cache().mutex);
  FileContext& ctx = getContext(file);
  if (edit(ctx.sections)) rewrite(ctx, edit);
}

}  // namespace

int GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                            char* out, int outSize, const char* file) {
  if (!out || outSize < 1) return 0;
  std::string text = defaultValue ? defaultValue : "";
  if (section && key && file) {
    std::lock_guard<std::recursive_mutex> lock(cache().mutex);
    const FileContext& ctx = getContext(file);
    const auto s = ctx.sections.find(section);
    if (s != ctx.sections.end()) {
      const auto k = s->second.find(key);
      if (k != s->second.end()) {
        const std::string& value = k->second;
        size_t begin = 0, end = value.size();
        while (begin < end && isBlank(value[begin])) ++begin;
        while (end > begin && isBlank(value[end - 1])) --end;
        if (end - begin >= 2 && (value[begin] == '"' || value[begin] == '\'') &&
            value[end - 1] == value[begin]) {
          ++begin;
          --end;
        }
        text = value.substr(begin, end - begin);
      }
    }
  }
  const size_t length = std::min(text.size(), size_t(outSize - 1));
  memcpy(out, text.data(), length);
  out[length] = '\0';
  return int(strlen(out));  // a value with a zero byte cannot occur; strlen is the contract
}

int WritePrivateProfileString(const char* section, const char* key, const char* value,
                              const char* file) {
  if (!section || !file || (key && !*key)) return 0;
  const std::string sectionName = section;
  const std::string keyName = key ? key : "";
  const std::string newValue = value ? value : "";
  applyEdit(file, [&](SectionMap& sections) {
    auto s = sections.find(sectionName);
    if (!key) {  // delete the section
      if (s == sections.end()) return false;
      sections.erase(s);
      return true;
    }
    if (!value) {  // delete the key
      if (s == sections.end()) return false;
      return s->second.erase(keyName) > 0;
    }
    if (s == sections.end()) s = sections.emplace(sectionName, KeyMap()).first;
    auto k = s->second.find(keyName);
    if (k != s->second.end()) {
      if (k->second == newValue) return false;  // same value: the file is not touched
      k->second = newValue;                     // the existing key keeps its letter case
    } else {
      s->second.emplace(keyName, newValue);
    }
    return true;
  });
  return 1;
}

int WritePrivateProfileSection(const char* section, const char* data, const char* file) {
  if (!section || !file) return 0;
  const std::string sectionName = section;
  KeyMap entries;
  bool anyEntry = false;
  for (const char* entry = data; entry && *entry; entry += strlen(entry) + 1) {
    anyEntry = true;
    const std::string text(entry, std::min(strlen(entry), kMaxSectionEntryLength));
    const size_t equals = text.find('=');
    if (equals == std::string::npos) continue;
    entries[text.substr(0, equals)] = text.substr(equals + 1);
  }
  applyEdit(file, [&](SectionMap& sections) {
    auto s = sections.find(sectionName);
    if (s == sections.end()) {
      if (!anyEntry) return false;  // nothing to clear, nothing to create
      sections.emplace(sectionName, entries);
      return true;
    }
    // Unchanged contents (same keys with the same case and values): no rewrite.
    bool same = s->second.size() == entries.size();
    for (auto a = s->second.begin(), b = entries.begin(); same && a != s->second.end(); ++a, ++b)
      same = a->first == b->first && a->second == b->second;
    if (same) return false;
    s->second = entries;
    return true;
  });
  return 1;
}
