#include "LocalHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "framework/TestHooks.h"

namespace {

constexpr int kPollMs = 50;           // how often a waiting server looks at its stop flag
constexpr int kRequestLimitMs = 5000;  // a request head must arrive within this

sockaddr_in Loopback(int port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return a;
}

}  // namespace

LocalHttpServer::LocalHttpServer(Handler handler, int port) : handler_(std::move(handler)) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int on = 1;
  ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in a = Loopback(port);
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(listener_, 16) != 0) {
    ::close(listener_);
    listener_ = -1;
    return;
  }
  socklen_t len = sizeof a;
  ::getsockname(listener_, reinterpret_cast<sockaddr*>(&a), &len);
  port_ = ntohs(a.sin_port);
  if (::pipe(wake_) != 0) return;
  thread_ = std::thread([this] { Serve(); });
}

LocalHttpServer::~LocalHttpServer() {
  stop_ = true;
  if (wake_[1] >= 0) {
    char c = 1;
    [[maybe_unused]] auto n = ::write(wake_[1], &c, 1);
  }
  if (thread_.joinable()) thread_.join();
  for (int fd : held_) ::close(fd);
  for (int fd : {listener_, wake_[0], wake_[1]})
    if (fd >= 0) ::close(fd);
}

std::vector<std::string> LocalHttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

LocalHttpServer::Reply LocalHttpServer::Page(int status, const std::string& reason, const std::string& body,
                                             const std::string& extraFields) {
  std::string head = "HTTP/1.1 " + std::to_string(status) + " " + reason + "\r\n" +
                     "Content-Type: text/plain\r\n" + "Content-Length: " + std::to_string(body.size()) +
                     "\r\n" + extraFields + "Connection: close\r\n\r\n";
  return {head + body, Reply::Then::Close};
}

int LocalHttpServer::FreePort() {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a = Loopback(0);
  socklen_t len = sizeof a;
  int port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
    port = ntohs(a.sin_port);
  ::close(fd);
  return port;
}

void LocalHttpServer::Serve() {
  while (!stop_) {
    pollfd p[2] = {{listener_, POLLIN, 0}, {wake_[0], POLLIN, 0}};
    if (::poll(p, 2, -1) <= 0) continue;
    if (p[1].revents) break;
    int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    ++connections_;
    Answer(fd);
  }
}

void LocalHttpServer::Answer(int fd) {
  std::string head;
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRequestLimitMs);
  while (head.find("\r\n\r\n") == std::string::npos) {
    if (stop_ || std::chrono::steady_clock::now() > end) {
      ::close(fd);
      return;
    }
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, kPollMs) <= 0) continue;
    char buf[4096];
    auto n = ::recv(fd, buf, sizeof buf, 0);
    if (n <= 0) {
      ::close(fd);
      return;
    }
    head.append(buf, static_cast<std::size_t>(n));
  }
  head.resize(head.find("\r\n\r\n") + 2);
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(head);
  }
  Reply reply = handler_(head);
  bool sent = SendAll(fd, reply.bytes);
  if (sent && reply.then == Reply::Then::Hold) {
    held_.push_back(fd);
    return;
  }
  if (reply.then == Reply::Then::Reset) {
    // Closing with a zero linger time sends a reset instead of an orderly end.
    linger l{1, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &l, sizeof l);
  } else if (sent && reply.then == Reply::Then::Close) {
    // The orderly end, then the client's own close once it has read up to it.
    ::shutdown(fd, SHUT_WR);
    if (AwaitClose(fd)) ++readToTheEnd_;
  }
  ::close(fd);
}

bool LocalHttpServer::AwaitClose(int fd) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kRequestLimitMs);
  while (!stop_ && std::chrono::steady_clock::now() < end) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, kPollMs) <= 0) continue;
    char buf[4096];
    if (::recv(fd, buf, sizeof buf, 0) <= 0) return true;  // closed, or reset as it closed
  }
  return false;
}

bool LocalHttpServer::SendAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    if (stop_) return false;
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, kPollMs) <= 0) continue;
    auto n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n <= 0) return false;  // the client went away
    done += static_cast<std::size_t>(n);
  }
  return true;
}

bool WaitReal(const std::function<bool()>& pred, std::chrono::milliseconds limit) {
  auto end = std::chrono::steady_clock::now() + limit;
  for (;;) {
    fw::test::Advance(0);
    if (pred()) return true;
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void Settle() { WaitReal([] { return false; }, std::chrono::milliseconds(300)); }
