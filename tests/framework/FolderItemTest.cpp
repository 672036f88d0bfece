#include "framework/FolderItem.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <algorithm>
#include <iterator>

#include "tests/support/Forked.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

class FolderItemTest : public testing::Test {
 protected:
  std::string Slurp(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  void Put(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }
  static void Age(const fs::path& p, int seconds) {
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const timespec times[2] = {{now.tv_sec - seconds, 0}, {now.tv_sec - seconds, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << p;
  }
  static bool Write(const fs::path& p, const std::string& text) {
    auto out = fw::FolderItem(p).CreateBinaryFile("text/plain");
    if (!out) return false;
    out->WritePString(text);
    return out->Close();
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (auto& e : fs::directory_iterator(dir_)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  TempDir tmp_{"folder"};
  fs::path dir_ = tmp_.path();
};

TEST_F(FolderItemTest, ChildRefusesNamesThatAreNotOneChild) {
  fw::FolderItem folder(dir_);
  EXPECT_TRUE(folder.Child("ZemboData"));
  EXPECT_FALSE(folder.Child(""));
  EXPECT_FALSE(folder.Child(".."));
  EXPECT_FALSE(folder.Child("a/b"));
  EXPECT_FALSE(folder.Child("ZemboData")->Exists());
}

TEST_F(FolderItemTest, StreamWritesBigEndianShortsAndByteFlags) {
  auto file = *fw::FolderItem(dir_).Child("f");
  auto out = file.CreateBinaryFile("text/plain");
  ASSERT_TRUE(out);
  out->WritePString("Anon");
  out->WriteShort(0x1234);
  out->WriteShort(-2);
  out->WriteShort(70000);  // the low 16 bits
  out->WriteBoolean(true);
  out->WriteBoolean(false);
  out->WritePString("");
  ASSERT_TRUE(out->Close());
  EXPECT_EQ(Slurp(dir_ / "f"), std::string("\x04"
                                           "Anon\x12\x34\xFF\xFE\x11\x70\x01\x00\x00",
                                           14));
}

TEST_F(FolderItemTest, StreamReadsBackAndStopsCleanlyAtTheEnd) {
  Put(dir_ / "f", std::string("\x03" "abc\x80\x01\x02\x05xy", 10));
  auto in = fw::FolderItem(dir_ / "f").OpenAsBinaryFile();
  ASSERT_TRUE(in);
  EXPECT_EQ(in->ReadPString(), "abc");
  EXPECT_EQ(in->ReadShort(), std::int16_t(-32767));
  EXPECT_EQ(in->ReadBoolean(), true);  // any nonzero byte
  EXPECT_FALSE(in->AtEOF());
  EXPECT_EQ(in->ReadPString(), std::nullopt);  // claims 5 bytes, 2 are left
  EXPECT_TRUE(in->AtEOF());
  EXPECT_EQ(in->ReadShort(), std::nullopt);
  EXPECT_EQ(in->ReadBoolean(), std::nullopt);
}

TEST_F(FolderItemTest, LongStringsAreCutToTheLengthByte) {
  auto out = fw::FolderItem(dir_ / "f").CreateBinaryFile("text/plain");
  out->WritePString(std::string(300, 'x'));
  ASSERT_TRUE(out->Close());
  std::string bytes = Slurp(dir_ / "f");
  ASSERT_EQ(bytes.size(), 256u);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 255);
}

TEST_F(FolderItemTest, AStreamNeverClosedLeavesTheOldFile) {
  Put(dir_ / "f", "old contents");
  {
    auto out = fw::FolderItem(dir_ / "f").CreateBinaryFile("text/plain");
    out->WritePString("new");
  }
  EXPECT_EQ(Slurp(dir_ / "f"), "old contents");
}

TEST_F(FolderItemTest, WritingMakesMissingFoldersAndFailsUnderAFile) {
  auto deep = fw::FolderItem(dir_ / "a" / "b" / "f");
  auto out = deep.CreateBinaryFile("text/plain");
  ASSERT_TRUE(out);
  out->WriteBoolean(true);
  ASSERT_TRUE(out->Close());
  EXPECT_TRUE(deep.Exists());

  Put(dir_ / "plain", "x");
  EXPECT_EQ(fw::FolderItem(dir_ / "plain" / "f").CreateBinaryFile("text/plain"), nullptr);
}

TEST_F(FolderItemTest, PreferencesFollowXdgConfigHome) {
  ::setenv("XDG_CONFIG_HOME", dir_.c_str(), 1);
  EXPECT_EQ(fw::SpecialFolder::Preferences()->Path(), dir_);
  ::setenv("XDG_CONFIG_HOME", "relative/path", 1);  // not absolute: ignored, as the XDG rules say
  ::setenv("HOME", "/home/player", 1);
  EXPECT_EQ(fw::SpecialFolder::Preferences()->Path(), fs::path("/home/player/.config"));
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(fw::SpecialFolder::Preferences()->Path(), fs::path("/home/player/.config"));
}

TEST_F(FolderItemTest, WithoutHomePreferencesAreInTheAccountsOwnHome) {
  const char* home = std::getenv("HOME");
  const std::string savedHome = home ? home : "";
  ::unsetenv("XDG_CONFIG_HOME");
  const passwd* account = ::getpwuid(::getuid());
  ASSERT_TRUE(account && account->pw_dir);
  for (const char* unusable : {"", "relative"}) {
    ::setenv("HOME", unusable, 1);
    EXPECT_EQ(fw::SpecialFolder::Preferences()->Path(), fs::path(account->pw_dir) / ".config") << unusable;
  }
  ::unsetenv("HOME");
  EXPECT_EQ(fw::SpecialFolder::Preferences()->Path(), fs::path(account->pw_dir) / ".config");
  if (home) ::setenv("HOME", savedHome.c_str(), 1);
}

TEST_F(FolderItemTest, UnreadableOrMissingFilesGiveNothing) {
  EXPECT_EQ(fw::FolderItem(dir_ / "missing").OpenAsBinaryFile(), nullptr);
  EXPECT_FALSE(fw::FolderItem(dir_ / "missing").OpenAsPicture());
  EXPECT_FALSE(fw::FolderItem(dir_ / "missing").OpenAsSound());
  Put(dir_ / "junk.png", "not a picture");
  EXPECT_FALSE(fw::FolderItem(dir_ / "junk.png").OpenAsPicture());
  Put(dir_ / "junk.wav", "RIFF....WAVEjunk");
  EXPECT_FALSE(fw::FolderItem(dir_ / "junk.wav").OpenAsSound());
}

TEST_F(FolderItemTest, OnlyRegularFilesAreReadAndNothingWaitsForAWriter) {
  ASSERT_EQ(::mkfifo((dir_ / "pop.wav").c_str(), 0644), 0);
  fs::create_symlink("/dev/zero", dir_ / "paddle.pct");
  fs::create_directory(dir_ / "bing.png");
  fs::create_symlink("loop", dir_ / "loop");
  for (const char* name : {"pop.wav", "paddle.pct", "bing.png", "loop"}) {
    SCOPED_TRACE(name);
    const fw::FolderItem item(dir_ / name);
    EXPECT_TRUE(item.Exists());
    // A FIFO without a writer blocks open(); /dev/zero never ends.
    const int opened = RunForked(
        [&item] {
          return (item.OpenAsBinaryFile() ? 1 : 0) | (item.OpenAsPicture() ? 2 : 0) | (item.OpenAsSound() ? 4 : 0);
        },
        5);
    EXPECT_EQ(opened, 0) << "1, 2, 4: opened as data, picture, sound; 142: still reading after 5 s";
  }
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(dir_ / "pop.wav")));
  EXPECT_EQ(fs::read_symlink(dir_ / "paddle.pct"), "/dev/zero");

  // Bytes are counted as they are read: a file past the limit is refused, whatever its size says.
  {
    std::ofstream(dir_ / "huge") << "";
    fs::resize_file(dir_ / "huge", 64 * 1024 * 1024 + 1);
  }
  EXPECT_EQ(fw::FolderItem(dir_ / "huge").OpenAsBinaryFile(), nullptr);
  fs::resize_file(dir_ / "huge", 64 * 1024 * 1024);
  EXPECT_NE(fw::FolderItem(dir_ / "huge").OpenAsBinaryFile(), nullptr);
}

TEST_F(FolderItemTest, AWriteFollowsALinkOnlyToARegularFile) {
  fs::create_directory(dir_ / "elsewhere");
  Put(dir_ / "elsewhere" / "kept", "old");
  fs::create_symlink(dir_ / "elsewhere" / "kept", dir_ / "toFile");
  ASSERT_TRUE(Write(dir_ / "toFile", "new"));
  EXPECT_TRUE(fs::is_symlink(dir_ / "toFile")) << "the player's own link stays";
  EXPECT_EQ(Slurp(dir_ / "elsewhere" / "kept"), "\x03new");

  // A link to a FIFO, to a folder or to nothing is replaced, not followed.
  ASSERT_EQ(::mkfifo((dir_ / "elsewhere" / "fifo").c_str(), 0644), 0);
  fs::create_symlink(dir_ / "elsewhere" / "fifo", dir_ / "toFifo");
  fs::create_symlink(dir_ / "elsewhere", dir_ / "toFolder");
  fs::create_symlink(dir_ / "elsewhere" / "missing", dir_ / "toNothing");
  for (const char* name : {"toFifo", "toFolder", "toNothing"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(RunForked([&] { return Write(dir_ / name, "new") ? 0 : 1; }, 5) == 0);
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(dir_ / name)));
    EXPECT_EQ(Slurp(dir_ / name), "\x03new");
  }
  EXPECT_TRUE(fs::is_fifo(fs::symlink_status(dir_ / "elsewhere" / "fifo")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir_ / "elsewhere" / "missing")));
  EXPECT_EQ(Names(), (std::vector<std::string>{"elsewhere", "toFifo", "toFile", "toFolder", "toNothing"}))
      << "no temporary left";

