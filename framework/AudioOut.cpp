#include "AudioOut.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <mutex>
#include <optional>
#include <string_view>

#include "Clock.h"

namespace fw::audio {

// ---- Mixer ------------------------------------------------------------------

std::uint64_t Mixer::Add(std::span<const std::int16_t> samples, int channels, int rate, int volume) {
  if (channels < 1 || rate <= 0 || samples.size() < static_cast<std::size_t>(channels)) return 0;
  Voice v;
  v.id = nextId_++;
  v.samples = samples.first(samples.size() - samples.size() % channels);
  v.channels = channels;
  v.rate = rate;
  v.volume = std::clamp(volume, 0, 100);
  voices_.push_back(v);
  return v.id;
}

void Mixer::Remove(std::uint64_t id) {
  std::erase_if(voices_, [id](const Voice& v) { return v.id == id; });
}

void Mixer::SetVolume(std::uint64_t id, int volume) {
  for (Voice& v : voices_) {
    if (v.id == id) v.volume = std::clamp(volume, 0, 100);
  }
}

namespace {

// The voice's sample for output channel c: mono feeds every channel, stereo
// folds to mono by averaging, otherwise channels map one to one.
std::int32_t SampleFor(std::span<const std::int16_t> samples, int channels, std::size_t frame, int c,
                       int outChannels) {
  const std::int16_t* f = samples.data() + frame * channels;
  if (outChannels == 1 && channels >= 2) return (f[0] + f[1]) / 2;
  return f[std::min(c, channels - 1)];
}

}  // namespace

void Mixer::Render(std::span<std::int16_t> out, int outChannels, int outRate) {
  if (outChannels < 1 || outRate <= 0) {
    std::fill(out.begin(), out.end(), std::int16_t{0});
    return;
  }
  const std::size_t outFrames = out.size() / outChannels;
  sum_.assign(out.size(), 0);
  for (Voice& v : voices_) {
    const std::size_t frames = v.samples.size() / v.channels;
    const std::uint64_t end = static_cast<std::uint64_t>(frames) << 32;
    const std::uint64_t step = (static_cast<std::uint64_t>(v.rate) << 32) / outRate;
    for (std::size_t f = 0; f < outFrames && v.pos < end; ++f, v.pos += step) {
      const std::size_t i = v.pos >> 32;
      const std::int64_t frac = static_cast<std::uint32_t>(v.pos);
      const std::size_t next = i + 1 < frames ? i + 1 : i;
      for (int c = 0; c < outChannels; ++c) {
        std::int32_t s = SampleFor(v.samples, v.channels, i, c, outChannels);
        if (frac != 0) {
          const std::int32_t b = SampleFor(v.samples, v.channels, next, c, outChannels);
          s += static_cast<std::int32_t>(((b - s) * frac) >> 32);
        }
        sum_[f * outChannels + c] += s * v.volume / 100;
      }
    }
  }
  std::erase_if(voices_, [](const Voice& v) {
    return v.pos >= (static_cast<std::uint64_t>(v.samples.size() / v.channels) << 32);
  });
  for (std::size_t k = 0; k < out.size(); ++k) {
    out[k] = static_cast<std::int16_t>(std::clamp<std::int32_t>(sum_[k], std::numeric_limits<std::int16_t>::min(),
                                                                std::numeric_limits<std::int16_t>::max()));
  }
}

// ---- Output -----------------------------------------------------------------

namespace {

constexpr qint64 kBufferUs = 50'000;            // µs of sound queued at the device
constexpr int kFeedIntervalMs = 10;             // ms between refills, well inside the buffer
constexpr int kMinDeviceRate = 8000;            // Hz
constexpr int kMaxDeviceRate = 192000;          // Hz

struct Output {
  std::mutex mutex;
  Mixer mixer;
  bool running = false;
};

// Never destroyed: a Sound held in a static may stop itself after main returns.
Output& Out() {
  static Output* out = new Output;
  return *out;
}

// Keeps the sink's buffer full with the mix. Push mode, not pull: Qt 6.4's
// PulseAudio sink pulls only whole 20 ms periods while that much is free, so with
// a buffer this small it can stall before reaching the server's prebuffer and
// never start. Writing all that is free always fills past it.
class Feeder : public QObject {
 public:
  Feeder(QAudioSink* sink, QIODevice* device, int channels, int rate)
      : QObject(sink), sink_(sink), device_(device), channels_(channels), rate_(rate) {
    timer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { Feed(); });
    timer_.start(kFeedIntervalMs);
    Feed();
  }

