#include "platform/x11/ChildProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {
// The environment without LD_PRELOAD, LD_LIBRARY_PATH and the rest of LD_*.
std::vector<char*> cleanEnvironment() {
  std::vector<char*> variables;
  for (char** v = environ; v && *v; ++v)
    if (std::strncmp(*v, "LD_", 3) != 0) variables.push_back(*v);
  variables.push_back(nullptr);
  return variables;
}

pid_t spawn(const std::string& path, const std::vector<std::string>& arguments, int outputFd) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 1);
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp = cleanEnvironment();
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (outputFd >= 0)
    posix_spawn_file_actions_adddup2(&actions, outputFd, 1);
  else
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
  // The host's descriptors stay with the host.
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);
#endif
  pid_t pid = -1;
  const int result = posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  return result == 0 ? pid : -1;
}
}  // namespace

std::string ChildProcess::Find(const std::string& name) {
  if (name.empty()) return "";
  if (name.find('/') != std::string::npos) return access(name.c_str(), X_OK) == 0 ? name : "";
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
  size_t start = 0;
  while (start <= folders.size()) {
    const size_t end = std::min(folders.find(':', start), folders.size());
    const std::string folder = folders.substr(start, end - start);
    std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
    struct stat info {};
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        access(candidate.c_str(), X_OK) == 0)
      return candidate;
    start = end + 1;
  }
  return "";
}

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return nullptr;
  const std::string path = Find(arguments[0]);
  if (path.empty()) return nullptr;
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return nullptr;
  const pid_t pid = spawn(path, arguments, pipeFds[1]);
  close(pipeFds[1]);
  if (pid < 0) {
    close(pipeFds[0]);
    return nullptr;
  }
  fcntl(pipeFds[0], F_SETFL, fcntl(pipeFds[0], F_GETFL) | O_NONBLOCK);
  return std::unique_ptr<ChildProcess>(new ChildProcess(pid, pipeFds[0]));
}

bool ChildProcess::StartDetached(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return false;
  const std::string path = Find(arguments[0]);
  if (path.empty()) return false;
  // A shell starts the program in the background and ends at once: the program is
  // init's child from then on, and nothing of it is left for us to reap.
  std::vector<std::string> shell = {"/bin/sh", "-c", "\"$0\" \"$@\" &", path};
  shell.insert(shell.end(), arguments.begin() + 1, arguments.end());
  const pid_t pid = spawn("/bin/sh", shell, -1);
  if (pid < 0) return false;
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

ChildProcess::~ChildProcess() {
  if (!ended_) {
    kill(pid_, SIGTERM);
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
  }
  close(outputFd_);
}

void ChildProcess::drain() {
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(outputFd_, buffer, sizeof buffer);
    if (n > 0) {
      // A dialog answers with one path; more than this is not an answer.
      if (output_.size() < (1u << 16)) output_.append(buffer, size_t(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return;
  }
}

bool ChildProcess::Poll() {
  if (ended_) return true;
  drain();
  int status = 0;
  const pid_t done = waitpid(pid_, &status, WNOHANG);
  if (done != pid_) return false;
  drain();
  ended_ = true;
  exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return true;
}