  // A folder in the file's place cannot be replaced: the write fails and leaves it.
  fs::create_directory(dir_ / "folder");
  EXPECT_FALSE(Write(dir_ / "folder", "new"));
  EXPECT_TRUE(fs::is_directory(dir_ / "folder"));
  EXPECT_EQ(Names().size(), 6u) << "no temporary left";
}

TEST_F(FolderItemTest, ARewriteKeepsTheFilesPermissions) {
  Put(dir_ / "f", "old");
  const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(dir_ / "f", mode);
  ASSERT_TRUE(Write(dir_ / "f", "new"));
  EXPECT_EQ(fs::status(dir_ / "f").permissions(), mode);
  EXPECT_EQ(Slurp(dir_ / "f"), "\x03new");
}

TEST_F(FolderItemTest, StaleTemporariesGoWhileYoungOnesAndLookalikesStay) {
  Put(dir_ / "ZemboData", "kept");
  // A write that dies before its rename leaves its temporary.
  ASSERT_EQ(RunForked(
                [this] {
                  auto out = fw::FolderItem(dir_ / "ZemboData").CreateBinaryFile("text/plain");
                  std::_Exit(out ? 0 : 1);
                  return 1;
                },
                5),
            0);
  ASSERT_EQ(Names().size(), 2u);
  for (const char* name : {".ZemboData.tmp-Q9z8Y7", ".ZemboData.tmp-young1", "ZemboData.backup", "ZemboData.ab12CD",
                           ".ZemboData.tmp-12345", ".ZemboData.tmp-1234567", ".ZemboData.tmp-ab-12C",
                           ".Other.tmp-abcdef"})
    Put(dir_ / name, "x");
  fs::create_directory(dir_ / ".ZemboData.tmp-folder");
  fs::create_symlink(dir_ / ".Other.tmp-abcdef", dir_ / ".ZemboData.tmp-linked");
  for (const auto& e : fs::directory_iterator(dir_)) Age(e.path(), 120);
  Age(dir_ / ".ZemboData.tmp-young1", 10);

  EXPECT_EQ(fw::FolderItem(dir_ / "ZemboData").RemoveStaleTemporaries(std::chrono::seconds(60)), 2u);
  EXPECT_EQ(Names(), (std::vector<std::string>{".Other.tmp-abcdef", ".ZemboData.tmp-12345", ".ZemboData.tmp-1234567",
                                               ".ZemboData.tmp-ab-12C", ".ZemboData.tmp-folder",
                                               ".ZemboData.tmp-linked", ".ZemboData.tmp-young1", "ZemboData",
                                               "ZemboData.ab12CD", "ZemboData.backup"}));
  EXPECT_EQ(fw::FolderItem(dir_ / "missing" / "ZemboData").RemoveStaleTemporaries(std::chrono::seconds(60)), 0u);
}

}  // namespace
