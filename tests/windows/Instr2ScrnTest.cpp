// The instructions window as the player pages through it and closes it.
#include "windows/Instr2Scrn.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/Picture.h"
#include "framework/TestHooks.h"
#include "shell/app.h"

namespace {

constexpr fw::Color kBack = fw::RGB(171, 181, 196);
constexpr fw::Color kPage1Ink = fw::RGB(250, 255, 39);
constexpr fw::Color kPage2Ink = fw::RGB(255, 252, 115);

bool Near(fw::Color a, fw::Color b, int tolerance) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

// Pixels of the rendered window within a rectangle that are close to a colour.
int CountNear(Instr2Scrn& w, int left, int top, int width, int height, fw::Color c, int tolerance = 6) {
  fw::Ref<fw::Picture> shot = fw::test::Render(w);
  int n = 0;
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x)
      if (Near(shot->Pixel(x, y), c, tolerance)) ++n;
  return n;
}

// Something other than the bare window background shows in the rectangle.
bool Drawn(Instr2Scrn& w, int left, int top, int width, int height) {
  return CountNear(w, left, top, width, height, kBack, 0) < width * height;
}

// What the player sees of the arrows, their labels and the page texts.
struct Seen {
  bool prev, prevLabel, next, nextLabel;
  int page;  // 0..2 from the ink and the pictures on screen, -1 when it cannot be told
};

Seen Look(Instr2Scrn& w) {
  Seen s{};
  s.prev = Drawn(w, 243, 390, 26, 20);
  s.prevLabel = Drawn(w, 243, 413, 60, 20);
  s.next = Drawn(w, 373, 390, 26, 20);
  s.nextLabel = Drawn(w, 373, 413, 60, 20);
  const bool firstInk = CountNear(w, 75, 50, 550, 274, kPage1Ink) > 100;
  const bool secondInk = CountNear(w, 70, 48, 550, 306, kPage2Ink) > 100;
  const bool pictures = Drawn(w, 27, 140, 20, 20) && Drawn(w, 275, 336, 20, 20);
  if (firstInk && pictures && !secondInk) s.page = 0;
  else if (secondInk && !firstInk && !pictures) s.page = 1;
  else if (firstInk && !secondInk && !pictures) s.page = 2;
  else s.page = -1;
  return s;
}

void Click(Instr2Scrn& w, int x, int y) {
  fw::test::PressMouse(w, x, y);
  fw::test::ReleaseMouse(w, x, y);
}
void Next(Instr2Scrn& w) { Click(w, 385, 400); }
void Prev(Instr2Scrn& w) { Click(w, 255, 400); }

void ExpectPage(Instr2Scrn& w, int page) {
  SCOPED_TRACE("page " + std::to_string(page + 1));
  EXPECT_EQ(w.curPage, page);
  EXPECT_EQ(w.PagePanel1.Value(), page);
  Seen s = Look(w);
  EXPECT_EQ(s.page, page);
  EXPECT_EQ(s.prev, page > 0);
  EXPECT_EQ(s.prevLabel, page > 0);
  EXPECT_EQ(s.next, page < Instr2Scrn::kLastPage);
  EXPECT_EQ(s.nextLabel, page < Instr2Scrn::kLastPage);
}

bool Open() { return fw::windows::Find(typeid(Instr2Scrn)) != nullptr; }

class Instr2ScrnTest : public testing::Test {
 protected:
  void SetUp() override { fw::test::SetResourcesFolder(ZEMBO_MEDIA_DIR); }
  void TearDown() override { fw::test::SetResourcesFolder(std::nullopt); }

  app app_;  // the media are found through the application
};

TEST_F(Instr2ScrnTest, OpensOnTheFirstPageWithOnlyTheNextArrow) {
  Instr2Scrn& w = Instr2Scrn::Instance();
  EXPECT_TRUE(w.IsVisible());
  ExpectPage(w, 0);
  EXPECT_EQ(CountNear(w, 0, 0, 640, 440, kBack, 0) > 640 * 200, true) << "the window's own background";
}

TEST_F(Instr2ScrnTest, NextAndPrevWalkThePagesAndHideTheArrowAtEitherEnd) {
  Instr2Scrn& w = Instr2Scrn::Instance();
  Next(w);
  ExpectPage(w, 1);
  Next(w);
  ExpectPage(w, 2);
  Prev(w);
  ExpectPage(w, 1);
  Prev(w);
  ExpectPage(w, 0);
  // A hidden arrow takes no click.
  Prev(w);
  ExpectPage(w, 0);
  Next(w);
  Next(w);
  Next(w);
  ExpectPage(w, 2);
}

