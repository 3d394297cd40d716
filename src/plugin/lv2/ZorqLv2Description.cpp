#include "plugin/lv2/ZorqLv2Description.h"

#include "engine/ZORQ.h"
#include "factory/FactoryBank.h"

namespace {
// The gains' ports show decibels; their symbols end in "_db", so that a session of an
// older build, which stored plain factors under the bare names, is never read in the
// wrong unit (its sound comes back from the state's bank).
const Lv2ParamPort kParamPorts[] = {
    {"vocoder_mode", nullptr},
    {"keyboard", nullptr},
    {"input_mode", nullptr},
    {"sample_legato", nullptr},
    {"final_volume_db", nullptr},
    {"out_balance", nullptr},
    {"tune", "cent"},
    {"velocity", nullptr},
    {"octave_up", nullptr},
    {"in_balance", nullptr},
    {"ext_level_db", nullptr},
    {"mic_level_db", nullptr},
    {"accent_bend", nullptr},
    {"pitch_bend", "semitone12TET"},
    {"vibrato_speed", "hz"},
    {"vibrato_depth", nullptr},
    {"ensemble", nullptr},
    {"meter_mode", nullptr},
    {"attack", nullptr},
    {"release", nullptr},
    {"ensemble_l_rate_1", "hz"},
    {"ensemble_r_rate_1", "hz"},
    {"ensemble_l_rate_2", "hz"},
    {"ensemble_r_rate_2", "hz"},
    {"analysis_freq_1", "hz"},
    {"analysis_freq_2", "hz"},
    {"analysis_freq_3", "hz"},
    {"analysis_freq_4", "hz"},
    {"analysis_freq_5", "hz"},
    {"analysis_freq_6", "hz"},
    {"analysis_freq_7", "hz"},
    {"analysis_freq_8", "hz"},
    {"analysis_freq_9", "hz"},
    {"analysis_freq_10", "hz"},
    {"analysis_freq_11", "hz"},
    {"analysis_freq_12", "hz"},
    {"analysis_freq_13", "hz"},
    {"analysis_freq_14", "hz"},
    {"analysis_freq_15", "hz"},
    {"analysis_freq_16", "hz"},
    {"analysis_freq_17", "hz"},
    {"analysis_freq_18", "hz"},
    {"analysis_freq_19", "hz"},
    {"analysis_freq_20", "hz"},
    {"synthesis_freq_1", "hz"},
    {"synthesis_freq_2", "hz"},
    {"synthesis_freq_3", "hz"},
    {"synthesis_freq_4", "hz"},
    {"synthesis_freq_5", "hz"},
    {"synthesis_freq_6", "hz"},
    {"synthesis_freq_7", "hz"},
    {"synthesis_freq_8", "hz"},
    {"synthesis_freq_9", "hz"},
    {"synthesis_freq_10", "hz"},
    {"synthesis_freq_11", "hz"},
    {"synthesis_freq_12", "hz"},
    {"synthesis_freq_13", "hz"},
    {"synthesis_freq_14", "hz"},
    {"synthesis_freq_15", "hz"},
    {"synthesis_freq_16", "hz"},
    {"synthesis_freq_17", "hz"},
    {"synthesis_freq_18", "hz"},
    {"synthesis_freq_19", "hz"},
    {"synthesis_freq_20", "hz"},
    {"synthesis_level_1_db", nullptr},
    {"synthesis_level_2_db", nullptr},
    {"synthesis_level_3_db", nullptr},
    {"synthesis_level_4_db", nullptr},
    {"synthesis_level_5_db", nullptr},
    {"synthesis_level_6_db", nullptr},
    {"synthesis_level_7_db", nullptr},
    {"synthesis_level_8_db", nullptr},
    {"synthesis_level_9_db", nullptr},
    {"synthesis_level_10_db", nullptr},
    {"synthesis_level_11_db", nullptr},
    {"synthesis_level_12_db", nullptr},
    {"synthesis_level_13_db", nullptr},
    {"synthesis_level_14_db", nullptr},
    {"synthesis_level_15_db", nullptr},
    {"synthesis_level_16_db", nullptr},
    {"synthesis_level_17_db", nullptr},
    {"synthesis_level_18_db", nullptr},
    {"synthesis_level_19_db", nullptr},
    {"synthesis_level_20_db", nullptr},
    {"synthesis_fixed_1", nullptr},
    {"synthesis_fixed_2", nullptr},
    {"synthesis_fixed_3", nullptr},
    {"synthesis_fixed_4", nullptr},
    {"synthesis_fixed_5", nullptr},
    {"synthesis_fixed_6", nullptr},
    {"synthesis_fixed_7", nullptr},
    {"synthesis_fixed_8", nullptr},
    {"synthesis_fixed_9", nullptr},
    {"synthesis_fixed_10", nullptr},
    {"synthesis_fixed_11", nullptr},
    {"synthesis_fixed_12", nullptr},
    {"synthesis_fixed_13", nullptr},
    {"synthesis_fixed_14", nullptr},
    {"synthesis_fixed_15", nullptr},
    {"synthesis_fixed_16", nullptr},
    {"synthesis_fixed_17", nullptr},
    {"synthesis_fixed_18", nullptr},
    {"synthesis_fixed_19", nullptr},
    {"synthesis_fixed_20", nullptr},
    {"bias", nullptr},
    {"limit", nullptr},
    {"speed", nullptr},
};
static_assert(sizeof kParamPorts / sizeof kParamPorts[0] == kNumParams, "one port per parameter");

// The plug-in, and the Turtle writer's copy that publishes the programs as presets,
// start from the factory bank, as the VST 2 build does.
std::unique_ptr<IPlugBase> createZorq() {
  registerFactoryBank();
  auto plug = std::make_unique<ZORQ>();
  plug->EnsureDefaultPreset();
  return plug;
}
}  // namespace

Lv2Description zorqLv2Description() {
  Lv2Description description{};
  description.pluginUri = "urn:zandervoltmusic:zorq";
  description.uiUri = "urn:zandervoltmusic:zorq#ui";
  description.dspBinary = "ZORQ_dsp.so";
  description.uiBinary = "ZORQ_ui.so";
  description.ttlFile = "ZORQ.ttl";
  description.presetsFile = "presets.ttl";
  description.pluginClass = "SpectralPlugin";
  description.audioPorts = {
      {"voice_l", "Voice Left", true, false, "voice", "left"},
      {"voice_r", "Voice Right", true, false, "voice", "right"},
      {"carrier_l", "Carrier Left", true, true, "carrier", "left"},
      {"carrier_r", "Carrier Right", true, true, "carrier", "right"},
      {"out_l", "Out Left", false, false, "out", "left"},
      {"out_r", "Out Right", false, false, "out", "right"},
  };
  description.paramPorts.assign(std::begin(kParamPorts), std::end(kParamPorts));
  description.createPlugin = createZorq;
  description.createEditorCopy = nullptr;
  return description;
}
