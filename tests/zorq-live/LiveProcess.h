// zorq-live started by a test: its output and errors go to files in a folder of the
// test's, signals reach it by its pid, and it is killed if still running when the
// object goes.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "support/Commands.h"
#include "support/TempFolder.h"

class LiveProcess {
 public:
  LiveProcess(const TempFolder& folder, std::vector<std::string> arguments)
      : out_(folder / "live.out"), err_(folder / "live.err") {
    arguments.insert(arguments.begin(), ZORQ_LIVE_EXECUTABLE);
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~LiveProcess() {
    if (pid_ > 0 && status_ < 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  LiveProcess(const LiveProcess&) = delete;
  LiveProcess& operator=(const LiveProcess&) = delete;

  bool Started() const { return pid_ > 0; }
  void Signal(int signal) {
    if (pid_ > 0 && status_ < 0) kill(pid_, signal);
  }
  // The exit status, or -1 when it has not ended within the time (or died by a signal).
  int Wait(std::chrono::milliseconds limit = std::chrono::milliseconds(10000)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (status_ < 0 && pid_ > 0) {
      int status = 0;
      const pid_t done = waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        break;
      }
      if (std::chrono::steady_clock::now() > end) return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return status_;
  }
  bool Running() {
    if (status_ >= 0 || pid_ <= 0) return false;
    return Wait(std::chrono::milliseconds(0)) < 0;
  }
  pid_t Pid() const { return pid_; }
  std::string Output() const { return readText(out_); }
  std::string Errors() const { return readText(err_); }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
  std::string out_, err_;
};
