#pragma once

// The process-wide caches of decoded bitmaps (by resource id) and of fonts (by size,
// orientation, style and name), shared by every graphics context in the process.
// Each guards its list with its own mutex; the bitmap cache's mutex is not held
// while an image is decoded. Entries live until the process ends (or a bitmap is
// released).
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class LICE_IBitmap;
class RasterFont;

class BitmapStorage {
 public:
  BitmapStorage();
  ~BitmapStorage();

  // The image stored for id, or null.
  LICE_IBitmap* Find(int id);
  // Stores the image for id and returns the one stored: when another thread added
  // the id meanwhile, that image wins and `image` is deleted.
  LICE_IBitmap* Add(LICE_IBitmap* image, int id);
  // Removes the entry holding image and deletes the image.
  void Remove(LICE_IBitmap* image);

 private:
  struct Entry {
    int id;
    std::unique_ptr<LICE_IBitmap> image;
  };
  std::mutex mutex_;
  std::vector<Entry> entries_;
};

class FontStorage {
 public:
  struct Key {
    int size;
    int orientation;
    int style;
    std::string name;
    bool operator==(const Key& o) const {
      return size == o.size && orientation == o.orientation && style == o.style && name == o.name;
    }
  };

  FontStorage();
  ~FontStorage();

  // The font for key, made with `make` under the cache's mutex on first use. A font
  // that cannot be made is remembered as null, so a missing face is looked for once.
  template <typename Make>
  RasterFont* FindOrMake(const Key& key, Make make) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const Entry& entry : entries_)
      if (entry.key == key) return entry.font.get();
    entries_.push_back({key, make()});
    return entries_.back().font.get();
  }

 private:
  struct Entry {
    Key key;
    std::unique_ptr<RasterFont> font;
  };
  std::mutex mutex_;
  std::vector<Entry> entries_;
};
