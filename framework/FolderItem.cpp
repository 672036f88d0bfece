#include "FolderItem.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <random>
#include <string>

#include "Picture.h"
#include "Sound.h"
#include "internal/HeadlessState.h"

namespace fw {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxReadBytes = 64 * 1024 * 1024;  // nothing the game reads comes near this
constexpr std::size_t kReadChunk = 64 * 1024;            // bytes per read() call
// A temporary is ".<name>.tmp-" and six letters or digits: no name a player gives a copy of the file.
constexpr std::string_view kTempInfix = ".tmp-";
constexpr std::size_t kTempSuffixLength = 6;
constexpr int kTempNameTries = 100;
constexpr char kTempAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  // Closes now, so that a failure to close (a lost write) can be seen.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// Reads a regular file whole. Anything else is refused, before it is opened
// when it can be: reading a device may never end, and opening a FIFO waits for
// a writer. The open never waits either (the path may change in between), and
// the cap counts the bytes read, since a size from fstat can be wrong.
std::optional<std::string> ReadAll(const fs::path& p) {
  struct stat st {};
  if (::stat(p.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  Fd fd(::open(p.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  std::string data;
  data.reserve(std::min(static_cast<std::size_t>(std::max<off_t>(st.st_size, 0)), kMaxReadBytes) + 1);
  char chunk[kReadChunk];
  while (data.size() <= kMaxReadBytes) {
    const ssize_t n = ::read(fd.get(), chunk, std::min(sizeof chunk, kMaxReadBytes + 1 - data.size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) return data;
    data.append(chunk, static_cast<std::size_t>(n));
  }
  return std::nullopt;
}

std::string TempPrefix(const fs::path& target) { return "." + target.filename().string() + std::string(kTempInfix); }

bool IsTempName(const std::string& candidate, const std::string& prefix) {
  return candidate.size() == prefix.size() + kTempSuffixLength && candidate.starts_with(prefix) &&
         candidate.find_first_not_of(kTempAlphabet, prefix.size()) == std::string::npos;
}

// Where a write lands: the file a link leads to when that is a regular file
// (the player may keep the data elsewhere), else the name itself, so that a
// link to a device, to a folder or to nothing is replaced, never followed.
fs::path WriteTarget(const fs::path& p) {
  std::error_code ec;
  if (!fs::is_symlink(fs::symlink_status(p, ec)) || !fs::is_regular_file(fs::status(p, ec))) return p;
  fs::path real = fs::canonical(p, ec);
  return ec ? p : real;
}

void Complain(const char* what, const fs::path& p, int err) {
  std::fprintf(stderr, "zembo: %s %s: %s\n", what, p.c_str(), std::strerror(err));
}

}  // namespace

std::optional<FolderItem> FolderItem::Child(std::string_view name) const {
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string_view::npos ||
      name.find('\0') != std::string_view::npos)
    return std::nullopt;
  return FolderItem(path_ / std::string(name));
}

bool FolderItem::Exists() const {
  struct stat st {};
  return ::lstat(path_.c_str(), &st) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

bool FolderItem::Delete() const {
  std::error_code ec;
  return std::filesystem::remove(path_, ec) && !ec;
}

Ref<Picture> FolderItem::OpenAsPicture() const {
  std::optional<std::string> bytes;
  try {
    bytes = ReadAll(path_);
  } catch (const std::bad_alloc&) {
    return nullptr;  // a file that memory cannot hold is as unreadable as a damaged one
  }
  if (!bytes) return nullptr;
  std::string ext = path_.extension().string();
  if (!ext.empty()) ext.erase(0, 1);
  return Picture::FromFileBytes(ext, *bytes);
}

Ref<Sound> FolderItem::OpenAsSound() const {
  auto bytes = ReadAll(path_);
  if (!bytes) return nullptr;
  return Sound::FromWAVE(std::span(reinterpret_cast<const std::uint8_t*>(bytes->data()), bytes->size()));
}

namespace SpecialFolder {
std::optional<FolderItem> Preferences() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg == '/') return FolderItem(xdg);
  if (const char* home = std::getenv("HOME"); home && *home == '/') return FolderItem(fs::path(home) / ".config");
  // No home in the environment: the account's own, never a shared folder that another user could make first.
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::string buffer(size > 0 ? static_cast<std::size_t>(size) : 16384, '\0');
  passwd entry{};
  passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found || !found->pw_dir ||
      found->pw_dir[0] != '/')
    return std::nullopt;
  return FolderItem(fs::path(found->pw_dir) / ".config");
}
}  // namespace SpecialFolder

std::size_t FolderItem::RemoveStaleTemporaries(std::chrono::seconds minAge) const {
  const std::string prefix = TempPrefix(path_);
  const auto cutoff = fs::file_time_type::clock::now() - minAge;
  std::size_t removed = 0;
  std::error_code ec;
  for (fs::directory_iterator it(path_.parent_path(), ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code entryEc;
    if (!IsTempName(it->path().filename().string(), prefix) || !fs::is_regular_file(it->symlink_status(entryEc)))
      continue;
    const auto written = fs::last_write_time(it->path(), entryEc);
    if (!entryEc && written < cutoff && fs::remove(it->path(), entryEc)) ++removed;
  }
  return removed;
}

// A written stream goes to a temporary beside its target, made at once so that
// a file that cannot be made fails early, and renamed over the target at Close.
struct BinaryStream::Impl {
  std::string data;  // read streams: the whole file; written streams: what Close writes
  std::size_t pos = 0;
  fs::path target;    // written streams only
  fs::path temp;
  std::unique_ptr<Fd> out;

  void put(const char* p, std::size_t n) {
    if (out) data.append(p, n);
  }
  bool has(std::size_t n) const { return pos + n <= data.size(); }
  void Discard() {
    out.reset();
    std::error_code ec;
    fs::remove(temp, ec);
  }
  bool WriteAll() const {
    for (std::size_t done = 0; done < data.size();) {
      const ssize_t n = ::write(out->get(), data.data() + done, data.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        if (n == 0) errno = EIO;
        return false;
      }
      done += static_cast<std::size_t>(n);
    }
    return true;
  }
};

BinaryStream::BinaryStream(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}

BinaryStream::~BinaryStream() {
  if (impl_->out) impl_->Discard();  // never closed: the old file stays as it was
}

std::unique_ptr<BinaryStream> FolderItem::CreateBinaryFile(std::string_view) const {
  auto impl = std::make_unique<BinaryStream::Impl>();
  impl->target = WriteTarget(path_);
  std::error_code ec;
  fs::create_directories(impl->target.parent_path(), ec);
  // A replaced file keeps its permissions; a new one gets the usual ones less the umask.
  struct stat old {};
  const bool replacing = ::stat(impl->target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  std::random_device seed;
  std::mt19937 pick(seed());
  std::uniform_int_distribution<std::size_t> letter(0, sizeof kTempAlphabet - 2);
  int err = EEXIST;
  for (int i = 0; i < kTempNameTries && err == EEXIST; ++i) {
    std::string suffix(kTempSuffixLength, ' ');
    for (char& c : suffix) c = kTempAlphabet[letter(pick)];
    impl->temp = impl->target.parent_path() / (TempPrefix(impl->target) + suffix);
    const int fd = ::open(impl->temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    err = fd < 0 ? errno : 0;
    if (fd >= 0) impl->out = std::make_unique<Fd>(fd);
  }
  if (!impl->out) {
    Complain("cannot write", path_, err);
    return nullptr;
  }
  if (replacing) (void)::fchmod(impl->out->get(), old.st_mode & 07777);  // else the default ones, no harm
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
  std::string s(impl_->data.data() + impl_->pos + 1, len);
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
  impl_->put(s.data(), s.size());
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
  Impl& w = *impl_;
  if (!w.WriteAll() || ::fsync(w.out->get()) != 0 || !w.out->Close()) {
    Complain("could not save", w.target, errno);
    w.Discard();
    return false;
  }
  w.out.reset();
  if (::rename(w.temp.c_str(), w.target.c_str()) != 0) {
    Complain("could not save", w.target, errno);
    w.Discard();
    return false;
  }
  ++headless_state::filesWritten;
  // The rename lives in the folder: flushed too, or a power cut may undo it.
  Fd folder(::open(w.target.parent_path().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (folder.get() >= 0 && ::fsync(folder.get()) != 0 && errno == EIO) {
    Complain("could not save", w.target, errno);
    return false;
  }
  return true;
}

}  // namespace fw
