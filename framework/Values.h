// Small value helpers the game calls by their classic names: string and number
// conversions, colours, dates and the random source.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace fw {

struct Color {
  int r = 0, g = 0, b = 0;
  bool operator==(const Color&) const = default;
};
constexpr Color RGB(int r, int g, int b) { return {r, g, b}; }

std::string Str(std::int64_t n);
// Leading decimal number of the text (after a UTF-8 byte-order mark and blanks), read
// with a point as the separator whatever the locale; 0 when there is none or it is not
// finite ("nan", "inf", "1e999").
double Val(std::string_view s);
// Patterns of '#', '0', '.', '-' and literal text, as the game uses them ("#.##", "0.0");
// always with a point, whatever the locale. A value that is not finite is written as 0.
std::string Format(double value, std::string_view pattern);
// The n-th field (from 1) of s split at sep; empty past the end or for n < 1.
std::string NthField(std::string_view s, std::string_view sep, int n);
int CountFields(std::string_view s, std::string_view sep);
std::string LTrim(std::string_view s);
std::string Trim(std::string_view s);
// The UTF-8 text of one code point.
std::string Chr(std::uint32_t codePoint);
inline const std::string EndOfLine = "\n";

class Date {
 public:
  static Date Today();
  Date(int year, int month, int day) : year_(year), month_(month), day_(day) {}
  // The locale's short numeric form (a fixed one while a headless run fixes today);
  // never contains a comma.
  std::string ShortDate() const;
  int Year() const { return year_; }
  int Month() const { return month_; }
  int Day() const { return day_; }

 private:
  int year_, month_, day_;
};

class Random {
 public:
  Random();  // seeded from the system, or from the test seed when one is set
  // Uniform over lo..hi, both included.
  int InRange(int lo, int hi);

 private:
  std::mt19937 engine_;
};

namespace random_hooks {
// Every Random made afterwards starts from this seed (plus its creation index).
void SetSeed(std::optional<std::uint32_t> seed);
// Sees every InRange draw (its arguments as given, and the result); none to stop.
// Set it on the event loop's thread while no other thread draws.
void SetObserver(std::function<void(int lo, int hi, int value)> observer);
}

}  // namespace fw
