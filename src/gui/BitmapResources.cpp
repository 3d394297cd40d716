#include "gui/BitmapResources.h"

#include <strings.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "gui/SkinPicture.h"
#include "raster/LICE.h"

namespace {
struct Table {
  std::mutex mutex;
  // Shared so that a Load decoding an image keeps its bytes while another thread
  // replaces the entry.
  std::map<std::string, std::shared_ptr<const std::vector<unsigned char>>> images;
  std::string skinFolder;
  // Skin pictures already reported as not used.
  std::set<std::string> refused;
  std::vector<std::string> folders;
};

Table& table() {
  static Table instance;
  return instance;
}

// The skin's picture for base when it fits builtIn; otherwise null, with the refusal
// reported the first time.
LICE_IBitmap* skinPicture(const std::string& folder, const std::string& base,
                          const LICE_IBitmap& builtIn) {
  const std::string path = folder + "/" + base + ".png";
  SkinPicture skin = LoadSkinPicture(path, builtIn.getWidth(), builtIn.getHeight());
  if (skin.bitmap) return skin.bitmap.release();
  if (skin.refusal.empty()) return nullptr;
  {
    std::lock_guard<std::mutex> lock(table().mutex);
    if (!table().refused.insert(path).second) return nullptr;
  }
  std::fprintf(stderr, "skin picture %s not used (%s); the built-in picture is drawn\n",
               path.c_str(), skin.refusal.c_str());
  return nullptr;
}
}  // namespace

namespace BitmapResources {

void Register(const std::string& baseName, const void* png, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(png);
  auto copy = std::make_shared<const std::vector<unsigned char>>(bytes, bytes + (png ? size : 0));
  std::lock_guard<std::mutex> lock(table().mutex);
  table().images[baseName] = std::move(copy);
}

void SetSkinFolder(const std::string& folder) {
  std::lock_guard<std::mutex> lock(table().mutex);
  table().skinFolder = folder;
  table().refused.clear();
}

void AddFolder(const std::string& folder) {
  std::lock_guard<std::mutex> lock(table().mutex);
  table().folders.push_back(folder);
}

void Clear() {
  std::lock_guard<std::mutex> lock(table().mutex);
  table().images.clear();
  table().skinFolder.clear();
  table().refused.clear();
  table().folders.clear();
}

std::string BaseName(const char* name) {
  if (!name) return "";
  const char* dot = std::strrchr(name, '.');
  if (!dot || strcasecmp(dot + 1, "png") != 0) return "";
  const char* slash = std::strrchr(name, '/');
  const char* start = slash && slash < dot ? slash + 1 : name;
  return std::string(start, dot);
}

LICE_IBitmap* Load(const char* name) {
  const std::string base = BaseName(name);
  if (base.empty()) return nullptr;
  std::shared_ptr<const std::vector<unsigned char>> bytes;
  std::string skinFolder;
  std::vector<std::string> folders;
  {
    std::lock_guard<std::mutex> lock(table().mutex);
    auto found = table().images.find(base);
    if (found != table().images.end()) bytes = found->second;
    skinFolder = table().skinFolder;
    folders = table().folders;
  }
  if (bytes) {
    std::unique_ptr<LICE_IBitmap> builtIn(LICE_LoadPNGFromMemory(bytes->data(), bytes->size()));
    if (builtIn && !skinFolder.empty())
      if (LICE_IBitmap* skin = skinPicture(skinFolder, base, *builtIn)) return skin;
    return builtIn.release();
  }
  for (const std::string& folder : folders)
    if (LICE_IBitmap* image = LICE_LoadPNG((folder + "/" + base + ".png").c_str())) return image;
  return nullptr;
}

}  // namespace BitmapResources
