#include "framework/IPlugBase.h"

#include "framework/TestPlug.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

// The editor and MIDI learn path sets, informs the host and notifies; NaN changes and
// reports nothing; the host hears the clamped value that was stored. Indexes beyond the
// parameters and inputs are ignored.
TEST(IPlugBase, GuiChangeSetsInformsAndNotifiesButIgnoresNaNAndStrayIndexes) {
  TestPlug plug;
  EXPECT_EQ(plug.GetParam(TestPlug::kParams), nullptr);
  plug.SetParameterFromGUI(7, 0.5);
  plug.SetInputLabel(9, "x");
  EXPECT_STREQ(plug.GetInputLabel(9), "");
  plug.SetParameterFromGUI(0, std::nan(""));
  plug.SetParameterFromGUI(0, 0.25);  // normalised, on -1..1
  EXPECT_DOUBLE_EQ(plug.GetParam(0)->Value(), -0.5);
  plug.SetParameterFromGUI(0, -7.0);
  EXPECT_EQ(plug.GetParam(0)->Value(), -1.0);
  EXPECT_EQ(plug.informed, (std::vector<std::pair<int, double>>{{0, 0.25}, {0, 0.0}}));
  EXPECT_EQ(plug.changes, (std::vector<int>{0, 0}));

  plug.changes.clear();
  plug.OnParamReset();
  EXPECT_EQ(plug.changes, (std::vector<int>{0, 1, 2, 3}));
}

// The base's own processing copies input c to output c through the float path, or
// accumulates onto the outputs.
TEST(IPlugBase, BaseProcessConvertsAndAccumulates) {
  IPlugBase plug(0, "2-2 4-2", 0, "", "", "", 0, 0, 0, 0, false, false, false, 0);
  plug.SetBlockSize(4);
  std::vector<float> in0(4, 0.5f), in1(4, -0.25f), out0(4, 1.0f), out1(4, 1.0f);
  float* floatIns[2] = {in0.data(), in1.data()};
  float* floatOuts[2] = {out0.data(), out1.data()};
  plug.AttachInputBuffers(0, 2, floatIns, 4);
  plug.AttachOutputBuffers(0, 2, floatOuts);
  plug.ProcessBuffers(0.0f, 4);
  EXPECT_EQ(out0, std::vector<float>(4, 0.5f));
  plug.AttachOutputBuffers(0, 2, floatOuts);
  plug.ProcessBuffersAccumulating(0.0f, 4);
  EXPECT_EQ(out1, std::vector<float>(4, -0.5f));
}

TEST(IPlugBase, DisconnectedInputReadsItsOwnScratchAndHostBuffersSkipIt) {
  IPlugBase plug(0, "2-2", 0, "", "", "", 0, 0, 0, 0, false, false, false, 0);
  plug.SetBlockSize(4);
  plug.SetInputChannelConnections(0, 1, false);
  std::vector<double> hostIn(4, 0.75), out0(4, 9.0), out1(4, 9.0);
  double* ins[1] = {hostIn.data()};
  double* outs[2] = {out0.data(), out1.data()};
  plug.AttachInputBuffers(0, 2, ins, 4);  // the one host buffer goes to input 1
  plug.AttachOutputBuffers(0, 2, outs);
  plug.ProcessBuffers(0.0, 4);
  EXPECT_EQ(out0, std::vector<double>(4, 0.0));
  EXPECT_EQ(out1, std::vector<double>(4, 0.75));
}
