#include "Sounds.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "Encoders.h"
#include "Raster.h"

namespace mkmedia {
namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kEdgeFade = 0.004;  // s of fade at both ends, so no clip starts or stops with a click
constexpr double kPeak = 0.72;       // of full scale: loud, with headroom for the mixer

// A voice maps time (s) to a sample in -1..1.
using Voice = std::function<double(double t)>;

std::vector<std::int16_t> Render(double seconds, const Voice& voice) {
  const int n = static_cast<int>(std::lround(seconds * kSampleRate));
  std::vector<double> v(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) v[static_cast<std::size_t>(i)] = voice(static_cast<double>(i) / kSampleRate);
  double peak = 1e-9;
  for (double s : v) peak = std::max(peak, std::abs(s));
  std::vector<std::int16_t> out(v.size());
  for (int i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    const double edge = std::min({1.0, t / kEdgeFade, (seconds - t) / kEdgeFade});
    const double s = v[static_cast<std::size_t>(i)] / peak * kPeak * std::max(edge, 0.0);
    out[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(s * 32767));
  }
  return out;
}

// Attack then exponential decay with time constant tau (s).
double Pluck(double t, double attack, double tau) { return t < attack ? t / attack : std::exp(-(t - attack) / tau); }

// A struck bell: slightly inharmonic partials, the higher ones dying sooner.
Voice Bell(double f, double tau) {
  return [=](double t) {
    return Pluck(t, 0.002, tau) * std::sin(kTwoPi * f * t) +
           0.45 * Pluck(t, 0.002, tau * 0.6) * std::sin(kTwoPi * f * 2.76 * t) +
           0.22 * Pluck(t, 0.002, tau * 0.35) * std::sin(kTwoPi * f * 5.4 * t);
  };
}

// A tone whose frequency moves along freq(t); the phase is integrated so the
// sweep stays smooth.
std::vector<std::int16_t> Sweep(double seconds, const std::function<double(double)>& freq,
                                const std::function<double(double phase)>& wave,
                                const std::function<double(double t)>& envelope) {
  double phase = 0;
  return Render(seconds, [&](double t) {
    phase += freq(t) / kSampleRate;
    return envelope(t) * wave(phase - std::floor(phase));
  });
}

double SineWave(double ph) { return std::sin(kTwoPi * ph); }
double Brassy(double ph) {
  return std::sin(kTwoPi * ph) + 0.5 * std::sin(2 * kTwoPi * ph) + 0.3 * std::sin(3 * kTwoPi * ph) +
         0.15 * std::sin(4 * kTwoPi * ph);
}
double Buzzy(double ph) {  // a softened sawtooth: a few harmonics only
  double s = 0;
  for (int k = 1; k <= 9; ++k) s += std::sin(k * kTwoPi * ph) / k;
  return s;
}

// A note of duration d starting at start, with its own short attack and release.
double NoteEnvelope(double t, double start, double d) {
  const double u = t - start;
  if (u < 0 || u > d) return 0;
  return std::min({1.0, u / 0.006, (d - u) / 0.02}) * (0.75 + 0.25 * std::exp(-u / 0.05));
}

// One sound after the other.
std::vector<std::int16_t> Join(std::vector<std::int16_t> first, const std::vector<std::int16_t>& then) {
  first.insert(first.end(), then.begin(), then.end());
  return first;
}

// Notes of equal length, each gliding linearly from its first to its second
// frequency; each starts at phase 0 and is enveloped, so the joins stay silent.
std::vector<std::int16_t> Notes(const std::vector<std::pair<double, double>>& notes, double each,
                                const std::function<double(double)>& wave) {
  const double total = each * static_cast<double>(notes.size());
  return Render(total, [&](double t) {
    const auto i = std::min(notes.size() - 1, static_cast<std::size_t>(t / each));
    const double start = each * static_cast<double>(i);
    const double u = t - start;
    // The phase is the integral of the gliding frequency.
    const double f0 = notes[i].first, f1 = notes[i].second;
    const double phase = f0 * u + (f1 - f0) * u * u / (2 * each);
    return NoteEnvelope(t, start, each) * wave(phase - std::floor(phase));
  });
}

std::vector<std::int16_t> Noise(double seconds, std::uint32_t seed, double cutoff,
                                const std::function<double(double)>& envelope) {
  Random rng(seed);
  const double k = 1 - std::exp(-kTwoPi * cutoff / kSampleRate);  // one-pole low-pass
  double lp = 0;
  return Render(seconds, [&](double t) {
    lp += k * (rng.Signed() - lp);
    return envelope(t) * lp;
  });
}

}  // namespace

std::vector<SoundClip> SynthesiseSounds() {
  std::vector<SoundClip> s;
  auto add = [&s](std::string name, std::vector<std::int16_t> samples) {
    s.push_back({std::move(name), std::move(samples)});
  };
  add("bing.wav", Render(0.22, Bell(1568, 0.07)));
  add("Ding.wav", Render(0.28, Bell(784, 0.1)));
  add("fire.wav", Noise(0.14, 0xF17Eu, 3500, [](double t) { return Pluck(t, 0.003, 0.035); }));
  add("larger.wav", Sweep(
                        0.25, [](double t) { return 300 * std::pow(4.0, t / 0.25); }, Brassy,
                        [](double t) { return std::min(1.0, t / 0.01) * (1 - 0.5 * t / 0.25); }));
  add("pop.wav", Sweep(
                     0.08, [](double t) { return 420 + 1400 * t / 0.08; }, SineWave,
                     [](double t) { return Pluck(t, 0.002, 0.018); }));
  // A short pickup note and a held, brighter landing note.
  add("TaDa.wav", Join(Notes({{784, 784}}, 0.1, Brassy), Notes({{1046.5, 1046.5}}, 0.24, Brassy)));
  add("Uh-Ohh.wav", Join(Notes({{660, 620}}, 0.13, Brassy), Notes({{500, 400}}, 0.19, Brassy)));
  add("Wrong.wav", Render(0.22, [](double t) {
        // Two close low pitches beat against each other: a buzzer.
        const double ph1 = 110 * t, ph2 = 116.5 * t;
        return std::min({1.0, t / 0.01, (0.22 - t) / 0.04}) *
               (Buzzy(ph1 - std::floor(ph1)) + 0.8 * Buzzy(ph2 - std::floor(ph2)));
      }));
  add("newLife.wav", Notes({{1046.5, 1046.5}, {1318.5, 1318.5}, {1568, 1568}, {2093, 2093}}, 0.075,
                           [](double ph) { return std::sin(kTwoPi * ph) + 0.3 * std::sin(2 * kTwoPi * ph); }));
  add("shot.wav", Sweep(
                      0.12, [](double t) { return 2600 * std::pow(0.12, t / 0.12); },
                      [](double ph) { return std::tanh(3 * std::sin(kTwoPi * ph)); },
                      [](double t) { return Pluck(t, 0.002, 0.05); }));
  add("dud.wav", [] {
    Random rng(0xD0Du);
    double lp = 0;
    const double k = 1 - std::exp(-kTwoPi * 400.0 / kSampleRate);
    return Render(0.1, [&](double t) {
      lp += k * (rng.Signed() - lp);
      const double thump = std::sin(kTwoPi * (90 * t - 200 * t * t));  // 90 Hz sagging towards 50
      return Pluck(t, 0.002, 0.03) * (thump + 0.6 * lp);
    });
  }());
  return s;
}

}  // namespace mkmedia
