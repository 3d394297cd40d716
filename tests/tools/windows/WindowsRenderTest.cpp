// zorq-render on Windows renders through each Windows build of the plug-in what the
// Linux build renders from the same command: within 1e-6 of the Linux render's peak
// (the C library's maths differs between the systems, so not bit for bit).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/TempFolder.h"
#include "zorq-render/AudioInput.h"
#include "zorq-render/RenderApp.h"

namespace {

std::vector<std::string> renderCase() {
  std::ifstream file(ZORQ_RENDER_CASE);
  std::vector<std::string> arguments;
  for (std::string line; std::getline(file, line);) arguments.push_back(line);
  return arguments;
}

// Both channels, one after the other, through zorq-render's reader.
std::vector<float> samplesOf(const std::string& path) {
  AudioInput file(path);
  std::vector<float> left(file.frames()), right(file.frames());
  file.read(left.data(), right.data(), file.frames());
  left.insert(left.end(), right.begin(), right.end());
  return left;
}

class WindowsRender : public ::testing::TestWithParam<const char*> {};

TEST_P(WindowsRender, MatchesTheLinuxRender) {
#ifndef ZORQ_LINUX_RENDER
  GTEST_SKIP() << "no Linux render to compare with: configure with -DZORQ_HOST_BUILD=<the "
                  "build machine's build folder> (make windows does)";
#else
  const std::vector<float> reference = samplesOf(ZORQ_LINUX_RENDER);
  TempFolder folder;
  std::vector<std::string> arguments = renderCase();
  ASSERT_FALSE(arguments.empty()) << ZORQ_RENDER_CASE;
  arguments.insert(arguments.end(), {"--plugin", GetParam(), "--output", folder / "render.wav"});
  std::ostringstream out, err;
  ASSERT_EQ(RenderApp::run(arguments, "", out, err), 0) << err.str();

  const std::vector<float> windows = samplesOf(folder / "render.wav");
  ASSERT_EQ(windows.size(), reference.size());
  float peak = 0, difference = 0;
  for (size_t i = 0; i < reference.size(); ++i) {
    peak = std::max(peak, std::fabs(reference[i]));
    difference = std::max(difference, std::fabs(windows[i] - reference[i]));
  }
  ASSERT_GT(peak, 0.1);  // the case makes sound
  EXPECT_LE(difference, 1e-6 * peak);
#endif
}

std::string formatName(const ::testing::TestParamInfo<const char*>& info) {
  const char* const names[] = {"Vst2", "Clap", "Vst3"};
  return names[info.index];
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, WindowsRender,
                         ::testing::Values(ZORQ_VST2_FILE, ZORQ_CLAP_FILE, ZORQ_VST3_BUNDLE),
                         formatName);

}  // namespace
