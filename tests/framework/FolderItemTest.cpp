#include "framework/FolderItem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

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
  EXPECT_EQ(fw::SpecialFolder::Preferences().Path(), dir_);
  ::setenv("XDG_CONFIG_HOME", "relative/path", 1);  // not absolute: ignored, as the XDG rules say
  ::setenv("HOME", "/home/player", 1);
  EXPECT_EQ(fw::SpecialFolder::Preferences().Path(), fs::path("/home/player/.config"));
  ::unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(fw::SpecialFolder::Preferences().Path(), fs::path("/home/player/.config"));
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

}  // namespace
