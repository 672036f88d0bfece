#include "Raster.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace mkmedia {
namespace {

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }
double Dot(Point a, Point b) { return a.x * b.x + a.y * b.y; }
Point Sub(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }
double Len(Point p) { return std::sqrt(Dot(p, p)); }

Rgba Sample(const std::vector<Stop>& stops, double t) {
  if (t <= stops.front().t) return stops.front().c;
  for (std::size_t i = 1; i < stops.size(); ++i) {
    if (t <= stops[i].t) {
      const double span = stops[i].t - stops[i - 1].t;
      return Mix(stops[i - 1].c, stops[i].c, span > 0 ? (t - stops[i - 1].t) / span : 1.0);
    }
  }
  return stops.back().c;
}

// Distance to a box centred at the origin with the given half extents.
double BoxDistance(double px, double py, double hx, double hy) {
  const double qx = std::abs(px) - hx;
  const double qy = std::abs(py) - hy;
  return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0);
}

double SegmentDistance(Point p, Point a, Point b) {
  const Point pa = Sub(p, a);
  const Point ba = Sub(b, a);
  const double len2 = Dot(ba, ba);
  const double h = len2 > 0 ? Clamp01(Dot(pa, ba) / len2) : 0.0;
  return Len({pa.x - ba.x * h, pa.y - ba.y * h});
}

std::vector<Point> Arc(double cu, double cv, double ru, double rv, double from, double to, int steps) {
  std::vector<Point> pts;
  for (int i = 0; i <= steps; ++i) {
    const double a = from + (to - from) * i / steps;
    pts.push_back({cu + ru * std::cos(a), cv + rv * std::sin(a)});
  }
  return pts;
}

// A straight stroke of a letter in its inner box: u across, v down, both 0..1.
struct Bar {
  Point a, b;
  bool square = false;  // square caps: straight bars meeting at crisp corners
};

struct Glyph {
  char ch = ' ';
  double width = 0.5;  // of the letter height
  std::array<Bar, 4> bars{};
  int barCount = 0;
  enum class Extra { kNone, kBowls, kRing } extra = Extra::kNone;  // the B's bowls, the O's ring
};

// Constant tables, not containers built at run time: GCC 12 at -O3 with
// AVX-512 was seen to miscompile the nested initialiser lists these once were,
// and the committed media must not depend on the build.
constexpr Glyph kGlyphs[] = {
    {'Z', 0.68, {{{{0, 0}, {1, 0}, true}, {{1, 0}, {0, 1}}, {{0, 1}, {1, 1}, true}}}, 3},
    {'E',
     0.6,
     {{{{0, 0}, {0, 1}, true}, {{0, 0}, {1, 0}, true}, {{0, 0.5}, {0.8, 0.5}, true}, {{0, 1}, {1, 1}, true}}},
     4},
    {'M', 0.86, {{{{0, 1}, {0, 0}, true}, {{1, 1}, {1, 0}, true}, {{0, 0}, {0.5, 0.62}}, {{0.5, 0.62}, {1, 0}}}}, 4},
    {'B',
     0.66,
     {{{{0, 0}, {0, 1}, true}, {{0, 0}, {0.5, 0}}, {{0, 0.47}, {0.52, 0.47}}, {{0, 1}, {0.52, 1}}}},
     4,
     Glyph::Extra::kBowls},
    {'O', 0.74, {}, 0, Glyph::Extra::kRing},
    {'X', 0.66, {{{{0, 0}, {1, 1}}, {{1, 0}, {0, 1}}}}, 2},
    {'I', 0.0, {{{{0, 0}, {0, 1}, true}}}, 1},
    {'T', 0.66, {{{{0, 0}, {1, 0}, true}, {{0.5, 0}, {0.5, 1}, true}}}, 2},
};

// The B's two bowls: half ellipses closing its bars, the lower one fuller.
struct Bowl {
  double cu, cv, ru, rv;
};
constexpr Bowl kBowls[] = {{0.5, 0.235, 0.42, 0.235}, {0.52, 0.735, 0.48, 0.265}};

const Glyph& GlyphFor(char ch) {
  static constexpr Glyph kSpace{};
  for (const Glyph& g : kGlyphs) {
    if (g.ch == ch) return g;
  }
  return kSpace;
}

}  // namespace

Rgba Mix(const Rgba& a, const Rgba& b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Rgba WithAlpha(Rgba c, double alpha) {
  c.a = 255.0 * alpha;
  return c;
}

Canvas::Canvas(int width, int height, Rgba fill)
    : width_(width),
      height_(height),
      px_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height),
          Rgba{fill.r * fill.a / 255, fill.g * fill.a / 255, fill.b * fill.a / 255, fill.a}) {}

