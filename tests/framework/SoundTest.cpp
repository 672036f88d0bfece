#include "framework/Sound.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework/AudioOut.h"
#include "framework/Clock.h"
#include "framework/TestHooks.h"
#include "framework/Timer.h"

namespace fw {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, unsigned v) { b.insert(b.end(), {std::uint8_t(v), std::uint8_t(v >> 8)}); }
void Put32(Bytes& b, std::uint32_t v) { Put16(b, v & 0xFFFF), Put16(b, v >> 16); }

Bytes Chunk(const std::string& id, const Bytes& body, bool pad = true) {
  Bytes b(id.begin(), id.end());
  Put32(b, static_cast<std::uint32_t>(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  if (pad && body.size() % 2) b.push_back(0);
  return b;
}

Bytes Fmt(int channels, int rate, int bits, unsigned tag = 1) {
  Bytes b;
  Put16(b, tag), Put16(b, channels), Put32(b, rate);
  Put32(b, rate * channels * bits / 8), Put16(b, channels * bits / 8), Put16(b, bits);
  return b;
}

Bytes Riff(const std::vector<Bytes>& chunks) {
  Bytes body = {'W', 'A', 'V', 'E'};
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  Bytes b = {'R', 'I', 'F', 'F'};
  Put32(b, static_cast<std::uint32_t>(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

Bytes Pcm16(const std::vector<std::int16_t>& samples) {
  Bytes b;
  for (std::int16_t s : samples) Put16(b, static_cast<std::uint16_t>(s));
  return b;
}

Bytes Mono16(const std::vector<std::int16_t>& samples, int rate = 8000) {
  return Riff({Chunk("fmt ", Fmt(1, rate, 16)), Chunk("data", Pcm16(samples))});
}

TEST(SoundParsing, ConvertsEachSampleLayoutToInt16) {
  auto mono16 = Sound::FromWAVE(Mono16({0, 1, -1, 32767, -32768}, 22050));
  ASSERT_TRUE(mono16);
  EXPECT_EQ(mono16->Samples(), (std::vector<std::int16_t>{0, 1, -1, 32767, -32768}));
  EXPECT_EQ(mono16->SampleRate(), 22050);
  EXPECT_EQ(mono16->Channels(), 1);

  auto stereo8 = Sound::FromWAVE(Riff({Chunk("fmt ", Fmt(2, 11025, 8)), Chunk("data", {0, 128, 255, 1})}));
  ASSERT_TRUE(stereo8);
  EXPECT_EQ(stereo8->Samples(), (std::vector<std::int16_t>{-32768, 0, 32512, -32512}));
  EXPECT_EQ(stereo8->Channels(), 2);

  // A trailing partial frame is not a sample.
  auto stereo16 = Sound::FromWAVE(Riff({Chunk("fmt ", Fmt(2, 8000, 16)), Chunk("data", Pcm16({5, -5, 7}))}));
  ASSERT_TRUE(stereo16);
  EXPECT_EQ(stereo16->Samples(), (std::vector<std::int16_t>{5, -5}));
}

TEST(SoundParsing, SoundsPastTenSecondsAreRefused) {
  // A few kilobytes a second of a slow 8-bit sound would otherwise hold the splash for minutes.
  const auto seconds8 = [](int rate, std::size_t frames) {
    return Sound::FromWAVE(Riff({Chunk("fmt ", Fmt(1, rate, 8)), Chunk("data", Bytes(frames, 128))}));
  };
  EXPECT_TRUE(seconds8(4000, 40000));
  EXPECT_FALSE(seconds8(4000, 40001));
  EXPECT_FALSE(seconds8(4000, 4 << 20));
  const auto stereo16 = Sound::FromWAVE(Riff({Chunk("fmt ", Fmt(2, 44100, 16)), Chunk("data", Bytes(441000 * 4, 0))}));
  ASSERT_TRUE(stereo16) << "frames, not bytes or samples, count";
  EXPECT_EQ(stereo16->DurationMs(), 10000);
}

TEST(SoundParsing, DurationRoundsUp) {
  EXPECT_EQ(Sound::FromWAVE(Mono16(std::vector<std::int16_t>(800), 8000))->DurationMs(), 100);
  EXPECT_EQ(Sound::FromWAVE(Mono16(std::vector<std::int16_t>(801), 8000))->DurationMs(), 101);
  EXPECT_EQ(Sound::FromWAVE(Mono16({1}, 44100))->DurationMs(), 1);
}

TEST(SoundParsing, SkipsUnknownAndPaddedChunksInAnyOrder) {
  auto s = Sound::FromWAVE(Riff({Chunk("LIST", {1, 2, 3}), Chunk("data", {10, 20, 30}), Chunk("junk", {9}),
                                 Chunk("fmt ", Fmt(1, 8000, 8))}));
  ASSERT_TRUE(s);
  EXPECT_EQ(s->Samples(), (std::vector<std::int16_t>{-118 * 256, -108 * 256, -98 * 256}));
  // The pad byte of a final odd chunk is often left out.
  EXPECT_TRUE(Sound::FromWAVE(Riff({Chunk("fmt ", Fmt(1, 8000, 8)), Chunk("data", {1, 2, 3}, false)})));
}

TEST(SoundParsing, AcceptsExtensiblePcmOnly) {
  auto extensible = [](std::uint8_t subtype) {
    Bytes fmt = Fmt(2, 8000, 16, 0xFFFE);
    Put16(fmt, 22), Put16(fmt, 16), Put32(fmt, 3);
    fmt.insert(fmt.end(), {subtype, 0, 0, 0, 0, 0, 0x10, 0, 0x80, 0, 0, 0xAA, 0, 0x38, 0x9B, 0x71});
    return Riff({Chunk("fmt ", fmt), Chunk("data", Pcm16({3, -3}))});
  };
  auto pcm = Sound::FromWAVE(extensible(1));
  ASSERT_TRUE(pcm);
  EXPECT_EQ(pcm->Samples(), (std::vector<std::int16_t>{3, -3}));
  EXPECT_FALSE(Sound::FromWAVE(extensible(3)));  // float
}

TEST(SoundParsing, RefusesWhatItCannotPlay) {
  const Bytes data = Chunk("data", Pcm16({1, 2}));
  Bytes badAlign = Fmt(1, 8000, 16);
  badAlign[12] = 4;
  Bytes tooLong = Chunk("data", Pcm16({1, 2}));
  tooLong[4] = 6;
  Bytes shortFmt = Fmt(1, 8000, 16);
  shortFmt.resize(14);
  Bytes wrongMagic = Mono16({1});
  wrongMagic[8] = 'X';
  const std::vector<std::pair<const char*, Bytes>> cases = {
      {"empty", {}},
      {"not RIFF", Bytes{'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}},
      {"not WAVE", wrongMagic},
      {"float", Riff({Chunk("fmt ", Fmt(1, 8000, 32, 3)), data})},
      {"ADPCM", Riff({Chunk("fmt ", Fmt(1, 8000, 4, 2)), data})},
      {"no channels", Riff({Chunk("fmt ", Fmt(0, 8000, 16)), data})},
      {"three channels", Riff({Chunk("fmt ", Fmt(3, 8000, 16)), data})},
      {"24-bit", Riff({Chunk("fmt ", Fmt(1, 8000, 24)), data})},
      {"rate too low", Riff({Chunk("fmt ", Fmt(1, 3999, 16)), data})},
      {"rate too high", Riff({Chunk("fmt ", Fmt(1, 192001, 16)), data})},
      {"block align", Riff({Chunk("fmt ", badAlign), data})},
      {"short fmt", Riff({Chunk("fmt ", shortFmt), data})},
      {"no fmt", Riff({data})},
      {"no data", Riff({Chunk("fmt ", Fmt(1, 8000, 16))})},
      {"data past the end", Riff({Chunk("fmt ", Fmt(1, 8000, 16)), tooLong})},
  };
  for (const auto& [name, bytes] : cases) EXPECT_FALSE(Sound::FromWAVE(bytes)) << name;
}

TEST(SoundParsing, RefusesEveryTruncation) {
  const Bytes whole = Riff({Chunk("LIST", {1, 2, 3}), Chunk("fmt ", Fmt(2, 8000, 16)), Chunk("data", Pcm16({1, 2, 3, 4}))});
  ASSERT_TRUE(Sound::FromWAVE(whole));
  for (std::size_t n = 0; n < whole.size(); ++n) {
    EXPECT_FALSE(Sound::FromWAVE(std::span(whole).first(n))) << n;
  }
}

class SoundPlaying : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_hooks::UseManualClock();
    clock_hooks::SetManualNow(1000);
  }
  std::shared_ptr<Sound> sound_ = Sound::FromWAVE(Mono16(std::vector<std::int16_t>(800, 100), 8000));  // 100 ms
};

TEST_F(SoundPlaying, PlaysForExactlyItsDuration) {
  EXPECT_FALSE(sound_->IsPlaying());
  sound_->Play();
  clock_hooks::SetManualNow(1099);
  EXPECT_TRUE(sound_->IsPlaying());
  clock_hooks::SetManualNow(1100);
  EXPECT_FALSE(sound_->IsPlaying());
}

TEST_F(SoundPlaying, PlayAgainRestarts) {
  sound_->Play();
  clock_hooks::SetManualNow(1050);
  sound_->Play();
  clock_hooks::SetManualNow(1149);
  EXPECT_TRUE(sound_->IsPlaying());
  clock_hooks::SetManualNow(1150);
  EXPECT_FALSE(sound_->IsPlaying());
}

TEST_F(SoundPlaying, StopEndsAtOnce) {
  sound_->Play();
  clock_hooks::SetManualNow(1010);
  sound_->Stop();
  EXPECT_FALSE(sound_->IsPlaying());
}

TEST_F(SoundPlaying, SilentVolumeStillTakesItsTime) {
  sound_->SetVolume(-5);
  EXPECT_EQ(sound_->Volume(), 0);
  sound_->Play();
  clock_hooks::SetManualNow(1099);
  EXPECT_TRUE(sound_->IsPlaying());
  sound_->SetVolume(150);
  EXPECT_EQ(sound_->Volume(), 100);
}

TEST_F(SoundPlaying, TellsWhenItEnds) {
  EXPECT_EQ(sound_->EndUs(), -1);
  sound_->Play();
  EXPECT_EQ(sound_->EndUs(), 1100 * kUsPerMs);
  clock_hooks::SetManualNowUs(sound_->EndUs() - 1);
  EXPECT_TRUE(sound_->IsPlaying()) << "still playing just before its end";
  clock_hooks::SetManualNowUs(sound_->EndUs());
  EXPECT_FALSE(sound_->IsPlaying());
  EXPECT_EQ(sound_->EndUs(), -1);
}

TEST_F(SoundPlaying, AHeadlessRunOpensNoDevice) {
  EXPECT_FALSE(audio::IsAudible());
  EXPECT_EQ(audio::AddVoice(sound_->Samples(), 1, 8000, 100), 0u);
  sound_->Play();
  EXPECT_FALSE(audio::IsFeeding());
}

// A device that takes 10 ms of sound at each refill and keeps what it was given.
class FakeDevice : public audio::Device {
 public:
  struct Log {
    std::vector<std::int16_t> written;
    int writes = 0, resumes = 0;
    bool suspended = false, released = false;
    bool opens = true;
  };
  explicit FakeDevice(Log& log) : log_(log) {}
  int Channels() const override { return 1; }
  int Rate() const override { return 8000; }
  std::int64_t FramesFree() override { return 80; }
  void Write(std::span<const std::int16_t> s) override {
    EXPECT_FALSE(log_.suspended || log_.released) << "written while paused or closed";
    log_.written.insert(log_.written.end(), s.begin(), s.end());
    ++log_.writes;
  }
  void Suspend() override { log_.suspended = true; }
  void Release() override { log_.released = true; }
  bool Resume() override {
    ++log_.resumes;
    log_.suspended = log_.released = !log_.opens;
    return log_.opens;
  }

 private:
  Log& log_;
};

TEST_F(SoundPlaying, TheDeviceIsFedOnlyWhileSoundsPlay) {
  FakeDevice::Log log;
  audio::StartWith(std::make_unique<FakeDevice>(log));
  EXPECT_TRUE(log.released) << "an output with nothing to play holds no stream";
  test::Advance(1000);
  EXPECT_EQ(log.writes, 0);
  EXPECT_FALSE(audio::IsFeeding());

  sound_->Play();  // 800 frames of 100 at the device's own rate
  EXPECT_TRUE(audio::IsFeeding());
  test::Advance(150);
  EXPECT_FALSE(log.released);
  EXPECT_EQ(std::count(log.written.begin(), log.written.end(), 100), 800) << "every frame of the sound, once";
  EXPECT_EQ(log.resumes, 1);

  // The tail queued at the device plays out; then the stream pauses, no more refills.
  test::Advance(200);
  EXPECT_TRUE(log.suspended);
  const int writes = log.writes;
  sound_->Play();  // a paused stream resumes at once
  test::Advance(150);
  EXPECT_EQ(log.resumes, 2);
  EXPECT_GT(log.writes, writes);

  // Nothing plays for a while: the stream is closed and nothing of the output is due.
  test::Advance(3000);
  EXPECT_TRUE(log.released);
  EXPECT_FALSE(audio::IsFeeding());
  const int idleWrites = log.writes;
  test::Advance(10000);
  EXPECT_EQ(log.writes, idleWrites);

  sound_->Play();
  test::Advance(50);
  EXPECT_FALSE(log.released) << "the next sound opens it again";
  EXPECT_EQ(log.resumes, 3);
  EXPECT_GT(log.writes, idleWrites);
}

TEST_F(SoundPlaying, ASilentSoundTakesNoStreamUntilItIsMadeAudible) {
  FakeDevice::Log log;
  audio::StartWith(std::make_unique<FakeDevice>(log));
  sound_->SetVolume(0);
  sound_->Play();
  test::Advance(50);
  EXPECT_EQ(log.resumes, 0);
  EXPECT_FALSE(audio::IsFeeding()) << "no refills for what nobody hears";
  EXPECT_TRUE(sound_->IsPlaying());

  sound_->SetVolume(100);  // halfway through
  test::Advance(200);
  EXPECT_EQ(log.resumes, 1);
  EXPECT_EQ(std::count(log.written.begin(), log.written.end(), 100), 400) << "its second half, once";
  sound_->SetVolume(0);
  sound_->SetVolume(100);
  test::Advance(200);
  EXPECT_EQ(std::count(log.written.begin(), log.written.end(), 100), 400) << "nothing once it has ended";
}

TEST_F(SoundPlaying, AStreamThatCannotReopenLeavesTheOutputSilent) {
  FakeDevice::Log log;
  log.opens = false;
  audio::StartWith(std::make_unique<FakeDevice>(log));
  sound_->Play();
  test::Advance(50);
  EXPECT_EQ(log.writes, 0);
  EXPECT_FALSE(audio::IsAudible());
  EXPECT_FALSE(audio::IsFeeding()) << "no refills for a voice that can never be heard";
  EXPECT_TRUE(sound_->IsPlaying()) << "the sound keeps its time on the clock";
}

TEST_F(SoundPlaying, ASoundStartedOnALoaderThreadIsFedFromTheEventLoop) {
  FakeDevice::Log log;
  audio::StartWith(std::make_unique<FakeDevice>(log));
  Thread loader;
  loader.RunHandler = [&] { sound_->Play(); };
  loader.Run();
  test::Advance(20);
  EXPECT_FALSE(log.suspended);
  EXPECT_GT(log.writes, 0);
}

using Frames = std::vector<std::int16_t>;

Frames Render(audio::Mixer& m, std::size_t samples, int channels = 1, int rate = 8000) {
  Frames out(samples, 12345);
  m.Render(out, channels, rate);
  return out;
}

TEST(Mixer, CopiesScalesAndDropsAVoice) {
  const Frames a = {1000, -2000, 3000};
  audio::Mixer m;
  const auto id = m.Add(a, 1, 8000, 50);
  EXPECT_EQ(Render(m, 2), (Frames{500, -1000}));
  m.SetVolume(id, 100);
  EXPECT_EQ(Render(m, 3), (Frames{3000, 0, 0}));
  EXPECT_EQ(m.VoiceCount(), 0u);
  EXPECT_EQ(m.Add({}, 1, 8000, 100), 0u);
}

TEST(Mixer, SumsVoicesSaturating) {
  const Frames loud = {30000, -30000, 100};
  audio::Mixer m;
  m.Add(loud, 1, 8000, 100);
  const auto second = m.Add(loud, 1, 8000, 100);
  m.Add(loud, 1, 8000, 0);
  EXPECT_EQ(Render(m, 1), (Frames{32767}));
  m.Remove(second);
  m.Remove(9999);
  EXPECT_EQ(Render(m, 2), (Frames{-30000, 100}));
}

TEST(Mixer, MapsChannels) {
  const Frames mono = {7, 8};
  const Frames stereo = {100, 300, -100, -301};
  audio::Mixer m;
  m.Add(mono, 1, 8000, 100);
  EXPECT_EQ(Render(m, 4, 2), (Frames{7, 7, 8, 8}));
  m.Add(stereo, 2, 8000, 100);
  EXPECT_EQ(Render(m, 2, 1), (Frames{200, -200}));
}

TEST(Mixer, ResamplesLinearly) {
  const Frames a = {0, 1000};
  const Frames b = {0, 1, 2, 3};
  audio::Mixer m;
  m.Add(a, 1, 4000, 100);
  EXPECT_EQ(Render(m, 5), (Frames{0, 500, 1000, 1000, 0}));
  m.Add(b, 1, 16000, 100);
  EXPECT_EQ(Render(m, 3), (Frames{0, 2, 0}));
}

}  // namespace
}  // namespace fw
