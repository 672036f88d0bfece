// Every media file of the game as bytes, and writing them into a folder.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Encoders.h"

namespace mkmedia {

struct MediaFile {
  std::string name;
  Bytes bytes;
};

// The 22 pictures, then the 11 sounds.
std::vector<MediaFile> BuildMedia();

// Writes each file into dir (which must exist); the error text on failure.
std::optional<std::string> WriteMedia(const std::filesystem::path& dir, const std::vector<MediaFile>& files);

// PNG views of every picture for eyeballing, small ones enlarged by whole
// pixels so single pixels stay visible.
std::vector<MediaFile> BuildPreviews();

}  // namespace mkmedia
