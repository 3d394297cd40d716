#include "hosting/Lv2Bundle.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>

#include "hosting/HostError.h"

bool Lv2Bundle::isBundle(const std::string& path) {
  struct stat info {};
  std::string trimmed = path;
  while (trimmed.size() > 1 && trimmed.back() == '/') trimmed.pop_back();
  return trimmed.size() > 4 && trimmed.compare(trimmed.size() - 4, 4, ".lv2") == 0 &&
         stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

Lv2Bundle::Lv2Bundle(const std::string& folder) {
  map_ = LV2_URID_Map{this, &Lv2Bundle::mapUri};
  unmap_ = LV2_URID_Unmap{this, &Lv2Bundle::unmapUri};
  world_ = lilv_world_new();
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  char* absolute = realpath(path.c_str(), nullptr);
  LilvNode* bundle = lilv_new_file_uri(
      world_, nullptr, (std::string(absolute ? absolute : path.c_str()) + "/").c_str());
  std::free(absolute);
  lilv_world_load_bundle(world_, bundle);
  lilv_node_free(bundle);
  const LilvPlugins* plugins = lilv_world_get_all_plugins(world_);
  LilvIter* first = lilv_plugins_begin(plugins);
  plugin_ = lilv_plugins_is_end(plugins, first) ? nullptr : lilv_plugins_get(plugins, first);
  if (!plugin_) {
    lilv_world_free(world_);
    throw HostError("'" + folder + "' holds no LV2 plug-in");
  }
  uri_ = lilv_node_as_uri(lilv_plugin_get_uri(plugin_));
  LilvNode* name = lilv_plugin_get_name(plugin_);
  name_ = name ? lilv_node_as_string(name) : uri_;
  lilv_node_free(name);

  LilvNode* presetClass = lilv_new_uri(world_, "http://lv2plug.in/ns/ext/presets#Preset");
  LilvNode* label = lilv_new_uri(world_, "http://www.w3.org/2000/01/rdf-schema#label");
  LilvNodes* presets = lilv_plugin_get_related(plugin_, presetClass);
  LILV_FOREACH(nodes, it, presets)
  presets_.push_back(lilv_node_as_uri(lilv_nodes_get(presets, it)));
  std::sort(presets_.begin(), presets_.end());
  for (const std::string& preset : presets_) {
    LilvNode* node = lilv_new_uri(world_, preset.c_str());
    lilv_world_load_resource(world_, node);
    LilvNodes* labels = lilv_world_find_nodes(world_, node, label, nullptr);
    presetLabels_.push_back(labels && lilv_nodes_size(labels)
                                ? lilv_node_as_string(lilv_nodes_get_first(labels))
                                : preset);
    lilv_nodes_free(labels);
    lilv_node_free(node);
  }
  lilv_nodes_free(presets);
  lilv_node_free(label);
  lilv_node_free(presetClass);
}

Lv2Bundle::~Lv2Bundle() { lilv_world_free(world_); }

const LilvPort* Lv2Bundle::port(const std::string& symbol) const {
  LilvNode* node = lilv_new_string(world_, symbol.c_str());
  const LilvPort* found = lilv_plugin_get_port_by_symbol(plugin_, node);
  lilv_node_free(node);
  return found;
}

bool Lv2Bundle::portIs(const LilvPort* port, const char* classUri) const {
  LilvNode* node = lilv_new_uri(world_, classUri);
  const bool result = lilv_port_is_a(plugin_, port, node);
  lilv_node_free(node);
  return result;
}

bool Lv2Bundle::portHas(const LilvPort* port, const char* propertyUri) const {
  LilvNode* node = lilv_new_uri(world_, propertyUri);
  const bool result = lilv_port_has_property(plugin_, port, node);
  lilv_node_free(node);
  return result;
}

LV2_URID Lv2Bundle::mapUri(LV2_URID_Map_Handle handle, const char* uri) {
  auto* self = static_cast<Lv2Bundle*>(handle);
  std::lock_guard<std::mutex> lock(self->uridMutex_);
  auto found = self->uridOf_.find(uri);
  if (found != self->uridOf_.end()) return found->second;
  self->uris_.push_back(uri);
  return self->uridOf_[uri] = static_cast<LV2_URID>(self->uris_.size());
}

const char* Lv2Bundle::unmapUri(LV2_URID_Unmap_Handle handle, LV2_URID urid) {
  auto* self = static_cast<Lv2Bundle*>(handle);
  std::lock_guard<std::mutex> lock(self->uridMutex_);
  return urid >= 1 && urid <= self->uris_.size() ? self->uris_[urid - 1].c_str() : nullptr;
}
