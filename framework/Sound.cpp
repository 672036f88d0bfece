#include "Sound.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>

#include "AudioOut.h"
#include "Clock.h"

namespace fw {
namespace {

constexpr int kMinRate = 4000;                             // Hz
constexpr int kMaxRate = 192000;                           // Hz
constexpr std::uint64_t kMaxDataBytes = 256ull << 20;      // bytes of sample data
// Seconds. Every sound is played through once before the game starts, so a long
// one holds the player on the splash; the game's effects last well under one.
constexpr std::uint64_t kMaxSeconds = 10;
constexpr std::uint16_t kFormatPCM = 1;                    // WAVE_FORMAT_PCM
constexpr std::uint16_t kFormatExtensible = 0xFFFE;        // WAVE_FORMAT_EXTENSIBLE
constexpr std::size_t kFmtSize = 16;                       // bytes of the basic fmt body
constexpr std::size_t kFmtExtensibleSize = 40;             // bytes, with the subformat GUID
// KSDATAFORMAT_SUBTYPE_PCM as stored in the file.
constexpr std::array<std::uint8_t, 16> kSubtypePCM = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                                      0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
std::uint32_t U32(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
bool Is(std::span<const std::uint8_t> b, std::size_t at, const char (&tag)[5]) {
  return std::memcmp(b.data() + at, tag, 4) == 0;
}

struct Format {
  int channels = 0;
  int rate = 0;
  int bits = 0;
};

std::optional<Format> ParseFmt(std::span<const std::uint8_t> fmt) {
  if (fmt.size() < kFmtSize) return std::nullopt;
  const std::uint16_t tag = U16(fmt, 0);
  Format f{U16(fmt, 2), static_cast<int>(std::min<std::uint32_t>(U32(fmt, 4), kMaxRate + 1)), U16(fmt, 14)};
  if (tag == kFormatExtensible) {
    if (fmt.size() < kFmtExtensibleSize || U16(fmt, 16) < kFmtExtensibleSize - 18) return std::nullopt;
    if (!std::equal(kSubtypePCM.begin(), kSubtypePCM.end(), fmt.begin() + 24)) return std::nullopt;
    if (U16(fmt, 18) > f.bits) return std::nullopt;  // more valid bits than the container holds
  } else if (tag != kFormatPCM) {
    return std::nullopt;
  }
  if (f.channels < 1 || f.channels > 2 || (f.bits != 8 && f.bits != 16)) return std::nullopt;
  if (f.rate < kMinRate || f.rate > kMaxRate) return std::nullopt;
  if (U16(fmt, 12) != f.channels * f.bits / 8) return std::nullopt;  // block align
  return f;
}

struct Decoded {
  Format format;
  std::vector<std::int16_t> samples;
};

// Walks the RIFF chunks until both "fmt " and "data" are seen. A chunk whose body
// runs past the end of the file, data included, refuses the whole file: a clipped
// sound would play with a hole where its tail should be. Only the pad byte of the
// last chunk may be missing, as some writers leave it out.
std::optional<Decoded> ParseWAVE(std::span<const std::uint8_t> bytes) {
  if (bytes.size() < 12 || !Is(bytes, 0, "RIFF") || !Is(bytes, 8, "WAVE")) return std::nullopt;
  // Honour a RIFF size shorter than the file (trailing bytes are not ours); a longer
  // one only matters if a chunk actually runs off the end, caught below.
  const std::uint64_t end = std::min<std::uint64_t>(bytes.size(), 8ull + U32(bytes, 4));
  std::optional<Format> format;
  std::span<const std::uint8_t> data;
  bool haveData = false;
  std::uint64_t at = 12;
  while (!(format && haveData)) {
    if (at + 8 > end) return std::nullopt;
    const std::uint64_t size = U32(bytes, at + 4);
    const std::uint64_t body = at + 8;
    if (size > end - body) return std::nullopt;
    const auto chunk = bytes.subspan(body, size);
    if (Is(bytes, at, "fmt ") && !format) {
      format = ParseFmt(chunk);
      if (!format) return std::nullopt;
    } else if (Is(bytes, at, "data") && !haveData) {
      if (size > kMaxDataBytes) return std::nullopt;
      data = chunk;
      haveData = true;
    }
    at = body + size + (size & 1);
  }

  Decoded out{*format, {}};
  const std::size_t bytesPerSample = format->bits / 8;
  const std::size_t frameBytes = bytesPerSample * format->channels;
  if (data.size() / frameBytes > kMaxSeconds * static_cast<std::uint64_t>(format->rate)) return std::nullopt;
  const std::size_t count = data.size() / frameBytes * format->channels;  // a partial last frame is dropped
  out.samples.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    out.samples[i] = bytesPerSample == 1 ? static_cast<std::int16_t>((data[i] - 128) * 256)
                                         : static_cast<std::int16_t>(U16(data, 2 * i));
  }
  return out;
}

}  // namespace

std::shared_ptr<Sound> Sound::FromWAVE(std::span<const std::uint8_t> bytes) {
  std::optional<Decoded> decoded = ParseWAVE(bytes);
  if (!decoded) return nullptr;
  auto sound = std::make_shared<Sound>();
  sound->rate_ = decoded->format.rate;
  sound->channels_ = decoded->format.channels;
  sound->samples_ = std::move(decoded->samples);
  return sound;
}

Sound::~Sound() { audio::RemoveVoice(voiceId_); }

// A silent sound gives the mixer no voice: it keeps its time on the clock, and
// the output opens no stream and wakes no one for it.
void Sound::Play() {
  audio::RemoveVoice(voiceId_);
  voiceId_ = 0;
  startedAt_ = NowMs();
  if (volume_ > 0) voiceId_ = audio::AddVoice(samples_, channels_, rate_, volume_);
}

void Sound::Stop() {
  audio::RemoveVoice(voiceId_);
  voiceId_ = 0;
  startedAt_ = -1;
}

bool Sound::IsPlaying() const { return startedAt_ >= 0 && NowMs() - startedAt_ < DurationMs(); }

std::int64_t Sound::EndUs() const { return IsPlaying() ? (startedAt_ + DurationMs()) * kUsPerMs : -1; }

void Sound::SetVolume(int v) {
  volume_ = std::clamp(v, 0, 100);
  if (voiceId_ != 0) {
    audio::SetVoiceVolume(voiceId_, volume_);
  } else if (volume_ > 0 && IsPlaying()) {
    // Made audible while it plays: the rest of it is heard from here.
    const auto frames = static_cast<std::size_t>((NowMs() - startedAt_) * rate_ / 1000);
    const auto at = std::min(frames * static_cast<std::size_t>(channels_), samples_.size());
    voiceId_ = audio::AddVoice(std::span(samples_).subspan(at), channels_, rate_, volume_);
  }
}

std::int64_t Sound::DurationMs() const {
  if (rate_ <= 0 || channels_ <= 0) return 0;
  const auto frames = static_cast<std::int64_t>(samples_.size() / channels_);
  return (frames * 1000 + rate_ - 1) / rate_;
}

}  // namespace fw
