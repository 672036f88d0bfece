#include "FolderItem.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "Picture.h"
#include "Sound.h"

namespace fw {

namespace {

QString ToQPath(const std::filesystem::path& p) { return QString::fromStdString(p.string()); }

constexpr qint64 kMaxReadBytes = 64 * 1024 * 1024;  // nothing the game reads comes near this

std::optional<QByteArray> ReadAll(const std::filesystem::path& p) {
  QFile f(ToQPath(p));
  if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
  if (f.size() > kMaxReadBytes) return std::nullopt;
  return f.readAll();
}

}  // namespace

std::optional<FolderItem> FolderItem::Child(std::string_view name) const {
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos ||
      name.find('\0') != std::string_view::npos)
    return std::nullopt;
  return FolderItem(path_ / std::string(name));
}

bool FolderItem::Exists() const {
  std::error_code ec;
  return std::filesystem::exists(path_, ec);
}

bool FolderItem::Delete() const {
  std::error_code ec;
  return std::filesystem::remove(path_, ec) && !ec;
}

Ref<Picture> FolderItem::OpenAsPicture() const {
  auto bytes = ReadAll(path_);
  if (!bytes) return nullptr;
  std::string ext = path_.extension().string();
  if (!ext.empty()) ext.erase(0, 1);
  return Picture::FromFileBytes(ext, std::string_view(bytes->constData(), static_cast<std::size_t>(bytes->size())));
}

Ref<Sound> FolderItem::OpenAsSound() const {
  auto bytes = ReadAll(path_);
  if (!bytes) return nullptr;
  return Sound::FromWAVE(
      std::span(reinterpret_cast<const std::uint8_t*>(bytes->constData()), static_cast<std::size_t>(bytes->size())));
}

namespace SpecialFolder {
FolderItem Preferences() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg == '/') return FolderItem(xdg);
  const char* home = std::getenv("HOME");
  return FolderItem(std::filesystem::path(home && *home ? home : "/tmp") / ".config");
}
}  // namespace SpecialFolder

struct BinaryStream::Impl {
  QByteArray data;  // read streams: the whole file; written streams: what Close writes
  qsizetype pos = 0;
  std::unique_ptr<QSaveFile> out;

  void put(const char* p, qsizetype n) {
    if (out) data.append(p, n);
  }
  bool has(qsizetype n) const { return pos + n <= data.size(); }
};

BinaryStream::BinaryStream(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

BinaryStream::~BinaryStream() {
  if (impl_->out) impl_->out->cancelWriting();  // never closed: the old file stays as it was
}

std::unique_ptr<BinaryStream> FolderItem::CreateBinaryFile(std::string_view) const {
  auto impl = std::make_unique<BinaryStream::Impl>();
  QDir().mkpath(ToQPath(path_.parent_path()));
  impl->out = std::make_unique<QSaveFile>(ToQPath(path_));
  // Unbuffered, so that a short write shows in write()'s result rather than
  // being lost in a flush.
  if (!impl->out->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
    std::fprintf(stderr, "zembo: cannot write %s: %s\n", path_.c_str(),
                 impl->out->errorString().toLocal8Bit().constData());
    return nullptr;
  }
  return std::make_unique<BinaryStream>(std::move(impl));
}

std::unique_ptr<BinaryStream> FolderItem::OpenAsBinaryFile() const {
  auto bytes = ReadAll(path_);
  if (!bytes) return nullptr;
  auto impl = std::make_unique<BinaryStream::Impl>();
  impl->data = std::move(*bytes);
  return std::make_unique<BinaryStream>(std::move(impl));
}

bool BinaryStream::AtEOF() const { return impl_->pos >= impl_->data.size(); }

std::optional<std::string> BinaryStream::ReadPString() {
  if (!impl_->has(1)) return std::nullopt;
  auto len = static_cast<unsigned char>(impl_->data[impl_->pos]);
  if (!impl_->has(1 + len)) {
    impl_->pos = impl_->data.size();
    return std::nullopt;
  }
  std::string s(impl_->data.constData() + impl_->pos + 1, len);
  impl_->pos += 1 + len;
  return s;
}

std::optional<std::int16_t> BinaryStream::ReadShort() {
  if (!impl_->has(2)) {
    impl_->pos = impl_->data.size();
    return std::nullopt;
  }
  auto hi = static_cast<unsigned char>(impl_->data[impl_->pos]);
  auto lo = static_cast<unsigned char>(impl_->data[impl_->pos + 1]);
  impl_->pos += 2;
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(hi << 8 | lo));
}

std::optional<bool> BinaryStream::ReadBoolean() {
  if (!impl_->has(1)) return std::nullopt;
  return impl_->data[impl_->pos++] != 0;
}

void BinaryStream::WritePString(std::string_view s) {
  if (s.size() > 255) s = s.substr(0, 255);
  char len = static_cast<char>(static_cast<unsigned char>(s.size()));
  impl_->put(&len, 1);
  impl_->put(s.data(), static_cast<qsizetype>(s.size()));
}

void BinaryStream::WriteShort(int v) {
  const char b[2] = {static_cast<char>((v >> 8) & 0xFF), static_cast<char>(v & 0xFF)};
  impl_->put(b, 2);
}

void BinaryStream::WriteBoolean(bool v) {
  char b = v ? 1 : 0;
  impl_->put(&b, 1);
}

bool BinaryStream::Close() {
  if (!impl_->out) return true;
  auto out = std::move(impl_->out);
  if (out->write(impl_->data) != impl_->data.size()) {
    std::fprintf(stderr, "zembo: writing %s failed: %s\n", out->fileName().toLocal8Bit().constData(),
                 out->errorString().toLocal8Bit().constData());
    out->cancelWriting();
    return false;
  }
  if (!out->commit()) {
    std::fprintf(stderr, "zembo: saving %s failed: %s\n", out->fileName().toLocal8Bit().constData(),
                 out->errorString().toLocal8Bit().constData());
    return false;
  }
  return true;
}

}  // namespace fw
