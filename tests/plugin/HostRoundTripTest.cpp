// What a host reads from the plug-in and hands back or keeps: parameter values it stores
// as 32-bit floats, and program names it reads into buffers of its own size.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "hosting/Vst2PluginHost.h"

namespace {

// A host keeps every parameter as the float getParameter gave it and sets it back with
// setParameter (on restoring a session, around its own controls): nothing may move, not
// the plain values the state holds (the program chunk stores them as doubles) and not
// the texts. Checked at the defaults, where band frequencies and "Pitch Bend" moved,
// and at values a host set from floats of its own.
TEST(HostRoundTrip, EveryParameterHandedBackAsItsFloatKeepsItsValueAndText) {
  Vst2PluginHost host(ZORQ_PLUGIN_PATH);
  host.start(44100.0, 512);
  const int params = host.numParams();
  for (const char* state : {"defaults", "host floats"}) {
    if (std::string(state) == "host floats")
      for (int i = 0; i < params; ++i) host.setParameter(i, float(i % 13) / 13.0f + 0.01f);
    const std::vector<uint8_t> stateBefore = host.chunk(false);
    for (int i = 0; i < params; ++i) {
      const float reported = host.getParameter(i);
      const std::string shown = host.paramDisplay(i);
      host.setParameter(i, reported);
      EXPECT_EQ(host.getParameter(i), reported) << state << ", parameter " << i;
      EXPECT_EQ(host.paramDisplay(i), shown) << state << ", parameter " << i;
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
  Vst2PluginHost renamed(ZORQ_PLUGIN_PATH);
  renamed.start(44100.0, 512);
  renamed.setProgramName(longName);
  const std::vector<uint8_t> program = renamed.chunk(false), bank = renamed.chunk(true);

  Vst2PluginHost fromProgram(ZORQ_PLUGIN_PATH), fromBank(ZORQ_PLUGIN_PATH);
  ASSERT_TRUE(fromProgram.setChunk(false, program));
  ASSERT_TRUE(fromBank.setChunk(true, bank));
  for (Vst2PluginHost* host : {&renamed, &fromProgram, &fromBank})
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
