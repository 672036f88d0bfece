#include "internal/ReplyReader.h"

#include <algorithm>
#include <cctype>

#include "HTTPSocket.h"

namespace fw::http {

namespace {

constexpr std::size_t kMaxHeadBytes = 16 * 1024;  // status line and header fields, or a chunk's trailer
constexpr std::size_t kMaxChunkLine = 1024;        // a chunk's size line with its extensions

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

// The codings of a Content-Encoding or Transfer-Encoding field, in lower case, without identity.
std::vector<std::string> Codings(std::string_view field) {
  std::vector<std::string> codings;
  while (!field.empty()) {
    std::size_t comma = field.find(',');
    std::string c(Trim(field.substr(0, comma)));
    std::ranges::transform(c, c.begin(), [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
    if (!c.empty() && c != "identity") codings.push_back(std::move(c));
    field = comma == field.npos ? std::string_view() : field.substr(comma + 1);
  }
  return codings;
}

}  // namespace

bool SameLetters(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
  });
}

ReplyReader::State ReplyReader::Feed(std::string_view bytes) {
  if (state_ != State::Reading) return state_;
  pending_.append(bytes);
  Parse();
  return state_;
}

ReplyReader::State ReplyReader::End() {
  if (state_ != State::Reading) return state_;
  if (phase_ == Phase::Body && framing_ == Framing::UntilClose) {
    state_ = State::Done;
  } else {
    Fail(phase_ == Phase::Head ? HTTPSocket::kErrConnectionLost : HTTPSocket::kErrTruncated);
  }
  return state_;
}

ReplyReader::State ReplyReader::Broken(int codeBeforeReply) {
  if (state_ != State::Reading) return state_;
  Fail(phase_ == Phase::Head ? codeBeforeReply : HTTPSocket::kErrTruncated);
  return state_;
}

void ReplyReader::Fail(int code) {
  state_ = State::Failed;
  error = code;
}

// One line without its line end, once it is all there. The limit is on the line without
// its line end, checked on the part received so far too, so that the answer is the same
// however the line's bytes arrive.
std::optional<std::string> ReplyReader::Line(std::size_t limit) {
  std::size_t nl = pending_.find('\n');
  std::size_t length = nl == std::string::npos ? pending_.size() : nl;
  // A carriage return before the newline is the line end's, and so may be one that came last.
  if (length > 0 && pending_[length - 1] == '\r') --length;
  if (length > limit) {
    Fail(phase_ == Phase::Head || phase_ == Phase::Trailer ? HTTPSocket::kErrFailed : HTTPSocket::kErrUndecodable);
    return std::nullopt;
  }
  if (nl == std::string::npos) return std::nullopt;
  std::string line = pending_.substr(0, length);
  pending_.erase(0, nl + 1);
  return line;
}

bool ReplyReader::TakeBody(std::size_t n) {
  if (body.size() + n > static_cast<std::size_t>(HTTPSocket::kMaxBodyBytes)) {
    Fail(HTTPSocket::kErrTooLarge);
    return false;
  }
  body.append(pending_, 0, n);
  pending_.erase(0, n);
  return true;
}

void ReplyReader::Parse() {
  while (state_ == State::Reading) {
    switch (phase_) {
      case Phase::Head: {
        auto line = Line(kMaxHeadBytes - headBytes_);
        if (!line) return;
        headBytes_ += line->size() + 2;
        if (headBytes_ > kMaxHeadBytes) return Fail(HTTPSocket::kErrFailed);
        if (!line->empty()) {
          HeadLine(*line);
        } else if (status == 0) {
          return Fail(HTTPSocket::kErrFailed);  // no status line
        } else {
          BodyStarts();
        }
        break;
      }
      case Phase::Body: {
        std::size_t n = pending_.size();
        if (framing_ == Framing::Length) n = std::min<std::size_t>(n, static_cast<std::size_t>(left_));
        if (!TakeBody(n)) return;
        left_ -= static_cast<std::int64_t>(n);
        if (framing_ == Framing::Length && left_ == 0) state_ = State::Done;
        return;
      }
      case Phase::ChunkSize: {
        auto line = Line(kMaxChunkLine);
        if (!line) return;
        std::string_view size = Trim(std::string_view(*line).substr(0, line->find(';')));
        bool hex = !size.empty() && size.size() <= 8 &&
                   std::ranges::all_of(size, [](unsigned char c) { return std::isxdigit(c) != 0; });
        if (!hex) return Fail(HTTPSocket::kErrUndecodable);
        left_ = std::stoll(std::string(size), nullptr, 16);
        if (body.size() + static_cast<std::size_t>(left_) > static_cast<std::size_t>(HTTPSocket::kMaxBodyBytes))
          return Fail(HTTPSocket::kErrTooLarge);
        phase_ = left_ == 0 ? Phase::Trailer : Phase::ChunkData;
        headBytes_ = 0;
        break;
      }
      case Phase::ChunkData: {
        std::size_t n = std::min<std::size_t>(pending_.size(), static_cast<std::size_t>(left_));
        if (!TakeBody(n)) return;
        left_ -= static_cast<std::int64_t>(n);
        if (left_ > 0) return;
        phase_ = Phase::ChunkEnd;
        break;
      }
      case Phase::ChunkEnd: {
        auto line = Line(2);
        if (!line) return;
        if (!line->empty()) return Fail(HTTPSocket::kErrUndecodable);
        phase_ = Phase::ChunkSize;
        break;
      }
      case Phase::Trailer: {
        auto line = Line(kMaxHeadBytes - headBytes_);
        if (!line) return;
        headBytes_ += line->size() + 2;
        if (headBytes_ > kMaxHeadBytes) return Fail(HTTPSocket::kErrFailed);
        if (line->empty()) state_ = State::Done;
        break;
      }
    }
  }
}

void ReplyReader::HeadLine(const std::string& line) {
  if (status == 0) {
    // "HTTP/1.1 200 OK"
    bool ok = line.size() >= 12 && line.starts_with("HTTP/") && line[8] == ' ' &&
              std::all_of(line.begin() + 9, line.begin() + 12, [](unsigned char c) { return std::isdigit(c) != 0; }) &&
              (line.size() == 12 || line[12] == ' ');
    if (!ok) return Fail(HTTPSocket::kErrFailed);
    status = std::stoi(line.substr(9, 3));
    return;
  }
  std::size_t colon = line.find(':');
  if (colon == std::string::npos || colon == 0) return;  // not a field: passed over
  fields.emplace_back(line.substr(0, colon), std::string(Trim(std::string_view(line).substr(colon + 1))));
}

std::string ReplyReader::Field(std::string_view name) const {
  std::string joined;
  for (const auto& [field, value] : fields)
    if (SameLetters(field, name)) joined += (joined.empty() ? "" : ",") + value;
  return joined;
}

void ReplyReader::BodyStarts() {
  if (status >= 100 && status < 200) {  // an interim reply: the real one follows
    status = 0;
    fields.clear();
    headBytes_ = 0;
    return;
  }
  if (!Codings(Field("Content-Encoding")).empty()) return Fail(HTTPSocket::kErrUndecodable);
  std::vector<std::string> transfer = Codings(Field("Transfer-Encoding"));
  if (status == 204 || status == 304) {
    state_ = State::Done;
  } else if (!transfer.empty()) {
    if (transfer != std::vector<std::string>{"chunked"}) return Fail(HTTPSocket::kErrUndecodable);
    framing_ = Framing::Chunked;
    phase_ = Phase::ChunkSize;
  } else if (std::string length = Field("Content-Length"); !length.empty()) {
    bool digits = length.size() <= 18 && std::ranges::all_of(length, [](unsigned char c) { return std::isdigit(c) != 0; });
    if (!digits) return Fail(HTTPSocket::kErrFailed);
    left_ = std::stoll(length);
    if (left_ > HTTPSocket::kMaxBodyBytes) return Fail(HTTPSocket::kErrTooLarge);
    framing_ = Framing::Length;
    phase_ = Phase::Body;
    if (left_ == 0) state_ = State::Done;
  } else {
    framing_ = Framing::UntilClose;
    phase_ = Phase::Body;
  }
}

}  // namespace fw::http
