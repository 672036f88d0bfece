#include "Pictures.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string_view>
#include <utility>

namespace mkmedia {
namespace {

// Sprites are drawn over kPlayfield, so that their soft edges blend towards
// what will be behind them once the white is keyed out.
constexpr Rgba kHighlight{250, 250, 250};    // the brightest a sprite may be: pure white is see-through
constexpr Rgba kInstrWindow{171, 181, 196};  // the instructions window the small buttons sit on

struct Gloss {
  Rgba light, mid, dark, rim;
};
constexpr Gloss kBlueBubble{{150, 205, 255}, {45, 120, 235}, {20, 60, 170}, {10, 30, 100}};
constexpr Gloss kPurpleBubble{{228, 175, 255}, {160, 70, 225}, {95, 30, 165}, {55, 10, 95}};

// The aqua gel of buttons: deep at the top, glowing towards the bottom.
const std::vector<Stop> kAquaGel = {
    {0.0, {50, 110, 210}}, {0.45, {22, 82, 196}}, {0.6, {30, 105, 215}}, {1.0, {135, 210, 255}}};
constexpr Rgba kAquaBorder{28, 62, 140};

void DrawBubble(Canvas& c, double cx, double cy, double r, const Gloss& g) {
  const double s = r / 11.4;  // drawn at sprite size, scaled
  Fill(c, Circle(cx, cy, r),
       Radial({cx - 3 * s, cy - 3.5 * s}, 14.5 * s, {{0, g.light}, {0.45, g.mid}, {0.85, g.dark}, {1, g.rim}}));
  Fill(c, Subtract(Circle(cx, cy, r), Circle(cx, cy, r - 1.1 * s)), Solid(g.rim), 0.55);
  // Light coming through the far side, a crescent at the lower right.
  Fill(c, Subtract(Circle(cx, cy, r - 1.6 * s), Circle(cx - 1.8 * s, cy - 1.8 * s, r - 1.4 * s)), Solid(g.light), 0.5);
  Fill(c, Ellipse(cx - 3.6 * s, cy - 4.6 * s, 4.3 * s, 2.9 * s),
       Linear({0, cy - 7.5 * s}, {0, cy - 1.7 * s},
              {{0, WithAlpha(kHighlight, 0.95)}, {1, WithAlpha(kHighlight, 0.1)}}));
  Fill(c, Circle(cx - 5.3 * s, cy - 5.4 * s, 1.1 * s), Solid(kHighlight), 0.9);
}

void DrawRedBall(Canvas& c, double cx, double cy, double r) {
  const double s = r / 3.75;
  Fill(c, Circle(cx, cy, r),
       Radial({cx - 1.1 * s, cy - 1.2 * s}, 5.2 * s,
              {{0, {255, 165, 150}}, {0.3, {238, 42, 36}}, {0.75, {168, 8, 10}}, {1, {96, 0, 6}}}));
  Fill(c, Circle(cx - 1.1 * s, cy - 1.3 * s, 0.95 * s), Solid({250, 236, 230}), 0.75);
}

// Returns the paddle's outline, as do the other figures that sprites reuse.
Shape DrawPaddle(Canvas& c, double x, double y, double w) {
  const Shape outline = RoundRect(x + 0.3, y + 0.5, x + w - 0.3, y + 9.5, 4.5);
  Fill(c, outline, Solid({32, 46, 82}));
  Fill(c, RoundRect(x + 1.2, y + 1.4, x + w - 1.2, y + 8.6, 3.6),
       Linear({0, y + 1.4}, {0, y + 8.6},
              {{0, {218, 232, 246}},
               {0.3, {150, 176, 212}},
               {0.55, {84, 110, 160}},
               {0.8, {108, 138, 184}},
               {1, {70, 96, 142}}}));
  Fill(c, Segment({x + 5, y + 3}, {x + w - 5, y + 3}, 1.0), Solid({245, 249, 252}), 0.6);
  return outline;
}

// A glossy rounded button face in the aqua style.
void DrawAquaFace(Canvas& c, double x0, double y0, double x1, double y1, double radius) {
  Fill(c, RoundRect(x0, y0, x1, y1, radius), Solid(kAquaBorder));
  Fill(c, RoundRect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, radius - 1), Linear({0, y0 + 1}, {0, y1 - 1}, kAquaGel));
  const double h = y1 - y0;
  const double inset = std::min(radius * 0.45, 7.0);
  Fill(c, RoundRect(x0 + inset, y0 + 0.08 * h, x1 - inset, y0 + 0.48 * h, std::max(radius * 0.45, 1.0)),
       Linear({0, y0 + 0.08 * h}, {0, y0 + 0.48 * h},
              {{0, WithAlpha(kHighlight, 0.9)}, {1, WithAlpha(kHighlight, 0.18)}}));
}

Canvas Ball() {
  Canvas c(8, 8, kPlayfield);
  DrawRedBall(c, 4, 4, 3.75);
  return FlattenSprite(c, Circle(4, 4, 3.75));
}

// 32 pixels: bubbles bounce between 0 and 468 on the 500-pixel field, and the
// purple ones enter from -32, just out of sight.
constexpr int kBubbleSide = 32;

Canvas Bubble(const Gloss& g) {
  constexpr double kCentre = kBubbleSide / 2.0, kRadius = kCentre - 0.6;  // pixels
  Canvas c(kBubbleSide, kBubbleSide, kPlayfield);
  DrawBubble(c, kCentre, kCentre, kRadius, g);
  return FlattenSprite(c, Circle(kCentre, kCentre, kRadius));
}

Canvas Paddle(int width) {
  Canvas c(width, 10, kPlayfield);
  return FlattenSprite(c, DrawPaddle(c, 0, 0, width));
}

// A bonus drop: a glossy teardrop of one colour with the glyph of its gift.
constexpr Point kDropCentre{8, 12.6};  // centre of the drop's round part, where the glyph goes

Canvas BonusDrop(const Gloss& g, const std::function<void(Canvas&)>& glyph) {
  Canvas c(16, 20, kPlayfield);
  const Shape drop = Teardrop({8, 0.5}, kDropCentre, 7.0);
  Fill(c, drop, Solid(g.rim));
  Fill(c, Grow(drop, -1.0), Radial({5.8, 8.5}, 12, {{0, g.light}, {0.5, g.mid}, {1, g.dark}}));
  Fill(c, Ellipse(6.0, 7.4, 1.2, 2.3), Solid(kHighlight), 0.5);
  glyph(c);
  return FlattenSprite(c, drop);
}

Shape BulletGlyph(Canvas& c, double cx, double top, double width, double height) {
  const double hw = width / 2;
  const double noseH = height * 0.38;
  const Shape nose = Intersect(Ellipse(cx, top + noseH, hw, noseH), RoundRect(cx - hw, top, cx + hw, top + noseH, 0));
  const Shape body = RoundRect(cx - hw, top + noseH - 0.05, cx + hw, top + height, 0.3);
  const Paint brass =
      Linear({cx - hw, 0}, {cx + hw, 0}, {{0, {160, 112, 24}}, {0.35, {255, 232, 130}}, {1, {132, 90, 18}}});
  Fill(c, body, brass);
  Fill(c, nose,
       Linear({cx - hw, 0}, {cx + hw, 0}, {{0, {200, 150, 60}}, {0.35, {255, 244, 190}}, {1, {170, 118, 40}}}));
  Fill(c, RoundRect(cx - hw, top + noseH - 0.4, cx + hw, top + noseH + 0.4, 0), Solid({120, 80, 14}), 0.6);
  Fill(c, RoundRect(cx - hw, top + height * 0.85, cx + hw, top + height, 0.2), Solid({150, 108, 34}), 0.8);
  return Union(nose, body);
}

Canvas BltDrop() {
  return BonusDrop({{255, 175, 110}, {232, 96, 30}, {170, 50, 10}, {90, 25, 5}}, [](Canvas& c) {
    Fill(c, Union(Ellipse(8, 11.6, 2.2, 3.7), RoundRect(5.8, 11.6, 10.2, 17.9, 0.8)), Solid({60, 22, 2}));
    BulletGlyph(c, 8, 8.6, 3.6, 8.6);
  });
}

Canvas PadDrop() {
  return BonusDrop({{150, 200, 255}, {40, 110, 230}, {20, 55, 160}, {10, 30, 95}}, [](Canvas& c) {
    const double y = kDropCentre.y;
    const Shape arrow =
        Union(Segment({4.6, y}, {11.4, y}, 1.7), Union(Polygon({{2.0, y}, {5.5, y - 3.1}, {5.5, y + 3.1}}),
                                                       Polygon({{14.0, y}, {10.5, y + 3.1}, {10.5, y - 3.1}})));
    FillSoft(c, Move(arrow, 0.5, 0.6), {0, 20, 70, 200}, 1.2);
    Fill(c, arrow, Solid(kHighlight));
  });
}

Canvas BallDrop() {
  return BonusDrop({{245, 246, 250}, {198, 204, 216}, {132, 138, 156}, {62, 66, 84}}, [](Canvas& c) {
    Fill(c, Circle(kDropCentre.x, kDropCentre.y, 4.6), Solid({90, 20, 20}));
    DrawRedBall(c, kDropCentre.x, kDropCentre.y, 3.9);
  });
}

// Crisp pixel lettering for glyphs too small to draw as strokes: '#' is ink,
// and every pixel next to ink gets the outline so the glyph stands out.
void DrawPixels(Canvas& c, int x0, int y0, const std::vector<std::string_view>& rows, Rgba ink, Rgba outline) {
  auto inked = [&rows](int x, int y) {
    return y >= 0 && y < static_cast<int>(rows.size()) && x >= 0 &&
           x < static_cast<int>(rows[static_cast<std::size_t>(y)].size()) &&
           rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] == '#';
  };
  const int w = static_cast<int>(
      std::max_element(rows.begin(), rows.end(), [](auto a, auto b) { return a.size() < b.size(); })->size());
  for (int y = -1; y <= static_cast<int>(rows.size()); ++y) {
    for (int x = -1; x <= w; ++x) {
      bool near = false;
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) near = near || inked(x + dx, y + dy);
      }
      if (inked(x, y)) {
        c.Set(x0 + x, y0 + y, ink);
      } else if (near) {
        c.Blend(x0 + x, y0 + y, outline, 0.85);
      }
    }
  }
}

