// Reads an HTTP/1.1 reply from the bytes of its connection, as they arrive: plain C++,
// so the transfer behind fw::HTTPSocket keeps to the sockets.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fw::http {

// Names of header fields compare without case.
bool SameLetters(std::string_view a, std::string_view b);

// One reply. The request asks for the body as it is (identity), so nothing is
// decompressed: a body with any coding but the chunked framing cannot be read, and
// neither can a broken chunk; both are errors, never a page with whatever was
// understood of them. Errors are fw::HTTPSocket's codes.
class ReplyReader {
 public:
  enum class State { Reading, Done, Failed };

  // Takes the bytes that arrived; the state after them.
  State Feed(std::string_view bytes);
  // The server closed the connection in order.
  State End();
  // The connection broke: reset, or failed to read. Only an orderly close ends a body
  // sent without a length, so this is codeBeforeReply before the reply's head is read
  // and the truncated-body error after it.
  State Broken(int codeBeforeReply);

  int error = 0;
  int status = 0;
  std::vector<std::pair<std::string, std::string>> fields;
  std::string body;

 private:
  enum class Phase { Head, Body, ChunkSize, ChunkData, ChunkEnd, Trailer };
  enum class Framing { Length, Chunked, UntilClose };

  void Fail(int code);
  std::optional<std::string> Line(std::size_t limit);
  bool TakeBody(std::size_t n);
  void Parse();
  void HeadLine(const std::string& line);
  std::string Field(std::string_view name) const;
  void BodyStarts();

  State state_ = State::Reading;
  Phase phase_ = Phase::Head;
  Framing framing_ = Framing::UntilClose;
  std::string pending_;        // bytes received and not yet taken
  std::size_t headBytes_ = 0;  // of the head, or of the trailer
  std::int64_t left_ = 0;      // bytes of the body, or of the chunk, still to come
};

}  // namespace fw::http
