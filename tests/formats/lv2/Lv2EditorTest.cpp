// The editor (Lv2Ui, on the headless platform) and the built ZORQ_dsp.so talking only
// through a host: the editor's port writes go to the plug-in's control ports, its
// messages into the plug-in's atom input, the plug-in's atom output back to the editor.
#include <gtest/gtest.h>

#include "editor/EmbeddedBitmaps.h"
#include "editor/ZorqEditor.h"
#include "formats/lv2/Lv2Fixture.h"
#include "framework/PortValue.h"
#include "formats/lv2/ui/Lv2Ui.h"
#include "platform/headless/HeadlessPlatform.h"

namespace {

class Lv2Editor : public ::testing::Test {
 protected:
  void SetUp() override {
    registerEditorBitmaps();
    plugin = instanceWithBank(2);
    auto instrument = std::make_unique<ZORQ>();
    ZorqEditor::attach(instrument.get(), std::make_unique<HeadlessPlatform>());
    instrument->EnsureDefaultPreset();
    touchFeature = LV2_Feature{LV2_UI__touch, &touch};
    mapFeature = LV2_Feature{LV2_URID__map, bundle.map()};
    const LV2_Feature* features[] = {&mapFeature, &touchFeature, nullptr};
    ui = std::make_unique<Lv2Ui>(description, std::move(instrument), &Lv2Editor::write, this,
                                 features);
    ASSERT_TRUE(ui->valid());
    // Hosts tell a new editor every control port's value.
    for (size_t i = 0; i < description.paramPorts.size(); ++i) {
      const float value = plugin->port(description.paramPorts[i].symbol);
      ui->portEvent(description.firstParamPort() + static_cast<uint32_t>(i), sizeof value, 0,
                    &value);
    }
    // The editor asks for the plug-in's state and takes it in.
    for (int t = 0; t < 200 && !ui->inStep(); ++t) cycle();
    ASSERT_TRUE(ui->inStep());
    cycle(5);
  }

  // run() allocates nothing for the editor's messages and the answers the worker queued.
  void TearDown() override { EXPECT_EQ(allocations, 0u); }

  // Host cycles: the editor idles, the plug-in runs (worker included), its atom output
  // goes to the editor, and the ports the editor wrote are sent back to it too.
  void cycle(int times = 1, std::vector<HostMidiEvent> midi = {}) {
    for (int t = 0; t < times; ++t) {
      ui->idle();
      std::vector<HostMidiEvent> due;
      for (HostMidiEvent& m : midi) {
        if (m.frame >= 0 && m.frame < 512)
          due.push_back({m.frame + position, m.status, m.data1, m.data2});
        m.frame -= 512;
      }
      renderLv2(*plugin, signal, position, 512, 512, due, true, cycles++ ? &allocations : nullptr);
      position = (position + 512) % 40000;
      for (const std::vector<uint8_t>& atom : plugin->takeMessages())
        ui->portEvent(description.notifyPort(), static_cast<uint32_t>(atom.size()),
                      bundle.urid(LV2_ATOM__eventTransfer), atom.data());
    }
  }

  std::unique_ptr<ZORQ> pluginState() { return savedState(*plugin); }
  ZORQ& copy() { return static_cast<ZORQ&>(ui->copy()); }

  static void write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format,
                    const void* buffer) {
    auto* self = static_cast<Lv2Editor*>(controller);
    const int param = self->description.paramOfPort(port);
    if (param >= 0 && format == 0 && size == sizeof(float)) {
      self->plugin->port(self->description.paramPorts[static_cast<size_t>(param)].symbol) =
          *static_cast<const float*>(buffer);
      ++self->portWrites;
    } else if (port == self->description.controlInPort()) {
      const uint8_t* bytes = static_cast<const uint8_t*>(buffer);
      self->plugin->sendMessage(bytes, size);
    }
  }

