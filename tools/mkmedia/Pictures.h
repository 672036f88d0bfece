// The game's pictures, drawn from code so that they can be rebuilt and checked.
#pragma once

#include <string>
#include <vector>

#include "Raster.h"

namespace mkmedia {
constexpr Rgba kPlayfield{14, 18, 40};  // the play field's dark tone that sprites are drawn for
}

namespace mkmedia {

enum class Format { kPICT, kPNG, kPSD };

struct Picture {
  std::string name;  // the file name the game loads it by
  Format format = Format::kPICT;
  Canvas image;         // opaque
  bool sprite = false;  // pure white is its transparent background
};

// Every picture the game ships, in a fixed order.
std::vector<Picture> DrawPictures();

}  // namespace mkmedia
