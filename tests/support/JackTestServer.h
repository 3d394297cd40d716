// A private JACK server for a test: `jackd --no-realtime -d dummy` under a server name
// of this process's own (JACK_DEFAULT_SERVER, which clients started from the test
// inherit), without audio device reservation, stopped with the object. The dummy
// backend runs at wall-clock pace. When jackd is missing or does not come up, Reason()
// says why and tests skip themselves.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
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
      reason_ = "jackd could not be started";
      return;
    }
    // jack_wait returns once the server answers, or fails after 10 seconds.
    const int waited = runQuiet({"jack_wait", "-w", "-t", "10"});
    if (waited == 127)
      reason_ = "jackd and its tools are not installed (Debian package jackd2)";
    else if (waited != 0)
      reason_ =
          "jackd did not come up within 10 seconds (JACK allows only a few servers at a time)";
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

  // Starts a program with its output dropped; its pid, or -1. The program gets SIGTERM
  // when the thread that started it ends, so a test that dies leaves no server behind
  // (JACK allows only a few at a time).
  static pid_t spawnQuiet(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    const pid_t parent = getpid();
    const pid_t pid = fork();
    if (pid != 0) return pid;
    // Child: only async-signal-safe calls until exec.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  // Runs a program to its end with its output dropped; its exit status, or -1 (127
  // when it could not be started).
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
