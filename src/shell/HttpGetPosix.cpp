#include "shell/HttpGet.h"

#include <curl/curl.h>

#include <memory>

namespace {

struct Transfer {
  HttpGetResult* result;
  std::size_t maxBytes;
  bool overflowed = false;
};

// Appends a piece of the body; returning less than offered makes libcurl stop the
// transfer, which is how a body beyond the limit is cut off.
std::size_t appendBody(char* data, std::size_t size, std::size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  const std::size_t bytes = size * count;
  std::string& body = transfer->result->body;
  const std::size_t room = transfer->maxBytes - body.size();
  if (bytes > room) {
    body.append(data, room);
    transfer->overflowed = true;
    return 0;
  }
  body.append(data, bytes);
  return bytes;
}

}  // namespace

HttpGetResult httpGet(const std::string& url, const HttpGetLimits& limits) {
  HttpGetResult result;
  std::unique_ptr<CURL, void (*)(CURL*)> curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) return result;
  Transfer transfer{&result, limits.maxBytes};
  CURL* handle = curl.get();
  curl_easy_setopt(handle, CURLOPT_URL, url.c_str());
  curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 1L);
  curl_easy_setopt(handle, CURLOPT_MAXREDIRS, 5L);
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
  // Inside a host process: no signals (name lookups time out without SIGALRM).
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, limits.connectTimeoutMs);
  curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, limits.totalTimeoutMs);
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, appendBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
  const CURLcode code = curl_easy_perform(handle);
  if (transfer.overflowed)
    result.status = HttpGetResult::Status::kTooLarge;
  else if (code == CURLE_OK)
    result.status = HttpGetResult::Status::kComplete;
  return result;
}
