#include "gui/IGraphicsCaches.h"

#include <algorithm>

#include "raster/LICE.h"
#include "raster/RasterFont.h"

BitmapStorage::BitmapStorage() = default;
BitmapStorage::~BitmapStorage() = default;

LICE_IBitmap* BitmapStorage::Find(int id) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (const Entry& entry : entries_)
    if (entry.id == id) return entry.image.get();
  return nullptr;
}

LICE_IBitmap* BitmapStorage::Add(LICE_IBitmap* image, int id) {
  std::unique_ptr<LICE_IBitmap> owned(image);
  std::lock_guard<std::mutex> lock(mutex_);
  // Retained bitmaps (id -1) are never shared by id.
  if (id != -1)
    for (const Entry& entry : entries_)
      if (entry.id == id) return entry.image.get();
  entries_.push_back({id, std::move(owned)});
  return image;
}

void BitmapStorage::Remove(LICE_IBitmap* image) {
  std::lock_guard<std::mutex> lock(mutex_);
  entries_.erase(std::remove_if(entries_.begin(), entries_.end(),
                                [image](const Entry& entry) { return entry.image.get() == image; }),
                 entries_.end());
}

FontStorage::FontStorage() = default;
FontStorage::~FontStorage() = default;
