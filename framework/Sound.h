// A decoded PCM sound. Playing is tracked on the one clock: IsPlaying is true for
// exactly the sound's length after Play, whether or not an audio device exists.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace fw {

class Sound {
 public:
  Sound() = default;
  ~Sound();  // stops the sound: the mixer reads samples_ in place
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;

  // Refuses (nullptr) anything but an uncompressed PCM WAVE file.
  static std::shared_ptr<Sound> FromWAVE(std::span<const std::uint8_t> bytes);

  void Play();   // starts from the beginning; a sound already playing restarts
  void Stop();
  bool IsPlaying() const;
  // NowUs() from which IsPlaying is false; -1 when not playing.
  std::int64_t EndUs() const;

  int Volume() const { return volume_; }
  void SetVolume(int v);  // clamped to 0..100

  std::int64_t DurationMs() const;
  int SampleRate() const { return rate_; }
  int Channels() const { return channels_; }
  // Interleaved 16-bit samples at SampleRate(), Channels() per frame.
  const std::vector<std::int16_t>& Samples() const { return samples_; }

 private:
  int rate_ = 0;
  int channels_ = 0;
  std::vector<std::int16_t> samples_;
  int volume_ = 100;
  std::int64_t startedAt_ = -1;  // NowMs() at Play, -1 when stopped
  std::uint64_t voiceId_ = 0;    // the mixer's handle for the current play, 0 for none
};

}  // namespace fw