Rgba Canvas::At(int x, int y) const {
  const Rgba& p = px_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
  if (p.a <= 0) return {0, 0, 0, 0};
  return {p.r * 255 / p.a, p.g * 255 / p.a, p.b * 255 / p.a, p.a};
}

void Canvas::Set(int x, int y, Rgba c) {
  px_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)] = {
      c.r * c.a / 255, c.g * c.a / 255, c.b * c.a / 255, c.a};
}

void Canvas::Blend(int x, int y, Rgba c, double coverage) {
  const double a = Clamp01(c.a / 255 * coverage);
  if (a <= 0) return;
  Rgba& d = px_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x)];
  d = {c.r * a + d.r * (1 - a), c.g * a + d.g * (1 - a), c.b * a + d.b * (1 - a), 255 * a + d.a * (1 - a)};
}

std::vector<std::uint8_t> Canvas::ToRGBA8() const {
  std::vector<std::uint8_t> out;
  out.reserve(px_.size() * 4);
  auto byte = [](double v) { return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))); };
  for (int y = 0; y < height_; ++y) {
    for (int x = 0; x < width_; ++x) {
      const Rgba c = At(x, y);
      out.insert(out.end(), {byte(c.r), byte(c.g), byte(c.b), byte(c.a)});
    }
  }
  return out;
}

Shape Circle(double cx, double cy, double r) {
  return [=](double x, double y) { return std::hypot(x - cx, y - cy) - r; };
}

Shape Ellipse(double cx, double cy, double rx, double ry) {
  // A close approximation of the true distance, exact on the axes.
  return [=](double x, double y) {
    const double px = (x - cx) / rx, py = (y - cy) / ry;
    const double k0 = std::hypot(px, py);
    const double k1 = std::hypot(px / rx, py / ry);
    return k1 > 0 ? k0 * (k0 - 1) / k1 : -std::min(rx, ry);
  };
}

Shape RoundRect(double x0, double y0, double x1, double y1, double radius) {
  const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
  const double hx = (x1 - x0) / 2 - radius, hy = (y1 - y0) / 2 - radius;
  return [=](double x, double y) { return BoxDistance(x - cx, y - cy, hx, hy) - radius; };
}

Shape Segment(Point a, Point b, double width, bool squareCaps) {
  const double hw = width / 2;
  if (!squareCaps) {
    return [=](double x, double y) { return SegmentDistance({x, y}, a, b) - hw; };
  }
  const Point mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
  const double len = Len(Sub(b, a));
  const Point dir = len > 0 ? Point{(b.x - a.x) / len, (b.y - a.y) / len} : Point{1, 0};
  return [=](double x, double y) {
    const Point p = Sub({x, y}, mid);
    return BoxDistance(Dot(p, dir), p.y * dir.x - p.x * dir.y, len / 2 + hw, hw);
  };
}

Shape Polyline(std::vector<Point> pts, double width) {
  return [pts = std::move(pts), hw = width / 2](double x, double y) {
    double d = 1e9;
    for (std::size_t i = 1; i < pts.size(); ++i) d = std::min(d, SegmentDistance({x, y}, pts[i - 1], pts[i]));
    return d - hw;
  };
}

Shape Polygon(std::vector<Point> pts) {
  return [v = std::move(pts)](double x, double y) {
    const Point p{x, y};
    double d = Dot(Sub(p, v[0]), Sub(p, v[0]));
    double sign = 1;
    for (std::size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i) {
      const Point e = Sub(v[j], v[i]);
      const Point w = Sub(p, v[i]);
      const double h = Clamp01(Dot(w, e) / Dot(e, e));
      const Point b{w.x - e.x * h, w.y - e.y * h};
      d = std::min(d, Dot(b, b));
      const bool c1 = p.y >= v[i].y, c2 = p.y<v[j].y, c3 = e.x * w.y> e.y * w.x;
      if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) sign = -sign;
    }
    return sign * std::sqrt(d);
  };
}

Shape Union(Shape a, Shape b) {
  return [a = std::move(a), b = std::move(b)](double x, double y) { return std::min(a(x, y), b(x, y)); };
}

Shape Intersect(Shape a, Shape b) {
  return [a = std::move(a), b = std::move(b)](double x, double y) { return std::max(a(x, y), b(x, y)); };
}

Shape Subtract(Shape a, Shape b) {
  return [a = std::move(a), b = std::move(b)](double x, double y) { return std::max(a(x, y), -b(x, y)); };
}

Shape Grow(Shape s, double by) {
  return [s = std::move(s), by](double x, double y) { return s(x, y) - by; };
}

Shape Move(Shape s, double dx, double dy) {
  return [s = std::move(s), dx, dy](double x, double y) { return s(x - dx, y - dy); };
}

