#include "plugin/Vst3Description.h"

#include "shell/Synth.h"
#include "shell/UpdateCheck.h"

// The version in the class info is the instrument's own.
static_assert(Synth::kVersion == 0x00010103, "the class info's version text is \"1.1.3\"");

const Vst3ClassDescription& zorqVst3Description() {
  static const Vst3ClassDescription description = {
      Synth::kMfrName,
      UpdateSite::kWebSiteUrl,
      "",
      vst3::uid(0xD73CBADA, 0x34266285, 0x07E5950E, 0xA0A3D407),
      Synth::kEffectName,
      "Fx|Vocals|Stereo",
      "1.1.3",
      "VST 3.7.14",
  };
  return description;
}
