#include "HTTPSocket.h"

#include <QAbstractSocket>
#include <QCoreApplication>
#include <QNetworkProxy>
#include <QPointer>
#include <QTcpSocket>
#include <QThread>
#include <QUrl>

#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "Application.h"
#include "Clock.h"
#include "Timer.h"
#include "internal/Platform.h"
#include "internal/ReplyReader.h"

namespace fw {

namespace {

constexpr int kHttpPort = 80;

int CodeFor(QAbstractSocket::SocketError error) {
  switch (error) {
    case QAbstractSocket::HostNotFoundError:
    case QAbstractSocket::NetworkError:  // what an unreachable network gives
      return HTTPSocket::kErrHostNotFound;
    case QAbstractSocket::ConnectionRefusedError: return HTTPSocket::kErrRefused;
    case QAbstractSocket::SocketTimeoutError: return HTTPSocket::kErrTimedOut;
    default: return HTTPSocket::kErrFailed;
  }
}

// Every transfer of the process runs on this one thread, so that a request goes out
// and its reply is read while the game's loop is busy or waits.
class NetworkThread : public QThread {
 public:
  ~NetworkThread() override {
    quit();
    wait();
  }
};

// Owned by the application object, like every other framework object that outlives a window.
QThread* TransferThread() {
  static QPointer<NetworkThread> thread;
  if (!thread) {
    thread = new NetworkThread();
    thread->setParent(QCoreApplication::instance());
    thread->start();
  }
  return thread;
}

// What a transfer ends with: a reply read whole, or an error code.
struct Outcome {
  int error = 0;
  int status = 0;
  std::vector<std::pair<std::string, std::string>> fields;
  std::string body;
};

Outcome Failure(int code) {
  Outcome o;
  o.error = code;
  return o;
}

// The way back from a transfer to the socket that asked for it, cut when the socket
// lets go of the transfer; the socket's thread runs whatever is posted through it.
struct Outlet {
  std::mutex mutex;
  QObject* receiver = nullptr;
  std::function<void(Outcome)> arrive;

  void Post(Outcome outcome) {
    std::lock_guard lock(mutex);
    if (!receiver) return;
    QMetaObject::invokeMethod(
        receiver, [arrive = arrive, outcome = std::move(outcome)]() mutable { arrive(std::move(outcome)); },
        Qt::QueuedConnection);
  }
  void Cut() {
    std::lock_guard lock(mutex);
    receiver = nullptr;
  }
};

// One request on its own connection, living on the transfer thread from Begin on.
class Transfer : public QObject {
 public:
  Transfer(std::string host, int port, std::string request, std::shared_ptr<Outlet> outlet)
      : host_(std::move(host)), port_(port), request_(std::move(request)), outlet_(std::move(outlet)) {}
  ~Transfer() override { LetGoOfPeer(); }

  void Begin() {
    connection_ = new QTcpSocket(this);
    // Only the host asked for is ever contacted, never a proxy set for the application.
    connection_->setProxy(QNetworkProxy::NoProxy);
    connect(connection_, &QTcpSocket::connected, this, [this] {
      peer_ = ::fcntl(static_cast<int>(connection_->socketDescriptor()), F_DUPFD_CLOEXEC, 0);
      connection_->write(request_.data(), static_cast<qint64>(request_.size()));
    });
    connect(connection_, &QTcpSocket::readyRead, this, [this] { Read(); });
    connect(connection_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) { Ended(e); });
    connect(connection_, &QTcpSocket::disconnected, this, [this] { Ended(QAbstractSocket::RemoteHostClosedError); });
    connection_->connectToHost(QString::fromStdString(host_), static_cast<quint16>(port_));
  }

