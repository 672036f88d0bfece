// The bonus introduction for each value of the bonus-round counter: title, heading,
// the page that shows, and what Begin does with the counter and the check box.
#include "windows/bonusStartScrn.h"

#include <gtest/gtest.h>

#include <string>

#include "framework/TestHooks.h"
#include "game/BonusRd.h"
#include "shell/globals.h"
#include "shell/media.h"

namespace {

constexpr fw::Color kFace = fw::RGB(0, 150, 60);

// Ink found inside a rectangle of a rendered window.
struct Ink {
  int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1, count = 0;
  bool empty() const { return count == 0; }
};

template <class Match>
Ink Find(const fw::Picture& img, int x0, int y0, int x1, int y1, Match match) {
  Ink ink;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (match(img.Pixel(x, y))) {
        ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
        ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
        ++ink.count;
      }
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
  static void Begin(bonusStartScrn& w, int x = 315, int y = 184) {
    fw::test::PressMouse(w, 315, 184);
    fw::test::ReleaseMouse(w, x, y);
    fw::test::Advance(1);
  }
  static void TickBox(bonusStartScrn& w) {
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
  for (Case c : {Case{1, "Bonus Start", "Bonus Round #1"}, Case{2, "Bonus Start", "Bonus Round #2"},
                 Case{3, "Warning", "NEW RULE !!!"}}) {
    SCOPED_TRACE(c.counter);
    bonusStartScrn& w = Open(c.counter);
    EXPECT_EQ(w.Title(), c.title);
    EXPECT_EQ(w.StaticText1.Text(), c.heading);
    EXPECT_EQ(w.PagePanel1.Value(), c.counter - 1);
    Begin(w);
    EXPECT_FALSE(Showing());
    EXPECT_EQ(BonusRd::bonusRndCt, c.counter == 3 ? 0 : c.counter) << "only the rule page is shown once a game";
    EXPECT_FALSE(globals::gNoShowBScrn);
  }
}

TEST_F(BonusStartScrnTest, TheTickedBoxTakesEffectOnBegin) {
  bonusStartScrn& w = Open(1);
  EXPECT_FALSE(w.noShowBtn.Value());
  EXPECT_EQ(w.noShowBtn.Caption(), "Don't show this screen next time.");
  TickBox(w);
  ASSERT_TRUE(w.noShowBtn.Value());
  EXPECT_FALSE(globals::gNoShowBScrn) << "the box alone changes nothing";
  Begin(w, 5, 5);  // released away from the button
  EXPECT_FALSE(Showing());
  EXPECT_TRUE(globals::gNoShowBScrn);

  bonusStartScrn& again = Open(3);
  EXPECT_FALSE(again.noShowBtn.Value()) << "each showing starts with the box clear";
  TickBox(again);
  TickBox(again);
  Begin(again);
  EXPECT_TRUE(globals::gNoShowBScrn) << "never set back during the run";
  EXPECT_EQ(BonusRd::bonusRndCt, 0);
}

TEST_F(BonusStartScrnTest, OnlyBeginClosesIt) {
  int answered = 0;
  fw::test::OnModal([&](fw::Window& shown) {
    auto& w = static_cast<bonusStartScrn&>(shown);
    ++answered;
    fw::test::Advance(1);
    fw::test::ClickCloseBox(w);
    fw::test::TypeKey(w, "\r");
    fw::test::TypeKey(w, "\x1b");
    fw::test::Advance(1);
    EXPECT_TRUE(w.IsOpen());
    EXPECT_EQ(BonusRd::bonusRndCt, 3);
    Begin(w);
  });
  BonusRd::bonusRndCt = 3;
  bonusStartScrn::Instance().ShowModal();
  EXPECT_EQ(answered, 1);
  EXPECT_EQ(BonusRd::bonusRndCt, 0);
}

TEST_F(BonusStartScrnTest, TheHeadingAndOnePageShow) {
  std::array<fw::Ref<fw::Picture>, 3> pages;
  std::array<Ink, 3> headings;
  for (int counter = 1; counter <= 3; ++counter) {
    SCOPED_TRACE(counter);
    bonusStartScrn& w = Open(counter);
    auto img = fw::test::Render(w);
    ASSERT_EQ(img->Width(), 400);
    ASSERT_EQ(img->Height(), 210);
    Ink heading = Find(*img, 0, 0, 400, 210, IsHeading);
    ASSERT_FALSE(heading.empty());
    EXPECT_GE(heading.top, 8);
    EXPECT_LT(heading.bottom, 46);
    EXPECT_NEAR((heading.left + heading.right) / 2.0, 200, 4) << "centred";
    EXPECT_GT(heading.bottom - heading.top, 18) << "a large heading";
    headings[static_cast<std::size_t>(counter - 1)] = heading;

    Ink text = Find(*img, 25, 50, 375, 160, IsText);
    ASSERT_FALSE(text.empty());
    EXPECT_LT(text.bottom, 56 + 93 - 2) << "the page's text ends above its label's bottom edge, so none is cut off";
    pages[static_cast<std::size_t>(counter - 1)] = img;
    EXPECT_EQ(img->Pixel(257, 171), kFace);
    Begin(w);
  }
  EXPECT_NE(headings[0].count, headings[1].count) << "each heading names its round";
  EXPECT_GT(headings[2].right - headings[2].left, 0);

  // Pages 1 and 2 are left-aligned lines that begin with "> "; page 3 is centred.
  auto firstLine = [](const fw::Picture& img) {
    Ink all = Find(img, 25, 50, 375, 160, IsText);
    return Find(img, 25, all.top, 375, all.top + 10, IsText);
  };
  EXPECT_LT(firstLine(*pages[0]).left, 40);
  EXPECT_LT(firstLine(*pages[1]).left, 40);
  Ink rule = firstLine(*pages[2]);
  EXPECT_GT(rule.left, 100);
  EXPECT_NEAR((rule.left + rule.right) / 2.0, 33 + 335 / 2.0, 4);
  int differ = 0;
  for (int y = 50; y < 160; ++y)
    for (int x = 25; x < 375; ++x) differ += IsText(pages[0]->Pixel(x, y)) != IsText(pages[1]->Pixel(x, y));
  EXPECT_GT(differ, 200) << "the first two pages show different rules";
}

}  // namespace
