// mkmedia <outdir> [--preview <dir>]: draws and synthesises every media file
// of the game into outdir; --preview also writes PNG views of the pictures.
#include <cstdio>
#include <filesystem>
#include <string_view>

#include "Media.h"

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::string_view(argv[2]) == "--preview")) {
    std::fprintf(stderr, "usage: mkmedia <outdir> [--preview <dir>]\n");
    return 2;
  }
  std::error_code ec;
  std::filesystem::create_directories(argv[1], ec);
  if (auto err = mkmedia::WriteMedia(argv[1], mkmedia::BuildMedia())) {
    std::fprintf(stderr, "mkmedia: %s\n", err->c_str());
    return 1;
  }
  if (argc == 4) {
    std::filesystem::create_directories(argv[3], ec);
    if (auto err = mkmedia::WriteMedia(argv[3], mkmedia::BuildPreviews())) {
      std::fprintf(stderr, "mkmedia: %s\n", err->c_str());
      return 1;
    }
  }
  return 0;
}
