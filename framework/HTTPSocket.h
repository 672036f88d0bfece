// An HTTP client for one request at a time: Get fetches a page and the answer comes
// later on the event loop, as PageReceived or Error.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fw {

// The header fields of a reply, in the order received.
class InternetHeaders {
 public:
  InternetHeaders() = default;
  explicit InternetHeaders(std::vector<std::pair<std::string, std::string>> fields) : fields_(std::move(fields)) {}
  // The value of the first field of that name (names compare without case), "" when none.
  std::string Value(std::string_view name) const;
  const std::vector<std::pair<std::string, std::string>>& Fields() const { return fields_; }

 private:
  std::vector<std::pair<std::string, std::string>> fields_;
};

class HTTPSocket {
 public:
  // Codes passed to Error. A reply with any HTTP status (404, 500 ...) is a page, not an error.
  static constexpr int kErrFailed = 100;          // any other failure of the transfer
  static constexpr int kErrConnectionLost = 102;  // reset or closed by the server before a reply
  static constexpr int kErrHostNotFound = 103;    // the name does not resolve, or no network reaches it
  static constexpr int kErrRefused = 104;         // nothing listens at the host's port
  static constexpr int kErrTimedOut = 105;        // no complete reply within kTimeLimitMs
  static constexpr int kErrTooLarge = 106;        // the body is over kMaxBodyBytes
  static constexpr int kErrTruncated = 107;       // the connection ended inside the body
  static constexpr int kErrBadAddress = 108;      // not an address of the form http://host[:port]/path
  static constexpr int kErrUndecodable = 109;     // the body is encoded (gzip, broken chunks ...) and cannot be read as sent

  // ms from Get to the whole reply, on the framework's clock. Under the manual clock of
  // tests, the clock keeps pace with real time for the first 2 s of a transfer, so that
  // stepping it (fw::test::RunUntil) leaves a local server the time to answer.
  static constexpr int kTimeLimitMs = 30'000;
  static constexpr int kMaxBodyBytes = 64 * 1024;    // bytes; the pages asked for are a few lines of text

  HTTPSocket();
  ~HTTPSocket();  // cancels a pending request: no event comes afterwards
  HTTPSocket(const HTTPSocket&) = delete;
  HTTPSocket& operator=(const HTTPSocket&) = delete;

  // Starts fetching address; a request still pending is cancelled and never reports.
  // Never calls a handler itself: the answer always comes later, from the event loop.
  // Only the host named in the address is contacted: no proxy, redirects not followed
  // (a 3xx reply is a page like any other). The body is asked for as it is, unencoded.
  void Get(std::string_view address);
  // Cancels a pending request: neither handler is called for it.
  void Close();
  bool IsPending() const;

  // A complete reply, whatever its status: the address asked for, the HTTP status, the
  // reply's header fields and its body.
  std::function<void(const std::string& address, int status, const InternetHeaders& headers,
                     const std::string& body)>
      PageReceived;
  // The transfer failed; code is one of the kErr constants.
  std::function<void(int code)> Error;

  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace fw
