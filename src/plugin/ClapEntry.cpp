// The CLAP plug-in's exported entry: one constant record named clap_entry. Scanning
// (init, the factory, the descriptor, deinit) builds nothing; each instance is the
// instrument with its editor, made when the host creates it.
#include "engine/ZORQ.h"
#include "formats/clap/ClapFactory.h"
#include "plugin/Export.h"
#include "plugin/Instrument.h"
#include "shell/ZorqVersion.h"

namespace {
const char* const kFeatures[] = {"audio-effect", "stereo", "zandervoltmusic:vocoder", nullptr};

const clap_plugin_descriptor_t kDescriptor = {
    {kClapVersionMajor, kClapVersionMinor, kClapVersionRevision},
    "com.zandervoltmusic.zorq",
    Synth::kEffectName,
    Synth::kMfrName,
    "",
    "",
    "",
    ZorqVersion::kText,
    "Stereo 20-band channel vocoder",
    kFeatures,
};

std::unique_ptr<IPlugBase> createPlug() { return createInstrument(); }

ClapFactory& factory() {
  static ClapFactory instance(&kDescriptor, &createPlug);
  return instance;
}
}  // namespace

ZORQ_EXPORT const clap_plugin_entry_t clap_entry = {
    {kClapVersionMajor, kClapVersionMinor, kClapVersionRevision},
    [](const char* pluginPath) {
      try {
        return factory().init(pluginPath);
      } catch (...) {
        return false;
      }
    },
    []() {
      try {
        factory().deinit();
      } catch (...) {
      }
    },
    [](const char* factoryId) { return factory().getFactory(factoryId); },
};
