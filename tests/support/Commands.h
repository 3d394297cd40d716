// The system's programs seen from a test: what one prints, and waiting for what another
// process brings about.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

// What a command prints on its standard output (its errors are dropped).
inline std::string commandOutput(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
    pclose(pipe);
  }
  return text;
}

// Waits until pred holds; false after the limit.
template <typename Pred>
bool eventually(Pred pred, std::chrono::milliseconds limit = std::chrono::milliseconds(10000)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (!pred()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}
