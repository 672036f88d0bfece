#include "framework/internal/ReplyReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using fw::http::ReplyReader;

// Everything a reader ends with.
struct Result {
  ReplyReader::State state;
  int error, status;
  std::vector<std::pair<std::string, std::string>> fields;
  std::string body;
  bool operator==(const Result&) const = default;
};

void PrintTo(const Result& r, std::ostream* os) {
  *os << "state " << static_cast<int>(r.state) << ", error " << r.error << ", status " << r.status << ", "
      << r.fields.size() << " fields, body of " << r.body.size() << " bytes";
}

// Feeds the reply in pieces that end at the given offsets, then ends the connection.
Result Read(const std::string& reply, const std::vector<std::size_t>& cuts) {
  ReplyReader r;
  std::size_t from = 0;
  for (std::size_t to : cuts) {
    r.Feed(std::string_view(reply).substr(from, to - from));
    from = to;
  }
  r.Feed(std::string_view(reply).substr(from));
  ReplyReader::State state = r.End();
  return {state, r.error, r.status, r.fields, r.body};
}

// Random replies around the reader's limits: long chunk extensions and trailers, long
// header fields, chunked, sized and unsized bodies, cut short or with a byte broken.
class ReplyMaker {
 public:
  explicit ReplyMaker(std::uint32_t seed) : rng_(seed) {}

  std::string Make() {
    std::string r;
    if (Chance(10)) r += "HTTP/1.1 100 Continue\r\n\r\n";
    r += "HTTP/1.1 200 OK" + End();
    r += "Content-Type: text/plain" + End();
    if (Chance(2)) r += "X-Filler: " + std::string(Near(16 * 1024), 'f') + End();
    int framing = Below(3);
    std::string body = Bytes(Below(300));
    if (framing == 0) {
      r += "Transfer-Encoding: chunked" + End() + End();
      for (int n = Below(4); n > 0; --n) {
        std::string data = Bytes(1 + Below(200));
        r += Hex(data.size()) + Extension() + End() + data + End();
      }
      r += "0" + Extension() + End();
      if (Chance(30)) r += "X-Trailer: " + std::string(Chance(10) ? Near(16 * 1024) : Below(50), 't') + End();
      r += End();
    } else if (framing == 1) {
      std::size_t length = Chance(80) ? body.size() : static_cast<std::size_t>(Below(400));
      r += "Content-Length: " + std::to_string(length) + End() + End() + body;
    } else {
      r += End() + body;
    }
    if (Chance(20)) r.resize(static_cast<std::size_t>(Below(static_cast<int>(r.size()) + 1)));
    if (Chance(10) && !r.empty()) r[static_cast<std::size_t>(Below(static_cast<int>(r.size())))] = Pick("\r\n;x0 ");
    return r;
  }

  // Offsets that split text into random pieces, some of them one byte long.
  std::vector<std::size_t> Cuts(std::size_t size) {
    std::vector<std::size_t> cuts;
    for (std::size_t at = 0;;) {
      at += static_cast<std::size_t>(Chance(30) ? 1 : 1 + Below(1500));
      if (at >= size) return cuts;
      cuts.push_back(at);
    }
  }

 private:
  int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }
  bool Chance(int percent) { return Below(100) < percent; }
  char Pick(const char* from) { return from[Below(static_cast<int>(std::char_traits<char>::length(from)))]; }
  // A length a little under or over limit.
  int Near(int limit) { return limit - 100 + Below(200); }
  std::string End() { return Chance(90) ? "\r\n" : "\n"; }
  std::string Hex(std::size_t n) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    do out.insert(out.begin(), kDigits[n % 16]); while (n /= 16);
    return out;
  }
  std::string Extension() {
    if (Chance(50)) return "";
    return ";ext=" + std::string(Chance(50) ? Near(1024) : Below(20), 'e');
  }
  std::string Bytes(int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += Pick("0123456789.\tabc \r\n");
    return out;
  }

  std::mt19937 rng_;
};

TEST(ReplyReader, AReplyReadsTheSameHoweverItsBytesArrive) {
  ReplyMaker maker(20260509);
  int failed = 0, done = 0;
  for (int i = 0; i < 1500; ++i) {
    std::string reply = maker.Make();
    Result whole = Read(reply, {});
    (whole.state == ReplyReader::State::Done ? done : failed) += 1;
    std::vector<std::size_t> everyByte;
    for (std::size_t at = 1; at < reply.size(); ++at) everyByte.push_back(at);
    ASSERT_EQ(Read(reply, maker.Cuts(reply.size())), whole) << "reply " << i << ":\n" << reply;
    ASSERT_EQ(Read(reply, everyByte), whole) << "reply " << i << ":\n" << reply;
  }
  // The replies reach both ends.
  EXPECT_GT(done, 300);
  EXPECT_GT(failed, 300);
}

}  // namespace