Canvas DblDrop() {
  return BonusDrop({{220, 160, 255}, {150, 60, 205}, {88, 24, 140}, {45, 8, 80}}, [](Canvas& c) {
    DrawPixels(c, 4, 10,
               {
                   "    .##.",
                   "    #..#",
                   "#.#...#.",
                   ".#...#..",
                   "#.#.####",
               },
               {255, 228, 60}, {50, 10, 70});
  });
}

Canvas BadDrop() {
  return BonusDrop({{96, 96, 104}, {42, 42, 48}, {14, 14, 18}, {130, 18, 18}}, [](Canvas& c) {
    DrawPixels(c, 4, 10,
               {
                   "##...##",
                   ".##.##.",
                   "..###..",
                   ".##.##.",
                   "##...##",
               },
               {240, 32, 28}, {40, 0, 0});
  });
}

Canvas AcidDrop() {
  Canvas c(8, 12, kPlayfield);
  const Shape drop = Teardrop({4, 0.3}, {4, 8.3}, 3.55);
  Fill(c, drop, Solid({12, 84, 20}));
  Fill(c, Grow(drop, -0.8), Radial({3, 6.8}, 5.5, {{0, {180, 255, 150}}, {0.45, {70, 215, 60}}, {1, {22, 135, 30}}}));
  Fill(c, Ellipse(2.8, 6.6, 0.8, 1.4), Solid(kHighlight), 0.7);
  return FlattenSprite(c, drop);
}

