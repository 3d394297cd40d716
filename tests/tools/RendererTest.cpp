#include "zorq-render/Renderer.h"

#include <gtest/gtest.h>

TEST(Renderer, LengthLimitEndsTheRenderEarlyButNeverLengthensIt) {
  RenderJob job;
  job.sampleRate = 1000.0;
  job.tailSeconds = 1.0;
  job.midi.events = {{2.0, 0x90, 60, 100}};
  EXPECT_EQ(Renderer::totalFrames(job), 3000u);
  job.lengthLimitSeconds = 0.5;
  EXPECT_EQ(Renderer::totalFrames(job), 500u);
  job.lengthLimitSeconds = 10.0;
  EXPECT_EQ(Renderer::totalFrames(job), 3000u);
}
