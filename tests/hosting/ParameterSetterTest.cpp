#include "hosting/ParameterSetter.h"

#include <gtest/gtest.h>

#include "hosting/Vst2PluginHost.h"
#include "hosting/HostError.h"

namespace {

constexpr int kGain = 0, kMode = 1, kLevel = 2;

}  // namespace

// One --set value on one plug-in: the display it must reach, or a part of the error (and
// the value unchanged).
TEST(ParameterSetter, DisplaySearchFindsTheValueShownOrNamesTheRange) {
  struct Case {
    const char *plugin, *parameter, *value;
    const char* display;  // nullptr: refused
    const char* errorPart;
  };
  for (const Case& c :
       {Case{ZORQ_PLUGIN, "Final Volume", "-6 dB", "-6.0", ""},
        Case{ZORQ_PLUGIN, "Final Volume", "-oo", "-oo", ""},
        Case{ZORQ_PLUGIN, "Vocoder Mode", "ve-10 full bands", "VE-10 Full Bands", ""},
        Case{ZORQ_PLUGIN, "Analysis Freq 20", "15000", "15000", ""},  // a steep end of the range
        Case{ZORQ_PLUGIN, "Final Volume", "6 dB", nullptr, "range: -oo .. 0.0"},
        Case{ZORQ_PLUGIN, "In Balance", "0.2", nullptr, "KBD .. Noise"},     // a ratio needs text
        Case{ZORQ_PLUGIN, "Vibrato Depth", "10 dB", nullptr, "0% .. 100%"},  // wrong unit
        Case{ZORQ_FAKE_PLUGIN, "Gain", "1.5", "1.50", ""},
        Case{ZORQ_FAKE_PLUGIN, "Gain", "2.004", "2.00", ""},  // within the last digit of the end
        Case{ZORQ_FAKE_PLUGIN, "Gain", "loud", nullptr, "range"},
        Case{ZORQ_FAKE_PLUGIN_BLANK, "Gain", "1", nullptr, "shows no values"}}) {
    Vst2PluginHost host(c.plugin);
    ParameterSetter setter(host);
    const int index = setter.findParameter(c.parameter);
    const float before = host.getParameter(index);
    if (c.display) {
      setter.setFromText(index, c.value);
      EXPECT_EQ(host.paramDisplay(index), c.display) << c.parameter << " = " << c.value;
      continue;
    }
    try {
      setter.setFromText(index, c.value);
      ADD_FAILURE() << c.value << " accepted; shows " << host.paramDisplay(index);
    } catch (const UsageError& e) {
      EXPECT_NE(std::string(e.what()).find(c.errorPart), std::string::npos) << e.what();
    }
    EXPECT_EQ(host.getParameter(index), before) << c.parameter << " = " << c.value;
  }
}

// A plug-in that reads texts decides what one means (not the middle of the values that
// show it); for one that reads none, a text lands in the middle of its values. Normalised
// values are set as given.
TEST(ParameterSetter, ThePlugInsOwnReadingDecidesElseTheMiddleOfTheText) {
  Vst2PluginHost host(ZORQ_FAKE_PLUGIN);
  ParameterSetter setter(host);
  setter.setFromText(kMode, "Invert");
  EXPECT_NEAR(host.getParameter(kMode), 0.5f, 1e-3f);
  setter.setFromText(kLevel, "-6.04");
  EXPECT_FLOAT_EQ(host.getParameter(kLevel), float((60.0 - 6.04) / 60.0));
  Vst2PluginHost blank(ZORQ_FAKE_PLUGIN_BLANK);
  ParameterSetter(blank).setFromText(kLevel, "-6");
  EXPECT_FLOAT_EQ(blank.getParameter(kLevel), 0.9f);
  // Normalised values are checked and set as given.
  setter.setNormalised(kGain, "0.25");
  EXPECT_FLOAT_EQ(host.getParameter(kGain), 0.25f);
  EXPECT_THROW(setter.setNormalised(kGain, "1.5"), UsageError);
}
