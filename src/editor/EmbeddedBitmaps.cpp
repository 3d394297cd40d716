#include "editor/EmbeddedBitmaps.h"

#include <fstream>
#include <iterator>
#include <vector>

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
    if (!skinFolder.empty()) {
      std::ifstream file(skinFolder + "/" + image.name + ".png", std::ios::binary);
      const std::vector<char> skin((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
      if (!skin.empty()) {
        BitmapResources::Register(image.name, skin.data(), skin.size());
        continue;
      }
    }
    BitmapResources::Register(image.name, image.bytes, image.size);
  }
}
