// The built ZORQ.clap for the CLAP suites, through the hosting library.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "hosting/ClapPluginHost.h"
#include "support/HostRecorder.h"

// The file, loaded and initialised once for the test program (as a host keeps it while
// it runs), so instances share what the library caches.
inline std::shared_ptr<ClapLibrary> sharedClap() {
  static const auto library = std::make_shared<ClapLibrary>(ZORQ_CLAP_PATH);
  return library;
}

// One instance of it in a host that offers (or not, or later) what an editor needs; what
// it tells the host is recorded.
struct LoadedClap {
  explicit LoadedClap(HostSetup::EditorSupport support = HostSetup::EditorSupport::kFromTheStart)
      : host(sharedClap(), "", {"zorq-test-host", "ZORQ", 1, &recorder, support}) {}

  HostRecorder recorder;  // made first, gone last
  ClapPluginHost host;
};
