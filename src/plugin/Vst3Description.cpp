#include "plugin/Vst3Description.h"

#include "shell/Synth.h"
#include "shell/UpdateCheck.h"
#include "shell/ZorqVersion.h"

const Vst3ClassDescription& zorqVst3Description() {
  static const Vst3ClassDescription description = {
      Synth::kMfrName,
      UpdateSite::kWebSiteUrl,
      "",
      vst3::uid(0xD73CBADA, 0x34266285, 0x07E5950E, 0xA0A3D407),
      Synth::kEffectName,
      "Fx|Vocals|Stereo",
      ZorqVersion::kText,
      "VST 3.7.14",
  };
  return description;
}
