// Pictures and the drawing surface that paints on pictures and canvases.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "Ref.h"
#include "Values.h"

namespace fw {

class Picture;
namespace codec {
struct RGBAImage;
}

class Graphics {
 public:
  struct Impl;
  explicit Graphics(std::unique_ptr<Impl> impl);
  ~Graphics();
  Graphics(const Graphics&) = delete;
  Graphics& operator=(const Graphics&) = delete;

  int Width() const;
  int Height() const;

  Color ForeColor() const { return foreColor_; }
  void SetForeColor(Color c) { foreColor_ = c; }
  const std::string& TextFont() const { return textFont_; }
  void SetTextFont(std::string_view f) { textFont_ = f; }
  int TextSize() const { return textSize_; }
  void SetTextSize(int s) { textSize_ = s; }  // pixels; 0 is the default size
  bool Bold() const { return bold_; }
  void SetBold(bool b) { bold_ = b; }
  bool Italic() const { return italic_; }
  void SetItalic(bool i) { italic_ = i; }
  int PenWidth() const { return penWidth_; }
  void SetPenWidth(int w) { penWidth_ = w < 1 ? 1 : w; }

  // Text at a baseline; wrapWidth 0 draws one line without wrapping.
  void DrawString(std::string_view text, int x, int y, int wrapWidth = 0);
  double StringWidth(std::string_view text) const;
  int TextAscent() const;
  int TextHeight() const;

  // A missing picture draws nothing.
  void DrawPicture(const Picture* pic, int x, int y);
  void DrawPicture(const Picture* pic, int x, int y, int w, int h, int sx, int sy, int sw, int sh);
  void FillRect(int x, int y, int w, int h);
  void DrawRect(int x, int y, int w, int h);
  void FillOval(int x, int y, int w, int h);
  void DrawOval(int x, int y, int w, int h);
  void DrawLine(int x1, int y1, int x2, int y2);
  void ClearRect(int x, int y, int w, int h);  // back to white

  Impl& impl() { return *impl_; }

 private:
  std::unique_ptr<Impl> impl_;
  Color foreColor_{};
  std::string textFont_ = "System";
  int textSize_ = 0;
  bool bold_ = false;
  bool italic_ = false;
  int penWidth_ = 1;
};

class Picture {
 public:
  struct Impl;
  Picture(int width, int height);  // white and opaque
  ~Picture();
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  static Ref<Picture> FromRGBA(const codec::RGBAImage& image);
  // PNG through the platform, PICT and Photoshop through our decoders; none when refused.
  static Ref<Picture> FromFileBytes(std::string_view extension, std::string_view bytes);

  int Width() const;
  int Height() const;
  fw::Graphics& Graphics();

  // The mask: black opaque, white transparent, greys between. With create, a
  // missing mask is made, all black (the picture stays fully opaque).
  Picture* Mask(bool create);
  bool HasMask() const { return mask_ != nullptr; }

  Color Pixel(int x, int y) const;  // of the colour layer
  // 0 transparent .. 255 opaque: the colour layer's own alpha combined with the mask.
  int Opacity(int x, int y) const;

  Impl& impl() const { return *impl_; }
  std::uint64_t Version() const;  // changes with every drawing into the picture or its mask

 private:
  std::unique_ptr<Impl> impl_;
  std::unique_ptr<Picture> mask_;
  std::unique_ptr<fw::Graphics> graphics_;
};

}  // namespace fw
