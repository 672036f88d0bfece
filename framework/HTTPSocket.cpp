#include "HTTPSocket.h"

#include <QCoreApplication>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QUrl>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <thread>

#include "Application.h"
#include "Clock.h"
#include "Timer.h"
#include "internal/Platform.h"

namespace fw {

namespace {

constexpr int kHttpPort = 80;

bool SameLetters(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

// One manager for the process, owned by the application object. A socket must not own
// its manager: a socket goes with its window, and a manager may not be destroyed while
// one of its replies is still delivering a signal.
QNetworkAccessManager* Manager() {
  static QPointer<QNetworkAccessManager> manager;
  if (!manager) {
    manager = new QNetworkAccessManager(QCoreApplication::instance());
    // Only the host asked for is ever contacted, never a proxy set for the application.
    manager->setProxy(QNetworkProxy::NoProxy);
  }
  return manager;
}

int CodeFor(QNetworkReply::NetworkError error, bool headersReceived) {
  switch (error) {
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:  // what an unreachable network gives
      return HTTPSocket::kErrHostNotFound;
    case QNetworkReply::ConnectionRefusedError: return HTTPSocket::kErrRefused;
    case QNetworkReply::RemoteHostClosedError:
      return headersReceived ? HTTPSocket::kErrTruncated : HTTPSocket::kErrConnectionLost;
    case QNetworkReply::TimeoutError: return HTTPSocket::kErrTimedOut;
    default: return HTTPSocket::kErrFailed;
  }
}

// Errors of the transfer itself, as opposed to those Qt derives from an HTTP status.
bool IsTransportError(QNetworkReply::NetworkError error) {
  return (error > QNetworkReply::NoError && error <= QNetworkReply::UnknownNetworkError) ||
         error == QNetworkReply::ProtocolFailure;
}

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
    if (SameLetters(field, name)) return value;
  return {};
}

struct HTTPSocket::Impl {
  HTTPSocket& owner;
  // Context of every connection and posted call: destroying it with the socket drops them.
  QObject receiver;
  QNetworkReply* reply = nullptr;
  Timer deadline;
  ManualClockPacer pacer;
  std::string address;
  std::string body;
  // Counts requests; an answer for an older one is dropped.
  std::uint64_t serial = 0;
  bool pending = false;

  explicit Impl(HTTPSocket& o) : owner(o) {
    deadline.SetPeriod(kTimeLimitMs);
    deadline.Action = [this] { Fail(kErrTimedOut, Deletion::Now); };
  }

  enum class Deletion { Now, Later };

  // Stops the transfer in progress; nothing of it reports afterwards. Inside one of the
  // reply's own signals it can only be deleted later.
  void Retire(Deletion when) {
    deadline.SetMode(Timer::kOff);
    pacer.Stop();
    QNetworkReply* r = std::exchange(reply, nullptr);
    if (!r) return;
    QObject::disconnect(r, nullptr, &receiver, nullptr);
    r->abort();
    if (when == Deletion::Now) delete r;
    else r->deleteLater();
  }

  void Cancel() {
    Retire(Deletion::Now);
    ++serial;
    pending = false;
    body.clear();
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

  void Fail(int code, Deletion when) {
    Retire(when);
    body.clear();
    Deliver([code](HTTPSocket& s) {
      if (s.Error) s.Error(code);
    });
  }

  // Takes what has arrived; false (and an error) once the body passes the limit.
  bool Take() {
    qint64 available = reply->bytesAvailable();
    if (static_cast<qint64>(body.size()) + available > kMaxBodyBytes) {
      Fail(kErrTooLarge, Deletion::Later);
      return false;
    }
    QByteArray chunk = reply->readAll();
    body.append(chunk.constData(), static_cast<std::size_t>(chunk.size()));
    return true;
  }

  void OnMetaData() {
    QVariant length = reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > kMaxBodyBytes) Fail(kErrTooLarge, Deletion::Later);
  }

  void OnFinished() {
    if (!Take()) return;
    QNetworkReply::NetworkError error = reply->error();
    QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (IsTransportError(error) || !status.isValid()) {
      Fail(CodeFor(error, status.isValid()), Deletion::Later);
      return;
    }
    std::vector<std::pair<std::string, std::string>> fields;
    for (const auto& [name, value] : reply->rawHeaderPairs())
      fields.emplace_back(name.toStdString(), value.toStdString());
    Retire(Deletion::Later);
    Deliver([address = address, code = status.toInt(), headers = InternetHeaders(std::move(fields)),
             page = std::exchange(body, {})](HTTPSocket& s) {
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
      Fail(kErrBadAddress, Deletion::Now);
      return;
    }
    std::string host = url.host().toLower().toStdString();
    int port = url.port(kHttpPort);
    if (auto target = platform::Current().ConnectTarget(host, port); target != std::pair{host, port}) {
      url.setHost(QString::fromStdString(target.first));
      url.setPort(target.second);
    }
    QNetworkRequest request(url);
    // Nor a host a redirect points to: a 3xx reply is handed over as it is.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    reply = Manager()->get(request);
    // Qt stops reading from the connection when this much waits unread.
    reply->setReadBufferSize(kMaxBodyBytes);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &receiver, [this] { OnMetaData(); });
    QObject::connect(reply, &QNetworkReply::readyRead, &receiver, [this] { Take(); });
    QObject::connect(reply, &QNetworkReply::finished, &receiver, [this] { OnFinished(); });
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
