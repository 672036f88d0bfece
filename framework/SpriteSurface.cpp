#include "SpriteSurface.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>

#include <algorithm>
#include <unordered_map>
#include <optional>
#include <utility>

#include "Application.h"
#include "Clock.h"
#include "Timer.h"
#include "internal/Pump.h"
#include "internal/QtBridge.h"
#include "internal/WindowControls.h"

namespace fw {

namespace {

constexpr int kOpaqueFrom = 128;           // opacity (0..255) from which a pixel collides
constexpr QRgb kKeyColour = 0xFFFFFF;      // white: the sprite pictures' transparent colour
constexpr std::size_t kPruneFrom = 64;     // cached pictures before released ones are swept out
constexpr int kBitsPerWord = 64;

// What the surface keeps of one picture: its opaque pixels as bits, one row of
// words per pixel row with a spare word at the end (so a 64-bit window at any
// offset can be read without a bounds test), and the image it draws.
struct PictureShape {
  std::weak_ptr<Picture> pic;
  std::uint64_t version = 0;
  int width = 0, height = 0;
  int wordsPerRow = 0;
  std::vector<std::uint64_t> bits;
  QImage drawn;  // premultiplied, white keyed out

  const std::uint64_t* Row(int y) const { return bits.data() + static_cast<std::size_t>(y) * wordsPerRow; }

  // Bits offset..offset+63 of a row, bit 0 the leftmost pixel.
  static std::uint64_t Window64(const std::uint64_t* row, int offset) {
    int word = offset / kBitsPerWord, shift = offset % kBitsPerWord;
    std::uint64_t v = row[word] >> shift;
    if (shift) v |= row[word + 1] << (kBitsPerWord - shift);
    return v;
  }

  void Build(const std::shared_ptr<Picture>& p) {
    pic = p;
    version = p->Version();
    QImage img = Composed(*p);
    if (img.format() != QImage::Format_ARGB32) img = img.convertToFormat(QImage::Format_ARGB32);
    width = img.width();
    height = img.height();
    wordsPerRow = (width + kBitsPerWord - 1) / kBitsPerWord + 1;
    bits.assign(static_cast<std::size_t>(wordsPerRow) * height, 0);
    for (int y = 0; y < height; ++y) {
      auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
      std::uint64_t* row = bits.data() + static_cast<std::size_t>(y) * wordsPerRow;
      for (int x = 0; x < width; ++x) {
        if ((line[x] & 0xFFFFFF) == kKeyColour) {
          line[x] = 0;
          continue;
        }
        if (qAlpha(line[x]) >= kOpaqueFrom) row[x / kBitsPerWord] |= std::uint64_t{1} << (x % kBitsPerWord);
      }
    }
    drawn = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  }

  bool IsFor(const std::shared_ptr<Picture>& p) const {
    return !pic.owner_before(p) && !p.owner_before(pic) && version == p->Version();
  }
};

// A sprite as the frame sees it: its box clipped to the surface, in surface pixels.
struct Placed {
  std::size_t index = 0;  // in attach order
  int x = 0, y = 0;       // the picture's top-left corner
  int left = 0, top = 0, right = 0, bottom = 0;
  const PictureShape* shape = nullptr;
};

// Whether an opaque pixel of a lies on one of b, within both clipped boxes.
bool Touch(const Placed& a, const Placed& b) {
  int x0 = std::max(a.left, b.left), x1 = std::min(a.right, b.right);
  int y0 = std::max(a.top, b.top), y1 = std::min(a.bottom, b.bottom);
  if (x0 >= x1 || y0 >= y1) return false;
  for (int y = y0; y < y1; ++y) {
    const std::uint64_t* ra = a.shape->Row(y - a.y);
    const std::uint64_t* rb = b.shape->Row(y - b.y);
    for (int x = x0; x < x1; x += kBitsPerWord) {
      int n = std::min(kBitsPerWord, x1 - x);
      std::uint64_t keep = n == kBitsPerWord ? ~std::uint64_t{0} : (std::uint64_t{1} << n) - 1;
      if (PictureShape::Window64(ra, x - a.x) & PictureShape::Window64(rb, x - b.x) & keep) return true;
    }
  }
  return false;
}

}  // namespace

// The field's widget only shows the stored picture, so a stopped field stays as
// its last frame left it.
class FieldWidget : public QWidget {
 public:
  FieldWidget(const QImage& stored, QWidget* parent) : QWidget(parent), stored_(stored) {
    setAttribute(Qt::WA_OpaquePaintEvent);
  }