 private:
  void Read() {
    if (done_) return;
    QByteArray bytes = connection_->readAll();
    Settle(reader_.Feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
  }

  void Ended(QAbstractSocket::SocketError error) {
    if (done_) return;
    // What the server sent before the end may be the whole reply.
    Read();
    if (done_) return;
    if (error != QAbstractSocket::RemoteHostClosedError) {
      Settle(reader_.Broken(CodeFor(error)));
    } else if (ClosedInOrder()) {
      Settle(reader_.End());
    } else {
      Settle(reader_.Broken(HTTPSocket::kErrConnectionLost));
    }
  }

  // Qt reads a reset connection as one the server closed. The connection's own state
  // tells them apart: after the server's orderly close it waits for ours, held open by
  // the second descriptor when Qt has let go of its own.
  bool ClosedInOrder() const {
    tcp_info info{};
    socklen_t size = sizeof info;
    return peer_ >= 0 && ::getsockopt(peer_, IPPROTO_TCP, TCP_INFO, &info, &size) == 0 &&
           info.tcpi_state == TCP_CLOSE_WAIT;
  }

  void LetGoOfPeer() {
    if (peer_ >= 0) ::close(std::exchange(peer_, -1));
  }

  void Settle(http::ReplyReader::State state) {
    if (state == http::ReplyReader::State::Failed) {
      Finish(Failure(reader_.error));
    } else if (state == http::ReplyReader::State::Done) {
      Finish({.status = reader_.status, .fields = std::move(reader_.fields), .body = std::move(reader_.body)});
    }
  }

  void Finish(Outcome outcome) {
    done_ = true;
    QObject::disconnect(connection_, nullptr, this, nullptr);
    // On its way before the connection closes: a server that sees the close may count
    // on the answer having arrived.
    outlet_->Post(std::move(outcome));
    connection_->abort();
    LetGoOfPeer();
  }

  std::string host_;
  int port_;
  std::string request_;
  std::shared_ptr<Outlet> outlet_;
  QTcpSocket* connection_ = nullptr;
  http::ReplyReader reader_;
  bool done_ = false;
  int peer_ = -1;  // a second descriptor of the connection, once it is made
};

// Under the manual clock of headless runs, a test stepping the clock runs through the time
// limit in a fraction of a real second, sooner than a server on this machine answers.
// So while a transfer is in flight the manual clock waits for real time, a millisecond
// a turn, for up to kPacedUs of real time; after that it may run out the limit freely.
class ManualClockPacer : public Scheduled {
 public:
  static constexpr std::int64_t kPacedUs = 2 * kUsPerSecond;  // us of real time per request

  void Start() {
    realStart_ = std::chrono::steady_clock::now();
    clockStart_ = NowUs();
    lastTurn_ = -1;
    active_ = platform::Current().PacesTransfers();
  }
  void Stop() { active_ = false; }

  std::int64_t DueUs() const override {
    if (!active_) return -1;
    return lastTurn_ < 0 ? NowUs() : lastTurn_ + kUsPerMs;
  }

  void Fire() override {
    lastTurn_ = NowUs();
    auto realNow = std::chrono::steady_clock::now();
    std::int64_t real = std::chrono::duration_cast<std::chrono::microseconds>(realNow - realStart_).count();
    if (real >= kPacedUs) {
      active_ = false;
      return;
    }
    std::int64_t behind = std::min(NowUs() - clockStart_, kPacedUs) - real;
    if (behind > 0) std::this_thread::sleep_for(std::chrono::microseconds(behind));
  }

 private:
  std::chrono::steady_clock::time_point realStart_;
  std::int64_t clockStart_ = 0;
  std::int64_t lastTurn_ = -1;
  bool active_ = false;
};

}  // namespace

std::string InternetHeaders::Value(std::string_view name) const {
  for (const auto& [field, value] : fields_)
    if (http::SameLetters(field, name)) return value;
  return {};
}

struct HTTPSocket::Impl {
  HTTPSocket& owner;
  // Context of every posted call: destroying it with the socket drops them.
  QObject receiver;
  Transfer* transfer = nullptr;  // on the transfer thread
  std::shared_ptr<Outlet> outlet;
  Timer deadline;
  ManualClockPacer pacer;
  std::string address;
  // Counts requests; an answer for an older one is dropped.
  std::uint64_t serial = 0;
  std::uint64_t retired = 0;  // counts transfers let go
  bool pending = false;

