#pragma once

#include "framework/FxFormat.h"
#include "framework/IPlugBase.h"

#include <string>
#include <utility>
#include <vector>

// A small plug-in with one parameter of each kind that records what the base reports.
class TestPlug : public IPlugBase {
 public:
  static constexpr int kParams = 4;
  static constexpr int kUniqueId = fx::fourCharCode('t', 'e', 's', 't');

  explicit TestPlug(bool doesChunks = true, int presets = 4, int params = kParams)
      : IPlugBase(params, "2-2 4-2", presets, "Test", "", "Maker", 0x00010203, kUniqueId, 0, 0,
                  true, doesChunks, false, 0) {
    GetParam(0)->InitDouble("Gain", 0.0, -1.0, 1.0, 0.01);
    GetParam(1)->InitInt("Steps", 3, 0, 10);
    GetParam(2)->InitBool("On", false);
    GetParam(3)->InitDouble("Freq", 440.0, 20.0, 20000.0, 0.1, "Hz", "", 2.0);
  }

  void OnParamChange(int index) override { changes.push_back(index); }
  void InformHostOfParamChange(int index, double value) override {
    informed.emplace_back(index, value);
  }
  void InformHostOfProgramChange() override { ++programChanges; }

  void setValues(const std::vector<double>& values) {
    for (size_t i = 0; i < values.size(); ++i) GetParam(static_cast<int>(i))->Set(values[i]);
  }
  std::vector<double> values() const {
    std::vector<double> result;
    for (int i = 0; i < NParams(); ++i) result.push_back(GetParam(i)->Value());
    return result;
  }

  // Presets named "Prog N" with distinct states; then preset `current` holds `live`.
  void fillPresets(int current, const std::vector<double>& live) {
    for (int i = 0; i < NPresets(); ++i) {
      RestorePreset(i);
      setValues({0.1 * i, 1.0 * i, 0.0, 100.0 * (i + 1)});
      ModifyCurrentPreset(("Prog " + std::to_string(i)).c_str());
    }
    RestorePreset(current);
    setValues(live);
    ModifyCurrentPreset();
  }

  std::vector<int> changes;
  std::vector<std::pair<int, double>> informed;
  int programChanges = 0;
};
