// A program a test starts (a private X server, message bus or JACK server, a JACK tool,
// zorq-live): its output and errors in files of the test's, or dropped; signalled by
// its pid and waited for with a limit. It gets SIGTERM when the thread that started it
// ends, and it is ended when the object goes, so a test that dies leaves no program
// behind (JACK allows only a few servers at a time).
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

#include "support/Commands.h"
#include "support/TempFolder.h"

// In a namespace: the X11 platform library has a ChildProcess class of its own, and a
// program linking both would take one's out-of-line members for the other's.
namespace testsupport {
class ChildProcess {
 public:
  // `out` and `err` name files made for the streams; "" drops a stream. It reads
  // nothing; a program that cannot be started exits with 127.
  explicit ChildProcess(std::vector<std::string> arguments, std::string out = "",
                        std::string err = "")
      : out_(std::move(out)), err_(std::move(err)) {
    std::vector<char*> argv;
    for (std::string& a : arguments) argv.push_back(a.data());
    argv.push_back(nullptr);
    const char* files[2] = {out_.empty() ? "/dev/null" : out_.c_str(),
                            err_.empty() ? "/dev/null" : err_.c_str()};
    const pid_t parent = getpid();
    pid_ = fork();
    if (pid_ != 0) return;
    // Child: only async-signal-safe calls until exec.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) _exit(127);
    dup2(open("/dev/null", O_RDONLY), 0);
    for (int stream : {1, 2})
      dup2(open(files[stream - 1], O_WRONLY | O_CREAT | O_TRUNC, 0644), stream);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  ~ChildProcess() {
    if (!Running()) return;
    kill(pid_, SIGTERM);
    if (Wait(std::chrono::seconds(5)) >= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t Pid() const { return pid_; }
  void Signal(int signal) {
    if (Running()) kill(pid_, signal);
  }
  // The exit status (128 + the signal for one that ended it), or -1 when it has not
  // ended within the time.
  int Wait(std::chrono::milliseconds limit = std::chrono::milliseconds(10000)) {
    eventually(
        [&] {
          int status = 0;
          if (status_ < 0 && pid_ > 0 && waitpid(pid_, &status, WNOHANG) == pid_)
            status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
          return status_ >= 0 || pid_ <= 0;
        },
        limit);
    return status_;
  }
  bool Running() { return pid_ > 0 && Wait(std::chrono::milliseconds(0)) < 0; }
  std::string Output() const { return readText(out_); }
  std::string Errors() const { return readText(err_); }
  // The first line of output once there is one; empty when the program ends without
  // one or says nothing for ten seconds.
  std::string FirstLine() {
    eventually([&] { return Output().find('\n') != std::string::npos || !Running(); });
    const std::string text = Output();
    return text.find('\n') == std::string::npos ? "" : text.substr(0, text.find('\n'));
  }

 private:
  pid_t pid_ = -1;
  int status_ = -1;
  std::string out_, err_;
};
}  // namespace testsupport