 private:
  void Feed() {
    const qint64 frameBytes = static_cast<qint64>(sizeof(std::int16_t)) * channels_;
    const qint64 frames = sink_->bytesFree() / frameBytes;
    if (frames <= 0) return;
    buffer_.resize(static_cast<std::size_t>(frames * channels_));
    {
      std::lock_guard lock(Out().mutex);
      Out().mixer.Render(buffer_, channels_, rate_);
    }
    device_->write(reinterpret_cast<const char*>(buffer_.data()), frames * frameBytes);
  }

  QAudioSink* sink_;
  QIODevice* device_;  // owned by the sink
  int channels_ = 2;
  int rate_ = 44100;
  QTimer timer_;
  std::vector<std::int16_t> buffer_;
};

QAudioSink* gSink = nullptr;  // owns the feeder; lives on the main thread

std::optional<QAudioFormat> ChooseFormat(const QAudioDevice& device) {
  const QAudioFormat preferred = device.preferredFormat();
  const int rate = preferred.sampleRate() >= kMinDeviceRate && preferred.sampleRate() <= kMaxDeviceRate
                       ? preferred.sampleRate()
                       : 44100;
  const int channels = std::clamp(preferred.channelCount(), 1, 2);
  const std::pair<int, int> candidates[] = {{rate, channels}, {44100, 2}, {22050, 2}, {44100, 1}, {22050, 1}};
  for (const auto& [r, c] : candidates) {
    QAudioFormat f;
    f.setSampleRate(r);
    f.setChannelCount(c);
    f.setSampleFormat(QAudioFormat::Int16);
    if (device.isFormatSupported(f)) return f;
  }
  return std::nullopt;
}

bool SilenceRequested() {
  const char* env = std::getenv("ZEMBO_SILENT_AUDIO");
  return env != nullptr && std::string_view(env) == "1";
}

}  // namespace

void Start() {
  if (gSink != nullptr || clock_hooks::IsManual() || SilenceRequested()) return;
  if (QCoreApplication::instance() == nullptr) return;
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull()) return;
  const std::optional<QAudioFormat> format = ChooseFormat(device);
  if (!format) return;

  auto* sink = new QAudioSink(device, *format);
  sink->setBufferSize(format->bytesForDuration(kBufferUs));
  QIODevice* stream = sink->start();
  if (stream == nullptr || sink->error() != QAudio::NoError || sink->state() == QAudio::StoppedState) {
    delete sink;
    return;
  }
  gSink = sink;
  new Feeder(sink, stream, format->channelCount(), format->sampleRate());
  {
    std::lock_guard lock(Out().mutex);
    Out().running = true;
  }
  // A device lost mid-run turns the output silent; the game keeps its timing.
  QObject::connect(sink, &QAudioSink::stateChanged, sink, [sink](QAudio::State state) {
    if (state != QAudio::StoppedState || sink->error() == QAudio::NoError) return;
    std::lock_guard lock(Out().mutex);
    Out().running = false;
    Out().mixer.Clear();
  });
}

void Shutdown() {
  if (gSink == nullptr) return;
  gSink->stop();
  {
    std::lock_guard lock(Out().mutex);
    Out().running = false;
    Out().mixer.Clear();
  }
  delete gSink;
  gSink = nullptr;
}

bool IsAudible() {
  std::lock_guard lock(Out().mutex);
  return Out().running;
}

std::uint64_t AddVoice(std::span<const std::int16_t> samples, int channels, int rate, int volume) {
  std::lock_guard lock(Out().mutex);
  if (!Out().running) return 0;
  return Out().mixer.Add(samples, channels, rate, volume);
}

void RemoveVoice(std::uint64_t id) {
  if (id == 0) return;
  std::lock_guard lock(Out().mutex);
  Out().mixer.Remove(id);
}

void SetVoiceVolume(std::uint64_t id, int volume) {
  if (id == 0) return;
  std::lock_guard lock(Out().mutex);
  Out().mixer.SetVolume(id, volume);
}

}  // namespace fw::audio
