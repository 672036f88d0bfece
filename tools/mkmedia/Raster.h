// A small anti-aliased raster for drawing the game's pictures: shapes are
// signed-distance functions, paints are functions of the pixel position.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace mkmedia {

// A colour with straight (not premultiplied) components, each 0..255.
struct Rgba {
  double r = 0, g = 0, b = 0, a = 255;
  bool operator==(const Rgba&) const = default;
};

Rgba Mix(const Rgba& a, const Rgba& b, double t);  // t 0 gives a, 1 gives b
Rgba WithAlpha(Rgba c, double alpha);              // alpha 0..1 of full

class Canvas {
 public:
  Canvas() = default;
  Canvas(int width, int height, Rgba fill = {0, 0, 0, 0});

  int Width() const { return width_; }
  int Height() const { return height_; }
  Rgba At(int x, int y) const;
  void Set(int x, int y, Rgba c);
  // Source-over of c with its alpha scaled by coverage (0..1).
  void Blend(int x, int y, Rgba c, double coverage);
  // 8-bit RGBA, row-major, rounded.
  std::vector<std::uint8_t> ToRGBA8() const;

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<Rgba> px_;  // premultiplied, so Blend is one linear step
};

struct Point {
  double x = 0, y = 0;
};

// Signed distance in pixels from a point to a shape's edge, negative inside.
using Shape = std::function<double(double x, double y)>;
using Paint = std::function<Rgba(double x, double y)>;

Shape Circle(double cx, double cy, double r);
Shape Ellipse(double cx, double cy, double rx, double ry);
Shape RoundRect(double x0, double y0, double x1, double y1, double radius);
// A stroke of the given width; round caps, or square caps reaching width/2
// past the ends.
Shape Segment(Point a, Point b, double width, bool squareCaps = false);
Shape Polyline(std::vector<Point> pts, double width);
Shape Polygon(std::vector<Point> pts);
Shape Union(Shape a, Shape b);
Shape Intersect(Shape a, Shape b);
Shape Subtract(Shape a, Shape b);
Shape Grow(Shape s, double by);  // negative shrinks
Shape Move(Shape s, double dx, double dy);
// A teardrop with its point at tip and a round bottom of radius r centred at c.
Shape Teardrop(Point tip, Point c, double r);
// Bold block capitals in a box of the given letter height; the letters are
// those the game's pictures use (B E I M O T X Z), anything else is a space.
Shape BlockText(std::string_view text, double x, double y, double height, double stroke, double gap);

struct Stop {
  double t = 0;
  Rgba c;
};
Paint Solid(Rgba c);
Paint Linear(Point from, Point to, std::vector<Stop> stops);
Paint Radial(Point centre, double radius, std::vector<Stop> stops);

// Paints a shape, anti-aliased from its distance field.
void Fill(Canvas& c, const Shape& shape, const Paint& paint, double opacity = 1.0);
// Soft blurred copy of a shape, for shadows and glows: coverage falls off over
// softness pixels around the edge.
void FillSoft(Canvas& c, const Shape& shape, Rgba colour, double softness);

// Makes a sprite the way the platform's were: opaque, pure white where it is
// transparent. c is the figure drawn over the play field's tone, so its soft
// edges already blend towards what will be behind it; pixels less than half
// inside the silhouette become background, and no figure pixel is pure white.
Canvas FlattenSprite(const Canvas& c, const Shape& silhouette);

// Deterministic noise: the same seed gives the same stream on every machine.
class Random {
 public:
  explicit Random(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
  std::uint32_t Next();
  double Uniform();  // [0, 1)
  double Signed() { return 2.0 * Uniform() - 1.0; }

 private:
  std::uint32_t state_ = 1;
};

}  // namespace mkmedia
