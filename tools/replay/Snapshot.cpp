#include "tools/replay/Snapshot.h"

#include <fstream>

#include "Encoders.h"
#include "Raster.h"
#include "framework/Picture.h"

namespace replay {

std::vector<std::uint8_t> EncodeSnapshot(const fw::Picture& pic) {
  mkmedia::Canvas img(pic.Width(), pic.Height());
  for (int y = 0; y < pic.Height(); ++y)
    for (int x = 0; x < pic.Width(); ++x) {
      fw::Color c = pic.Pixel(x, y);
      img.Set(x, y, {static_cast<double>(c.r), static_cast<double>(c.g), static_cast<double>(c.b), 255});
    }
  return mkmedia::EncodePNG(img);
}

bool WriteSnapshot(const fw::Picture& pic, const std::filesystem::path& file) {
  std::vector<std::uint8_t> bytes = EncodeSnapshot(pic);
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  if (!out) return false;
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  return static_cast<bool>(out);
}

}  // namespace replay
