#pragma once

// Plug-in framework: parameters, the plug-in base with its presets, byte chunks and
// the program and bank files. All persistent state (host chunks, presets, files)
// is built and read through ByteChunk; the base turns chunks into live parameter
// values and back, and the file code wraps chunks in the fixed file headers.

#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "chunk values are stored as they lie in memory, which must be little-endian");

// Growable byte buffer. Values are appended little-endian; every read takes a start
// position and returns the position after what it read, or -1 when the read does not
// fit (a negative start always fails), so a reader that gets -1 stops.
class ByteChunk {
 public:
  static constexpr int kMaxSize = 0x7fffffff;

  // Appends the value's bytes (4 for a 32-bit integer, 8 for a double, 1 for a bool).
  // Returns the new size, or -1 when the chunk would pass kMaxSize (nothing appended).
  template <class T>
  int Put(const T& value) {
    static_assert(std::is_arithmetic_v<T>, "only plain numbers go into a chunk");
    return append(&value, sizeof(T));
  }

  // Copies the value's bytes at pos into value and returns pos + width; returns -1 and
  // leaves value unchanged when they do not lie inside the chunk.
  template <class T>
  int Get(T* value, int pos) const {
    static_assert(std::is_arithmetic_v<T>, "only plain numbers come out of a chunk");
    if (!Fits(pos, sizeof(T))) return -1;
    if constexpr (std::is_same_v<T, bool>) {
      *value = bytes_[pos] != 0;  // any non-zero byte is true; avoids invalid bool bytes
    } else {
      std::memcpy(value, bytes_.data() + pos, sizeof(T));
    }
    return pos + static_cast<int>(sizeof(T));
  }

  // Appends the text's length as a 32-bit integer, then its bytes (no terminator).
  int PutStr(const char* text);
  // Reads a length-prefixed text at pos. Returns the position after it, or -1 when the
  // length is missing, negative, or runs past the end. A length of 0 leaves text as it
  // is; otherwise text gets the bytes up to the first zero among them.
  int GetStr(std::string* text, int pos) const;
  // As GetStr, without copying (no allocation): *text points at the text's bytes in
  // the chunk, *length counts them up to the first zero among them.
  int PeekStr(int pos, const char** text, int* length) const;
  // Appends all bytes of another chunk, with no length prefix.
  int PutChunk(const ByteChunk& other);
  // Appends raw bytes, with no length prefix.
  int PutBytes(const void* data, int size);

  int Size() const { return static_cast<int>(bytes_.size()); }
  // Sets the size (negative counts as 0); returns the new size.
  int Resize(int size);
  void Clear() { bytes_.clear(); }
  uint8_t* GetBytes() { return bytes_.data(); }
  const uint8_t* GetBytes() const { return bytes_.data(); }

  // True when width bytes starting at pos lie inside the chunk (computed without
  // overflow, so huge or negative inputs simply do not fit).
  bool Fits(int64_t pos, int64_t width) const {
    return pos >= 0 && width >= 0 && pos + width <= static_cast<int64_t>(bytes_.size());
  }

  bool operator==(const ByteChunk& other) const { return bytes_ == other.bytes_; }
  bool operator!=(const ByteChunk& other) const { return bytes_ != other.bytes_; }

 private:
  int append(const void* data, size_t size);

  std::vector<uint8_t> bytes_;
};

// The framework's version marker in front of state chunks: the magic "tffp" in file
// order, then the framework version.
constexpr int32_t kIPlugVersionMagic = 0x70666674;
constexpr int32_t kIPlugVersion = 0x00010000;
constexpr int kIPlugVersionMarkerBytes = 8;

// Empties the chunk and writes the version marker.
void InitChunkWithIPlugVer(ByteChunk* chunk);
// Returns the framework version of the marker at *pos and moves *pos past it. Returns 0
// and leaves *pos alone when no marker magic starts there; returns 0 and sets *pos to
// -1 when the magic is there but the version is cut off.
int GetIPlugVerFromChunk(const ByteChunk* chunk, int* pos);
// Moves *pos past a version marker when one starts there (the common reader prologue);
// a marker cut off after its magic makes *pos -1.
void SkipIPlugVerMarker(const ByteChunk* chunk, int* pos);
