// The bonus introduction for each value of the bonus-round counter: title, heading,
// the page that shows, and what Begin does with the counter and the check box.
#include "windows/bonusStartScrn.h"

#include <gtest/gtest.h>

#include <array>

#include "framework/TestHooks.h"
#include "game/BonusRd.h"
#include "shell/globals.h"
#include "shell/media.h"

namespace {

constexpr fw::Color kFace = fw::RGB(0, 150, 60);

// Where the ink of one kind lies inside a rectangle of a rendered window.
struct Ink {
  int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
  double middle() const { return (left + right) / 2.0; }
};
template <class Match>
Ink Find(const fw::Picture& img, int x0, int y0, int x1, int y1, Match match) {
  Ink ink;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (match(img.Pixel(x, y)))
        ink = {std::min(ink.left, x), std::max(ink.right, x), std::min(ink.top, y), std::max(ink.bottom, y)};
  return ink;
}
bool IsHeading(fw::Color c) { return c.r > 120 && c.g < 60 && c.b > 160; }
bool IsText(fw::Color c) { return c.r + c.g + c.b < 200; }

class BonusStartScrnTest : public testing::Test {
 protected:
  void SetUp() override {
    face_->Graphics().SetForeColor(kFace);
    face_->Graphics().FillRect(0, 0, 120, 30);
    picHolder::gAquaLg = face_;
  }
  void TearDown() override { BonusRd::bonusRndCt = 0; }

  static bonusStartScrn& Open(int counter) {
    BonusRd::bonusRndCt = counter;
    bonusStartScrn& w = bonusStartScrn::Instance();
    fw::test::Advance(1);
    return w;
  }
  // A press on Begin and a release at (x, y).
  static void Begin(bonusStartScrn& w, int x = 315, int y = 184) {
    fw::test::PressMouse(w, 315, 184);
    fw::test::ReleaseMouse(w, x, y);
    fw::test::Advance(1);
  }
  static void ClickBox(bonusStartScrn& w) {
    fw::test::PressMouse(w, 32, 185);
    fw::test::ReleaseMouse(w, 32, 185);
  }
  static bool Showing() { return fw::windows::Find(typeid(bonusStartScrn)) != nullptr; }

  fw::Ref<fw::Picture> face_ = fw::New<fw::Picture>(120, 30);
};

TEST_F(BonusStartScrnTest, EachCounterHasItsTitleHeadingAndPage) {
  struct Case {
    int counter;
    const char* title;
    const char* heading;
  };
  std::array<Ink, 3> headings, firstLines;
  std::array<fw::Ref<fw::Picture>, 3> shots;
  for (Case c : {Case{1, "Bonus Start", "Bonus Round #1"}, Case{2, "Bonus Start", "Bonus Round #2"},
                 Case{3, "Warning", "NEW RULE !!!"}}) {
    SCOPED_TRACE(c.counter);
    auto i = static_cast<std::size_t>(c.counter - 1);
    bonusStartScrn& w = Open(c.counter);
    EXPECT_EQ(w.Title(), c.title);
    EXPECT_EQ(w.StaticText1.Text(), c.heading);
    EXPECT_EQ(w.PagePanel1.Value(), c.counter - 1);

    shots[i] = fw::test::Render(w);
    headings[i] = Find(*shots[i], 0, 0, 400, 210, IsHeading);
    Ink text = Find(*shots[i], 25, 50, 375, 160, IsText);
    firstLines[i] = Find(*shots[i], 25, text.top, 375, text.top + 10, IsText);
    EXPECT_GT(text.top, 50);
    EXPECT_LT(text.bottom, 56 + 93 - 2) << "the page ends above its label's bottom edge, so none is cut off";
    EXPECT_EQ(shots[i]->Pixel(257, 171), kFace);

    Begin(w);
    EXPECT_FALSE(Showing());
    EXPECT_EQ(BonusRd::bonusRndCt, c.counter == 3 ? 0 : c.counter) << "only the rule page is shown once a game";
    EXPECT_FALSE(globals::gNoShowBScrn);
  }
  for (const Ink& h : headings) {
    EXPECT_GE(h.top, 8);
    EXPECT_LT(h.bottom, 46);
    EXPECT_GT(h.bottom - h.top, 18) << "a large heading";
    EXPECT_NEAR(h.middle(), 200, 4) << "centred";
  }
  // Pages 1 and 2 are left-aligned lines that begin with "> "; page 3 is centred.
  EXPECT_LT(firstLines[0].left, 40);
  EXPECT_LT(firstLines[1].left, 40);
  EXPECT_GT(firstLines[2].left, 100);
  EXPECT_NEAR(firstLines[2].middle(), 33 + 335 / 2.0, 4);
  int differ = 0;
  for (int y = 50; y < 160; ++y)
    for (int x = 25; x < 375; ++x) differ += IsText(shots[0]->Pixel(x, y)) != IsText(shots[1]->Pixel(x, y));
  EXPECT_GT(differ, 200) << "the first two pages show different rules";
}

TEST_F(BonusStartScrnTest, TheTickedBoxTakesEffectOnBeginAndStays) {
  bonusStartScrn& w = Open(1);
  EXPECT_EQ(w.noShowBtn.Caption(), "Don't show this screen next time.");
  ClickBox(w);
  ASSERT_TRUE(w.noShowBtn.Value());
  EXPECT_FALSE(globals::gNoShowBScrn) << "the box alone changes nothing";
  Begin(w, 5, 5);  // released away from the button
  EXPECT_FALSE(Showing());
  EXPECT_TRUE(globals::gNoShowBScrn);

  bonusStartScrn& again = Open(3);
  EXPECT_FALSE(again.noShowBtn.Value()) << "each showing starts with the box clear";
  ClickBox(again);
  ClickBox(again);
  Begin(again);
  EXPECT_TRUE(globals::gNoShowBScrn) << "never set back during the run";
}

TEST_F(BonusStartScrnTest, ShownModallyOnlyBeginClosesIt) {
  fw::test::OnModal([&](fw::Window& w) {
    fw::test::Advance(1);
    fw::test::ClickCloseBox(w);
    fw::test::TypeKey(w, "\r");
    fw::test::TypeKey(w, "\x1b");
    fw::test::Advance(1);
    EXPECT_TRUE(w.IsOpen());
    EXPECT_EQ(BonusRd::bonusRndCt, 3);
    Begin(static_cast<bonusStartScrn&>(w));
  });
  BonusRd::bonusRndCt = 3;
  bonusStartScrn::Instance().ShowModal();
  EXPECT_FALSE(Showing());
  EXPECT_EQ(BonusRd::bonusRndCt, 0);
}

}  // namespace
