// The version check against a real HTTP server on this machine, to which the maker's
// host is routed: what the window says, how tall it is and what can still be pressed
// after each kind of answer.
#include "windows/checkVersScrn.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/Clock.h"
#include "framework/Picture.h"
#include "framework/TestHooks.h"
#include "framework/Values.h"
#include "shell/app.h"
#include "shell/maker.h"
#include "tests/support/LocalHttpServer.h"

namespace {

using namespace std::chrono_literals;
using Reply = LocalHttpServer::Reply;

constexpr fw::Color kPurple = fw::RGB(143, 0, 255);

std::string RequestLine(const std::string& head) { return head.substr(0, head.find("\r\n")); }

class CheckVersTest : public testing::Test {
 protected:
  void TearDown() override { theApp.reset(); }

  checkVersScrn& Window() { return checkVersScrn::Instance(); }
  bool IsOpen() const { return fw::windows::Find(typeid(checkVersScrn)) != nullptr; }

  // A server that answers every request so, with the maker's host routed to it.
  std::unique_ptr<LocalHttpServer> Serve(LocalHttpServer::Handler handler) {
    auto server = std::make_unique<LocalHttpServer>(std::move(handler));
    fw::http_hooks::RouteToLocal(maker::kHost, server->Port());
    return server;
  }
  std::unique_ptr<LocalHttpServer> ServePage(int status, const std::string& reason, const std::string& body,
                                             const std::string& extraFields = "") {
    return Serve([=](const std::string&) { return LocalHttpServer::Page(status, reason, body, extraFields); });
  }

  // The button acts inside the release; nothing else runs meanwhile.
  static void Click(fw::Control& c) {
    int x = c.Left() + c.Width() / 2, y = c.Top() + c.Height() / 2;
    fw::test::PressMouse(*c.Owner(), x, y);
    fw::test::ReleaseMouse(*c.Owner(), x, y);
  }

  // Presses the check button and waits for the answer, which hides the wheel again.
  checkVersScrn& Check() {
    checkVersScrn& w = Window();
    Click(w.checkBtn);
    EXPECT_TRUE(w.progArrows.Visible());
    EXPECT_TRUE(WaitReal([&] { return !w.progArrows.Visible(); }, 30s)) << "no answer came";
    return w;
  }

  // A fresh window for the next case.
  void CloseWindow() {
    if (IsOpen()) Window().Close();
    fw::test::Advance(0);
    fw::http_hooks::ClearRoutes();
  }

