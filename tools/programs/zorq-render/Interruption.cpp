#include "zorq-render/Interruption.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t receivedSignal = 0;

#ifdef _WIN32
constexpr int kHandledSignals[] = {SIGINT, SIGTERM};  // Ctrl-C and Ctrl-Break
#else
constexpr int kHandledSignals[] = {SIGINT, SIGTERM, SIGHUP};
#endif

extern "C" void recordSignal(int signal) { receivedSignal = signal; }

}  // namespace

void Interruption::install() {
#ifdef _WIN32
  for (int signal : kHandledSignals) std::signal(signal, recordSignal);
#else
  struct sigaction action {};
  action.sa_handler = recordSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal : kHandledSignals) sigaction(signal, &action, nullptr);
#endif
}

int Interruption::signal() { return receivedSignal; }

void Interruption::check() {
  if (receivedSignal != 0) throw Interrupted(receivedSignal);
}

void Interruption::reraise() {
  const int signal = receivedSignal;
  if (signal == 0) return;
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}
