#include "framework/Timer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Clock.h"
#include "framework/TestHooks.h"
#include "framework/Window.h"

namespace {

using fw::test::Advance;

TEST(Timer, SingleShotFiresOncePeriodAfterArming) {
  std::vector<std::int64_t> fired;
  fw::Timer t(fw::Timer::kOff, 300);
  t.Action = [&] { fired.push_back(fw::NowMs()); };
  std::int64_t armed = fw::NowMs();
  t.SetMode(fw::Timer::kSingle);
  Advance(299);
  EXPECT_TRUE(fired.empty());
  Advance(1000);
  ASSERT_EQ(fired.size(), 1u);
  EXPECT_EQ(fired[0], armed + 300);
  EXPECT_EQ(t.GetMode(), fw::Timer::kOff);
}

TEST(Timer, MultipleFiresEveryPeriodUntilTurnedOff) {
  int count = 0;
  fw::Timer t(fw::Timer::kMultiple, 500);
  t.Action = [&] {
    if (++count == 3) t.SetMode(fw::Timer::kOff);
  };
  Advance(1499);
  EXPECT_EQ(count, 2);
  Advance(10000);
  EXPECT_EQ(count, 3);
}

TEST(Timer, TimersFireInTimeOrderAndAHandlerMayDeleteAnother) {
  std::vector<int> order;
  fw::Timer first(fw::Timer::kSingle, 20);
  fw::Timer early(fw::Timer::kSingle, 10);
  auto doomed = std::make_unique<fw::Timer>(fw::Timer::kSingle, 20);
  early.Action = [&] { order.push_back(1); };
  first.Action = [&] {
    order.push_back(2);
    doomed.reset();  // due at the same moment, but gone before its turn
  };
  doomed->Action = [&] { order.push_back(3); };
  Advance(50);
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST(Timer, AnEscapingExceptionIsReportedAndTheTimerGoesOn) {
  int count = 0;
  fw::Timer t(fw::Timer::kMultiple, 10);
  t.Action = [&] {
    ++count;
    throw std::runtime_error("boom");
  };
  Advance(35);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(fw::test::TakeUnhandledReports(), (std::vector<std::string>{"boom", "boom", "boom"}));
  ASSERT_FALSE(fw::test::DialogsShown().empty());
  EXPECT_EQ(fw::test::DialogsShown()[0].Icon, 2);
}

struct Question : fw::Window {};

// Ticks twice a second; at 1.2 s its handler closes it and then asks a question,
// so the closed window stays in memory while the question is open.
struct TickingWindow : fw::Window {
  explicit TickingWindow(int& ticks) {
    tick.Action = [&ticks] { ++ticks; };
    handOver.Action = [this] {
      Close();
      fw::Implicit<Question>().ShowModal();
    };
  }
  fw::Timer tick{this, fw::Timer::kMultiple, 500};
  fw::Timer handOver{this, fw::Timer::kSingle, 1200};
};

TEST(Timer, AClosedWindowsTimersNeverFire) {
  int ticks = 0;
  int ticksWhileAsked = -1;
  fw::test::OnModal([&](fw::Window& question) {
    const int before = ticks;
    fw::test::Advance(3000);
    ticksWhileAsked = ticks - before;
    question.Close();
  });
  fw::Open<TickingWindow>(ticks);
  fw::test::Advance(1300);
  EXPECT_EQ(ticks, 2) << "open, it ticks";
  EXPECT_EQ(ticksWhileAsked, 0);
  fw::test::Advance(3000);
  EXPECT_EQ(ticks, 2);
}

TEST(Thread, TakesTurnsWithTheEventLoop) {
  std::vector<std::string> log;
  fw::Timer t(fw::Timer::kMultiple, 1);
  t.Action = [&] { log.push_back("timer"); };
  fw::Thread th;
  th.RunHandler = [&] {
    for (int i = 0; i < 3; ++i) {
      log.push_back("thread");
      fw::YieldToNextThread();
    }
  };
  th.Run();
  EXPECT_TRUE(th.IsRunning());
  EXPECT_TRUE(log.empty()) << "the first turn comes from the event loop";
  Advance(5);
  EXPECT_FALSE(th.IsRunning());
  // Never two thread steps without the loop between them.
  for (std::size_t i = 1; i < log.size(); ++i)
    EXPECT_FALSE(log[i] == "thread" && log[i - 1] == "thread") << i;
  EXPECT_EQ(std::count(log.begin(), log.end(), "thread"), 3);
}

TEST(Thread, WaitsOnTheClockOnlyAsTheClockMoves) {
  fw::Thread th;
  std::int64_t done = -1;
  th.RunHandler = [&] {
    std::int64_t until = fw::NowMs() + 250;
    while (fw::NowMs() < until) fw::YieldToNextThread();
    done = fw::NowMs();
  };
  std::int64_t start = fw::NowMs();
  th.Run();
  Advance(100);
  EXPECT_EQ(done, -1);
  Advance(200);
  EXPECT_EQ(done, start + 250);
}

TEST(Thread, AThreadThatYieldsUntilAMomentSleepsUntilThen) {
  fw::Thread th;
  int turns = 0;
  std::int64_t woke = -1;
  th.RunHandler = [&] {
    ++turns;
    fw::YieldUntil(fw::NowUs() + 250'500);
    ++turns;
    woke = fw::NowUs();
    fw::YieldToNextThread();
    ++turns;
  };
  std::int64_t start = fw::NowUs();
  th.Run();
  Advance(250);
  EXPECT_EQ(turns, 1) << "no turn before its moment";
  Advance(1);
  EXPECT_EQ(woke, start + 250'500);
  EXPECT_EQ(turns, 2);
  Advance(1);
  EXPECT_EQ(turns, 3) << "a plain yield comes back at the next pass";
  EXPECT_FALSE(th.IsRunning());
}

TEST(Thread, ItsFirstTurnIsDueFromTheMomentItStartedHoweverLateThePumpLooks) {
  fw::Thread th;
  th.RunHandler = [] {};
  std::int64_t start = fw::NowUs();
  th.Run();
  fw::clock_hooks::SetManualNowUs(start + 5000);  // a slow pass: the clock moved on before the pump looked
  EXPECT_EQ(th.DueUs(), start);
  Advance(0);
  EXPECT_FALSE(th.IsRunning());
}

TEST(Thread, DestroyingAWaitingThreadEndsIt) {
  bool unwound = false;
  {
    fw::Thread th;
    th.RunHandler = [&] {
      struct Flag {
        bool& f;
        ~Flag() { f = true; }
      } flag{unwound};
      for (;;) fw::YieldToNextThread();
    };
    th.Run();
    Advance(3);
  }
  EXPECT_TRUE(unwound);
}

TEST(Thread, AnExceptionInTheThreadIsReportedOnTheEventLoop) {
  fw::Thread th;
  th.RunHandler = [] { throw std::runtime_error("loader failed"); };
  th.Run();
  Advance(2);
  EXPECT_FALSE(th.IsRunning());
  EXPECT_EQ(fw::test::TakeUnhandledReports(), (std::vector<std::string>{"loader failed"}));
}

TEST(Clock, TicksAreSixtiethsOfTheManualClock) {
  Advance(1000 - fw::NowMs() % 1000);
  std::int64_t t0 = fw::Ticks();
  Advance(1000);
  EXPECT_EQ(fw::Ticks() - t0, 60);
}

}  // namespace