  std::unique_ptr<app> theApp = std::make_unique<app>();
};

// The bottom edge of a control, to compare with the window's height.
int Bottom(const fw::Control& c) { return c.Top() + c.Height(); }

TEST_F(CheckVersTest, OpensShowingTheRunningVersionWithTheResultAreaCutOff) {
  checkVersScrn& w = Window();
  EXPECT_TRUE(w.IsVisible());
  EXPECT_EQ(w.Title(), "Check Version");
  EXPECT_EQ(w.Width(), 442);
  EXPECT_EQ(w.Height(), 230);
  EXPECT_EQ(w.StaticText2.Text(), App().LongVersion());
  EXPECT_FALSE(w.StaticText2.Text().empty());
  EXPECT_EQ(w.ResultTxt.Text(), "");
  EXPECT_TRUE(w.checkBtn.Enabled());
  EXPECT_TRUE(w.checkBtn.Default());
  EXPECT_FALSE(w.closeBtn.Default());
  EXPECT_FALSE(w.closeBtn.Cancel());
  EXPECT_FALSE(w.progArrows.Visible());
  EXPECT_EQ(w.checkBtn.Caption(), "Check for Update");
  EXPECT_EQ(w.closeBtn.Caption(), "Close");
  EXPECT_EQ(w.downloadBtn.Caption(), "Go to 'Tarrow' Site");
  EXPECT_EQ(w.StaticText1.Text(), "Your current version of Zembo is:");
  EXPECT_EQ(w.StaticText3.Text(),
            "To check as to whether a more recent version exists:\r   1) Connect to the internet as you normally "
            "do.\r   2) Click the button to check with the Tarrow site.");
  EXPECT_EQ(w.StaticText4.Text(),
            "Click the button to visit the <Tarrow Software> web site for more information about the recent "
            "version.");
  EXPECT_EQ(w.StaticText5.Text(), "** All upgrades to\x17Zembo are free!!! **");

  // What each height shows: at 230 the top strip of the result, at 300 the whole result
  // and the site button, at 364 the rest.
  for (fw::Control* c : {static_cast<fw::Control*>(&w.StaticText1), static_cast<fw::Control*>(&w.StaticText2),
                         static_cast<fw::Control*>(&w.StaticText3), static_cast<fw::Control*>(&w.checkBtn),
                         static_cast<fw::Control*>(&w.closeBtn), static_cast<fw::Control*>(&w.Separator1),
                         static_cast<fw::Control*>(&w.progArrows)}) {
    EXPECT_LE(Bottom(*c), checkVersScrn::kOpeningHeight) << c->Name();
  }
  EXPECT_EQ(checkVersScrn::kOpeningHeight - w.ResultTxt.Top(), 16);
  for (fw::Control* c : {static_cast<fw::Control*>(&w.ResultTxt), static_cast<fw::Control*>(&w.downloadBtn)}) {
    EXPECT_GT(Bottom(*c), checkVersScrn::kOpeningHeight) << c->Name();
    EXPECT_LE(Bottom(*c), checkVersScrn::kLatestHeight) << c->Name();
  }
  for (fw::Control* c : {static_cast<fw::Control*>(&w.StaticText4), static_cast<fw::Control*>(&w.StaticText5)}) {
    EXPECT_GT(Bottom(*c), checkVersScrn::kLatestHeight) << c->Name();
    EXPECT_LE(Bottom(*c), checkVersScrn::kNewerHeight) << c->Name();
  }
}

TEST_F(CheckVersTest, LabelsAreDrawnInTheirColoursAndAlignments) {
  checkVersScrn& w = Window();
  fw::Ref<fw::Picture> shot = fw::test::Render(w);
  ASSERT_EQ(shot->Height(), 230);
  // The columns where a label's row holds ink of a colour.
  auto inkColumns = [&](const fw::Control& c, auto isInk) {
    int first = -1, last = -1;
    for (int x = c.Left(); x < c.Left() + c.Width(); ++x)
      for (int y = c.Top(); y < c.Top() + c.Height() && y < shot->Height(); ++y)
        if (isInk(shot->Pixel(x, y))) {
          if (first < 0) first = x;
          last = x;
          break;
        }
    return std::pair{first, last};
  };
  auto purple = [](fw::Color c) { return c == kPurple; };
  auto black = [](fw::Color c) { return c == fw::RGB(0, 0, 0); };
  // Antialiased edges of black text included.
  auto dark = [](fw::Color c) { return c.r + c.g + c.b < 300 && c.r == c.g && c.g == c.b; };

  for (const fw::StaticText* t : {&w.StaticText1, &w.StaticText2}) {
    SCOPED_TRACE(t->Name());
    auto [first, last] = inkColumns(*t, purple);
    ASSERT_GE(first, 0);
    // Centred: as much room on the left as on the right.
    EXPECT_NEAR(first - t->Left(), t->Left() + t->Width() - 1 - last, 3);
    EXPECT_EQ(inkColumns(*t, black).first, -1);
  }
  auto [first, last] = inkColumns(w.StaticText3, black);
  ASSERT_GE(first, 0);
  EXPECT_LE(first - w.StaticText3.Left(), 3);  // left-aligned
  EXPECT_EQ(inkColumns(w.StaticText3, purple).first, -1);

  // The instructions are three lines: ink in three bands of rows.
  int bands = 0;
  bool inBand = false;
  for (int y = w.StaticText3.Top(); y < Bottom(w.StaticText3); ++y) {
    bool ink = false;
    for (int x = w.StaticText3.Left(); x < w.StaticText3.Left() + w.StaticText3.Width() && !ink; ++x)
      ink = dark(shot->Pixel(x, y));
    if (ink && !inBand) ++bands;
    inBand = ink;
  }
  EXPECT_EQ(bands, 3);
}

TEST_F(CheckVersTest, AVersionFileComparesItsFirstFieldWithTheRunningVersion) {
  const std::string running = App().ShortVersion();
  const double runningValue = fw::Val(running);
  ASSERT_GT(runningValue, 1.0);
  const std::string older = fw::Format(runningValue - 1, "0.0");
  struct Case {
    std::string body;
    std::string text;
    int height;
  };
  const std::vector<Case> cases = {
      {"99.5\tNow with more bubbles", "Zembo version 99.50 is available.\nNow with more bubbles", 364},
      {"99.456\tRounded", "Zembo version 99.46 is available.\nRounded", 364},
      {"99", "Zembo version 99.00 is available.\n", 364},                          // no tab: no remark
      {"99.5\tfirst\tsecond\tthird", "Zembo version 99.50 is available.\nfirst", 364},  // only field 2
      {"\xEF\xBB\xBF" "99.5\tsaved by an editor", "Zembo version 99.50 is available.\nsaved by an editor", 364},
      {running + "\tSame as yours", "You have the latest version\nSame as yours", 300},
      {running + ".000", "You have the latest version\n", 300},
      {older + "\tOlder than yours", "You have the latest version\nOlder than yours", 300},
      {"soon\tnot a number", "You have the latest version\nnot a number", 300},
      {"nan\tnot finite", "You have the latest version\nnot finite", 300},
      {"", "You have the latest version\n", 300},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body);
    auto server = ServePage(200, "OK", c.body);
    checkVersScrn& w = Check();
    EXPECT_EQ(w.ResultTxt.Text(), c.text);
    EXPECT_EQ(w.Height(), c.height);
    EXPECT_FALSE(w.checkBtn.Enabled());
    EXPECT_FALSE(w.progArrows.Visible());
    ASSERT_EQ(server->Requests().size(), 1u);
    EXPECT_EQ(RequestLine(server->Requests()[0]), "GET /Zembo/ZemboVers.txt HTTP/1.1");
    // The controls stay where they were laid out; the window only shows more of them.
    EXPECT_EQ(w.downloadBtn.Top(), 273);
    EXPECT_EQ(w.StaticText5.Top(), 338);
    CloseWindow();
  }
}

