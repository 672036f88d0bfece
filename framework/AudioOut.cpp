#include "AudioOut.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QIODevice>
#include <QMediaDevices>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <limits>
#include <mutex>
#include <optional>
#include <string_view>

#include "Clock.h"
#include "Timer.h"
#include "internal/Pump.h"

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

constexpr qint64 kBufferUs = 50'000;              // µs of sound queued at the device
constexpr std::int64_t kFeedIntervalUs = 10'000;  // µs between refills, well inside the buffer
constexpr std::int64_t kDrainUs = 2 * kBufferUs;  // µs for the queued tail to play out, with the server's own latency
// µs a paused stream is kept before it is closed: during play sounds come often,
// and reopening a stream each time would block the event loop; an idle game has
// no stream at all, as a paused one still wakes the process for its timing.
constexpr std::int64_t kReleaseAfterUs = 2'000'000;
constexpr int kMinDeviceRate = 8000;            // Hz
constexpr int kMaxDeviceRate = 192000;          // Hz

// Keeps the device's buffer full with the mix while voices play. Push mode, not
// pull: Qt 6.4's PulseAudio sink pulls only whole 20 ms periods while that much
// is free, so with a buffer this small it can stall before reaching the server's
// prebuffer and never start. Writing all that is free always fills past it.
// Runs on the event pump, so it costs nothing while idle.
class Feeder : public Scheduled {
 public:
  explicit Feeder(std::unique_ptr<Device> device) : device_(std::move(device)) { device_->Release(); }

  // A voice was added (on any thread): the next refill is due now.
  void Wake() {
    if (phase_ == Phase::Idle || phase_ == Phase::Paused) resume_ = true;
    phase_ = Phase::Feeding;
    due_.store(NowUs());
    pump::Changed();
  }

  std::int64_t DueUs() const override { return due_.load(); }

  void Fire() override;

  void Stop() {
    phase_ = Phase::Idle;
    due_.store(-1);
  }

 private:
  enum class Phase {
    Idle,      // no stream, nothing due
    Feeding,   // voices play: a refill every interval
    Draining,  // the last voice has ended: once the queued sound has played out, pause
    Paused,    // the stream is paused, to be closed if nothing plays for a while
  };

  std::unique_ptr<Device> device_;
  Phase phase_ = Phase::Idle;  // under the output's mutex
  bool resume_ = false;        // under the output's mutex
  std::atomic<std::int64_t> due_{-1};
  std::vector<std::int16_t> buffer_;
};

struct Output {
  std::mutex mutex;
  Mixer mixer;
  bool running = false;
  std::unique_ptr<Feeder> feeder;  // made and destroyed on the main thread
};

// Never destroyed: a Sound held in a static may stop itself after main returns.
Output& Out() {
  static Output* out = new Output;
  return *out;
}

// The device is gone: voices are no longer kept and nothing is fed.
void GoSilent();

// The device is called without the output's lock: it may report a lost stream
// at once, and that report takes the lock.
void Feeder::Fire() {
  Phase phase;
  bool resume;
  {
    std::lock_guard lock(Out().mutex);
    phase = phase_;
    resume = std::exchange(resume_, false);
    switch (phase) {
      case Phase::Idle: return;
      case Phase::Draining:
        phase_ = Phase::Paused;
        due_.store(NowUs() + kReleaseAfterUs);
        break;
      case Phase::Paused:
        phase_ = Phase::Idle;
        due_.store(-1);
        break;
      case Phase::Feeding: break;
    }
  }
  if (phase == Phase::Draining) {
    device_->Suspend();
    return;
  }
  if (phase == Phase::Paused) {
    device_->Release();
    return;
  }
  // A stream that cannot be opened again leaves the output silent, as a lost device does.
  if (resume && !device_->Resume()) {
    GoSilent();
    return;
  }
  const int channels = device_->Channels();
  const std::int64_t frames = device_->FramesFree();
  if (frames > 0) {
    buffer_.resize(static_cast<std::size_t>(frames * channels));
    {
      std::lock_guard lock(Out().mutex);
      Out().mixer.Render(buffer_, channels, device_->Rate());
    }
    device_->Write(buffer_);
  }
  std::lock_guard lock(Out().mutex);
  if (phase_ != Phase::Feeding) return;  // the output went silent meanwhile
  if (Out().mixer.VoiceCount() == 0) {
    phase_ = Phase::Draining;
    due_.store(NowUs() + kDrainUs);
  } else {
    due_.store(NowUs() + kFeedIntervalUs);
  }
}

class QtSinkDevice final : public Device {
 public:
  QtSinkDevice(QAudioSink* sink, QIODevice* stream, const QAudioFormat& format)
      : sink_(sink), stream_(stream), channels_(format.channelCount()), rate_(format.sampleRate()) {}
  ~QtSinkDevice() override {
    sink_->stop();
    delete sink_;
  }
  int Channels() const override { return channels_; }
  int Rate() const override { return rate_; }
  std::int64_t FramesFree() override {
    if (!stream_) return 0;
    return sink_->bytesFree() / static_cast<qint64>(sizeof(std::int16_t) * channels_);
  }
  void Write(std::span<const std::int16_t> samples) override {
    if (!stream_) return;
    stream_->write(reinterpret_cast<const char*>(samples.data()),
                   static_cast<qint64>(samples.size() * sizeof(std::int16_t)));
  }
  void Suspend() override {
    if (stream_) sink_->suspend();
  }
  void Release() override {
    if (!stream_) return;
    sink_->stop();
    stream_ = nullptr;
  }
  bool Resume() override {
    if (stream_) {
      sink_->resume();
      return true;
    }
    stream_ = sink_->start();
    if (stream_ && sink_->error() == QAudio::NoError) return true;
    stream_ = nullptr;
    return false;
  }

 private:
  QAudioSink* sink_;
  QIODevice* stream_;  // owned by the sink; none while released
  int channels_;
  int rate_;
};

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

void GoSilent() {
  std::lock_guard lock(Out().mutex);
  Out().running = false;
  Out().mixer.Clear();
  if (Out().feeder) Out().feeder->Stop();
}

}  // namespace

void Start() {
  if (Out().feeder || SilenceRequested()) return;
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
  // A device lost mid-run turns the output silent; the game keeps its timing.
  QObject::connect(sink, &QAudioSink::stateChanged, sink, [sink](QAudio::State state) {
    if (state == QAudio::StoppedState && sink->error() != QAudio::NoError) GoSilent();
  });
  StartWith(std::make_unique<QtSinkDevice>(sink, stream, *format));
}

void StartWith(std::unique_ptr<Device> device) {
  if (Out().feeder) return;
  auto feeder = std::make_unique<Feeder>(std::move(device));
  std::lock_guard lock(Out().mutex);
  Out().feeder = std::move(feeder);
  Out().running = true;
}

void Shutdown() {
  GoSilent();
  std::unique_ptr<Feeder> feeder;
  {
    std::lock_guard lock(Out().mutex);
    feeder = std::move(Out().feeder);
  }
}

bool IsAudible() {
  std::lock_guard lock(Out().mutex);
  return Out().running;
}

bool IsFeeding() {
  std::lock_guard lock(Out().mutex);
  return Out().feeder && Out().feeder->DueUs() >= 0;
}

std::uint64_t AddVoice(std::span<const std::int16_t> samples, int channels, int rate, int volume) {
  std::lock_guard lock(Out().mutex);
  if (!Out().running) return 0;
  std::uint64_t id = Out().mixer.Add(samples, channels, rate, volume);
  if (id != 0) Out().feeder->Wake();
  return id;
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
