// A private JACK server for a test: `jackd --no-realtime -d dummy` under a server name
// of this process's own (JACK_DEFAULT_SERVER, which clients started from the test
// inherit), without audio device reservation, stopped with the object. The dummy
// backend runs at wall-clock pace. When jackd is missing or does not come up, Reason()
// says why and tests skip themselves.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "support/ChildProcess.h"

class JackTestServer {
 public:
  explicit JackTestServer(int rate = 48000, int period = 256) {
    const std::string name = "zorq-test-" + std::to_string(getpid());
    setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
    setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
    jackd_ = std::make_unique<testsupport::ChildProcess>(
        std::vector<std::string>{"jackd", "--no-realtime", "-d", "dummy", "-r",
                                 std::to_string(rate), "-p", std::to_string(period)});
    // jack_wait returns once the server answers, or fails after 10 seconds.
    const int waited = runQuiet({"jack_wait", "-w", "-t", "10"});
    if (waited == 127)
      reason_ = "jackd and its tools are not installed (Debian package jackd2)";
    else if (waited != 0)
      reason_ =
          "jackd did not come up within 10 seconds (JACK allows only a few servers at a time)";
  }

  // Empty when the server runs.
  const std::string& Reason() const { return reason_; }

  // Runs a program to its end with its output dropped; its exit status (127 when it
  // could not be started), or -1 when it has not ended within a minute.
  static int runQuiet(std::vector<std::string> arguments) {
    return testsupport::ChildProcess(std::move(arguments)).Wait(std::chrono::minutes(1));
  }

 private:
  std::unique_ptr<testsupport::ChildProcess> jackd_;
  std::string reason_;
};
