#pragma once

// A helper program run beside the host (a file dialog, the web browser launcher):
// found on PATH, started with the host's environment less its LD_* variables (a
// host's preload or library path must not reach the tool), stdin and stderr on
// /dev/null and stdout read through a pipe without blocking. Poll from the host's
// idle calls until it has ended; destroying a running one ends it.
#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

class ChildProcess {
 public:
  // Null when the program cannot be started.
  static std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& arguments);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Reads what the child has written; true once it has ended.
  bool Poll();
  // Its exit status once ended; -1 when a signal ended it.
  int ExitStatus() const { return exitStatus_; }
  const std::string& Output() const { return output_; }

  // The full path of a program on PATH, or empty.
  static std::string Find(const std::string& name);
  // Starts a program that outlives us (a browser launcher): detached, reaped at once.
  static bool StartDetached(const std::vector<std::string>& arguments);

 private:
  ChildProcess(pid_t pid, int output) : pid_(pid), outputFd_(output) {}
  void drain();

  pid_t pid_;
  int outputFd_;
  bool ended_ = false;
  int exitStatus_ = -1;
  std::string output_;
};