Canvas Bullet() {
  Canvas c(4, 10, kPlayfield);
  return FlattenSprite(c, BulletGlyph(c, 2, 0.1, 3.8, 9.8));
}

Canvas AquaFace() {
  Canvas c(120, 30, kAquaBorder);  // the corners are masked off, so they keep the edge colour
  DrawAquaFace(c, 0, 0, 120, 30, 15);
  return c;
}

Canvas AquaMask() {
  Canvas c(120, 30, {255, 255, 255});
  Fill(c, RoundRect(0, 0, 120, 30, 15), Solid({0, 0, 0}));
  return c;
}

Canvas ScoreBackground() {
  constexpr int kW = 140, kH = 500;
  Canvas c(kW, kH, {0, 0, 0});
  Fill(c, RoundRect(-1, -1, kW + 1, kH + 1, 0),
       Linear({0, 0}, {0, kH}, {{0, {22, 34, 82}}, {0.55, {42, 54, 94}}, {1, {80, 84, 98}}}));
  // A two-pixel bevel: lit from the top left.
  const Rgba light{255, 255, 255}, shade{0, 0, 0};
  Fill(c, RoundRect(0, 0, kW, 1, 0), Solid(light), 0.3);
  Fill(c, RoundRect(0, 1, kW - 1, 2, 0), Solid(light), 0.12);
  Fill(c, RoundRect(0, 1, 1, kH, 0), Solid(light), 0.3);
  Fill(c, RoundRect(1, 2, 2, kH - 1, 0), Solid(light), 0.12);
  Fill(c, RoundRect(1, kH - 1, kW, kH, 0), Solid(shade), 0.4);
  Fill(c, RoundRect(2, kH - 2, kW - 1, kH - 1, 0), Solid(shade), 0.18);
  Fill(c, RoundRect(kW - 1, 1, kW, kH - 1, 0), Solid(shade), 0.4);
  Fill(c, RoundRect(kW - 2, 2, kW - 1, kH - 2, 0), Solid(shade), 0.18);
  return c;
}

