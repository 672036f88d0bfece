// Start-up and the splash window on the manual clock: what the player sees at
// each moment, the hand-over to the play window, and the ways out of it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "framework/Clock.h"
#include "framework/TestHooks.h"
#include "game/GameScrn.h"
#include "shell/SplashScrn.h"
#include "shell/Startup.h"
#include "shell/app.h"
#include "shell/globals.h"
#include "shell/media.h"
#include "tests/support/MemoryLimit.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using fw::test::Advance;

class SplashTest : public testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(root_ / "config");
    fs::create_directories(root_ / "Resources");
    ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    for (auto& e : fs::directory_iterator(ZEMBO_MEDIA_DIR))
      fs::copy_file(e.path(), root_ / "Resources" / e.path().filename());
    fw::test::SetResourcesFolder(root_ / "Resources");
    // The play window asks for the player as it opens; these tests leave it unanswered.
    fw::test::OnModal([](fw::Window& m) { m.Close(); });
  }
  void Boot() {
    t0_ = fw::NowMs();
    fw::test::Boot(startup::Startup);
  }
  // How long the loader plays sounds: each one through once.
  std::int64_t SoundTime() {
    std::int64_t total = 0;
    for (auto s : media::kSounds)
      if (auto sound = s()) total += sound->DurationMs();
    return total;
  }
  std::int64_t Elapsed() const { return fw::NowMs() - t0_; }
  bool SplashOpen() const { return fw::windows::Find(typeid(SplashScrn)) != nullptr; }
  bool PlayOpen() const { return fw::windows::Find(typeid(GameScrn)) != nullptr; }
  const std::string& Activity() const { return SplashScrn::Instance().activityText.Text(); }

  TempDir tmp_{"splash"};
  fs::path root_ = tmp_.path();
  std::int64_t t0_ = 0;
};

TEST_F(SplashTest, ShowsTheVersionAndAnimatesTheActivityLine) {
  Boot();
  ASSERT_TRUE(SplashOpen());
  SplashScrn& s = SplashScrn::Instance();
  EXPECT_TRUE(s.IsVisible());
  EXPECT_EQ(s.Width(), 400);
  EXPECT_EQ(s.Height(), 250);
  EXPECT_EQ(s.versText.Text(), "Version: 2.1");
  EXPECT_EQ(Activity(), "Initializing Sounds...");
  const char* expected[] = {"Initializing Pictures and Sounds.", "Initializing Pictures and Sounds..",
                            "Initializing Pictures and Sounds...", "Initializing Pictures and Sounds",
                            "Initializing Pictures and Sounds."};
  for (int tick = 0; tick < 5 && 500 * (tick + 1) < SoundTime(); ++tick) {
    Advance(499);
    EXPECT_NE(Activity(), expected[tick]) << "not before the tick";
    Advance(1);
    EXPECT_EQ(Activity(), expected[tick]) << tick;
  }
}

TEST_F(SplashTest, HandsOverAfterTheSoundsAndLeavesThemAtFullVolume) {
  Boot();
  std::int64_t handOver = SoundTime() + 300;
  ASSERT_GT(SoundTime(), 500) << "the sounds take some time to play through";
  ASSERT_LT(SoundTime(), 3000) << "and not much";
  Advance(handOver - Elapsed() - 1);
  EXPECT_TRUE(SplashOpen());
  EXPECT_FALSE(PlayOpen());
  for (auto s : media::kSounds) EXPECT_FALSE(s()->IsPlaying());
  Advance(1);  // to the millisecond
  EXPECT_FALSE(SplashOpen());
  ASSERT_TRUE(PlayOpen());
  EXPECT_TRUE(GameScrn::Instance().IsVisible());
  for (auto s : media::kSounds) EXPECT_EQ(s()->Volume(), 100);
  EXPECT_EQ(picHolder::gAquaLg, Aqua120x30());
  EXPECT_TRUE(picHolder::pPaddle);
  EXPECT_TRUE(fw::test::UnhandledReports().empty());
}