Shape Teardrop(Point tip, Point c, double r) {
  // The sides run from the tip to the points where they touch the circle.
  const Point toTip = Sub(tip, c);
  const double dist = Len(toTip);
  const double along = r * r / dist;
  const double across = r * std::sqrt(std::max(0.0, 1 - (r / dist) * (r / dist)));
  const Point u{toTip.x / dist, toTip.y / dist};
  const Point left{c.x + u.x * along - u.y * across, c.y + u.y * along + u.x * across};
  const Point right{c.x + u.x * along + u.y * across, c.y + u.y * along - u.x * across};
  return Union(Circle(c.x, c.y, r), Polygon({tip, left, right}));
}

Shape BlockText(std::string_view text, double x, double y, double height, double stroke, double gap) {
  constexpr double kHalfPi = 1.5707963267948966;
  const double hw = stroke / 2;
  std::vector<Shape> parts;
  double pen = x;
  for (char ch : text) {
    const Glyph& g = GlyphFor(ch);
    const double w = std::max(g.width * height, stroke);
    // Strokes run along centre lines inset by half a stroke, so the ink fills
    // exactly the letter's box.
    const double u0 = pen + hw, v0 = y + hw, du = w - stroke, dv = height - stroke;
    auto at = [&](Point p) { return Point{u0 + p.x * du, v0 + p.y * dv}; };
    for (int i = 0; i < g.barCount; ++i) {
      const Bar& bar = g.bars[static_cast<std::size_t>(i)];
      // Square caps reach hw past the inset ends: flush with the box.
      parts.push_back(Segment(at(bar.a), at(bar.b), stroke, bar.square));
    }
    if (g.extra == Glyph::Extra::kBowls) {
      for (const Bowl& b : kBowls) {
        std::vector<Point> pts;
        for (const Point& p : Arc(b.cu, b.cv, b.ru, b.rv, -kHalfPi, kHalfPi, 12)) pts.push_back(at(p));
        parts.push_back(Polyline(std::move(pts), stroke));
      }
    } else if (g.extra == Glyph::Extra::kRing) {
      const double cx = pen + w / 2, cy = y + height / 2;
      const double radius = std::min(du, dv) * 0.45;
      parts.push_back([=](double px, double py) {
        return std::abs(BoxDistance(px - cx, py - cy, du / 2 - radius, dv / 2 - radius) - radius) - hw;
      });
    }
    pen += w + gap;
  }
  return [parts = std::move(parts)](double px, double py) {
    double d = 1e9;
    for (const Shape& s : parts) d = std::min(d, s(px, py));
    return d;
  };
}

Paint Solid(Rgba c) {
  return [c](double, double) { return c; };
}

Paint Linear(Point from, Point to, std::vector<Stop> stops) {
  const Point d = Sub(to, from);
  const double len2 = Dot(d, d);
  return [=, stops = std::move(stops)](double x, double y) { return Sample(stops, Dot(Sub({x, y}, from), d) / len2); };
}

Paint Radial(Point centre, double radius, std::vector<Stop> stops) {
  return [=, stops = std::move(stops)](double x, double y) { return Sample(stops, Len(Sub({x, y}, centre)) / radius); };
}

void Fill(Canvas& c, const Shape& shape, const Paint& paint, double opacity) {
  for (int y = 0; y < c.Height(); ++y) {
    for (int x = 0; x < c.Width(); ++x) {
      const double px = x + 0.5, py = y + 0.5;
      const double coverage = Clamp01(0.5 - shape(px, py)) * opacity;
      if (coverage > 0) c.Blend(x, y, paint(px, py), coverage);
    }
  }
}

void FillSoft(Canvas& c, const Shape& shape, Rgba colour, double softness) {
  for (int y = 0; y < c.Height(); ++y) {
    for (int x = 0; x < c.Width(); ++x) {
      const double t = Clamp01(0.5 - shape(x + 0.5, y + 0.5) / softness);
      c.Blend(x, y, colour, t * t * (3 - 2 * t));
    }
  }
}

Canvas FlattenSprite(const Canvas& c, const Shape& silhouette) {
  constexpr Rgba kWhite{255, 255, 255, 255};
  constexpr double kNearWhite = 250;  // the brightest a figure pixel may be
  Canvas out(c.Width(), c.Height(), kWhite);
  for (int y = 0; y < c.Height(); ++y) {
    for (int x = 0; x < c.Width(); ++x) {
      if (silhouette(x + 0.5, y + 0.5) > 0) continue;  // under half covered
      Rgba q = c.At(x, y);
      q.a = 255;
      if (q.r > kNearWhite && q.g > kNearWhite && q.b > kNearWhite) q = {kNearWhite, kNearWhite, kNearWhite, 255};
      out.Set(x, y, q);
    }
  }
  return out;
}

std::uint32_t Random::Next() {
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

double Random::Uniform() { return Next() / 4294967296.0; }

}  // namespace mkmedia
