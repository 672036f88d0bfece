// The media accessors' caches and retry rules, and the picture holder.
#include "shell/media.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "framework/Application.h"
#include "framework/TestHooks.h"
#include "tests/support/TempDir.h"

namespace {

namespace fs = std::filesystem;

class MediaTest : public testing::Test {
 protected:
  void SetUp() override {
    fw::test::SetResourcesFolder(dir_);
    media::ForgetAll();
    picHolder::Release();
  }
  void Ship(const std::string& name) { fs::copy_file(fs::path(ZEMBO_MEDIA_DIR) / name, dir_ / name); }
  void ShipAll() {
    for (auto& e : fs::directory_iterator(ZEMBO_MEDIA_DIR)) fs::copy_file(e.path(), dir_ / e.path().filename());
  }

  TempDir tmp_{"media"};
  fs::path dir_ = tmp_.path();
  fw::Application app_;
};

TEST_F(MediaTest, EveryItemLoadsFromItsExactFileName) {
  ShipAll();
  for (auto* accessor : {&ScoreBkg, &Aqua120x30, &Mask120x30, &BadDrop, &BallDrop, &BltDrop, &BlueBubble, &bullet,
                         &paddle, &Paddle2, &Paddle3, &Paddle4, &redSprite, &Drop, &DblDrop, &PadDrop, &NextBtn,
                         &ExitBtn, &PrevBtn, &MetalBkg, &PurpBub, &newZemboTitle})
    EXPECT_TRUE((*accessor)());
  for (auto accessor : media::kSounds) EXPECT_TRUE(accessor());
  EXPECT_EQ(paddle()->Width(), 64);
  EXPECT_EQ(Paddle2()->Width(), 72);
  EXPECT_EQ(Paddle3()->Width(), 80);
  EXPECT_EQ(Paddle4()->Width(), 90);
  EXPECT_EQ(redSprite()->Width(), 8);
  EXPECT_EQ(Aqua120x30()->Width(), 120);
  EXPECT_EQ(Aqua120x30()->Height(), 30);
}

TEST_F(MediaTest, AccessorsShareOneObject) {
  ShipAll();
  EXPECT_EQ(bullet().get(), bullet().get());
  EXPECT_EQ(pop().get(), pop().get());
}

TEST_F(MediaTest, AMissingPictureIsTriedAgainAtTheNextCall) {
  EXPECT_FALSE(bullet());
  Ship("bullet.pct");
  fw::Ref<fw::Picture> first = bullet();
  ASSERT_TRUE(first);
  fs::remove(dir_ / "bullet.pct");
  EXPECT_EQ(bullet(), first) << "a loaded picture is never read again";
}

TEST_F(MediaTest, AMissingSoundStaysUnavailableForTheRun) {
  EXPECT_FALSE(pop());
  Ship("pop.wav");
  EXPECT_FALSE(pop());
  Ship("Uh-Ohh.wav");
  EXPECT_TRUE(UhOhh()) << "the file name has a hyphen";
}

TEST_F(MediaTest, FileNamesAreCaseSensitive) {
  fs::copy_file(fs::path(ZEMBO_MEDIA_DIR) / "paddle.pct", dir_ / "Paddle.pct");
  EXPECT_FALSE(paddle());
  Ship("paddle.pct");
  EXPECT_TRUE(paddle());
}

TEST_F(MediaTest, NoResourcesFolderGivesNothing) {
  fw::test::SetResourcesFolder(dir_ / "absent");
  EXPECT_FALSE(ScoreBkg());
  EXPECT_FALSE(dud());
}

TEST_F(MediaTest, InitPicsMasksTheSharedButtonFace) {
  ShipAll();
  picHolder::initPics();
  ASSERT_TRUE(picHolder::gAquaLg);
  EXPECT_EQ(picHolder::gAquaLg, Aqua120x30());
  EXPECT_TRUE(Aqua120x30()->HasMask());
  // The capsule's corners are cut away, its middle is solid.
  EXPECT_EQ(Aqua120x30()->Opacity(0, 0), 0);
  EXPECT_EQ(Aqua120x30()->Opacity(119, 29), 0);
  EXPECT_EQ(Aqua120x30()->Opacity(60, 15), 255);
  EXPECT_EQ(picHolder::pPaddle4, Paddle4());
  EXPECT_EQ(picHolder::pDrop, Drop());
  EXPECT_EQ(picHolder::pRedSprite, redSprite());
}

TEST_F(MediaTest, InitPicsWithoutFaceOrSpritesGoesOn) {
  Ship("bullet.pct");
  picHolder::initPics();
  EXPECT_FALSE(picHolder::gAquaLg);
  EXPECT_FALSE(picHolder::pPaddle);
  EXPECT_TRUE(picHolder::pBullet);

  Ship("Aqua120x30.png");  // the face alone: its mask stays solid
  picHolder::initPics();
  ASSERT_TRUE(picHolder::gAquaLg);
  EXPECT_EQ(picHolder::gAquaLg->Opacity(0, 0), 255);
}

TEST_F(MediaTest, TheHiddenPointerComesFromTheApplication) {
  const fw::MouseCursor* hidden = HidCurs();
  ASSERT_NE(hidden, nullptr);
  EXPECT_EQ(hidden->shape, fw::MouseCursor::Shape::Hidden);
  EXPECT_EQ(HidCurs(), hidden);
}

TEST_F(MediaTest, SpritesUseWhiteAsTheirBackground) {
  ShipAll();
  for (auto* accessor : {&redSprite, &BlueBubble, &PurpBub, &Drop, &bullet, &BadDrop})
    EXPECT_EQ((*accessor)()->Pixel(0, 0), fw::RGB(255, 255, 255));
  auto ball = redSprite();
  fw::Color centre = ball->Pixel(4, 4);
  EXPECT_GT(centre.r, 150);
  EXPECT_LT(centre.g, 100);
}

}  // namespace
