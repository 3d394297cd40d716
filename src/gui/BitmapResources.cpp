#include "gui/BitmapResources.h"

#include <cctype>
#include <strings.h>

#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "raster/LICE.h"

namespace {
struct Table {
  std::mutex mutex;
  // Shared so that a Load decoding an image keeps its bytes while another thread
  // replaces the entry.
  std::map<std::string, std::shared_ptr<const std::vector<unsigned char>>> images;
  std::vector<std::string> folders;
};

Table& table() {
  static Table instance;
  return instance;
}
}  // namespace

namespace BitmapResources {

void Register(const std::string& baseName, const void* png, size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(png);
  auto copy = std::make_shared<const std::vector<unsigned char>>(bytes, bytes + (png ? size : 0));
  std::lock_guard<std::mutex> lock(table().mutex);
  table().images[baseName] = std::move(copy);
}

void AddFolder(const std::string& folder) {
  std::lock_guard<std::mutex> lock(table().mutex);
  table().folders.push_back(folder);
}

void Clear() {
  std::lock_guard<std::mutex> lock(table().mutex);
  table().images.clear();
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
  std::vector<std::string> folders;
  {
    std::lock_guard<std::mutex> lock(table().mutex);
    auto found = table().images.find(base);
    if (found != table().images.end()) bytes = found->second;
    folders = table().folders;
  }
  if (bytes) return LICE_LoadPNGFromMemory(bytes->data(), bytes->size());
  for (const std::string& folder : folders)
    if (LICE_IBitmap* image = LICE_LoadPNG((folder + "/" + base + ".png").c_str())) return image;
  return nullptr;
}

}  // namespace BitmapResources
