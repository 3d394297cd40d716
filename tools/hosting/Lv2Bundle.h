#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

// An LV2 bundle folder read through lilv: the first plug-in in it, its presets (in URI
// order, with their labels) and the URID map that every instance made from it shares,
// so states move between them. Shared by the instances as a host keeps it.
class Lv2Bundle {
 public:
  // HostError when the folder holds no LV2 plug-in.
  explicit Lv2Bundle(const std::string& folder);
  ~Lv2Bundle();
  Lv2Bundle(const Lv2Bundle&) = delete;
  Lv2Bundle& operator=(const Lv2Bundle&) = delete;

  // Whether the path names an LV2 bundle folder ("....lv2").
  static bool isBundle(const std::string& path);

  LilvWorld* world() const { return world_; }
  const LilvPlugin* plugin() const { return plugin_; }
  const std::string& uri() const { return uri_; }
  const std::string& name() const { return name_; }
  // The port with the symbol, or null.
  const LilvPort* port(const std::string& symbol) const;
  bool portIs(const LilvPort* port, const char* classUri) const;
  bool portHas(const LilvPort* port, const char* propertyUri) const;

  // The URID map and its inverse; any thread.
  LV2_URID_Map* map() { return &map_; }
  LV2_URID_Unmap* unmap() { return &unmap_; }
  LV2_URID urid(const char* uri) { return mapUri(this, uri); }
  const char* uriOf(LV2_URID urid) { return unmapUri(this, urid); }

  const std::vector<std::string>& presets() const { return presets_; }
  const std::vector<std::string>& presetLabels() const { return presetLabels_; }

 private:
  static LV2_URID mapUri(LV2_URID_Map_Handle handle, const char* uri);
  static const char* unmapUri(LV2_URID_Unmap_Handle handle, LV2_URID urid);

  LilvWorld* world_ = nullptr;
  const LilvPlugin* plugin_ = nullptr;
  std::string uri_, name_;
  std::vector<std::string> presets_, presetLabels_;
  std::mutex uridMutex_;
  std::map<std::string, LV2_URID> uridOf_;
  std::deque<std::string> uris_;  // stable: unmap hands out their texts
  LV2_URID_Map map_{};
  LV2_URID_Unmap unmap_{};
};