TEST_F(CheckVersTest, APageEndsTheExchangeForTheWindowAndTheSiteButtonOpensTheProductPage) {
  auto server = ServePage(200, "OK", "0.1\tYou are fine");
  checkVersScrn& w = Check();
  ASSERT_EQ(w.Height(), 300);
  ASSERT_LE(Bottom(w.downloadBtn), w.Height());
  Click(w.downloadBtn);
  EXPECT_EQ(fw::test::ShownURLs(), std::vector<std::string>{maker::kProductPageAddress});

  // The disabled check button answers neither a click nor Return.
  Click(w.checkBtn);
  fw::test::TypeKey(w, "\r");
  Settle();
  EXPECT_EQ(server->Connections(), 1);
  EXPECT_FALSE(w.progArrows.Visible());
  EXPECT_EQ(w.ResultTxt.Text(), "You have the latest version\nYou are fine");

  // Only a new window asks again.
  Click(w.closeBtn);
  fw::test::Advance(0);
  EXPECT_FALSE(IsOpen());
  checkVersScrn& again = Window();
  EXPECT_TRUE(again.checkBtn.Enabled());
  EXPECT_EQ(again.ResultTxt.Text(), "");
  EXPECT_EQ(again.Height(), 230);
}

TEST_F(CheckVersTest, ReturnPressesTheCheckButton) {
  // Slow enough that the wheel is still turning when the key has been handled.
  auto server = Serve([](const std::string&) {
    std::this_thread::sleep_for(100ms);
    return LocalHttpServer::Page(200, "OK", "99.5\tby key");
  });
  checkVersScrn& w = Window();
  fw::test::TypeKey(w, "\r");
  EXPECT_TRUE(w.progArrows.Visible());
  ASSERT_TRUE(WaitReal([&] { return !w.progArrows.Visible(); }));
  EXPECT_EQ(w.ResultTxt.Text(), "Zembo version 99.50 is available.\nby key");
  EXPECT_EQ(w.Height(), 364);
}

