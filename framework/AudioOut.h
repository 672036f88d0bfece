// The program's one audio output: a mixer of the voices now playing, fed to the
// default output device while any plays. When output is silent (no device, the
// sink failed, env ZEMBO_SILENT_AUDIO=1, or a headless run) no voice is kept at
// all; Sound tracks playing on the clock either way. Qt-free header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace fw::audio {

// Sums voices into an interleaved 16-bit stream, resampling each voice to the
// output rate. Not thread-safe by itself: the output guards its one instance.
class Mixer {
 public:
  // samples: interleaved, `channels` per frame; they must outlive the voice.
  // Returns the voice's id, or 0 (nothing added) for an empty or malformed voice.
  std::uint64_t Add(std::span<const std::int16_t> samples, int channels, int rate, int volume);
  void Remove(std::uint64_t id);  // unknown ids (e.g. voices already run out) are ignored
  void SetVolume(std::uint64_t id, int volume);
  void Clear() { voices_.clear(); }
  std::size_t VoiceCount() const { return voices_.size(); }

  // Fills `out` (outChannels per frame) with the saturating sum of the voices, each
  // scaled linearly by volume/100, and advances them; a voice whose samples run out
  // is dropped.
  void Render(std::span<std::int16_t> out, int outChannels, int outRate);

 private:
  struct Voice {
    std::uint64_t id = 0;
    std::span<const std::int16_t> samples;
    int channels = 1;
    int rate = 0;
    int volume = 100;
    std::uint64_t pos = 0;  // position in frames, 32.32 fixed point
  };
  std::vector<Voice> voices_;
  std::vector<std::int32_t> sum_;  // reused between renders
  std::uint64_t nextId_ = 1;
};

// Where the mix goes: the sound device, or a stand-in.
class Device {
 public:
  virtual ~Device() = default;
  virtual int Channels() const = 0;
  virtual int Rate() const = 0;  // frames per second
  // Frames it takes now without waiting.
  virtual std::int64_t FramesFree() = 0;
  virtual void Write(std::span<const std::int16_t> samples) = 0;
  // Suspend pauses the stream, to resume at once; Release closes it, so that
  // nothing of it wakes the process; Resume (re)opens and starts it, false when
  // it cannot (the output then goes silent).
  virtual void Suspend() = 0;
  virtual void Release() = 0;
  virtual bool Resume() = 0;
};

// Opens the default output device; call once, on the main thread, after the
// application object exists. Stays silent when there is nothing to play to.
void Start();
// Feeds device instead; on the main thread, with the event pump running.
void StartWith(std::unique_ptr<Device> device);
// Closes the device; call before the application object goes. Later voices are not kept.
void Shutdown();
// True while a device is open.
bool IsAudible();
// True while anything of the output is due: refills from a Play until the last
// voice has ended and the queued sound has played out, then the release of the
// paused stream a while later. Otherwise the output costs nothing.
bool IsFeeding();

// Thread-safe wrappers over the output's mixer. AddVoice returns 0 when silent.
std::uint64_t AddVoice(std::span<const std::int16_t> samples, int channels, int rate, int volume);
void RemoveVoice(std::uint64_t id);
void SetVoiceVolume(std::uint64_t id, int volume);

}  // namespace fw::audio
