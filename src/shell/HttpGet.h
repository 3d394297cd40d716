// One blocking HTTP(S) GET with bounded time and size, for the update check.
#pragma once

#include <cstddef>
#include <string>

struct HttpGetLimits {
  long connectTimeoutMs = 5000;  // name lookup and connection
  long totalTimeoutMs = 10000;   // whole transfer: a dead network never blocks longer
  std::size_t maxBytes = 64 * 1024;
};

struct HttpGetResult {
  enum class Status {
    kComplete,   // the whole body was read (whatever the HTTP status)
    kReadError,  // no connection, timeout or a broken transfer; body holds what arrived
    kTooLarge,   // the body passed maxBytes; body holds the first maxBytes
  };
  Status status = Status::kReadError;
  std::string body;
};

// Editor thread; blocks for at most limits.totalTimeoutMs. Never throws.
HttpGetResult httpGet(const std::string& url, const HttpGetLimits& limits = {});
