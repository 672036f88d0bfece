// The current-player window as the player uses it: the name shown selected, typing,
// Return and Enter, and Accept storing exactly what was typed.
#include "windows/getCurPl.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/TestHooks.h"
#include "game/GameScrn.h"
#include "shell/app.h"
#include "shell/globals.h"
#include "shell/media.h"

namespace {

constexpr fw::Color kFace = fw::RGB(0, 150, 60);

class GetCurPlTest : public testing::Test {
 protected:
  // The play window is open behind, as in the game, after its first showing of this
  // window was accepted unchanged; later answers close any other window (the instructions).
  void SetUp() override {
    fw::test::SetResourcesFolder(ZEMBO_MEDIA_DIR);
    picHolder::initPics();
    globals::gR = fw::New<fw::Random>();
    globals::gCurPlayer = "Maurice";
    fw::test::OnModal([](fw::Window& m) { Accept(static_cast<getCurPl&>(m)); });
    play_ = &GameScrn::Instance();
    fw::test::OnModal([this](fw::Window& m) { ++instructions_, m.Close(); });

    face_->Graphics().SetForeColor(kFace);
    face_->Graphics().FillRect(0, 0, 120, 30);
    picHolder::gAquaLg = face_;
  }
  static getCurPl& Open() {
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
  static bool Flagged() { return App().isDirty || globals::gIsNewPlayer; }

  fw::Ref<fw::Picture> face_ = fw::New<fw::Picture>(120, 30);
  app app_;
  GameScrn* play_ = nullptr;
  int instructions_ = 0;
};

bool IsHeading(fw::Color c) { return c.r > 120 && c.g < 60 && c.b > 160; }

TEST_F(GetCurPlTest, ShowsTheNameSelectedAndAcceptKeepsItWithoutFlags) {
  getCurPl& w = Open();
  EXPECT_EQ(w.EditField1.Text(), "Maurice");
  EXPECT_EQ(w.EditField1.SelStart(), 0);
  EXPECT_EQ(w.EditField1.SelLength(), 7);

  auto img = fw::test::Render(w);
  int left = 320, right = -1, rows = 0;
  for (int y = 0; y < 135; ++y)
    for (int x = 0; x < 320; ++x)
      if (IsHeading(img->Pixel(x, y))) left = std::min(left, x), right = std::max(right, x), rows |= y >= 14 && y < 34;
  EXPECT_EQ(rows, 1) << "the heading lies within its label";
  EXPECT_NEAR((left + right) / 2.0, 160, 3) << "and is centred";
  int nameInk = 0;
  for (int y = 48; y < 66; ++y)
    for (int x = 82; x < 238; ++x) nameInk += img->Pixel(x, y) != img->Pixel(81, 47);
  EXPECT_GT(nameInk, 20) << "the name shows in the field";
  EXPECT_EQ(img->Pixel(101, 86), kFace);
  EXPECT_EQ(img->Pixel(218, 113), kFace);

  Accept(w);
  EXPECT_FALSE(Showing());
  EXPECT_EQ(globals::gCurPlayer, "Maurice");
  EXPECT_FALSE(Flagged());
}

TEST_F(GetCurPlTest, TypingReplacesTheNameAndAReleaseAnywhereAccepts) {
  getCurPl& w = Open();
  Type(w, "Al");
  EXPECT_EQ(w.EditField1.Text(), "Al");
  EXPECT_TRUE(App().isDirty);
  EXPECT_TRUE(globals::gIsNewPlayer);
  EXPECT_EQ(globals::gCurPlayer, "Maurice") << "only Accept stores the name";
  Accept(w, 5, 5);
  EXPECT_FALSE(Showing());
  EXPECT_EQ(globals::gCurPlayer, "Al");
}

TEST_F(GetCurPlTest, AKeyTypedAndDeletedStillSetsBothFlags) {
  getCurPl& w = Open();
  w.EditField1.SetSelStart(7);  // the insertion point after the name, as a click there puts it
  Type(w, "x");
  fw::test::TypeKey(w, "\x08");
  EXPECT_TRUE(App().isDirty);
  EXPECT_TRUE(globals::gIsNewPlayer);
  Accept(w);
  EXPECT_EQ(globals::gCurPlayer, "Maurice");
  EXPECT_EQ(instructions_, 1) << "the game starts with the instructions for a new player";
}

TEST_F(GetCurPlTest, ReturnEnterAndTheCloseBoxChangeNothing) {
  getCurPl& w = Open();
  fw::test::TypeKey(w, "\r");
  fw::test::TypeKey(w, "\x03");
  fw::test::ClickCloseBox(w);
  fw::test::Advance(1);
  ASSERT_TRUE(Showing());
  EXPECT_FALSE(Flagged());
  Type(w, "B");
  EXPECT_EQ(w.EditField1.Text(), "B") << "the name is still selected";
  Accept(w);
}

TEST_F(GetCurPlTest, ControlAndAltChordsAreShortcutsNotTyping) {
  fw::test::OnModal([&](fw::Window& shown) {
    auto* w = dynamic_cast<getCurPl*>(&shown);
    if (!w) return ++instructions_, shown.Close();
    fw::test::Advance(1);
    fw::test::TypeChord(*w, "Cmd+Cmd+Q");
    fw::test::TypeChord(*w, "Option+N");
    EXPECT_EQ(w->EditField1.Text(), "Maurice");
    Accept(*w);
  });
  getCurPl::Instance().ShowModal();
  EXPECT_FALSE(App().isDirty);
  EXPECT_EQ(instructions_, 0) << "the player is not taken for a new one";
}

// A name pasted in with Ctrl+V reaches no key handler, yet it must be kept at quit.
TEST_F(GetCurPlTest, ANameChangedWithoutTypingIsANewNameAllTheSame) {
  fw::test::OnModal([&](fw::Window& shown) {
    auto* w = dynamic_cast<getCurPl*>(&shown);
    if (!w) return ++instructions_, shown.Close();
    w->EditField1.SetText("Rosalind");
    Accept(*w);
  });
  getCurPl::Instance().ShowModal();
  EXPECT_EQ(globals::gCurPlayer, "Rosalind");
  EXPECT_TRUE(App().isDirty);
  EXPECT_EQ(instructions_, 1);
}

TEST_F(GetCurPlTest, TabKeepsTheFocusInTheNameField) {
  getCurPl& w = Open();
  fw::test::TypeKey(w, "\t");
  Type(w, "B");
  EXPECT_EQ(w.EditField1.Text(), "B") << "typing still replaces the selected name";
  Accept(w);
}

TEST_F(GetCurPlTest, ShownModallyEmptyAndBlankNamesAreStoredAsTyped) {
  std::string keys;
  fw::test::OnModal([&](fw::Window& shown) {
    auto* w = dynamic_cast<getCurPl*>(&shown);
    if (!w) return shown.Close();
    fw::test::Advance(1);
    fw::test::TypeKey(*w, "\x08");
    Type(*w, keys);
    Accept(*w);
  });
  getCurPl::Instance().ShowModal();
  EXPECT_EQ(globals::gCurPlayer, "");
  keys = "  Kim ";
  getCurPl::Instance().ShowModal();
  EXPECT_EQ(globals::gCurPlayer, "  Kim ");
}

TEST_F(GetCurPlTest, TheNameStopsAtTheLimitOnAWholeCharacter) {
  getCurPl& w = Open();
  for (int i = 0; i < 300; ++i) fw::test::TypeKey(w, "\xE2\x82\xAC");  // three bytes each
  Accept(w);
  EXPECT_EQ(globals::gCurPlayer.size(), 3u * globals::kMaxNameChars);
}

TEST_F(GetCurPlTest, AcceptStartsAGameOfferingTheSavedGameFirst) {
  std::string name = "Ola";
  fw::test::OnModal([&](fw::Window& m) {
    auto* w = dynamic_cast<getCurPl*>(&m);
    if (!w) return ++instructions_, m.Close();
    fw::test::Advance(1);
    Type(*w, name);
    Accept(*w);
  });
  fw::test::OnDialog([](const fw::MessageDialog&) {
    fw::Window* asker = fw::windows::Find(typeid(getCurPl));
    EXPECT_TRUE(!asker || !asker->IsOpen()) << "closed before the game starts";
    return fw::MessageDialog::Pressed::Cancel;
  });
  savedInfo::isSavedGame = true;
  play_->bltCt = 3;
  ASSERT_TRUE(fw::test::ChooseMenu("FileNewPlayer"));
  EXPECT_EQ(globals::gCurPlayer, "Ola");
  ASSERT_EQ(fw::test::DialogsShown().size(), 1u) << "the saved game is offered";
  EXPECT_EQ(play_->bltCt, 10) << "declined, so a new game";
  EXPECT_EQ(play_->round, 1);
  EXPECT_EQ(instructions_, 0) << "the declined saved game still exists";

  savedInfo::isSavedGame = false;
  play_->bltCt = 3;
  name = "Kim";
  ASSERT_TRUE(fw::test::ChooseMenu("FileNewPlayer"));
  EXPECT_EQ(globals::gCurPlayer, "Kim");
  EXPECT_EQ(fw::test::DialogsShown().size(), 1u) << "nothing to resume, nothing asked";
  EXPECT_EQ(play_->bltCt, 10);
  EXPECT_EQ(instructions_, 1) << "the new player gets the instructions once";
  EXPECT_FALSE(globals::gIsNewPlayer);
}

}  // namespace