  Lv2Bundle& bundle = *sharedBundle();
  const Lv2Description description = zorqLv2Description();
  std::unique_ptr<Lv2PluginHost> plugin;
  std::unique_ptr<Lv2Ui> ui;
  TestSignal signal{44100};
  int position = 0;
  int portWrites = 0;
  int cycles = 0;
  size_t allocations = 0;  // inside run() from the second cycle on
  std::vector<std::pair<uint32_t, bool>> touches;
  LV2UI_Touch touch{this, [](LV2UI_Feature_Handle handle, uint32_t port, bool grabbed) {
                      static_cast<Lv2Editor*>(handle)->touches.emplace_back(port, grabbed);
                    }};
  LV2_Feature touchFeature{}, mapFeature{};
};

// The editor opens in step with the plug-in without writing a port (the host already
// held the values). A MIDI program change in the plug-in reaches the editor, which
// writes the values that changed to the host's ports.
TEST_F(Lv2Editor, OpensInStepAndFollowsAProgramChangeInThePlugin) {
  EXPECT_STREQ(copy().GetPresetName(1), "Robot");
  EXPECT_STREQ(copy().GetPresetName(2), "Choir");
  EXPECT_EQ(portWrites, 0);
  for (const int program : {2, 1}) {
    if (program == 1) cycle(4, {{100, 0xC0, 1, 0}});
    const std::vector<double> values = programValues(program);
    EXPECT_EQ(copy().GetCurrentPresetIdx(), program);
    for (int i = 0; i < copy().NParams(); ++i) {
      EXPECT_EQ(copy().GetParam(i)->Value(), values[i]) << i;
      EXPECT_EQ(plugin->port(description.paramPorts[static_cast<size_t>(i)].symbol),
                static_cast<float>(portvalue::FromPlain(*copy().GetParam(i), values[i])));
    }
  }
  EXPECT_GT(portWrites, 0);
}

// A knob turned in the editor reaches the plug-in's port, the host hearing of the
// gesture. A program change and a rename in the editor reach the plug-in: its current
// program, the program left (with the knob's value) and the name.
TEST_F(Lv2Editor, KnobsAndProgramsChangedInTheEditorReachThePlugin) {
  copy().BeginInformHostOfParamChange(kTune);
  copy().SetParameterFromGUI(kTune, 0.75);
  copy().EndInformHostOfParamChange(kTune);
  cycle(3);
  const uint32_t port = description.firstParamPort() + kTune;
  EXPECT_EQ(touches, (std::vector<std::pair<uint32_t, bool>>{{port, true}, {port, false}}));
  EXPECT_EQ(plugin->port("tune"), static_cast<float>(copy().GetParam(kTune)->Value()));
  copy().changePreset(1);
  copy().ModifyCurrentPreset("Renamed");
  cycle(10);
  std::unique_ptr<ZORQ> state = pluginState();
  EXPECT_EQ(state->GetCurrentPresetIdx(), 1);
  EXPECT_STREQ(state->GetPresetName(1), "Renamed");
  for (int i = 0; i < copy().NParams(); ++i)
    EXPECT_EQ(state->GetParam(i)->Value(), copy().GetParam(i)->Value()) << i;
  state->RestorePreset(2);
  EXPECT_EQ(state->GetParam(kTune)->Value(), copy().GetParam(kTune)->GetNonNormalized(0.75));
}

// MIDI learn across the two: the editor arms it, a knob names the parameter, a
// controller played into the plug-in completes it, and the editor's switch and map follow.
TEST_F(Lv2Editor, MidiLearnWorksAcrossEditorAndPlugin) {
  {
    IMutexLock lock(copy().Mutex());
    copy().doMidiLearn(true);
  }
  cycle(4);
  copy().SetParameterFromGUI(kVibratoDepth, 0.4);
  cycle(4);
  cycle(4, {{0, 0xB0, 20, 64}});
  EXPECT_EQ(copy().configuration().controllerParameter(20), kVibratoDepth);
  EXPECT_FALSE(copy().midiLearn().isLearning());
  // The controller now moves the parameter in the plug-in, and the editor follows.
  cycle(4, {{0, 0xB0, 20, 127}});
  EXPECT_EQ(copy().GetParam(kVibratoDepth)->Value(), 1.0);
  EXPECT_EQ(plugin->port("vibrato_depth"), 1.0f);
}

}  // namespace