 protected:
  void paintEvent(QPaintEvent* e) override {
    QPainter p(this);
    p.drawImage(e->rect(), stored_, e->rect());
  }

 private:
  const QImage& stored_;
};

struct SpriteSurface::Impl : Scheduled {
  explicit Impl(SpriteSurface& s) : owner(s) {}

  SpriteSurface& owner;
  QPointer<FieldWidget> widget;
  QImage stored;
  Color backColor{255, 255, 255};

  // Attached and not closed, in attach order (so sorted by attachOrder_).
  std::vector<std::shared_ptr<Sprite>> sprites;
  // Closed during the frame in progress, kept until its handlers have all returned.
  std::vector<std::shared_ptr<Sprite>> released;
  std::uint64_t nextOrder = 1;

  std::unordered_map<const Picture*, PictureShape> shapes;
  std::size_t pruneAt = kPruneFrom;

  bool running = false;
  bool inFrame = false;
  bool stoppedThisFrame = false;
  std::int64_t nextTick = 0;
  // Lets a frame notice that a handler destroyed the surface under it.
  std::shared_ptr<char> life = std::make_shared<char>();

  std::int64_t DueUs() const override { return running && !inFrame ? TickStartUs(nextTick) : -1; }
  bool FirstInItsTick() const override { return true; }
  void Fire() override {
    if (running && !inFrame) Frame();
  }

  const PictureShape& ShapeOf(const std::shared_ptr<Picture>& pic) {
    PictureShape& shape = shapes[pic.get()];
    if (!shape.IsFor(pic)) shape.Build(pic);
    return shape;
  }

  void PruneShapes() {
    if (shapes.size() < pruneAt) return;
    std::erase_if(shapes, [](const auto& kv) { return kv.second.pic.expired(); });
    pruneAt = std::max(kPruneFrom, shapes.size() * 2);
  }

  // The sprite's box on the surface, or none when it has no picture or lies wholly outside.
  std::optional<Placed> Place(std::size_t index, int fieldW, int fieldH) {
    const Sprite& s = *sprites[index];
    const std::shared_ptr<Picture>& pic = s.Image().shared();
    if (!pic) return std::nullopt;
    std::int64_t x = s.X(), y = s.Y();
    std::int64_t left = std::max<std::int64_t>(x, 0), top = std::max<std::int64_t>(y, 0);
    std::int64_t right = std::min<std::int64_t>(x + pic->Width(), fieldW);
    std::int64_t bottom = std::min<std::int64_t>(y + pic->Height(), fieldH);
    if (left >= right || top >= bottom) return std::nullopt;
    Placed p;
    p.index = index;
    p.x = s.X();
    p.y = s.Y();
    p.left = static_cast<int>(left);
    p.top = static_cast<int>(top);
    p.right = static_cast<int>(right);
    p.bottom = static_cast<int>(bottom);
    p.shape = &ShapeOf(pic);
    return p;
  }

  using Pair = std::pair<std::shared_ptr<Sprite>, std::shared_ptr<Sprite>>;

  // Every overlapping pair, the earlier-attached sprite first, sorted by attach order.
  std::vector<Pair> FindPairs() {
    int w = owner.Width(), h = owner.Height();
    std::vector<Placed> placed;
    placed.reserve(sprites.size());
    for (std::size_t i = 0; i < sprites.size(); ++i)
      if (auto p = Place(i, w, h)) placed.push_back(*p);
    // Sweep along x: only boxes that start before a box ends can meet it.
    std::sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) { return a.left < b.left; });
    std::vector<std::pair<std::size_t, std::size_t>> found;
    for (std::size_t i = 0; i < placed.size(); ++i) {
      const Placed& a = placed[i];
      for (std::size_t j = i + 1; j < placed.size() && placed[j].left < a.right; ++j) {
        const Placed& b = placed[j];
        if (b.top >= a.bottom || a.top >= b.bottom || !Touch(a, b)) continue;
        found.emplace_back(std::min(a.index, b.index), std::max(a.index, b.index));
      }
    }
    std::sort(found.begin(), found.end());
    std::vector<Pair> pairs;
    pairs.reserve(found.size());
    for (auto [i, j] : found) pairs.emplace_back(sprites[i], sprites[j]);
    return pairs;
  }

  void Paint() {
    int w = owner.Width(), h = owner.Height();
    if (stored.width() != w || stored.height() != h)
      stored = QImage(std::max(w, 1), std::max(h, 1), QImage::Format_ARGB32_Premultiplied);
    stored.fill(ToQ(backColor));
    QPainter p(&stored);
    for (std::size_t i = 0; i < sprites.size(); ++i)
      if (auto placed = Place(i, w, h)) p.drawImage(QPoint(placed->x, placed->y), placed->shape->drawn);
    p.end();
    if (widget) widget->update();
  }

  void Frame() {
    std::weak_ptr<char> alive = life;
    inFrame = true;
    stoppedThisFrame = false;
    PruneShapes();

    // The handlers are called through copies: a modal window shown from one may
    // let its window, and this surface with it, be destroyed before it returns.
    if (auto nextFrame = owner.NextFrame) Guard([&] { nextFrame(); });
    if (alive.expired()) return;

    if (!stoppedThisFrame) {
      std::vector<Pair> pairs = FindPairs();
      for (const auto& [first, second] : pairs) {
        if (stoppedThisFrame) break;
        if (first->IsClosed() || second->IsClosed()) continue;
        if (auto collision = owner.Collision) Guard([&collision, &a = *first, &b = *second] { collision(a, b); });
        if (alive.expired()) return;
      }
    }

    Paint();
    inFrame = false;
    released.clear();
    // A late frame, or one held up by a modal window inside it, is not caught up:
    // the next one comes at the next tick after now.
    nextTick = Ticks() + 1;
    pump::Changed();
  }
};

