// A private JACK server for a test: `jackd --no-realtime -d dummy` under a server name
// of this process's own (JACK_DEFAULT_SERVER, which clients started from the test
// inherit), without audio device reservation, stopped with the object. The dummy
// backend runs at wall-clock pace. When jackd is missing or does not come up, Reason()
// says why and tests skip themselves.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

class JackTestServer {
 public:
  explicit JackTestServer(int rate = 48000, int period = 256) {
    const std::string name = "zorq-test-" + std::to_string(getpid());
    setenv("JACK_DEFAULT_SERVER", name.c_str(), 1);
    setenv("JACK_NO_AUDIO_RESERVATION", "1", 1);
    pid_ = spawnQuiet({"jackd", "--no-realtime", "-d", "dummy", "-r", std::to_string(rate), "-p",
                       std::to_string(period)});
    if (pid_ <= 0) {
      reason_ = "jackd could not be started (install jackd2)";
      return;
    }
    // jack_wait returns once the server answers, or fails after 10 seconds.
    if (runQuiet({"jack_wait", "-w", "-t", "10"}) != 0) reason_ = "jackd did not come up within 10 seconds";
  }
  ~JackTestServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }
  JackTestServer(const JackTestServer&) = delete;
  JackTestServer& operator=(const JackTestServer&) = delete;

  // Empty when the server runs.
  const std::string& Reason() const { return reason_; }

  // Starts a program with its output dropped; its pid, or -1.
  static pid_t spawnQuiet(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
  }
  // Runs a program to its end with its output dropped; its exit status, or -1.
  static int runQuiet(std::vector<std::string> arguments) {
    const pid_t pid = spawnQuiet(std::move(arguments));
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
  }

 private:
  pid_t pid_ = -1;
  std::string reason_;
};