Canvas BrushedMetal() {
  constexpr int kW = 500, kH = 400;  // the About window's whole content, build line included
  Random rng(0x6D6574u);
  // Each row has its own tone and its own slow wave along it: streaks long
  // across the picture, fine from row to row.
  std::vector<double> tone(kH + 2);
  for (double& t : tone) t = rng.Signed() * 7;
  Canvas c(kW, kH);
  for (int y = 0; y < kH; ++y) {
    const double rowTone = 0.6 * tone[y + 1] + 0.2 * (tone[y] + tone[y + 2]);
    const double f1 = 0.006 + 0.02 * rng.Uniform(), p1 = 6.283 * rng.Uniform();
    const double f2 = 0.02 + 0.03 * rng.Uniform(), p2 = 6.283 * rng.Uniform();
    const bool scratch = rng.Uniform() < 0.08;
    const double s0 = rng.Uniform() * kW, sLen = 30 + 90 * rng.Uniform();
    for (int x = 0; x < kW; ++x) {
      const double vignette = -10 * std::pow(std::abs(x - kW / 2.0) / (kW / 2.0), 3);
      double v = 184 - 18.0 * y / kH + rowTone + 3.5 * std::sin(x * f1 + p1) + 2.5 * std::sin(x * f2 + p2) + vignette;
      if (scratch && x >= s0 && x < s0 + sLen) v += 9 * std::sin(3.14159 * (x - s0) / sLen);
      const double q = std::round(v);
      c.Set(x, y, {q, q + 1, q + 4});
    }
  }
  return c;
}

Canvas Title() {
  constexpr int kW = 400, kH = 250;
  Canvas c(kW, kH, {0, 0, 0});
  Fill(c, RoundRect(-1, -1, kW + 1, kH + 1, 0),
       Linear({0, 0}, {0, kH}, {{0, {6, 10, 38}}, {0.42, {20, 38, 98}}, {0.62, {12, 22, 64}}, {1, {6, 10, 36}}}));
  FillSoft(c, Ellipse(200, 70, 180, 62), {60, 95, 190, 90}, 70);

  Random rng(0x5A454Du);
  for (int i = 0; i < 46; ++i) {
    const double x = rng.Uniform() * kW, y = rng.Uniform() * kH;
    const double r = 0.5 + 0.6 * rng.Uniform(), a = 0.25 + 0.6 * rng.Uniform();
    const bool calm = y > 146 && y < 238;  // text is drawn here: only faint stars
    Fill(c, Circle(x, y, r), Solid({205, 215, 255}), calm ? a * 0.4 : a);
  }

  DrawBubble(c, 18, 18, 12, kBlueBubble);
  DrawBubble(c, 384, 24, 14, kBlueBubble);
  DrawBubble(c, 352, 132, 10, kPurpleBubble);
  DrawBubble(c, 44, 134, 11, kBlueBubble);
  DrawBubble(c, 116, 138, 7, kBlueBubble);
  DrawBubble(c, 22, 246, 9, kPurpleBubble);
  DrawBubble(c, 384, 251, 11, kBlueBubble);

  // The ball climbing away from the paddle, with a short fading trail.
  for (int i = 1; i <= 5; ++i) {
    Fill(c, Circle(290 - 5.0 * i, 132 + 4.0 * i, 5.5 - 0.6 * i), Solid({230, 60, 50}), 0.32 - 0.055 * i);
  }
  DrawRedBall(c, 290, 132, 7.5);
  DrawPaddle(c, 160, 239, 80);

  constexpr double kTop = 26, kHeight = 86;
  const Shape word = BlockText("ZEMBO", 31, kTop, kHeight, 17, 10);
  FillSoft(c, Move(word, 5, 6), {0, 0, 8, 190}, 7);
  Fill(c, Grow(word, 3), Solid({36, 14, 2}));
  Fill(c, word,
       Linear({0, kTop}, {0, kTop + kHeight},
              {{0, {255, 246, 170}}, {0.45, {255, 202, 54}}, {0.56, {246, 150, 22}}, {1, {196, 66, 10}}}));
  Fill(c, Intersect(Grow(word, -2.5), RoundRect(0, kTop, kW, kTop + kHeight * 0.45, 0)),
       Linear({0, kTop}, {0, kTop + kHeight * 0.45},
              {{0, WithAlpha(kHighlight, 0.55)}, {1, WithAlpha(kHighlight, 0.05)}}));
  return c;
}