namespace {
std::uint64_t gSpritesMade = 0;  // sprites are made on the event loop only
}

std::uint64_t Sprite::NextSerial() { return ++gSpritesMade; }

void Sprite::Close() {
  if (closed_) return;
  closed_ = true;
  if (surface_) surface_->Detach(*this);
}

SpriteSurface::SpriteSurface(Window* owner, std::string_view name, int left, int top, int width, int height)
    : Control(owner, name, left, top, width, height), simpl_(std::make_unique<Impl>(*this)) {
  auto* widget = new FieldWidget(simpl_->stored, ContentWidget(*owner));
  simpl_->widget = widget;
  impl_->widget = widget;
  widget->setGeometry(left, top, width, height);
  widget->show();
  simpl_->Paint();
}

SpriteSurface::~SpriteSurface() {
  // The widget shows the stored picture, which goes with simpl_.
  delete simpl_->widget.data();
  for (auto& s : simpl_->sprites) s->surface_ = nullptr;
}

Ref<Sprite> SpriteSurface::NewSprite(Ref<Picture> pic, int x, int y) {
  auto sprite = New<Sprite>();
  sprite->SetImage(std::move(pic));
  sprite->SetX(x);
  sprite->SetY(y);
  Attach(sprite);
  return sprite;
}

void SpriteSurface::Attach(const Ref<Sprite>& sprite) {
  Sprite& s = *sprite;
  if (s.closed_ || s.surface_) return;
  s.surface_ = this;
  s.attachOrder_ = simpl_->nextOrder++;
  simpl_->sprites.push_back(sprite.shared());
}

void SpriteSurface::Detach(Sprite& s) {
  auto& list = simpl_->sprites;
  auto it = std::lower_bound(list.begin(), list.end(), s.attachOrder_,
                             [](const std::shared_ptr<Sprite>& a, std::uint64_t order) { return a->attachOrder_ < order; });
  s.surface_ = nullptr;
  if (it == list.end() || it->get() != &s) return;
  std::shared_ptr<Sprite> held = std::move(*it);
  list.erase(it);
  if (simpl_->inFrame) simpl_->released.push_back(std::move(held));
}

void SpriteSurface::Run() {
  if (simpl_->running) return;
  simpl_->running = true;
  simpl_->nextTick = Ticks() + 1;
  pump::Changed();
}

void SpriteSurface::Stop() {
  simpl_->running = false;
  if (simpl_->inFrame) simpl_->stoppedThisFrame = true;
  pump::Changed();
}

bool SpriteSurface::IsRunning() const { return simpl_->running; }

Color SpriteSurface::BackColor() const { return simpl_->backColor; }

void SpriteSurface::SetBackColor(Color c) {
  simpl_->backColor = c;
  simpl_->Paint();
}

void SpriteSurface::Redraw(bool) { simpl_->Paint(); }

std::vector<Ref<Sprite>> SpriteSurface::Sprites() const {
  return std::vector<Ref<Sprite>>(simpl_->sprites.begin(), simpl_->sprites.end());
}

namespace surface_hooks {
void RunFrame(SpriteSurface& s) { s.surfaceImpl().Fire(); }
std::uint64_t SpritesMade() { return gSpritesMade; }
}  // namespace surface_hooks

}  // namespace fw
