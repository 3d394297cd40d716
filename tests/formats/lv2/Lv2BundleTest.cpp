// The bundle's Turtle files as lilv reads them, against the instrument's parameter
// table and built-in programs; the port symbols against the pinned list.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include <lv2/midi/midi.h>
#include <lv2/port-props/port-props.h>
#include <lv2/units/units.h>

#include "formats/lv2/Lv2Fixture.h"
#include "engine/ZORQ.h"
#include "framework/PortValue.h"
#include "plugin/lv2/ZorqLv2Description.h"

namespace {

class Lv2BundleFiles : public ::testing::Test {
 protected:
  bool has(const LilvPort* port, const char* property) { return bundle.portHas(port, property); }
  LilvNode* node(const char* uri) { return lilv_new_uri(bundle.world(), uri); }

  Lv2Bundle& bundle = *sharedBundle();
  const Lv2Description description = zorqLv2Description();
};

// The symbols are the pinned ones (hosts store values under them), in the description
// and in the bundle.
TEST_F(Lv2BundleFiles, ParameterPortsFollowTheParameterTable) {
  std::ifstream pinned(std::string(std::getenv("ZORQ_TEST_DATA")) + "/port-symbols.txt");
  std::vector<std::string> symbols;
  for (std::string line; std::getline(pinned, line);) symbols.push_back(line);
  ASSERT_NE(bundle.plugin(), nullptr);
  ZORQ zorq;
  ASSERT_EQ(symbols.size(), description.paramPorts.size());
  ASSERT_EQ(lilv_plugin_get_num_ports(bundle.plugin()),
            description.firstParamPort() + zorq.NParams());
  for (int i = 0; i < zorq.NParams(); ++i) {
    SCOPED_TRACE(i);
    const IParam& param = *zorq.GetParam(i);
    const LilvPort* port = lilv_plugin_get_port_by_index(
        bundle.plugin(), description.firstParamPort() + static_cast<uint32_t>(i));
    EXPECT_EQ(description.paramPorts[static_cast<size_t>(i)].symbol, symbols[size_t(i)]);
    EXPECT_EQ(lilv_node_as_string(lilv_port_get_symbol(bundle.plugin(), port)), symbols[size_t(i)]);
    LilvNode* name = lilv_port_get_name(bundle.plugin(), port);
    EXPECT_STREQ(lilv_node_as_string(name), param.GetNameForHost());
    lilv_node_free(name);
    LilvNode *defaultValue = nullptr, *minimum = nullptr, *maximum = nullptr;
    lilv_port_get_range(bundle.plugin(), port, &defaultValue, &minimum, &maximum);
    EXPECT_EQ(lilv_node_as_float(defaultValue), static_cast<float>(portvalue::Default(param)));
    EXPECT_EQ(lilv_node_as_float(minimum), static_cast<float>(portvalue::Minimum(param)));
    EXPECT_EQ(lilv_node_as_float(maximum), static_cast<float>(portvalue::Maximum(param)));
    for (LilvNode* node : {defaultValue, minimum, maximum}) lilv_node_free(node);

    const bool isToggle = param.Type() == IParam::kTypeBool;
    const bool isEnum = param.IsChoice() && !isToggle;
    EXPECT_EQ(has(port, LV2_CORE__toggled), isToggle);
    EXPECT_EQ(has(port, LV2_CORE__integer), param.IsStepped() && !isToggle);
    EXPECT_EQ(has(port, LV2_CORE__enumeration), isEnum);
    LilvNode *unit = node(LV2_UNITS__unit), *db = node(LV2_UNITS__db);
    EXPECT_EQ(lilv_world_ask(bundle.world(), lilv_port_get_node(bundle.plugin(), port), unit, db),
              param.IsGain());
    lilv_node_free(unit);
    lilv_node_free(db);
    LilvScalePoints* points = lilv_port_get_scale_points(bundle.plugin(), port);
    ASSERT_EQ(points ? static_cast<int>(lilv_scale_points_size(points)) : 0,
              isEnum ? param.GetNDisplayTexts() : 0);
    LILV_FOREACH(scale_points, it, points) {
      const LilvScalePoint* point = lilv_scale_points_get(points, it);
      const int value = lilv_node_as_int(lilv_scale_point_get_value(point));
      EXPECT_STREQ(lilv_node_as_string(lilv_scale_point_get_label(point)),
                   param.GetDisplayText(value));
    }
    lilv_scale_points_free(points);
  }
}

TEST_F(Lv2BundleFiles, CarrierIsAnOptionalSideChainAndTheOtherPortsAreThere) {
  for (const Lv2AudioPort& audio : description.audioPorts) {
    SCOPED_TRACE(audio.symbol);
    const LilvPort* port = bundle.port(audio.symbol);
    ASSERT_NE(port, nullptr);
    EXPECT_EQ(has(port, LV2_CORE_PREFIX "isSideChain"), audio.sideChain);
    EXPECT_EQ(has(port, LV2_CORE__connectionOptional), audio.sideChain);
  }
  LilvNode* midi = node(LV2_MIDI__MidiEvent);
  EXPECT_TRUE(lilv_port_supports_event(bundle.plugin(), bundle.port("control"), midi));
  lilv_node_free(midi);
  EXPECT_TRUE(has(bundle.port("latency"), LV2_CORE__reportsLatency));
  LilvNode* enabled = node(LV2_CORE_PREFIX "enabled");
  EXPECT_EQ(lilv_plugin_get_port_by_designation(bundle.plugin(), nullptr, enabled),
            bundle.port("enabled"));
  lilv_node_free(enabled);
}

// lilv finds one preset per built-in program, named as the program is. (What restoring
// one plays, its port values included: Lv2Plugin.APresetRestoresItsProgramToTheBit.)
TEST_F(Lv2BundleFiles, PresetsAreTheBuiltInPrograms) {
  ZORQ zorq;
  zorq.EnsureDefaultPreset();
  std::vector<std::string> expected, found;
  for (int i = 0; i < zorq.NPresets(); ++i) {
    char number[16];
    std::snprintf(number, sizeof number, "%02d ", i + 1);
    expected.push_back(std::string(kZorqUri) + "#preset" + number + zorq.GetPresetName(i));
  }
  // The hosting library's list: the bundle's presets in URI order, with their labels.
  for (size_t i = 0; i < bundle.presets().size(); ++i)
    found.push_back(bundle.presets()[i] + " " + bundle.presetLabels()[i]);
  EXPECT_EQ(found, expected);
}

}  // namespace
