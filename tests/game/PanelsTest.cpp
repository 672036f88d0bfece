// The side panels and the field as the player sees them, read from rendered pictures.
#include "tests/game/GameFixture.h"

namespace {

class PanelsTest : public GameFixture {
 protected:
  fw::Color At(GameScrn& w, int x, int y) { return fw::test::Render(w)->Pixel(x, y); }
  // The columns of the score panel that hold the score's black shadow.
  static std::pair<int, int> ShadowColumns(const fw::Picture& p) {
    int first = -1, last = -1;
    for (int x = 520; x < 620; ++x)
      for (int y = 204; y < 264; ++y) {
        fw::Color c = p.Pixel(x, y);
        if (c.r + c.g + c.b < 24) {
          if (first < 0) first = x;
          last = x;
          break;
        }
      }
    return {first, last};
  }
  static double TextWidth(std::string_view s) {
    fw::Picture p(10, 10);
    p.Graphics().SetTextSize(24);
    p.Graphics().SetItalic(true);
    return p.Graphics().StringWidth(s);
  }
  static constexpr fw::Color kBack = fw::RGB(210, 225, 255);
};

TEST_F(PanelsTest, ScoreIsPaddedToThreeDigits) {
  GameScrn& w = Start();
  for (auto [score, text] : {std::pair{0, "000"}, std::pair{7, "007"}, std::pair{12345, "12345"}}) {
    w.curScore = score;
    w.ScoreCnv.Refresh(true);
    auto [first, last] = ShadowColumns(*fw::test::Render(w));
    ASSERT_GE(first, 0) << score;
    EXPECT_NEAR(first, 520 + 22, 4) << score;
    EXPECT_NEAR(last - first + 1, TextWidth(text), 6) << score;
  }
  EXPECT_GT(TextWidth("007"), TextWidth("7") + 20);
}

TEST_F(PanelsTest, EveryScorePaintTakesANewColour) {
  GameScrn& w = Start();
  w.curScore = 888;
  w.ScoreCnv.Refresh(true);
  fw::Ref<fw::Picture> a = fw::test::Render(w);
  w.ScoreCnv.Refresh(true);
  fw::Ref<fw::Picture> b = fw::test::Render(w);
  int differ = 0;
  for (int x = 520; x < 620; ++x)
    for (int y = 204; y < 264; ++y) differ += !(a->Pixel(x, y) == b->Pixel(x, y));
  EXPECT_GT(differ, 50);
}

TEST_F(PanelsTest, GaugeRowsAndColours) {
  GameScrn& w = Start({.bltCt = 0});
  auto gauge = [&](int row) { return At(w, 515 + 6, 303 + row); };
  EXPECT_EQ(gauge(199), kBack);
  w.bltCt = 1;
  w.BltCtCnv.Refresh(true);
  EXPECT_EQ(gauge(199), fw::RGB(0, 0, 255));
  EXPECT_EQ(gauge(190), fw::RGB(11, 0, 243));  // channels truncated
  EXPECT_EQ(gauge(189), kBack);
  w.bltCt = 20;
  w.BltCtCnv.Refresh(true);
  EXPECT_EQ(gauge(0), fw::RGB(255, 0, 0));
  EXPECT_EQ(gauge(100), fw::RGB(126, 0, 128));
  EXPECT_EQ(gauge(199), fw::RGB(0, 0, 255));
}

TEST_F(PanelsTest, BallCanvasesShowTheSpareBalls) {
  GameScrn& w = Start({.ballCt = 3});
  fw::Ref<fw::Picture> p = fw::test::Render(w);
  for (int i = 0; i < 7; ++i) {
    fw::Color c = p->Pixel(520 + 16 * i + 4, 99 + 4);
    if (i < 3) {
      EXPECT_GT(c.r, 150) << i;
      EXPECT_LT(c.b, 120) << i;
    } else {
      EXPECT_EQ(c, kBack) << i;
    }
  }
  w.ballCt = 0;
  for (int i = 0; i < 7; ++i) w.ballCnv(i).Refresh(true);
  p = fw::test::Render(w);
  for (int i = 0; i < 7; ++i) EXPECT_EQ(p->Pixel(520 + 16 * i + 4, 103), kBack) << i;
  w.ballCt = 7;
  for (int i = 0; i < 7; ++i) w.ballCnv(i).Refresh(true);
  p = fw::test::Render(w);
  for (int i = 0; i < 7; ++i) EXPECT_GT(p->Pixel(520 + 16 * i + 4, 103).r, 150) << i;
}

TEST_F(PanelsTest, DoublePointsMarkComesAndGoes) {
  GameScrn& w = Start();
  auto magenta = [&] {
    fw::Ref<fw::Picture> p = fw::test::Render(w);
    int n = 0;
    for (int x = 543; x < 603; ++x)
      for (int y = 117; y < 141; ++y) {
        fw::Color c = p->Pixel(x, y);
        n += c.r > 200 && c.g < 90 && c.b > 200;
      }
    return n;
  };
  EXPECT_EQ(magenta(), 0);
  w.doDbl = true;
  w.dblCnv.Refresh(true);
  EXPECT_GT(magenta(), 20);
  w.reinit();
  EXPECT_EQ(magenta(), 0);
}

TEST_F(PanelsTest, FieldIsDarkAndThePaddleSitsAtItsBottom) {
  GameScrn& w = Start();
  replay::TickInput in;
  in.mouseX = 100;
  in.clicks = {"runBtn"};
  stepper->Step(in);
  ParkBubbles(w);
  w.redBall->SetMotion(400, 100, 0, -3);
  Steps(1);
  fw::Ref<fw::Picture> p = fw::test::Render(w);
  EXPECT_EQ(p->Pixel(250, 4 + 300), fw::RGB(14, 18, 40));
  fw::Color pad = p->Pixel(100 + 32, 4 + 494);
  EXPECT_NE(pad, fw::RGB(14, 18, 40));
  EXPECT_EQ(p->Pixel(100 + 32, 4 + 480), fw::RGB(14, 18, 40));
}

}  // namespace
