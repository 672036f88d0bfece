// Files and folders, and the binary streams the data file is written with.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Ref.h"

namespace fw {

class Picture;
class Sound;
class BinaryStream;

class FolderItem {
 public:
  FolderItem() = default;
  explicit FolderItem(std::filesystem::path p) : path_(std::move(p)) {}

  const std::filesystem::path& Path() const { return path_; }
  // None for a name that cannot stand for one child ("", ".", "..", or one with a '/').
  std::optional<FolderItem> Child(std::string_view name) const;
  // True for anything of this name, even a link that leads nowhere, and when
  // that cannot be told (a folder on the way that cannot be searched).
  bool Exists() const;
  bool Delete() const;

  Ref<Picture> OpenAsPicture() const;
  Ref<Sound> OpenAsSound() const;
  // A new file that replaces this one only when its stream closes successfully;
  // missing parent folders are made. A link to a regular file is written
  // through; any other link is replaced. The file type is recorded for platforms that keep one.
  std::unique_ptr<BinaryStream> CreateBinaryFile(std::string_view fileType) const;
  // Reading only: the whole file is read into the stream at once. None when it
  // cannot be read or is no regular file (the pictures and sounds likewise).
  std::unique_ptr<BinaryStream> OpenAsBinaryFile() const;
  // Removes the temporaries that interrupted writes of this file left beside it
  // (regular files named ".<name>.tmp-" and six letters or digits) once they are
  // older than minAge: a younger one may belong to a write still going on.
  // Returns how many went.
  std::size_t RemoveStaleTemporaries(std::chrono::seconds minAge) const;

 private:
  std::filesystem::path path_;
};

namespace SpecialFolder {
// $XDG_CONFIG_HOME when it is absolute, else .config in $HOME or, without an
// absolute $HOME, in the account's home; none when there is no home at all.
// May not exist yet.
std::optional<FolderItem> Preferences();
}

// Big-endian 16-bit numbers, strings with one length byte, booleans as one byte
// (1 True, 0 False; any nonzero reads as True). Reads past the end return none.
class BinaryStream {
 public:
  struct Impl;
  explicit BinaryStream(std::unique_ptr<Impl> impl);
  ~BinaryStream();

  bool AtEOF() const;
  std::optional<std::string> ReadPString();
  std::optional<std::int16_t> ReadShort();
  std::optional<bool> ReadBoolean();

  // Strings longer than 255 bytes are cut to 255.
  void WritePString(std::string_view s);
  void WriteShort(int v);  // the low 16 bits
  void WriteBoolean(bool b);

  // For a written stream: commits it, true when every byte reached the file.
  bool Close();

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace fw
