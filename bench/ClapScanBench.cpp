// A host's scan of ZORQ.clap: load the file, init, the factory and its descriptor,
// deinit, unload. Hosts and the public validator expect well under 100 ms; the time
// reported (wall clock, in ms) is that of one whole scan.
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include "formats/clap/ClapAbi.h"

namespace {
void BM_ClapScan(benchmark::State& state) {
  for (auto _ : state) {
    void* library = dlopen(ZORQ_CLAP_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!library) {
      state.SkipWithError("cannot load ZORQ.clap");
      return;
    }
    const auto* entry = static_cast<const clap_plugin_entry_t*>(dlsym(library, "clap_entry"));
    if (entry && entry->init(ZORQ_CLAP_PATH)) {
      const auto* factory =
          static_cast<const clap_plugin_factory_t*>(entry->get_factory(kClapPluginFactoryId));
      for (uint32_t i = 0; factory && i < factory->get_plugin_count(factory); ++i)
        benchmark::DoNotOptimize(factory->get_plugin_descriptor(factory, i));
      entry->deinit();
    }
    dlclose(library);
  }
}
BENCHMARK(BM_ClapScan)->Unit(benchmark::kMillisecond)->UseRealTime();
}  // namespace
