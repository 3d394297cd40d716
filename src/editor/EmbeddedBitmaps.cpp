#include "editor/EmbeddedBitmaps.h"

#include "gui/BitmapResources.h"

// Defined in the generated EmbeddedBitmapData.cpp.
extern const EmbeddedBitmap kEmbeddedBitmaps[];
extern const size_t kEmbeddedBitmapCount;

const EmbeddedBitmap* embeddedBitmaps(size_t* count) {
  if (count) *count = kEmbeddedBitmapCount;
  return kEmbeddedBitmaps;
}

void registerEditorBitmaps(const std::string& skinFolder) {
  for (size_t i = 0; i < kEmbeddedBitmapCount; ++i) {
    const EmbeddedBitmap& image = kEmbeddedBitmaps[i];
    BitmapResources::Register(image.name, image.bytes, image.size);
  }
  BitmapResources::SetSkinFolder(skinFolder);
}