// The small buttons of the instructions window, drawn at the size of the
// canvases that show them.
Canvas ArrowButton(bool right) {
  constexpr int kW = 26, kH = 20;
  Canvas c(kW, kH, kInstrWindow);
  DrawAquaFace(c, 0.5, 0.5, kW - 0.5, kH - 0.5, 6);
  auto fx = [right](double x) { return right ? x : kW - x; };
  const Shape arrow = Union(Polygon({{fx(18.5), 10}, {fx(12.5), 4.6}, {fx(12.5), 15.4}}),
                            RoundRect(std::min(fx(6.5), fx(13)), 8.1, std::max(fx(6.5), fx(13)), 11.9, 0.6));
  FillSoft(c, Move(arrow, 0.6, 0.8), {0, 20, 70, 200}, 1.4);
  Fill(c, arrow, Solid(kHighlight));
  return c;
}

Canvas ExitButton() {
  constexpr int kW = 80, kH = 20;
  Canvas c(kW, kH, kInstrWindow);
  DrawAquaFace(c, 0.5, 0.5, kW - 0.5, kH - 0.5, 9.5);
  const Shape cross = Union(Segment({21, 6.2}, {28.6, 13.8}, 2.3), Segment({28.6, 6.2}, {21, 13.8}, 2.3));
  const Shape word = BlockText("EXIT", 34.5, 5.5, 9, 2.2, 2.2);
  const Shape ink = Union(cross, word);
  FillSoft(c, Move(ink, 0.6, 0.8), {0, 20, 70, 200}, 1.4);
  Fill(c, word, Solid(kHighlight));
  Fill(c, cross, Solid({255, 120, 110}));
  return c;
}

}  // namespace

std::vector<Picture> DrawPictures() {
  std::vector<Picture> p;
  auto add = [&p](std::string name, Format f, Canvas c) {
    const bool sprite = f == Format::kPICT && name != "MetalBkg.pct" && !name.ends_with("Btn.pct");
    p.push_back({std::move(name), f, std::move(c), sprite});
  };
  add("redSprite.pct", Format::kPICT, Ball());
  add("BlueBubble.pct", Format::kPICT, Bubble(kBlueBubble));
  add("PurpBub.pct", Format::kPICT, Bubble(kPurpleBubble));
  add("paddle.pct", Format::kPICT, Paddle(64));
  add("Paddle2.pct", Format::kPICT, Paddle(72));
  add("Paddle3.pct", Format::kPICT, Paddle(80));
  add("Paddle4.pct", Format::kPICT, Paddle(90));
  add("BltDrop.pct", Format::kPICT, BltDrop());
  add("PadDrop.pct", Format::kPICT, PadDrop());
  add("BallDrop.pct", Format::kPICT, BallDrop());
  add("DblDrop.pct", Format::kPICT, DblDrop());
  add("BadDrop.pct", Format::kPICT, BadDrop());
  add("Drop.pct", Format::kPICT, AcidDrop());
  add("bullet.pct", Format::kPICT, Bullet());
  add("Aqua120x30.png", Format::kPNG, AquaFace());
  add("Mask120x30.png", Format::kPNG, AquaMask());
  add("ScoreBkg.psd", Format::kPSD, ScoreBackground());
  add("MetalBkg.pct", Format::kPICT, BrushedMetal());
  add("newZemboTitle.png", Format::kPNG, Title());
  add("NextBtn.pct", Format::kPICT, ArrowButton(true));
  add("PrevBtn.pct", Format::kPICT, ArrowButton(false));
  add("ExitBtn.pct", Format::kPICT, ExitButton());
  return p;
}

}  // namespace mkmedia