TEST_F(CheckVersTest, OtherStatusesAreShownInTheStripAndEndTheExchange) {
  LocalHttpServer elsewhere([](const std::string&) { return LocalHttpServer::Page(200, "OK", "99.5\tmoved"); });
  const std::string moved = "http://127.0.0.1:" + std::to_string(elsewhere.Port()) + "/Zembo/ZemboVers.txt";
  struct Case {
    int status;
    const char* reason;
    std::string extra;
    const char* text;
  };
  const Case cases[] = {
      {404, "Not Found", "", "File Not Found\n"},
      {403, "Forbidden", "", "Path is Forbidden\n"},
      {500, "Internal Server Error", "", "There was an error in getting the information.\n"},
      {302, "Found", "Location: " + moved + "\r\n", "There was an error in getting the information.\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.status);
    // A body of the version file's form counts for nothing with these statuses.
    auto server = ServePage(c.status, c.reason, "99.5\tremark", c.extra);
    checkVersScrn& w = Check();
    EXPECT_EQ(w.ResultTxt.Text(), c.text);
    EXPECT_EQ(w.Height(), 230);
    EXPECT_FALSE(w.checkBtn.Enabled());
    Click(w.checkBtn);
    Settle();
    EXPECT_EQ(server->Connections(), 1);
    CloseWindow();
  }
  EXPECT_EQ(elsewhere.Connections(), 0);  // the redirect was not followed
}

TEST_F(CheckVersTest, AFailedTransferLeavesTheCheckButtonForAnotherTry) {
  int port = LocalHttpServer::FreePort();
  fw::http_hooks::RouteToLocal(maker::kHost, port);
  checkVersScrn& w = Check();
  EXPECT_EQ(w.ResultTxt.Text(), "An error occurred. Type: " + fw::Str(fw::HTTPSocket::kErrRefused));
  EXPECT_EQ(w.Height(), 230);
  EXPECT_TRUE(w.checkBtn.Enabled());
  EXPECT_FALSE(w.progArrows.Visible());

  // The server is up now: the same window tries again and gets its answer.
  LocalHttpServer server([](const std::string&) { return LocalHttpServer::Page(200, "OK", "99.5\tback"); }, port);
  ASSERT_EQ(server.Port(), port);
  Check();
  EXPECT_EQ(w.ResultTxt.Text(), "Zembo version 99.50 is available.\nback");
  EXPECT_EQ(w.Height(), 364);
  EXPECT_FALSE(w.checkBtn.Enabled());
}

TEST_F(CheckVersTest, AnUnresolvableHostMeansNoInternetConnection) {
  fw::http_hooks::RouteTo(maker::kHost, "no-such-host.zembo.invalid", 80);
  checkVersScrn& w = Check();
  EXPECT_EQ(w.ResultTxt.Text(), "ERROR: No internet connection found.");
  EXPECT_EQ(w.Height(), 230);
  EXPECT_TRUE(w.checkBtn.Enabled());
  EXPECT_FALSE(w.progArrows.Visible());
}

TEST_F(CheckVersTest, BrokenRepliesAreErrorsWithTheirCodes) {
  struct Case {
    const char* what;
    Reply reply;
    int code;
  };
  const Case cases[] = {
      {"oversized", LocalHttpServer::Page(200, "OK", std::string(fw::HTTPSocket::kMaxBodyBytes + 1, '9')),
       fw::HTTPSocket::kErrTooLarge},
      {"truncated", {"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\n99.5\tonly a part", Reply::Then::Close},
       fw::HTTPSocket::kErrTruncated},
      {"reset", {"", Reply::Then::Reset}, fw::HTTPSocket::kErrConnectionLost},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto server = Serve([&](const std::string&) { return c.reply; });
    checkVersScrn& w = Check();
    EXPECT_EQ(w.ResultTxt.Text(), "An error occurred. Type: " + fw::Str(c.code));
    EXPECT_EQ(w.Height(), 230);
    EXPECT_TRUE(w.checkBtn.Enabled());
    CloseWindow();
  }
}

TEST_F(CheckVersTest, AServerThatNeverAnswersIsAnErrorAfterThirtySeconds) {
  auto server = Serve([](const std::string&) { return Reply{"", Reply::Then::Hold}; });
  checkVersScrn& w = Window();
  Click(w.checkBtn);
  ASSERT_TRUE(WaitReal([&] { return server->Requests().size() == 1; }));
  Settle();
  std::int64_t asked = fw::NowMs();
  fw::test::Advance(fw::HTTPSocket::kTimeLimitMs - 1000);
  EXPECT_TRUE(w.progArrows.Visible());
  EXPECT_EQ(w.ResultTxt.Text(), "");
  ASSERT_TRUE(fw::test::RunUntil([&] { return !w.progArrows.Visible(); }, 5000));
  EXPECT_LE(fw::NowMs() - asked, fw::HTTPSocket::kTimeLimitMs);
  EXPECT_EQ(w.ResultTxt.Text(), "An error occurred. Type: " + fw::Str(fw::HTTPSocket::kErrTimedOut));
  EXPECT_TRUE(w.checkBtn.Enabled());
  EXPECT_EQ(w.Height(), 230);
}

TEST_F(CheckVersTest, PressingAgainWhileWaitingAsksAgainAndOnlyTheLastAnswerIsShown) {
  std::atomic<int> asked = 0;  // counted on the server's thread
  auto server = Serve([&](const std::string&) {
    int n = ++asked;
    std::this_thread::sleep_for(200ms);
    return LocalHttpServer::Page(200, "OK", n == 1 ? "99.5\tfirst" : "99.5\tsecond");
  });
  checkVersScrn& w = Window();
  Click(w.checkBtn);
  ASSERT_TRUE(WaitReal([&] { return asked == 1; }));
  EXPECT_TRUE(w.checkBtn.Enabled());  // nothing stops a second press while the first waits
  Click(w.checkBtn);
  ASSERT_TRUE(WaitReal([&] { return !w.progArrows.Visible(); }));
  Settle();
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(w.ResultTxt.Text(), "Zembo version 99.50 is available.\nsecond");
}

TEST_F(CheckVersTest, ClosingWhileARequestWaitsCancelsIt) {
  auto server = Serve([](const std::string&) {
    std::this_thread::sleep_for(200ms);
    return LocalHttpServer::Page(200, "OK", "99.5\tlate");
  });
  for (bool closeBox : {false, true}) {
    SCOPED_TRACE(closeBox ? "close box" : "Close button");
    checkVersScrn& w = Window();
    Click(w.checkBtn);
    ASSERT_TRUE(w.mySocket.IsPending());
    if (closeBox) {
      fw::test::ClickCloseBox(w);
    } else {
      int x = w.closeBtn.Left() + 4, y = w.closeBtn.Top() + 4;
      fw::test::PressMouse(w, x, y);
      fw::test::ReleaseMouse(w, x, y);
      // Closed, not yet destroyed: the request is gone already.
      EXPECT_FALSE(w.IsOpen());
      EXPECT_FALSE(w.mySocket.IsPending());
    }
    Settle();
    EXPECT_FALSE(IsOpen());
    // The late reply reached no one; the next window starts ready.
    fw::test::Advance(fw::HTTPSocket::kTimeLimitMs + 1000);
    EXPECT_TRUE(fw::test::UnhandledReports().empty());
    checkVersScrn& again = Window();
    EXPECT_EQ(again.Height(), 230);
    EXPECT_EQ(again.ResultTxt.Text(), "");
    EXPECT_TRUE(again.checkBtn.Enabled());
    CloseWindow();
    fw::http_hooks::RouteToLocal(maker::kHost, server->Port());
  }
}

}  // namespace
