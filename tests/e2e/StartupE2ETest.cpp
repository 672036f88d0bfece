// The real executable, headless: it starts, reaches the play window, and quits
// cleanly on SIGTERM with its data file as it should be.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/support/ChildProcess.h"
#include "tests/support/TempDir.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

const std::string kExe = std::string(ZEMBO_APP_DIR) + "/bin/zembo";

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

ChildProcess StartGame(const fs::path& config) {
  return ChildProcess(kExe, {"XDG_CONFIG_HOME=" + config.string(), "QT_QPA_PLATFORM=offscreen",
                             "ZEMBO_SILENT_AUDIO=1", "ZEMBO_TRACE=1"});
}

TEST(Startup, FirstRunReachesThePlayWindowAndQuitsOnSigterm) {
  TempDir tmp("e2e-first");
  const fs::path& config = tmp.path();
  ChildProcess game = StartGame(config);
  ASSERT_GT(game.Pid(), 0);
  ASSERT_TRUE(game.WaitFor("shown: Untitled", 20s)) << game.Output();
  ASSERT_TRUE(game.WaitFor("shown: Vivuz ide Zevezer", 20s)) << game.Output();
  // The splash goes first and alone.
  EXPECT_LT(game.Output().find("shown: Untitled"), game.Output().find("shown: Vivuz ide Zevezer"));

  ::kill(game.Pid(), SIGTERM);
  EXPECT_EQ(game.WaitExit(10s), 0) << game.Output();

  std::string data = Slurp(config / "ZemboData");
  ASSERT_GE(data.size(), 5u);
  EXPECT_EQ(data.substr(0, 5), std::string("\x04"
                                           "Anon"));
  EXPECT_NE(data.find("Marlo,25000,"), std::string::npos);
  EXPECT_EQ(game.Output().find("unhandled"), std::string::npos) << game.Output();
}

TEST(Startup, QuitWithNothingChangedLeavesTheDataFileAlone) {
  TempDir tmp("e2e-unchanged");
  const fs::path& config = tmp.path();
  {
    ChildProcess first = StartGame(config);
    ASSERT_TRUE(first.WaitFor("shown: Untitled", 20s)) << first.Output();
    ::kill(first.Pid(), SIGINT);
    ASSERT_EQ(first.WaitExit(10s), 0) << first.Output();
  }
  fs::path file = config / "ZemboData";
  std::string before = Slurp(file);
  auto stamp = fs::last_write_time(file);
  ASSERT_FALSE(before.empty());

  ChildProcess second = StartGame(config);
  ASSERT_TRUE(second.WaitFor("shown: Vivuz ide Zevezer", 20s)) << second.Output();
  ::kill(second.Pid(), SIGTERM);
  EXPECT_EQ(second.WaitExit(10s), 0) << second.Output();
  EXPECT_EQ(Slurp(file), before);
  EXPECT_EQ(fs::last_write_time(file), stamp);
}

}  // namespace