  explicit Impl(HTTPSocket& o) : owner(o) {
    deadline.SetPeriod(kTimeLimitMs);
    deadline.Action = [this] { Fail(kErrTimedOut); };
  }

  // Stops the transfer in progress; nothing of it reports afterwards.
  void Retire() {
    deadline.SetMode(Timer::kOff);
    pacer.Stop();
    ++retired;
    if (outlet) std::exchange(outlet, nullptr)->Cut();
    // Its own thread deletes it, connection and all.
    if (transfer) std::exchange(transfer, nullptr)->deleteLater();
  }

  void Cancel() {
    Retire();
    ++serial;
    pending = false;
  }

  // Hands the answer to the handlers from the event loop, unless the request is
  // cancelled or replaced first.
  void Deliver(std::function<void(HTTPSocket&)> answer) {
    QMetaObject::invokeMethod(
        &receiver,
        [this, s = serial, answer = std::move(answer)] {
          if (s != serial) return;
          pending = false;
          HTTPSocket& socket = owner;
          // The handler may destroy the socket: nothing here is touched afterwards.
          Guard([&] { answer(socket); });
        },
        Qt::QueuedConnection);
  }

  void Fail(int code) {
    Retire();
    Deliver([code](HTTPSocket& s) {
      if (s.Error) s.Error(code);
    });
  }

  void Arrive(Outcome outcome) {
    if (outcome.error != 0) return Fail(outcome.error);
    Retire();
    Deliver([address = address, code = outcome.status, headers = InternetHeaders(std::move(outcome.fields)),
             page = std::move(outcome.body)](HTTPSocket& s) {
      if (s.PageReceived) s.PageReceived(address, code, headers, page);
    });
  }

  void Start(std::string_view asked) {
    Cancel();
    pending = true;
    address = std::string(asked);
    QUrl url(QString::fromStdString(address), QUrl::StrictMode);
    bool usable = url.isValid() && url.scheme() == QLatin1String("http") && !url.host().isEmpty() &&
                  url.userInfo().isEmpty();
    if (!usable) {
      Fail(kErrBadAddress);
      return;
    }
    std::string host = url.host(QUrl::FullyEncoded).toLower().toStdString();
    int port = url.port(kHttpPort);
    std::string path = url.path(QUrl::FullyEncoded).toStdString();
    if (path.empty()) path = "/";
    if (url.hasQuery()) path += "?" + url.query(QUrl::FullyEncoded).toStdString();
    // The body is asked for as it is, since nothing here decompresses; a connection
    // closed after the reply ends a body sent without a length. No redirect is
    // followed: a 3xx reply is a page like any other.
    std::string request = "GET " + path + " HTTP/1.1\r\nHost: " + host +
                          (port == kHttpPort ? "" : ":" + std::to_string(port)) +
                          "\r\nAccept-Encoding: identity\r\nConnection: close\r\n\r\n";
    auto [targetHost, targetPort] = platform::Current().ConnectTarget(host, port);
    outlet = std::make_shared<Outlet>();
    outlet->receiver = &receiver;
    // An outcome posted just before the transfer was let go (a time limit, a new Get) is dropped.
    outlet->arrive = [this, t = retired](Outcome o) {
      if (t == retired) Arrive(std::move(o));
    };
    transfer = new Transfer(targetHost, targetPort, std::move(request), outlet);
    transfer->moveToThread(TransferThread());
    QMetaObject::invokeMethod(transfer, [t = transfer] { t->Begin(); }, Qt::QueuedConnection);
    deadline.SetMode(Timer::kSingle);
    pacer.Start();
  }
};

HTTPSocket::HTTPSocket() : impl_(std::make_unique<Impl>(*this)) {}

HTTPSocket::~HTTPSocket() { impl_->Cancel(); }

void HTTPSocket::Get(std::string_view address) { impl_->Start(address); }

void HTTPSocket::Close() { impl_->Cancel(); }

bool HTTPSocket::IsPending() const { return impl_->pending; }

}  // namespace fw
