#include "shell/HttpGet.h"

#include <windows.h>

#include <winhttp.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "system/WideText.h"

namespace {

struct InternetHandleCloser {
  void operator()(HINTERNET handle) const { WinHttpCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

int clampedMs(long ms) { return int(ms < 1 ? 1 : ms > 0x7fffffff ? 0x7fffffff : ms); }

// One GET with WinHTTP's blocking calls and its time-outs.
HttpGetResult transfer(const std::string& url, const HttpGetLimits& limits) {
  HttpGetResult result;
  const std::wstring wideUrl = widen(url);
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = DWORD(-1);
  if (!WinHttpCrackUrl(wideUrl.c_str(), 0, 0, &parts) ||
      (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS))
    return result;
  const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
  const std::wstring path = std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) +
                            std::wstring(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  InternetHandle session(WinHttpOpen(L"ZORQ", WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY,
                                     WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0));
  if (!session) return result;
  const int connect = clampedMs(limits.connectTimeoutMs);
  const int total = clampedMs(limits.totalTimeoutMs);
  WinHttpSetTimeouts(session.get(), connect, connect, total, total);
  InternetHandle connection(WinHttpConnect(session.get(), host.c_str(), parts.nPort, 0));
  if (!connection) return result;
  InternetHandle request(
      WinHttpOpenRequest(connection.get(), L"GET", path.empty() ? L"/" : path.c_str(), nullptr,
                         WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                         parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
  if (!request) return result;
  DWORD redirects = 5;
  WinHttpSetOption(request.get(), WINHTTP_OPTION_MAX_HTTP_AUTOMATIC_REDIRECTS, &redirects,
                   sizeof redirects);
  if (!WinHttpSendRequest(request.get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA,
                          0, 0, 0) ||
      !WinHttpReceiveResponse(request.get(), nullptr))
    return result;
  char buffer[4096];
  DWORD got = 0;
  while (WinHttpReadData(request.get(), buffer, sizeof buffer, &got)) {
    if (got == 0) {
      result.status = HttpGetResult::Status::kComplete;
      break;
    }
    const std::size_t room = limits.maxBytes - result.body.size();
    if (got > room) {
      result.body.append(buffer, room);
      result.status = HttpGetResult::Status::kTooLarge;
      break;
    }
    result.body.append(buffer, got);
  }
  return result;
}

// What the caller and the transfer's thread share; the last one to let go frees it.
struct Pending {
  std::string url;
  HttpGetLimits limits;
  HMODULE module = nullptr;  // this library, kept loaded while the thread runs
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  HttpGetResult result;
};

DWORD WINAPI runTransfer(void* parameter) {
  auto* held = static_cast<std::shared_ptr<Pending>*>(parameter);
  std::shared_ptr<Pending> pending = std::move(*held);
  delete held;
  HttpGetResult result = transfer(pending->url, pending->limits);
  {
    std::lock_guard<std::mutex> lock(pending->mutex);
    pending->result = std::move(result);
    pending->done = true;
  }
  pending->finished.notify_one();
  const HMODULE module = pending->module;
  pending.reset();
  FreeLibraryAndExitThread(module, 0);
}

}  // namespace

// The transfer runs on a thread of its own that the caller stops waiting for at the
// deadline: not every wait inside WinHTTP honours its time-outs (under Wine a server
// that accepts and never answers blocks the request for good). The thread holds a
// reference to this library, so a host that unloads the plug-in meanwhile does not
// pull the code from under it.
HttpGetResult httpGet(const std::string& url, const HttpGetLimits& limits) {
  auto pending = std::make_shared<Pending>();
  pending->url = url;
  pending->limits = limits;
  if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                          reinterpret_cast<LPCWSTR>(&runTransfer), &pending->module))
    return HttpGetResult();
  auto* handed = new std::shared_ptr<Pending>(pending);
  HANDLE thread = CreateThread(nullptr, 0, runTransfer, handed, 0, nullptr);
  if (!thread) {
    delete handed;
    FreeLibrary(pending->module);
    return HttpGetResult();
  }
  CloseHandle(thread);
  // A little beyond the total time-out, which WinHTTP enforces itself where it can.
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(limits.totalTimeoutMs + 500);
  std::unique_lock<std::mutex> lock(pending->mutex);
  if (!pending->finished.wait_until(lock, deadline, [&] { return pending->done; }))
    return HttpGetResult();  // a read error: nothing complete arrived in time
  return std::move(pending->result);
}