TEST_F(Instr2ScrnTest, AnArrowReleasedOutsideItStillTurnsThePage) {
  Instr2Scrn& w = Instr2Scrn::Instance();
  fw::test::PressMouse(w, 385, 400);
  fw::test::MoveMouse(w, 600, 20);
  fw::test::ReleaseMouse(w, 600, 20);
  ExpectPage(w, 1);
  fw::test::PressMouse(w, 255, 400);
  fw::test::ReleaseMouse(w, 5, 435);
  ExpectPage(w, 0);
  EXPECT_TRUE(Open());
}

TEST_F(Instr2ScrnTest, ThePicturesOfTheFirstPageTellWhatTheyAre) {
  Instr2Scrn& w = Instr2Scrn::Instance();
  const std::vector<std::pair<std::pair<int, int>, std::string>> tags = {
      {{37, 150}, "A bullet"},
      {{37, 224}, "Acid Rain"},
      {{85, 346}, "Badee!!!! You lose a life."},
      {{135, 346}, "Gives you 5 extra bullets"},
      {{185, 346}, "Makes the paddle larger for the duration of that round."},
      {{235, 346}, "Gives you an extra life (ball)"},
      {{285, 346}, "Doubles your points for the duration of that round."},
  };
  for (const auto& [at, tag] : tags) EXPECT_EQ(fw::test::HelpTagAt(w, at.first, at.second), tag);
  // Nothing else carries a tip: the texts, the heading, the arrows and their labels.
  for (auto [x, y] : std::vector<std::pair<int, int>>{{300, 100}, {320, 14}, {320, 400}, {385, 400}, {390, 420}})
    EXPECT_EQ(fw::test::HelpTagAt(w, x, y), "") << x << "," << y;

  Next(w);
  EXPECT_EQ(fw::test::HelpTagAt(w, 37, 150), "") << "the pictures stay on the first page";
}

TEST_F(Instr2ScrnTest, OnlyReturnClosesItAndNoKeyIsTaken) {
  Instr2Scrn& w = Instr2Scrn::Instance();
  Next(w);
  for (const char* key : {"a", " ", "c", "p", "\x03", "\x1b", "\t", "\x08"}) {
    EXPECT_FALSE(w.Event_KeyDown(key)) << key;
    fw::test::TypeKey(w, key);
  }
  ExpectPage(w, 1);

  EXPECT_FALSE(w.Event_KeyDown("\r"));
  EXPECT_FALSE(w.IsOpen());
  EXPECT_FALSE(Instr2Scrn::Instance().Event_KeyDown(fw::EndOfLine));
  fw::test::TypeKey(Instr2Scrn::Instance(), "\r");
  fw::test::Advance(1);
  EXPECT_FALSE(Open());
  ExpectPage(Instr2Scrn::Instance(), 0);  // built anew
}

// Shown modally, as the game does for a new player, the caller waits for each way out.
TEST_F(Instr2ScrnTest, ShownModallyTheCallerWaitsUntilItIsClosed) {
  enum class Way { kExit, kReturn, kCloseBox };
  for (Way way : {Way::kExit, Way::kReturn, Way::kCloseBox}) {
    SCOPED_TRACE(static_cast<int>(way));
    bool answered = false;
    fw::test::OnModal([&](fw::Window& shown) {
      auto& w = static_cast<Instr2Scrn&>(shown);
      EXPECT_TRUE(w.IsModal());
      Next(w);
      EXPECT_EQ(w.curPage, 1);
      answered = true;
      switch (way) {
        case Way::kExit:  // released away from it
          fw::test::PressMouse(w, 320, 400);
          fw::test::ReleaseMouse(w, 100, 100);
          break;
        case Way::kReturn: fw::test::TypeKey(w, "\r"); break;
        case Way::kCloseBox: fw::test::ClickCloseBox(w); break;
      }
    });
    Instr2Scrn::Instance().ShowModal();
    EXPECT_TRUE(answered);
    EXPECT_TRUE(fw::test::Unanswered().empty());
    fw::test::Advance(1);
    EXPECT_FALSE(Open());
  }
}

TEST_F(Instr2ScrnTest, ResizingMovesOnlyTheLastPageText) {
  Instr2Scrn& w = Instr2Scrn::Instance();
  std::vector<std::pair<int, int>> before;
  for (fw::Control* c : w.Controls()) before.emplace_back(c->Left(), c->Top());
  fw::test::DragSize(w, 700, 520);
  ASSERT_EQ(w.Height(), 520);
  for (std::size_t i = 0; i < w.Controls().size(); ++i) {
    fw::Control* c = w.Controls()[i];
    const int moved = c == &w.StaticText4 ? 80 : 0;
    EXPECT_EQ(c->Left(), before[i].first) << c->Name();
    EXPECT_EQ(c->Top(), before[i].second + moved) << c->Name();
  }
  EXPECT_EQ(w.StaticText4.Top(), 130);
}

}  // namespace
