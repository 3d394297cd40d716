// What a host reads from the plug-in and hands back or keeps: parameter values it stores
// as 32-bit floats, and program names it reads into buffers of its own size.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "RecordingHost.h"

namespace {

// A host keeps every parameter as the float getParameter gave it and sets it back with
// setParameter (on restoring a session, around its own controls): nothing may move, not
// the plain values the state holds (the program chunk stores them as doubles) and not
// the texts. Checked at the defaults, where band frequencies and "Pitch Bend" moved,
// and at values a host set from floats of its own.
TEST(HostRoundTrip, EveryParameterHandedBackAsItsFloatKeepsItsValueAndText) {
  RecordingHost host;
  ASSERT_NE(host.effect, nullptr);
  host.start();
  const int params = host.effect->numParams;
  for (const char* state : {"defaults", "host floats"}) {
    if (std::string(state) == "host floats")
      for (int i = 0; i < params; ++i) host.setParameter(i, float(i % 13) / 13.0f + 0.01f);
    const std::vector<char> stateBefore = host.chunk(false);
    for (int i = 0; i < params; ++i) {
      const float reported = host.parameter(i);
      const std::string shown = host.text(effGetParamDisplay, i);
      host.setParameter(i, reported);
      EXPECT_EQ(host.parameter(i), reported) << state << ", parameter " << i;
      EXPECT_EQ(host.text(effGetParamDisplay, i), shown) << state << ", parameter " << i;
    }
    EXPECT_EQ(host.chunk(false), stateBefore) << state;
  }
}

// Program names are kept up to 255 characters (renamed by the host or the editor, or
// read from a chunk or a bank file); a host reads them into 24-byte buffers. The copy
// ends inside the buffer: the guard bytes behind it keep their pattern.
TEST(HostRoundTrip, LongProgramNamesAreCutToTheHostsBuffer) {
  constexpr size_t kHostBuffer = 24, kGuard = 40;
  const std::string longName = "A program name far longer than any host buffer holds";
  RecordingHost renamed;
  ASSERT_NE(renamed.effect, nullptr);
  renamed.start();
  std::vector<char> name(longName.begin(), longName.end());
  name.push_back('\0');
  renamed.dispatch(effSetProgramName, 0, 0, name.data());
  const std::vector<char> program = renamed.chunk(false), bank = renamed.chunk(true);

  RecordingHost fromProgram, fromBank;
  ASSERT_NE(fromProgram.effect, nullptr);
  ASSERT_NE(fromBank.effect, nullptr);
  ASSERT_EQ(fromProgram.setChunk(false, program), 1);
  ASSERT_EQ(fromBank.setChunk(true, bank), 1);
  for (RecordingHost* host : {&renamed, &fromProgram, &fromBank})
    for (const VstInt32 opcode : {effGetProgramName, effGetProgramNameIndexed}) {
      char buffer[kHostBuffer + kGuard];
      std::memset(buffer, 0x5A, sizeof buffer);
      host->dispatch(opcode, 0, 0, buffer);
      EXPECT_EQ(std::string(buffer, strnlen(buffer, kHostBuffer)),
                longName.substr(0, kHostBuffer - 1))
          << "opcode " << opcode;
      EXPECT_EQ(std::string(buffer + kHostBuffer, kGuard), std::string(kGuard, '\x5A'))
          << "opcode " << opcode;
    }
}

}  // namespace
