// The About window: what it shows, its web link, the ways to close it, and the
// reset of the saved data with Option held as Close is released.
#include "windows/aboutScrn.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "framework/Application.h"
#include "framework/Picture.h"
#include "framework/TestHooks.h"
#include "framework/Values.h"
#include "shell/app.h"
#include "shell/globals.h"
#include "shell/maker.h"
#include "shell/media.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using Shape = fw::MouseCursor::Shape;

std::string Pstr(const std::string& s) { return std::string(1, static_cast<char>(s.size())) + s; }
std::string Short(int v) { return {static_cast<char>((v >> 8) & 0xFF), static_cast<char>(v & 0xFF)}; }

// Runs f and returns what it wrote to standard error, through a pipe so that a limit
// on file sizes does not cut it short.
template <class F>
std::string StandardErrorOf(F&& f) {
  int ends[2];
  if (::pipe(ends) != 0) return "no pipe";
  std::fflush(stderr);
  const int saved = ::dup(STDERR_FILENO);
  ::dup2(ends[1], STDERR_FILENO);
  ::close(ends[1]);
  f();
  std::fflush(stderr);
  ::dup2(saved, STDERR_FILENO);
  ::close(saved);
  std::string said;
  char buf[512];
  for (ssize_t n; (n = ::read(ends[0], buf, sizeof buf)) > 0;) said.append(buf, static_cast<std::size_t>(n));
  ::close(ends[0]);
  return said;
}

class AboutScrnTest : public testing::Test {
 protected:
  void SetUp() override {
    ::setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
    fs::create_directories(dir_ / "config");
    fw::test::SetResourcesFolder(ZEMBO_MEDIA_DIR);
    picHolder::initPics();
    today_ = fw::Date::Today().ShortDate();
  }
  void TearDown() override { fw::test::SetResourcesFolder(std::nullopt); }

