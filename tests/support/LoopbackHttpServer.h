// A one-thread HTTP server on 127.0.0.1 for tests: answers every GET with a fixed
// body, streams without end, or never answers (it accepts no connection: the system
// completes them and keeps what they send).
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <atomic>
#include <string>
#include <thread>

// The few socket calls that differ between Winsock and POSIX.
namespace loopback {
#ifdef _WIN32
using Socket = SOCKET;
using PollEntry = WSAPOLLFD;
constexpr int kNoSignal = 0;
inline void start() {
  static const bool started = [] {
    WSADATA data;
    return WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  (void)started;
}
inline void closeSocket(Socket s) { closesocket(s); }
inline int pollSockets(PollEntry* entries, int count, int ms) {
  return WSAPoll(entries, ULONG(count), ms);
}
#else
using Socket = int;
using PollEntry = pollfd;
constexpr int kNoSignal = MSG_NOSIGNAL;
inline void start() {}
inline void closeSocket(Socket s) { close(s); }
inline int pollSockets(PollEntry* entries, int count, int ms) {
  return poll(entries, nfds_t(count), ms);
}
#endif
}  // namespace loopback

class LoopbackHttpServer {
 public:
  enum class Mode { kAnswer, kSilent, kEndless };

  explicit LoopbackHttpServer(Mode mode, std::string body = "")
      : mode_(mode), body_(std::move(body)) {
    loopback::start();
    listener_ = boundSocket(&port_);
    listen(listener_, 4);
    if (mode_ != Mode::kSilent) thread_ = std::thread([this] { serve(); });
  }
  ~LoopbackHttpServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    loopback::closeSocket(listener_);
  }

  std::string url() const {
    return "http://127.0.0.1:" + std::to_string(port_) + "/music/version/?file=zorq";
  }

  // A URL on which nothing listens: the connection is refused.
  static std::string refusedUrl() {
    loopback::start();
    int port = 0;
    loopback::closeSocket(boundSocket(&port));
    return "http://127.0.0.1:" + std::to_string(port) + "/";
  }

 private:
  // A TCP socket bound to a free port of 127.0.0.1.
  static loopback::Socket boundSocket(int* port) {
    const loopback::Socket fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
      *port = 0;  // no free port: nothing answers on port 0 either
      return fd;
    }
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    *port = ntohs(address.sin_port);
    return fd;
  }

  // Waits for the socket to become ready, giving up when the server stops.
  bool wait(loopback::Socket fd, short events) const {
    loopback::PollEntry entry{fd, events, 0};
    while (!stop_)
      if (loopback::pollSockets(&entry, 1, 20) > 0) return true;
    return false;
  }

  void serve() {
    while (wait(listener_, POLLIN)) {
      const loopback::Socket client = accept(listener_, nullptr, nullptr);
      if (client == loopback::Socket(-1)) continue;
      std::string request;
      char buffer[1024];
      while (request.find("\r\n\r\n") == std::string::npos && wait(client, POLLIN)) {
        const int n = int(recv(client, buffer, sizeof buffer, 0));
        if (n <= 0) break;
        request.append(buffer, size_t(n));
      }
      if (mode_ == Mode::kAnswer) {
        const std::string reply =
            "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " +
            std::to_string(body_.size()) + "\r\nConnection: close\r\n\r\n" + body_;
        send(client, reply.data(), reply.size(), loopback::kNoSignal);
      } else {
        const std::string head = "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n";
        send(client, head.data(), head.size(), loopback::kNoSignal);
        const std::string chunk(4096, '7');
        while (wait(client, POLLOUT) &&
               send(client, chunk.data(), chunk.size(), loopback::kNoSignal) > 0) {
        }
      }
      loopback::closeSocket(client);
    }
  }

  Mode mode_;
  std::string body_;
  loopback::Socket listener_ = loopback::Socket(-1);
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};
