#pragma once

// The data of the host's feature `uri`, or null when the host offers none.
#include <cstring>

#include <lv2/core/lv2.h>

inline const void* lv2Feature(const LV2_Feature* const* features, const char* uri) {
  for (int i = 0; features && features[i]; ++i)
    if (!std::strcmp(features[i]->URI, uri)) return features[i]->data;
  return nullptr;
}
