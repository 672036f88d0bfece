#include "Media.h"

#include <algorithm>
#include <fstream>

#include "Pictures.h"
#include "Sounds.h"

namespace mkmedia {

std::vector<MediaFile> BuildMedia() {
  std::vector<MediaFile> files;
  for (const Picture& p : DrawPictures()) {
    switch (p.format) {
      case Format::kPICT:
        files.push_back({p.name, EncodePICT(p.image)});
        break;
      case Format::kPNG:
        files.push_back({p.name, EncodePNG(p.image)});
        break;
      case Format::kPSD:
        files.push_back({p.name, EncodePSD(p.image)});
        break;
    }
  }
  for (const SoundClip& s : SynthesiseSounds()) files.push_back({s.name, EncodeWAVE(s.samples)});
  return files;
}

std::optional<std::string> WriteMedia(const std::filesystem::path& dir, const std::vector<MediaFile>& files) {
  for (const MediaFile& f : files) {
    const auto path = dir / f.name;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(f.bytes.data()), static_cast<std::streamsize>(f.bytes.size()));
    if (!out) return "cannot write " + path.string();
  }
  return std::nullopt;
}

std::vector<MediaFile> BuildPreviews() {
  constexpr int kMinPreviewSide = 360;  // pixels: smaller pictures are enlarged to about this
  std::vector<MediaFile> previews;
  for (const Picture& p : DrawPictures()) {
    const int scale = std::max(1, kMinPreviewSide / std::max(p.image.Width(), p.image.Height()));
    Canvas big(p.image.Width() * scale, p.image.Height() * scale);
    for (int y = 0; y < big.Height(); ++y) {
      for (int x = 0; x < big.Width(); ++x) big.Set(x, y, p.image.At(x / scale, y / scale));
    }
    previews.push_back({p.name + ".png", EncodePNG(big)});
  }

  // Every sprite as the player sees it, white keyed out over the play field,
  // laid out left to right in rows.
  constexpr int kSheetScale = 6;
  constexpr int kSheetWidth = 640, kMargin = 8;  // pixels
  const auto pictures = DrawPictures();
  int tallest = 0;
  for (const Picture& p : pictures) {
    if (p.sprite) tallest = std::max(tallest, p.image.Height());
  }
  const int rowHeight = tallest * kSheetScale + kMargin;
  std::vector<std::pair<int, int>> at;
  int penX = kMargin, penY = kMargin;
  for (const Picture& p : pictures) {
    if (!p.sprite) continue;
    const int w = p.image.Width() * kSheetScale;
    if (penX + w > kSheetWidth) penX = kMargin, penY += rowHeight;
    at.push_back({penX, penY});
    penX += w + kMargin;
  }
  Canvas sheet(kSheetWidth, penY + rowHeight, kPlayfield);
  std::size_t slot = 0;
  for (const Picture& p : pictures) {
    if (!p.sprite) continue;
    const auto [ox, oy] = at[slot++];
    for (int y = 0; y < p.image.Height() * kSheetScale; ++y) {
      for (int x = 0; x < p.image.Width() * kSheetScale; ++x) {
        const Rgba c = p.image.At(x / kSheetScale, y / kSheetScale);
        if (c.r < 255 || c.g < 255 || c.b < 255) sheet.Set(ox + x, oy + y, c);
      }
    }
  }
  previews.push_back({"sprites-on-field.png", EncodePNG(sheet)});
  return previews;
}

}  // namespace mkmedia
