// Snapshots of the play window: a rendered picture written as a PNG file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

namespace fw {
class Picture;
}

namespace replay {

// The picture's colour layer as an opaque PNG.
std::vector<std::uint8_t> EncodeSnapshot(const fw::Picture& pic);
// False when the file cannot be written.
bool WriteSnapshot(const fw::Picture& pic, const std::filesystem::path& file);

}  // namespace replay
