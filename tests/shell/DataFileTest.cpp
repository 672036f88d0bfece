// ZemboData: the bytes written, what reading makes of them, and what happens to
// damaged files and failed writes.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "framework/Values.h"
#include "shell/app.h"
#include "shell/globals.h"
#include "tests/support/Forked.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

std::string Pstr(const std::string& s) { return std::string(1, static_cast<char>(s.size())) + s; }
std::string Short(int v) { return {static_cast<char>((v >> 8) & 0xFF), static_cast<char>(v & 0xFF)}; }

class DataFileTest : public testing::Test {
 protected:
  void SetUp() override {
    ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
    ResetState();
    today_ = fw::Date::Today().ShortDate();
  }
  void TearDown() override { ResetState(); }
  static void ResetState() {
    globals::gCurPlayer.clear();
    globals::FameList = {};
    savedInfo::isSavedGame = false;
    savedInfo::svRound = savedInfo::svTotScore = savedInfo::svBltCt = savedInfo::svBallCt = savedInfo::svDiffLev = 0;
  }
  fs::path File() const { return dir_ / "ZemboData"; }
  std::string Bytes() const {
    std::ifstream in(File(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  void Put(const std::string& bytes) { std::ofstream(File(), std::ios::binary) << bytes; }

  // A file as the game writes it: name, ten rows, and optionally the saved block.
  std::string Strings(const std::string& name = "Kim") const {
    std::string s = Pstr(name);
    for (int i = 0; i < 10; ++i) s += Pstr("P" + std::to_string(i) + "," + std::to_string(900 - i) + ",1.1.26");
    return s;
  }
  static std::string Saved(bool flag, int round, int total, int bullets, int balls, int level) {
    return std::string(1, flag ? '\x01' : '\x00') + Short(round) + Short(total) + Short(bullets) + Short(balls) +
           Short(level);
  }

  void ExpectDefaultRow(int i, const std::string& prefix) {
    EXPECT_EQ(globals::FameList[static_cast<std::size_t>(i)], prefix + today_);
  }

  TempDir tmp_{"data"};
  fs::path dir_ = tmp_.path();
  std::string today_;
  app app_;
};

TEST_F(DataFileTest, FirstRunWritesTheDefaults) {
  app_.readFile();
  EXPECT_EQ(globals::gCurPlayer, "Anon");
  ExpectDefaultRow(0, "Marlo,25000,");
  ExpectDefaultRow(1, "Kip Fenwold,22500,");
  ExpectDefaultRow(9, "De. Zedod,2500,");
  EXPECT_EQ(FameRow::Parse(globals::FameList[0]).Score(), 25000);

  std::string expected = Pstr("Anon");
  for (const auto& row : globals::FameList) expected += Pstr(row);
  expected += Saved(false, 0, 0, 0, 0, 0);
  EXPECT_EQ(Bytes(), expected);
  EXPECT_EQ(Bytes().substr(0, 5), "\x04\x41\x6E\x6F\x6E");
  EXPECT_FALSE(app_.isDirty);
}

TEST_F(DataFileTest, SavedGameRoundTrips) {
  globals::gCurPlayer = "Zed";
  globals::FameList.fill("Nobody,000,1.1.26");
  savedInfo::isSavedGame = true;
  savedInfo::svRound = 14;
  savedInfo::svTotScore = 31000;
  savedInfo::svBltCt = 20;
  savedInfo::svBallCt = 7;
  savedInfo::svDiffLev = 2;
  ASSERT_TRUE(app_.writeFile());
  EXPECT_EQ(Bytes(), Pstr("Zed") + std::string() + [&] {
    std::string rows;
    for (int i = 0; i < 10; ++i) rows += Pstr("Nobody,000,1.1.26");
    return rows;
  }() + Saved(true, 14, 31000, 20, 7, 2));

  savedInfo::isSavedGame = false;
  savedInfo::svRound = savedInfo::svTotScore = savedInfo::svBltCt = savedInfo::svBallCt = savedInfo::svDiffLev = 0;
  globals::gCurPlayer.clear();
  app_.readFile();
  EXPECT_EQ(globals::gCurPlayer, "Zed");
  EXPECT_TRUE(savedInfo::isSavedGame);
  EXPECT_EQ(savedInfo::svRound, 14);
  EXPECT_EQ(savedInfo::svTotScore, 31000);
  EXPECT_EQ(savedInfo::svBltCt, 20);
  EXPECT_EQ(savedInfo::svBallCt, 7);
  EXPECT_EQ(savedInfo::svDiffLev, 2);
}

TEST_F(DataFileTest, TotalsBeyondSixteenBitsSurvive) {
  for (int total : {32767, 32768, 65535, 65536, 123456, 2000000000}) {
    savedInfo::isSavedGame = true;
    savedInfo::svTotScore = total;
    ASSERT_TRUE(app_.writeFile());
    savedInfo::svTotScore = 0;
    app_.readFile();
    EXPECT_EQ(savedInfo::svTotScore, total);
  }
}

TEST_F(DataFileTest, FilesWithoutTheHighWordStillRead) {
  // Totals up to 65535 written as their low 16 bits come back whole, not negative.
  Put(Strings() + Saved(true, 3, 40000, 1, 2, 1));
  app_.readFile();
  EXPECT_EQ(savedInfo::svTotScore, 40000);
  EXPECT_EQ(savedInfo::svRound, 3);
  // Stray bytes after the block (an old longer file) are no high word.
  Put(Strings() + Saved(true, 3, 1000, 1, 2, 1) + "\x02ZT\x00\x05\x12\x34");
  app_.readFile();
  EXPECT_EQ(savedInfo::svTotScore, 1000);
  Put(Strings() + Saved(true, 3, 1000, 1, 2, 1) + "leftover bytes of an older, longer file");
  app_.readFile();
  EXPECT_EQ(savedInfo::svTotScore, 1000);
}

TEST_F(DataFileTest, AFileOfStringsOnlyHasNoSavedGame) {
  Put(Strings("Kim"));
  app_.readFile();
  EXPECT_EQ(globals::gCurPlayer, "Kim");
  EXPECT_EQ(globals::FameList[9], "P9,891,1.1.26");
  EXPECT_FALSE(savedInfo::isSavedGame);
  EXPECT_EQ(Bytes(), Strings("Kim")) << "reading never writes";
}

TEST_F(DataFileTest, AShorterFileReplacesALongerOneWhole) {
  Put(Strings(std::string(200, 'L')) + Saved(true, 9, 9, 9, 9, 1));
  globals::gCurPlayer = "Al";
  globals::FameList.fill("A,1,d");
  savedInfo::isSavedGame = false;
  ASSERT_TRUE(app_.writeFile());
  std::string rows;
  for (int i = 0; i < 10; ++i) rows += Pstr("A,1,d");
  EXPECT_EQ(Bytes(), Pstr("Al") + rows + Saved(false, 0, 0, 0, 0, 0));
  app_.readFile();
  EXPECT_EQ(globals::gCurPlayer, "Al");
  EXPECT_FALSE(savedInfo::isSavedGame);
}

TEST_F(DataFileTest, AnEmptyNameIsOneZeroByte) {
  globals::gCurPlayer = "";
  ASSERT_TRUE(app_.writeFile());
  EXPECT_EQ(Bytes()[0], '\0');
  globals::gCurPlayer = "x";
  app_.readFile();
  EXPECT_EQ(globals::gCurPlayer, "");
}

TEST_F(DataFileTest, DamagedFilesUseWhatWasReadWholeAndLeaveTheFileAlone) {
  std::string whole = Strings("Kim") + Saved(true, 5, 500, 3, 1, 0);
  for (std::size_t cut = 0; cut < whole.size(); ++cut) {
    SCOPED_TRACE(cut);
    Put(whole.substr(0, cut));
    savedInfo::isSavedGame = false;
    app_.readFile();
    EXPECT_EQ(Bytes(), whole.substr(0, cut));
    EXPECT_FALSE(savedInfo::isSavedGame) << "a partial block is no saved game";
    // The rows read whole are kept; the missing ones are the defaults.
    std::size_t pos = 0;
    int wholeStrings = 0;
    while (pos < cut && pos + 1 + static_cast<unsigned char>(whole[pos]) <= cut && wholeStrings < 11)
      pos += 1 + static_cast<unsigned char>(whole[pos]), ++wholeStrings;
    EXPECT_EQ(globals::gCurPlayer, wholeStrings >= 1 ? "Kim" : "Anon");
    for (int i = 0; i < 10; ++i) {
      if (i + 1 < wholeStrings)
        EXPECT_EQ(globals::FameList[static_cast<std::size_t>(i)].substr(0, 3), "P" + std::to_string(i) + ",");
      else
        EXPECT_EQ(FameRow::Parse(globals::FameList[static_cast<std::size_t>(i)]).Score(), 25000 - 2500 * i);
    }
  }
  Put(whole);
  app_.readFile();
  EXPECT_TRUE(savedInfo::isSavedGame);
}

TEST_F(DataFileTest, GarbageAndHugeFilesNeitherCrashNorHang) {
  std::string garbage;
  std::uint32_t x = 12345;
  for (int i = 0; i < 5000; ++i) garbage += static_cast<char>((x = x * 1103515245 + 12345) >> 24);
  Put(garbage);
  app_.readFile();
  for (const auto& row : globals::FameList) EXPECT_LE(row.size(), 255u);
  EXPECT_EQ(Bytes(), garbage);

  Put(std::string(8 * 1024 * 1024, '\xFF'));
  app_.readFile();
  EXPECT_EQ(globals::gCurPlayer, std::string(255, '\xFF'));
  EXPECT_TRUE(savedInfo::isSavedGame);
}

TEST_F(DataFileTest, AMissingPreferencesFolderIsMade) {
  fs::path deeper = dir_ / "not" / "yet";
  ::setenv("XDG_CONFIG_HOME", deeper.c_str(), 1);
  app_.readFile();
  EXPECT_TRUE(fs::exists(deeper / "ZemboData"));
}

TEST_F(DataFileTest, AFailedWriteLeavesTheOldFileAndIsReported) {
  std::string old = Strings("Kim") + Saved(true, 5, 500, 3, 1, 0);
  Put(old);
  globals::gCurPlayer = std::string(200, 'N');
  globals::FameList.fill(std::string(200, 'R'));

  // The kernel refuses to let the file grow past 64 bytes, whoever we are.
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ::getrlimit(RLIMIT_FSIZE, &saved);
  rlimit tiny = saved;
  tiny.rlim_cur = 64;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tiny), 0);
  bool written = app_.writeFile();
  ::setrlimit(RLIMIT_FSIZE, &saved);

  EXPECT_FALSE(written);
  EXPECT_EQ(Bytes(), old);
  EXPECT_EQ(globals::gCurPlayer, std::string(200, 'N')) << "the values in memory stay";
  for (auto& e : fs::directory_iterator(dir_)) EXPECT_EQ(e.path().filename(), "ZemboData") << "no temporary left";
}

TEST_F(DataFileTest, AWriteWhereNoFolderCanBeMadeFails) {
  std::ofstream(dir_ / "plain") << "x";
  ::setenv("XDG_CONFIG_HOME", (dir_ / "plain").c_str(), 1);
  EXPECT_FALSE(app_.writeFile());
  EXPECT_FALSE(app_.initVars());
  EXPECT_EQ(globals::gCurPlayer, "Anon") << "the defaults are still in memory";
}

TEST_F(DataFileTest, ResetKeepsTheSavedGame) {
  savedInfo::isSavedGame = true;
  savedInfo::svRound = 8;
  globals::gCurPlayer = "Kim";
  fs::remove(File());
  ASSERT_TRUE(app_.initVars());
  EXPECT_FALSE(app_.isDirty);
  savedInfo::isSavedGame = false;
  savedInfo::svRound = 0;
  app_.readFile();
  EXPECT_EQ(globals::gCurPlayer, "Anon");
  EXPECT_TRUE(savedInfo::isSavedGame);
  EXPECT_EQ(savedInfo::svRound, 8);
}

TEST_F(DataFileTest, QuitWritesExactlyWhenDirty) {
  Put(Strings("Kim"));
  auto stamp = fs::last_write_time(File());
  app_.Event_Close();
  EXPECT_EQ(Bytes(), Strings("Kim"));
  EXPECT_EQ(fs::last_write_time(File()), stamp);

  app_.readFile();
  globals::gCurPlayer = "Changed";
  app_.isDirty = true;
  app_.Event_Close();
  EXPECT_EQ(Bytes().substr(0, 8), Pstr("Changed"));
}

// Nodes that stand where the data file should be but cannot be read as one.
enum class Hostile { kLinkToDevZero, kFifo, kFolder, kLinkToNothing, kLinkLoop, kNoPermission, kFolderShut };

TEST_F(DataFileTest, ADataFileThatCannotBeReadGivesTheDefaultsAndIsNeverWrittenOver) {
  for (Hostile kind : {Hostile::kLinkToDevZero, Hostile::kFifo, Hostile::kFolder, Hostile::kLinkToNothing,
                       Hostile::kLinkLoop, Hostile::kNoPermission, Hostile::kFolderShut}) {
    SCOPED_TRACE(static_cast<int>(kind));
    fs::remove_all(File());
    fs::remove_all(dir_ / "nowhere");
    switch (kind) {
      case Hostile::kLinkToDevZero: fs::create_symlink("/dev/zero", File()); break;
      case Hostile::kFifo: ASSERT_EQ(::mkfifo(File().c_str(), 0644), 0); break;
      case Hostile::kFolder: fs::create_directory(File()); break;
      case Hostile::kLinkToNothing: fs::create_symlink(dir_ / "nowhere", File()); break;
      case Hostile::kLinkLoop: fs::create_symlink(File(), File()); break;
      case Hostile::kNoPermission:
        Put(Strings("Kim") + Saved(true, 5, 500, 3, 1, 0));
        fs::permissions(File(), fs::perms::none);
        // Anyone may replace it, so only the game's own restraint keeps it.
        fs::permissions(dir_, fs::perms::all);
        break;
      case Hostile::kFolderShut:  // whether the file is there cannot even be told
        Put(Strings("Kim") + Saved(true, 5, 500, 3, 1, 0));
        fs::permissions(dir_, fs::perms::none);
        break;
    }
    const auto before = fs::symlink_status(File()).type();

    // A FIFO blocks an open, /dev/zero never ends, so it runs apart; root reads
    // a file of mode 000, so those runs take an account of no privilege.
    const std::string errors = dir_.string() + ".stderr";  // outside: the folder may be shut
    const int started = RunForked(
        [this, kind] {
          const bool unprivileged = kind == Hostile::kNoPermission || kind == Hostile::kFolderShut;
          if (unprivileged && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 4;
          globals::gCurPlayer = "stale";
          app_.readFile();
          if (globals::gCurPlayer != "Anon" || globals::FameList[0] != "Marlo,25000," + today_ ||
              globals::FameList[9] != "De. Zedod,2500," + today_ || savedInfo::isSavedGame)
            return 1;
          globals::gCurPlayer = "Kim";
          savedInfo::isSavedGame = true;
          if (app_.writeFile()) return 2;  // a saved game is refused, as a failed write
          app_.isDirty = true;
          app_.Event_Close();
          return app_.initVars() ? 3 : 0;  // the About window's reset keeps it too
        },
        5, errors);
    EXPECT_EQ(started, 0) << "1: not the defaults; 2: saved; 3: reset; 142: still reading after 5 s";
    std::ifstream err(errors);
    const std::string said(std::istreambuf_iterator<char>(err), {});
    const auto told = said.find("could not be read");
    EXPECT_NE(told, std::string::npos);
    EXPECT_EQ(said.find("could not be", told + 1), std::string::npos) << "said once: " << said;
    EXPECT_EQ(fs::symlink_status(File()).type(), before);
    if (kind == Hostile::kLinkToDevZero) {
      std::error_code ec;
      EXPECT_EQ(fs::read_symlink(File(), ec), "/dev/zero");
    }
    if (kind == Hostile::kNoPermission || kind == Hostile::kFolderShut) {
      fs::permissions(dir_, fs::perms::owner_all);
      EXPECT_EQ(Bytes(), Strings("Kim") + Saved(true, 5, 500, 3, 1, 0));
    }
    if (kind == Hostile::kNoPermission) {
      EXPECT_EQ(fs::status(File()).permissions(), fs::perms::none);
    }
    EXPECT_FALSE(fs::exists(dir_ / "nowhere")) << "nothing written behind a link";
    fs::remove(errors);
  }
  EXPECT_TRUE(fs::is_character_file("/dev/zero"));
}

TEST_F(DataFileTest, WithoutAHomeTheDataIsKeptInMemoryOnly) {
  constexpr uid_t kUnknown = 3999999;  // an account the password database does not know
  if (::geteuid() != 0 || ::getpwuid(kUnknown)) GTEST_SKIP() << "needs root and an unknown uid";
  const std::string errors = (dir_ / "stderr").string();
  const int ran = RunForked(
      [this] {
        ::unsetenv("XDG_CONFIG_HOME");
        ::unsetenv("HOME");
        if (::setuid(kUnknown) != 0) return 4;
        app_.readFile();
        if (globals::gCurPlayer != "Anon" || globals::FameList[0] != "Marlo,25000," + today_) return 1;
        app_.isDirty = true;
        app_.Event_Close();
        return app_.writeFile() ? 2 : 0;
      },
      5, errors);
  EXPECT_EQ(ran, 0);
  std::ifstream err(errors);
  const std::string said(std::istreambuf_iterator<char>(err), {});
  EXPECT_EQ(said, "zembo: there is no home folder for the data file; the data is kept in memory only\n");
}

TEST_F(DataFileTest, StartUpRemovesStaleTemporariesBeforeReading) {
  Put(Strings("Kim"));
  auto aged = [this](const std::string& name, int seconds) {
    std::ofstream(dir_ / name) << Strings("Temp");
    const timespec when{::time(nullptr) - seconds, 0};
    const timespec times[2] = {when, when};
    ASSERT_EQ(::utimensat(AT_FDCWD, (dir_ / name).c_str(), times, 0), 0);
  };
  aged(".ZemboData.tmp-k3Jx9Q", 3600);
  aged(".ZemboData.tmp-p0Lm2Z", 61 + 5);
  aged(".ZemboData.tmp-Ab3dE5", 20);  // another copy of the game may be writing it now
  aged("ZemboData.backup", 3600);     // the player's own copy
  aged("ZemboData.12345", 3600);
  aged("ZemboDataXXXXXX", 3600);

  app_.Event_Open();
  EXPECT_EQ(globals::gCurPlayer, "Kim");
  std::vector<std::string> left;
  for (auto& e : fs::directory_iterator(dir_)) left.push_back(e.path().filename().string());
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{".ZemboData.tmp-Ab3dE5", "ZemboData", "ZemboData.12345",
                                            "ZemboData.backup", "ZemboDataXXXXXX"}));
}

}  // namespace
