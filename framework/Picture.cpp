#include "Picture.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImageReader>

#include <algorithm>
#include <new>

#include "ImageCodecs.h"
#include "internal/QtBridge.h"

namespace fw {

namespace {

constexpr int kDefaultTextSize = 12;  // pixels, when a control asks for size 0

// A painter for one drawing call: the active one, or a fresh one on the image.
class CallPainter {
 public:
  explicit CallPainter(Graphics::Impl& g) : g_(g) {
    if (g.active) {
      p_ = g.active;
      p_->save();
    } else {
      own_.begin(g.image);
      p_ = &own_;
    }
    p_->setRenderHint(QPainter::Antialiasing, false);
  }
  ~CallPainter() {
    if (p_ == &own_)
      own_.end();
    else
      p_->restore();
    if (g_.changed) g_.changed();
  }
  QPainter* operator->() { return p_; }
  QPainter& operator*() { return *p_; }

 private:
  Graphics::Impl& g_;
  QPainter own_;
  QPainter* p_ = nullptr;
};

}  // namespace

QFont FontFor(const Graphics& g) {
  QFont f = QGuiApplication::font();
  if (g.TextFont() != "System" && !g.TextFont().empty()) f.setFamily(ToQ(g.TextFont()));
  f.setPixelSize(g.TextSize() > 0 ? g.TextSize() : kDefaultTextSize);
  f.setBold(g.Bold());
  f.setItalic(g.Italic());
  return f;
}

std::unique_ptr<Graphics> GraphicsOnPainter(QPainter& p, int w, int h) {
  auto impl = std::make_unique<Graphics::Impl>();
  impl->active = &p;
  impl->width = w;
  impl->height = h;
  return std::make_unique<Graphics>(std::move(impl));
}

Graphics::Graphics(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Graphics::~Graphics() = default;
int Graphics::Width() const { return impl_->width; }
int Graphics::Height() const { return impl_->height; }

namespace {
// Control characters have no glyph: a font would draw a box in their place. Format
// characters draw nothing but reorder or join what is around them (U+202E turns the
// rest of a line around), so text from a file could show other than it reads.
QString Printable(const QString& s) {
  QString out;
  out.reserve(s.size());
  for (char32_t c : s.toUcs4()) {
    auto kind = QChar::category(c);
    if ((kind != QChar::Other_Control && kind != QChar::Other_Format) || c == U'\n' || c == U'\t')
      out.append(QChar::fromUcs4(c));
  }
  return out;
}
}  // namespace

void Graphics::DrawString(std::string_view text, int x, int y, int wrapWidth) {
  if (text.empty()) return;
  CallPainter p(*impl_);
  p->setFont(FontFor(*this));
  p->setPen(ToQ(foreColor_));
  if (wrapWidth <= 0) {
    p->drawText(QPointF(x, y), Printable(ToQ(text)));
    return;
  }
  QFontMetricsF m(FontFor(*this));
  p->drawText(QRectF(x, y - m.ascent(), wrapWidth, 100000), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
              Printable(ToQ(text)));
}

void DrawTextIn(Graphics& g, const QString& text, const QRect& box, int flags) {
  if (text.isEmpty()) return;
  CallPainter p(g.impl());
  p->setFont(FontFor(g));
  p->setPen(ToQ(g.ForeColor()));
  p->drawText(box, flags, Printable(text));
}

double Graphics::StringWidth(std::string_view text) const {
  return QFontMetricsF(FontFor(*this)).horizontalAdvance(Printable(ToQ(text)));
}
int Graphics::TextAscent() const { return qRound(QFontMetricsF(FontFor(*this)).ascent()); }
int Graphics::TextHeight() const { return qRound(QFontMetricsF(FontFor(*this)).height()); }

void Graphics::DrawPicture(const Picture* pic, int x, int y) {
  if (!pic) return;
  DrawPicture(pic, x, y, pic->Width(), pic->Height(), 0, 0, pic->Width(), pic->Height());
}

void Graphics::DrawPicture(const Picture* pic, int x, int y, int w, int h, int sx, int sy, int sw, int sh) {
  if (!pic || w <= 0 || h <= 0) return;
  const QImage& src = Composed(*pic);
  CallPainter p(*impl_);
  p->setRenderHint(QPainter::SmoothPixmapTransform, w != sw || h != sh);
  p->drawImage(QRect(x, y, w, h), src, QRect(sx, sy, sw, sh));
}

void Graphics::FillRect(int x, int y, int w, int h) {
  CallPainter p(*impl_);
  p->fillRect(QRect(x, y, w, h), ToQ(foreColor_));
}

void Graphics::DrawRect(int x, int y, int w, int h) {
  CallPainter p(*impl_);
  p->setPen(QPen(ToQ(foreColor_), penWidth_));
  p->setBrush(Qt::NoBrush);
  p->drawRect(QRect(x, y, w - 1, h - 1));
}

void Graphics::FillOval(int x, int y, int w, int h) {
  CallPainter p(*impl_);
  p->setRenderHint(QPainter::Antialiasing, true);
  p->setPen(Qt::NoPen);
  p->setBrush(ToQ(foreColor_));
  p->drawEllipse(QRect(x, y, w, h));
}

void Graphics::DrawOval(int x, int y, int w, int h) {
  CallPainter p(*impl_);
  p->setRenderHint(QPainter::Antialiasing, true);
  p->setPen(QPen(ToQ(foreColor_), penWidth_));
  p->setBrush(Qt::NoBrush);
  p->drawEllipse(QRect(x, y, w - 1, h - 1));
}

void Graphics::DrawLine(int x1, int y1, int x2, int y2) {
  CallPainter p(*impl_);
  p->setPen(QPen(ToQ(foreColor_), penWidth_));
  p->drawLine(x1, y1, x2, y2);
}

void Graphics::ClearRect(int x, int y, int w, int h) {
  CallPainter p(*impl_);
  p->fillRect(QRect(x, y, w, h), Qt::white);
}

Picture::Picture(int width, int height) : impl_(std::make_unique<Impl>()) {
  impl_->image = QImage(std::max(width, 1), std::max(height, 1), QImage::Format_ARGB32);
  impl_->image.fill(Qt::white);
}

Picture::~Picture() = default;

Ref<Picture> Picture::FromRGBA(const codec::RGBAImage& rgba) {
  if (rgba.width <= 0 || rgba.height <= 0 ||
      rgba.pixels.size() != static_cast<std::size_t>(rgba.width) * static_cast<std::size_t>(rgba.height))
    return nullptr;
  auto pic = New<Picture>(rgba.width, rgba.height);
  QImage& img = pic->impl().image;
  if (img.isNull()) return nullptr;  // no memory for it
  for (int y = 0; y < rgba.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
    std::copy_n(rgba.pixels.data() + static_cast<std::size_t>(y) * rgba.width, rgba.width, line);
  }
  return pic;
}

namespace {

bool WithinCap(const QSize& size) {
  return size.width() <= codec::kMaxPictureSide && size.height() <= codec::kMaxPictureSide;
}

// A picture past the cap is refused from its header, before anything is decoded;
// an empty format lets the reader guess from the bytes.
QImage ReadWithinCap(QByteArray& data, const QByteArray& format) {
  QBuffer buffer(&data);
  QImageReader reader(&buffer, format);
  reader.setAutoDetectImageFormat(format.isEmpty());
  if (const QSize size = reader.size(); size.isValid() && !WithinCap(size)) return {};
  QImage img = reader.read();
  return WithinCap(img.size()) ? img : QImage();
}

Ref<Picture> Decode(std::string_view ext, std::string_view bytes) {
  auto span = std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  std::string e(ext);
  std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (e == "pct" || e == "pict") {
    auto img = codec::DecodePICT(span);
    return img ? Picture::FromRGBA(*img) : nullptr;
  }
  if (e == "psd") {
    auto img = codec::DecodePSD(span);
    return img ? Picture::FromRGBA(*img) : nullptr;
  }
  // Read as its extension says first: left to guess, the reader loads every
  // image plugin to ask each whether the bytes are its own.
  QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  QImage img = ReadWithinCap(data, QByteArray::fromStdString(e));
  if (img.isNull()) img = ReadWithinCap(data, {});
  if (img.isNull()) return nullptr;
  auto pic = New<Picture>(img.width(), img.height());
  pic->impl().image = img.convertToFormat(QImage::Format_ARGB32);
  if (pic->impl().image.isNull()) return nullptr;  // no memory for the copy
  return pic;
}

}  // namespace

Ref<Picture> Picture::FromFileBytes(std::string_view ext, std::string_view bytes) {
  // A picture that memory cannot hold is as unreadable as a damaged one.
  try {
    return Decode(ext, bytes);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

int Picture::Width() const { return impl_->image.width(); }
int Picture::Height() const { return impl_->image.height(); }

fw::Graphics& Picture::Graphics() {
  if (!graphics_) {
    auto g = std::make_unique<Graphics::Impl>();
    g->image = &impl_->image;
    g->width = Width();
    g->height = Height();
    g->changed = [impl = impl_.get()] { ++impl->version; };
    graphics_ = std::make_unique<fw::Graphics>(std::move(g));
  }
  return *graphics_;
}

Picture* Picture::Mask(bool create) {
  if (!mask_ && create) {
    mask_ = std::make_unique<Picture>(Width(), Height());
    mask_->impl().image.fill(Qt::black);
  }
  return mask_.get();
}

std::uint64_t Picture::Version() const { return impl_->version + (mask_ ? mask_->Version() * 0x9E3779B97F4A7C15ull : 0); }

Color Picture::Pixel(int x, int y) const {
  if (!impl_->image.valid(x, y)) return {};
  QRgb c = impl_->image.pixel(x, y);
  return {qRed(c), qGreen(c), qBlue(c)};
}

int Picture::Opacity(int x, int y) const {
  const QImage& img = Composed(*this);
  return img.valid(x, y) ? qAlpha(img.pixel(x, y)) : 0;
}

const QImage& Composed(const Picture& pic) {
  Picture::Impl& impl = pic.impl();
  Picture* mask = const_cast<Picture&>(pic).Mask(false);
  if (!mask) return impl.image;
  std::uint64_t v = pic.Version();
  if (impl.composedFor != v) {
    QImage out = impl.image.convertToFormat(QImage::Format_ARGB32);
    const QImage& m = mask->impl().image;
    for (int y = 0; y < out.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
      for (int x = 0; x < out.width(); ++x) {
        int grey = m.valid(x, y) ? qGray(m.pixel(x, y)) : 0;
        int alpha = qAlpha(line[x]) * (255 - grey) / 255;
        line[x] = qRgba(qRed(line[x]), qGreen(line[x]), qBlue(line[x]), alpha);
      }
    }
    impl.composed = std::move(out);
    impl.composedFor = v;
  }
  return impl.composed;
}

}  // namespace fw