TEST_F(SplashTest, AClickChangesNothing) {
  Boot();
  SplashScrn& s = SplashScrn::Instance();
  fw::test::PressMouse(s, 200, 100);
  Advance(5);
  fw::test::ReleaseMouse(s, 200, 100);
  Advance(SoundTime() + 300 - Elapsed() - 1);
  EXPECT_TRUE(SplashOpen());
  Advance(20);
  EXPECT_TRUE(PlayOpen());
}

TEST_F(SplashTest, MissingMediaDoNotKeepThePlayerOnTheSplash) {
  fs::remove(root_ / "Resources" / "pop.wav");
  fs::remove(root_ / "Resources" / "Aqua120x30.png");
  fs::remove(root_ / "Resources" / "paddle.pct");
  Boot();
  EXPECT_TRUE(fw::test::RunUntil([&] { return PlayOpen(); }, 5000));
  EXPECT_FALSE(pop());
  EXPECT_FALSE(picHolder::gAquaLg);
  EXPECT_TRUE(fw::test::UnhandledReports().empty());
}

TEST_F(SplashTest, AFailureOnTheLoaderThreadStillHandsOver) {
  if (!kMemoryLimitsTestable) GTEST_SKIP() << "memory limits end a sanitized process";
  // The first sound the loader reads takes more memory than is left to it.
  fs::resize_file(root_ / "Resources" / "bing.wav", 65 << 20);
  Boot();
  {
    AddressSpaceLimit limit(16 << 20);
    ASSERT_TRUE(limit);
    Advance(1);  // the loader's first turn
  }
  ASSERT_EQ(fw::test::TakeUnhandledReports(), std::vector<std::string>{"std::bad_alloc"});
  EXPECT_TRUE(fw::test::RunUntil([&] { return PlayOpen(); }, 5000));
}

TEST_F(SplashTest, NoMediaAtAllStillReachesThePlayWindow) {
  fw::test::SetResourcesFolder(root_ / "nowhere");
  Boot();
  EXPECT_TRUE(fw::test::RunUntil([&] { return PlayOpen(); }, 1000));
}

TEST_F(SplashTest, TheCloseBoxQuits) {
  Boot();
  Advance(100);
  fw::test::ClickCloseBox(SplashScrn::Instance());
  EXPECT_TRUE(App().Quitting());
}

TEST_F(SplashTest, ClosingThePlayWindowQuitsAndWritesOnlyWhenDirty) {
  Boot();
  ASSERT_TRUE(fw::test::RunUntil([&] { return PlayOpen(); }, 5000));
  fs::path file = root_ / "config" / "ZemboData";
  auto stamp = fs::last_write_time(file);
  globals::gCurPlayer = "Someone";  // changed, but nothing marked it dirty
  fw::test::ClickCloseBox(GameScrn::Instance());
  EXPECT_TRUE(App().Quitting());
  EXPECT_EQ(fs::last_write_time(file), stamp);
}

TEST_F(SplashTest, TheDataFileIsReadBeforeTheFirstWindowShows) {
  {
    std::ofstream out(root_ / "config" / "ZemboData", std::ios::binary);
    out << "\x03Kim";
    for (int i = 0; i < 10; ++i) out << "\x08P,1,date";
  }
  std::vector<std::string> seen;
  fw::test::OnShown([&](fw::Window& w) { seen.push_back(w.Title() + ":" + globals::gCurPlayer); });
  Boot();
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen[0], "Untitled:Kim");
  ASSERT_TRUE(globals::gR) << "the random source exists from the start";
  ASSERT_TRUE(fw::test::RunUntil([&] { return PlayOpen(); }, 5000));
  EXPECT_EQ(seen.back(), "Vivuz ide Zevezer:Kim");
}

}  // namespace

namespace {

TEST_F(SplashTest, TheQuitItemQuitsAndWritesWhatChanged) {
  Boot();
  ASSERT_TRUE(fw::test::RunUntil([&] { return PlayOpen(); }, 5000));
  globals::gCurPlayer = "Changed";
  App().isDirty = true;
  EXPECT_TRUE(fw::test::ChooseMenu("FileQuit"));
  EXPECT_TRUE(App().Quitting());
  std::ifstream in(root_ / "config" / "ZemboData", std::ios::binary);
  std::string head(8, '\0');
  in.read(head.data(), 8);
  EXPECT_EQ(head, "\x07"
                  "Changed");
}

}  // namespace