  fs::path File() const { return dir_ / "config" / "ZemboData"; }
  std::string Bytes() const {
    std::ifstream in(File(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  void Put(const std::string& bytes) const { std::ofstream(File(), std::ios::binary) << bytes; }
  // A player's own file: name, ten rows and a saved game at round 8.
  static std::string PlayersFile() {
    std::string s = Pstr("Kim");
    for (int i = 0; i < 10; ++i) s += Pstr("P" + std::to_string(i) + "," + std::to_string(900 - i) + ",1.1.26");
    return s + '\x01' + Short(8) + Short(4200) + Short(3) + Short(2) + Short(1);
  }
  // The defaults of a reset, followed by the given saved-game block.
  std::string Defaults(const std::string& savedBlock) const {
    static const char* kRows[] = {"Marlo,25000,", "Kip Fenwold,22500,", "Dorran,20000,", "Zuzzie,17500,",
                                  "Terminator,15000,", "Punk,12500,", "Tresk,10000,", "XXX,7500,",
                                  "Vostrel,5000,", "De. Zedod,2500,"};
    std::string s = Pstr("Anon");
    for (const char* row : kRows) s += Pstr(row + today_);
    return s + savedBlock;
  }
  // The game as reading PlayersFile leaves it.
  void LoadPlayersFile() {
    Put(PlayersFile());
    app_.readFile();
    ASSERT_EQ(globals::gCurPlayer, "Kim");
    ASSERT_TRUE(savedInfo::isSavedGame);
  }

  static bool Open() { return !fw::windows::All().empty(); }
  // Press on Close and release at (x, y), Option held or not at the release.
  static void ClickClose(aboutScrn& w, bool option, int x = 250, int y = 348) {
    fw::test::PressMouse(w, 250, 348);
    fw::test::SetOptionKey(option);
    fw::test::ReleaseMouse(w, x, y);
    fw::test::SetOptionKey(false);
    fw::test::Advance(1);
  }

  TempDir tmp_{"about"};
  fs::path dir_ = tmp_.path();
  std::string today_;
  app app_;
};

TEST_F(AboutScrnTest, ShowsTheNameVersionAndBuildOfTheRunningProgram) {
  aboutScrn& w = fw::Open<aboutScrn>();
  EXPECT_TRUE(w.IsVisible());
  // The metal backdrop shows where no control lies.
  fw::Ref<fw::Picture> shot = fw::test::Render(w);
  for (auto [x, y] : {std::pair(5, 300), std::pair(495, 100), std::pair(20, 395)}) {
    fw::Color seen = shot->Pixel(x, y), metal = MetalBkg()->Pixel(x, y);
    EXPECT_TRUE(seen.r == metal.r && seen.g == metal.g && seen.b == metal.b) << x << "," << y;
  }
  EXPECT_EQ(w.StaticText3.Text(), "**  Zembo 2.1  **");
  EXPECT_EQ(w.StaticText10.Text(), "Zembo version: 2.1");
  EXPECT_EQ(w.buildTxt.Text(), "Build # " + std::to_string(app_.BugVersion()));
  EXPECT_EQ(w.URLTxt.Text(), maker::kSiteAddress);
  EXPECT_EQ(w.URLTxt.Text().rfind("http://", 0), 0u);
  for (fw::Control* c : w.Controls()) {
    EXPECT_TRUE(c->Visible()) << c->Name();
    EXPECT_EQ(c->HelpTag(), "") << c->Name();
  }
  fw::test::ClickCloseBox(w);
  EXPECT_TRUE(w.IsOpen()) << "no close box";
  ClickClose(w, false);
}

TEST_F(AboutScrnTest, TheWebAddressShowsTheFingerAndOpensOnRelease) {
  aboutScrn& w = fw::Open<aboutScrn>();
  fw::test::MoveMouse(w, 20, 380);
  EXPECT_EQ(fw::test::CursorAt(w, 250, 176), Shape::Standard);
  fw::test::MoveMouse(w, 250, 176);
  EXPECT_EQ(fw::test::CursorAt(w, 250, 176), Shape::Finger);
  EXPECT_EQ(fw::test::CursorAt(w, 20, 380), Shape::Finger) << "the window's pointer, not the label's";
  fw::test::MoveMouse(w, 20, 380);
  EXPECT_EQ(fw::test::CursorAt(w, 20, 380), Shape::Standard);
  EXPECT_EQ(fw::test::CursorAt(w, 250, 176), Shape::Standard);
  EXPECT_TRUE(fw::test::ShownURLs().empty());

  // A press on the address and a release anywhere opens it; a click elsewhere does not.
  fw::test::PressMouse(w, 250, 176);
  fw::test::ReleaseMouse(w, 20, 380);
  ASSERT_EQ(fw::test::ShownURLs().size(), 1u);
  EXPECT_EQ(fw::test::ShownURLs().back(), maker::kSiteAddress);
  fw::test::PressMouse(w, 250, 300);
  fw::test::ReleaseMouse(w, 250, 300);
  EXPECT_EQ(fw::test::ShownURLs().size(), 1u);
  EXPECT_TRUE(w.IsOpen());
  ClickClose(w, false);
}

TEST_F(AboutScrnTest, APlainCloseLeavesTheDataFileAlone) {
  Put(PlayersFile());
  const auto stamp = fs::last_write_time(File());
  aboutScrn& w = fw::Open<aboutScrn>();
  ClickClose(w, false, 20, 20);  // released away from the button
  EXPECT_FALSE(Open());
  EXPECT_EQ(Bytes(), PlayersFile());
  EXPECT_EQ(fs::last_write_time(File()), stamp);
}

TEST_F(AboutScrnTest, OptionClickResetsThePlayerAndHallOfFameAndKeepsTheSavedGame) {
  LoadPlayersFile();
  aboutScrn& w = fw::Open<aboutScrn>();
  ClickClose(w, true, 480, 390);
  EXPECT_FALSE(Open());
  EXPECT_EQ(Bytes(), Defaults(std::string(1, '\x01') + Short(8) + Short(4200) + Short(3) + Short(2) + Short(1)));
  EXPECT_EQ(globals::gCurPlayer, "Anon");
  EXPECT_EQ(globals::FameList[0], "Marlo,25000," + today_);
  EXPECT_TRUE(savedInfo::isSavedGame);
  EXPECT_EQ(savedInfo::svRound, 8);
  EXPECT_FALSE(app_.isDirty);
  for (const auto& e : fs::directory_iterator(dir_ / "config"))
    EXPECT_EQ(e.path().filename(), "ZemboData") << "no temporary left behind";
}

TEST_F(AboutScrnTest, OptionClickWithoutADataFileWritesTheDefaults) {
  globals::gCurPlayer = "Kim";
  aboutScrn& w = fw::Open<aboutScrn>();
  ClickClose(w, true);
  EXPECT_FALSE(Open());
  EXPECT_EQ(Bytes(), Defaults(std::string(1, '\x00') + Short(0) + Short(0) + Short(0) + Short(0) + Short(0)));
  EXPECT_EQ(globals::gCurPlayer, "Anon");
}

TEST_F(AboutScrnTest, AResetThatCannotBeWrittenKeepsTheOldFileAndSaysSo) {
  LoadPlayersFile();
  const auto rowsBefore = globals::FameList;
  aboutScrn& w = fw::Open<aboutScrn>();

  // The kernel refuses to let any file grow past 16 bytes, whoever we are.
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit tiny = saved;
  tiny.rlim_cur = 16;
  const std::string said = StandardErrorOf([&] {
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
    ClickClose(w, true);
    ::setrlimit(RLIMIT_FSIZE, &saved);
  });
  std::signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(Open()) << "the window closes all the same";
  EXPECT_EQ(Bytes(), PlayersFile()) << "the old data stays on disk";
  EXPECT_EQ(globals::gCurPlayer, "Kim") << "and in memory, as on disk";
  EXPECT_EQ(globals::FameList, rowsBefore);
  EXPECT_TRUE(savedInfo::isSavedGame);
  EXPECT_NE(said.find("could not be reset"), std::string::npos) << said;
  for (const auto& e : fs::directory_iterator(dir_ / "config"))
    EXPECT_EQ(e.path().filename(), "ZemboData") << "no temporary left behind";
}

TEST_F(AboutScrnTest, ReturnAndEnterCloseWithoutAResetEvenWithOptionHeld) {
  Put(PlayersFile());
  const auto stamp = fs::last_write_time(File());
  aboutScrn& open = fw::Open<aboutScrn>();
  for (const char* key : {"a", " ", "\x1b", "\t", "\n"}) {
    EXPECT_FALSE(open.Event_KeyDown(key)) << key;
    fw::test::TypeKey(open, key);
  }
  EXPECT_TRUE(open.IsOpen()) << "other keys do nothing";
  open.Close();
  for (const char* key : {"\r", "\x03"}) {
    aboutScrn& w = fw::Open<aboutScrn>();
    fw::test::SetOptionKey(true);
    fw::test::TypeKey(w, key);
    fw::test::SetOptionKey(false);
    fw::test::Advance(1);
    EXPECT_FALSE(Open());
  }
  EXPECT_EQ(Bytes(), PlayersFile());
  EXPECT_EQ(fs::last_write_time(File()), stamp);

  aboutScrn& w = fw::Open<aboutScrn>();
  EXPECT_TRUE(w.Event_KeyDown("\r"));
  aboutScrn& w2 = fw::Open<aboutScrn>();
  EXPECT_TRUE(w2.Event_KeyDown(fw::Chr(3)));
  fw::test::Advance(1);
  EXPECT_FALSE(Open());
}

// As the menu shows it: modal, and the game goes on only once it is closed.
TEST_F(AboutScrnTest, ShownModallyTheCallerWaitsForClose) {
  Put(PlayersFile());
  bool answered = false;
  fw::test::OnModal([&](fw::Window& shown) {
    auto& w = static_cast<aboutScrn&>(shown);
    EXPECT_TRUE(w.IsModal());
    answered = true;
    fw::test::PressMouse(w, 250, 348);
    fw::test::ReleaseMouse(w, 250, 348);
  });
  fw::Open<aboutScrn>().ShowModal();
  EXPECT_TRUE(answered);
  fw::test::Advance(1);
  EXPECT_FALSE(Open());
  EXPECT_EQ(Bytes(), PlayersFile());
}

}  // namespace
