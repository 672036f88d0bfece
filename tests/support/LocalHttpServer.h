// A small HTTP server on 127.0.0.1 for the network tests: it answers each request
// with whatever bytes the test scripts, then closes, resets or keeps the connection.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class LocalHttpServer {
 public:
  struct Reply {
    // What happens after the bytes are sent.
    enum class Then { Close, Reset, Hold };
    std::string bytes;
    Then then = Then::Close;
  };
  // Called on the server's thread with the head of each request (request line and fields).
  using Handler = std::function<Reply(const std::string& requestHead)>;

  // Listens on 127.0.0.1 at port, or at a free port when port is 0. Port() is 0 when
  // the port could not be taken.
  explicit LocalHttpServer(Handler handler, int port = 0);
  ~LocalHttpServer();  // stops listening and closes every connection
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  int Port() const { return port_; }
  // The heads of the requests received so far.
  std::vector<std::string> Requests() const;
  // How many connections were accepted.
  int Connections() const { return connections_; }
  // How many replies ending in Close the client read to their end: it closed its side
  // after the server's.
  int ReadToTheEnd() const { return readToTheEnd_; }

  // A whole reply with a Content-Length, closing the connection afterwards.
  static Reply Page(int status, const std::string& reason, const std::string& body,
                    const std::string& extraFields = "");
  // A port on 127.0.0.1 where nothing listens (taken and let go again).
  static int FreePort();

 private:
  void Serve();
  void Answer(int fd);
  bool SendAll(int fd, const std::string& bytes);
  bool AwaitClose(int fd);

  Handler handler_;
  int listener_ = -1;
  int port_ = 0;
  int wake_[2] = {-1, -1};
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::atomic<int> readToTheEnd_{0};
  std::vector<int> held_;
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// Runs the event loop in real time with the manual clock standing still, until pred
// holds or the limit has passed: replies from the server take real time to arrive.
bool WaitReal(const std::function<bool()>& pred,
              std::chrono::milliseconds limit = std::chrono::seconds(10));
// Real time for whatever is on its way to arrive.
void Settle();
