#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ClapTestHost.h"

// The built ZORQ.clap, loaded and initialised once for the test program (as a host
// keeps it while it runs), so instances share what the library caches.
inline ClapLibrary& sharedClap() {
  static ClapLibrary library(ZORQ_CLAP_PATH);
  return library;
}

// One instance of it, created and initialised in a host that offers (or not, or later)
// what an editor needs.
struct LoadedClap {
  explicit LoadedClap(
      ClapTestHost::EditorSupport editorSupport = ClapTestHost::EditorSupport::kFromTheStart)
      : host(editorSupport) {
    const clap_plugin_descriptor_t* descriptor = library.descriptor();
    created = descriptor && host.create(library.factory(), descriptor->id);
  }
  ClapLibrary& library = sharedClap();
  ClapTestHost host;
  bool created = false;
};

// Every sample a number and none of them subnormal.
inline ::testing::AssertionResult cleanSignal(const std::vector<float>& samples) {
  for (size_t i = 0; i < samples.size(); ++i)
    if (!std::isfinite(samples[i]) || std::fpclassify(samples[i]) == FP_SUBNORMAL)
      return ::testing::AssertionFailure() << "sample " << i << " is " << samples[i];
  return ::testing::AssertionSuccess();
}

inline double rms(const std::vector<float>& samples, size_t from = 0) {
  double sum = 0.0;
  for (size_t i = from; i < samples.size(); ++i) sum += double(samples[i]) * samples[i];
  return samples.size() > from ? std::sqrt(sum / double(samples.size() - from)) : 0.0;
}
