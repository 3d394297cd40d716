// INI profile store: the classic section/key/value interface over
// per-user profile files, each named by its path. A file is parsed once into a
// process-wide cache of 32 file contexts (least recently used is evicted) and
// served from memory while it is unchanged on disk; a write edits the cached
// copy and rewrites the whole file atomically (temporary file in the same
// folder, then rename). Section and key names compare ignoring ASCII case.
//
// Every function takes the store's own process-wide recursive mutex, so it may
// be called from any thread; between processes, advisory locks (flock, LockFileEx) and the
// atomic rename keep readers from seeing a half-written file and serialise
// writers. Failures are silent: an unreadable file reads as empty, a
// failed rewrite leaves the old file and keeps the change only in the cache.
#pragma once

// Copies the value stored under section/key of `file` (blanks around it and one
// pair of matching quotes removed) or, when absent, `defaultValue` (null counts
// as "") into `out`, cut to outSize - 1 characters and zero-terminated.
// Returns the length of the text placed in out (0 when out is null or
// outSize < 1). A null section or key reads as absent.
int GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                            char* out, int outSize, const char* file);

// Sets section/key to value and rewrites the file when that changes anything.
// A null key deletes the section, a null value deletes the key. Returns 0 for
// a null section or file or an empty key, else 1 (also when the rewrite failed).
int WritePrivateProfileString(const char* section, const char* key, const char* value,
                              const char* file);

// Replaces the keys of a section with `data`: texts "key=value", each ended by
// a zero byte, the list ended by an empty text (null data counts as an empty
// list). An empty list only clears the section (its header stays); a missing
// section is created only for a non-empty list. Returns 0 for a null section or
// file, else 1.
int WritePrivateProfileSection(const char* section, const char* data, const char* file);
