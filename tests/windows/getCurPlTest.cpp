// The current-player window as the player uses it: the name shown selected, typing,
// Return and Enter, and Accept storing exactly what was typed.
#include "windows/getCurPl.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/TestHooks.h"
#include "shell/app.h"
#include "shell/globals.h"
#include "shell/media.h"

namespace {

constexpr fw::Color kFace = fw::RGB(0, 150, 60);

class GetCurPlTest : public testing::Test {
 protected:
  void SetUp() override {
    face_->Graphics().SetForeColor(kFace);
    face_->Graphics().FillRect(0, 0, 120, 30);
    picHolder::gAquaLg = face_;
    globals::gCurPlayer = "Maurice";
  }

  getCurPl& Open() {
    getCurPl& w = getCurPl::Instance();
    fw::test::Advance(1);  // becomes the active window
    return w;
  }
  static void Type(fw::Window& w, const std::string& keys) {
    for (char c : keys) fw::test::TypeKey(w, std::string(1, c));
  }
  // A press on the button and a release at (x, y).
  static void Accept(getCurPl& w, int x = 160, int y = 100) {
    fw::test::PressMouse(w, 160, 100);
    fw::test::ReleaseMouse(w, x, y);
    fw::test::Advance(1);
  }
  static bool Showing() { return fw::windows::Find(typeid(getCurPl)) != nullptr; }

  fw::Ref<fw::Picture> face_ = fw::New<fw::Picture>(120, 30);
  app app_;
};

TEST_F(GetCurPlTest, OpensWithTheNameSelectedAndAcceptKeepsItWithoutFlags) {
  getCurPl& w = Open();
  EXPECT_EQ(w.Title(), "Current Player");
  EXPECT_EQ(w.EditField1.Text(), "Maurice");
  EXPECT_EQ(w.EditField1.SelStart(), 0);
  EXPECT_EQ(w.EditField1.SelLength(), 7);

  Accept(w);
  EXPECT_FALSE(Showing());
  EXPECT_EQ(globals::gCurPlayer, "Maurice");
  EXPECT_FALSE(App().isDirty);
  EXPECT_FALSE(globals::gIsNewPlayer);
}

TEST_F(GetCurPlTest, TypingReplacesTheSelectedNameAndMarksThePlayerNew) {
  getCurPl& w = Open();
  Type(w, "Al");
  EXPECT_EQ(w.EditField1.Text(), "Al");
  EXPECT_TRUE(App().isDirty);
  EXPECT_TRUE(globals::gIsNewPlayer);
  EXPECT_EQ(globals::gCurPlayer, "Maurice") << "only Accept stores the name";
  Accept(w);
  EXPECT_EQ(globals::gCurPlayer, "Al");
}

TEST_F(GetCurPlTest, AKeyTypedAndDeletedStillSetsBothFlags) {
  getCurPl& w = Open();
  w.EditField1.SetSelStart(7);  // the insertion point after the name, as a click there puts it
  Type(w, "x");
  fw::test::TypeKey(w, "\x08");
  EXPECT_EQ(w.EditField1.Text(), "Maurice");
  Accept(w);
  EXPECT_EQ(globals::gCurPlayer, "Maurice");
  EXPECT_TRUE(App().isDirty);
  EXPECT_TRUE(globals::gIsNewPlayer);
}

TEST_F(GetCurPlTest, ReturnEnterAndTheCloseBoxLeaveEverythingAsItWas) {
  getCurPl& w = Open();
  fw::test::TypeKey(w, "\r");
  fw::test::TypeKey(w, "\x03");
  fw::test::ClickCloseBox(w);
  fw::test::Advance(1);
  ASSERT_TRUE(Showing());
  EXPECT_TRUE(w.IsOpen());
  EXPECT_EQ(w.EditField1.Text(), "Maurice");
  EXPECT_FALSE(App().isDirty);
  EXPECT_FALSE(globals::gIsNewPlayer);
  Type(w, "B");
  EXPECT_EQ(w.EditField1.Text(), "B") << "the name is still selected after Return and Enter";
  Accept(w);
}

TEST_F(GetCurPlTest, EmptyAndBlankNamesAreStoredAsTyped) {
  getCurPl& w = Open();
  fw::test::TypeKey(w, "\x08");
  EXPECT_EQ(w.EditField1.Text(), "");
  Accept(w);
  EXPECT_EQ(globals::gCurPlayer, "");

  getCurPl& again = Open();
  EXPECT_EQ(again.EditField1.Text(), "") << "each showing starts from the stored name";
  Type(again, "  Kim ");
  Accept(again);
  EXPECT_EQ(globals::gCurPlayer, "  Kim ");
}

TEST_F(GetCurPlTest, AReleaseAwayFromTheButtonStillAccepts) {
  getCurPl& w = Open();
  fw::test::PressMouse(w, 160, 100);
  EXPECT_EQ(w.acceptBtn.Left(), 102);
  EXPECT_EQ(w.acceptBtn.Top(), 87);
  Type(w, "Zed");
  fw::test::ReleaseMouse(w, 5, 5);
  fw::test::Advance(1);
  EXPECT_FALSE(Showing());
  EXPECT_EQ(globals::gCurPlayer, "Zed");
}

TEST_F(GetCurPlTest, TheNameFitsTheDataFile) {
  getCurPl& w = Open();
  for (int i = 0; i < 300; ++i) fw::test::TypeKey(w, "\xE2\x82\xAC");  // three bytes each
  Accept(w);
  EXPECT_EQ(globals::gCurPlayer.size(), 3u * globals::kMaxNameChars) << "whole characters, no more than the limit";
}

TEST_F(GetCurPlTest, ShownModallyItReturnsOnceAccepted) {
  int answered = 0;
  fw::test::OnModal([&](fw::Window& shown) {
    auto& w = static_cast<getCurPl&>(shown);
    ++answered;
    fw::test::Advance(1);
    Type(w, "Ola");
    Accept(w);
  });
  getCurPl::Instance().ShowModal();
  EXPECT_EQ(answered, 1);
  EXPECT_EQ(globals::gCurPlayer, "Ola");
  EXPECT_TRUE(globals::gIsNewPlayer);
}

bool IsHeading(fw::Color c) { return c.r > 120 && c.g < 60 && c.b > 160; }

TEST_F(GetCurPlTest, ShowsTheHeadingTheNameAndTheButton) {
  getCurPl& w = Open();
  auto img = fw::test::Render(w);
  ASSERT_EQ(img->Width(), 320);
  ASSERT_EQ(img->Height(), 135);
  int headingLeft = 320, headingRight = -1, headingInk = 0;
  for (int y = 0; y < 135; ++y)
    for (int x = 0; x < 320; ++x)
      if (IsHeading(img->Pixel(x, y))) {
        EXPECT_GE(y, 14);
        EXPECT_LT(y, 34);
        headingLeft = std::min(headingLeft, x), headingRight = std::max(headingRight, x), ++headingInk;
      }
  ASSERT_GT(headingInk, 20);
  EXPECT_NEAR((headingLeft + headingRight) / 2.0, 160, 3) << "the heading is centred";

  int nameInk = 0;
  for (int y = 48; y < 66; ++y)
    for (int x = 82; x < 238; ++x) nameInk += img->Pixel(x, y) != img->Pixel(81, 47);
  EXPECT_GT(nameInk, 20) << "the name shows in the field";
  EXPECT_EQ(img->Pixel(101, 86), kFace);
  EXPECT_EQ(img->Pixel(218, 113), kFace);
}

}  // namespace
