// The sprite surface: a control on which sprites move, one frame per tick of the
// one clock, with the overlapping pairs of each frame reported to the owner.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "Picture.h"
#include "Ref.h"
#include "Values.h"
#include "Window.h"

namespace fw {

class SpriteSurface;

// A picture at a whole-pixel position on a surface. The game subclasses it; a
// sprite is made first and then attached. Its fields stay valid after Close.
class Sprite {
 public:
  Sprite() = default;
  virtual ~Sprite() = default;
  Sprite(const Sprite&) = delete;
  Sprite& operator=(const Sprite&) = delete;

  int X() const { return x_; }
  void SetX(int x) { x_ = x; }
  int Y() const { return y_; }
  void SetY(int y) { y_ = y; }
  // None: the sprite is not drawn and never collides.
  const Ref<Picture>& Image() const { return image_; }
  void SetImage(Ref<Picture> pic) { image_ = std::move(pic); }
  int Group() const { return group_; }
  void SetGroup(int g) { group_ = g; }

  // Takes the sprite off its surface; a second Close does nothing.
  void Close();
  bool IsClosed() const { return closed_; }
  bool IsAttached() const { return surface_ != nullptr; }
  // 1, 2, 3 ... in the order the process made its sprites; names a sprite in traces.
  std::uint64_t Serial() const { return serial_; }

 private:
  friend class SpriteSurface;
  static std::uint64_t NextSerial();
  std::uint64_t serial_ = NextSerial();
  SpriteSurface* surface_ = nullptr;
  std::uint64_t attachOrder_ = 0;
  bool closed_ = false;
  int x_ = 0, y_ = 0;
  int group_ = 0;
  Ref<Picture> image_;
};

class SpriteSurface : public Control {
 public:
  struct Impl;
  SpriteSurface(Window* owner, std::string_view name, int left, int top, int width, int height);
  ~SpriteSurface() override;

  // A plain sprite, already attached.
  Ref<Sprite> NewSprite(Ref<Picture> pic, int x, int y);
  // The surface keeps the sprite alive until it is closed. Attaching a closed
  // sprite, or one already attached, does nothing.
  void Attach(const Ref<Sprite>& sprite);

  // Frames start at the next tick, one per tick, until Stop. Returns at once.
  void Run();
  // No further pair of the current frame is delivered, and no further frame comes.
  void Stop();
  bool IsRunning() const;

  // The colour under the sprites; white until set.
  Color BackColor() const;
  void SetBackColor(Color c);

  // Attached and not closed, in attach order.
  std::vector<Ref<Sprite>> Sprites() const;

  // The owner's handlers: NextFrame first, then Collision once per overlapping
  // pair, the earlier-attached sprite first.
  std::function<void()> NextFrame;
  std::function<void(Sprite& first, Sprite& second)> Collision;

  Impl& surfaceImpl() const { return *simpl_; }

 protected:
  // Refresh paints the field now; otherwise it is painted once at the end of
  // every frame. The whole field is always painted, erased or not.
  void Redraw(bool eraseBackground) override;

 private:
  friend class Sprite;
  void Detach(Sprite& s);
  std::unique_ptr<Impl> simpl_;
};

namespace surface_hooks {
// Runs one frame of a running surface at once, as the pump would; for benchmarks.
void RunFrame(SpriteSurface& s);
// How many sprites the process has made so far (the last Serial given).
std::uint64_t SpritesMade();
}  // namespace surface_hooks

}  // namespace fw
