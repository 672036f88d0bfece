#include "Values.h"

#include <QDate>
#include <QLocale>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <mutex>

#include "internal/HeadlessState.h"

namespace fw {

std::string Str(std::int64_t n) { return std::to_string(n); }

double Val(std::string_view s) {
  // A file saved by a text editor may open with a UTF-8 byte-order mark.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (s.starts_with(kByteOrderMark)) s.remove_prefix(kByteOrderMark.size());
  std::size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  std::size_t start = i;
  bool digits = false;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, digits = true;
  if (i < s.size() && s[i] == '.') {
    ++i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i, digits = true;
  }
  if (!digits) return 0.0;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    if (j < s.size() && (s[j] == '-' || s[j] == '+')) ++j;
    if (j < s.size() && s[j] >= '0' && s[j] <= '9') {
      while (j < s.size() && s[j] >= '0' && s[j] <= '9') ++j;
      i = j;
    }
  }
  // from_chars always reads a point as the decimal separator, whatever the user's
  // locale; strtod would stop at the point under a locale with decimal commas.
  double value = 0.0;
  auto [end, ec] = std::from_chars(s.data() + start, s.data() + i, value);
  if (ec != std::errc() || !std::isfinite(value)) return 0.0;  // "1e999" is no number either
  return negative ? -value : value;
}

std::string Format(double value, std::string_view pattern) {
  auto dot = pattern.find('.');
  int decimals = 0;
  int minInt = 0;
  std::string_view intPart = pattern.substr(0, dot);
  for (char c : intPart)
    if (c == '0') ++minInt;
  if (dot != std::string_view::npos)
    for (char c : pattern.substr(dot + 1))
      if (c == '0' || c == '#') ++decimals;
  bool trimZeros = dot != std::string_view::npos && pattern.substr(dot + 1).find('0') == std::string_view::npos;
  if (!std::isfinite(value)) value = 0.0;
  // to_chars writes a point whatever the user's locale (printf would write a comma
  // under some). Large enough for the widest double in fixed notation.
  char buf[512];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed, decimals);
  std::string out = ec == std::errc() ? std::string(buf, end) : std::string("0");
  if (trimZeros && out.find('.') != std::string::npos) {
    while (!out.empty() && out.back() == '0') out.pop_back();
    if (!out.empty() && out.back() == '.') out.pop_back();
  }
  auto intLen = out.find('.') == std::string::npos ? out.size() : out.find('.');
  if (intLen == 1 && out[0] == '0' && minInt == 0 && out.size() > 1) out.erase(0, 1);
  if (static_cast<int>(intLen) < minInt) out = std::string(static_cast<std::size_t>(minInt) - intLen, '0') + out;
  bool negative = value < 0 && out.find_first_not_of("0.") != std::string::npos;
  return negative ? "-" + out : out;
}

std::string NthField(std::string_view s, std::string_view sep, int n) {
  if (n < 1 || sep.empty()) return n == 1 ? std::string(s) : std::string();
  std::size_t start = 0;
  for (int field = 1;; ++field) {
    auto end = s.find(sep, start);
    if (field == n) return std::string(s.substr(start, end == std::string_view::npos ? s.npos : end - start));
    if (end == std::string_view::npos) return {};
    start = end + sep.size();
  }
}

int CountFields(std::string_view s, std::string_view sep) {
  if (sep.empty()) return s.empty() ? 0 : 1;
  int count = 1;
  for (auto pos = s.find(sep); pos != std::string_view::npos; pos = s.find(sep, pos + sep.size())) ++count;
  return count;
}

std::string LTrim(std::string_view s) {
  auto i = s.find_first_not_of(" \t\r\n");
  return i == std::string_view::npos ? std::string() : std::string(s.substr(i));
}

std::string Trim(std::string_view s) {
  std::string l = LTrim(s);
  auto j = l.find_last_not_of(" \t\r\n");
  return j == std::string::npos ? std::string() : l.substr(0, j + 1);
}

std::string Chr(std::uint32_t cp) {
  std::string out;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return out;
}

Date Date::Today() {
  if (headless_state::fixedToday) return *headless_state::fixedToday;
  QDate d = QDate::currentDate();
  return Date(d.year(), d.month(), d.day());
}

std::string Date::ShortDate() const {
  // A run on a fixed day must write the same rows in every locale: month/day/year, two year digits.
  if (headless_state::fixedToday) {
    char text[32];
    std::snprintf(text, sizeof text, "%d/%d/%02d", month_, day_, ((year_ % 100) + 100) % 100);
    return text;
  }
  // A hall-of-fame row separates its fields with commas, so the date may hold none.
  QString text = QLocale::system().toString(QDate(year_, month_, day_), QLocale::ShortFormat);
  text.remove(QLatin1Char(','));
  return text.toStdString();
}

namespace {
std::mutex gSeedMutex;
std::optional<std::uint32_t> gSeed;
std::uint32_t gSeedIndex = 0;
std::function<void(int, int, int)> gDrawObserver;

std::uint32_t NextSeed() {
  std::lock_guard lock(gSeedMutex);
  if (gSeed) return *gSeed + gSeedIndex++;
  return std::random_device{}();
}
}  // namespace

namespace random_hooks {
void SetSeed(std::optional<std::uint32_t> seed) {
  std::lock_guard lock(gSeedMutex);
  gSeed = seed;
  gSeedIndex = 0;
}

void SetObserver(std::function<void(int lo, int hi, int value)> observer) { gDrawObserver = std::move(observer); }
}  // namespace random_hooks

Random::Random() : engine_(NextSeed()) {}

int Random::InRange(int lo, int hi) {
  const int askedLo = lo, askedHi = hi;
  if (hi < lo) std::swap(lo, hi);
  const int value = std::uniform_int_distribution<int>(lo, hi)(engine_);
  if (gDrawObserver) gDrawObserver(askedLo, askedHi, value);
  return value;
}

}  // namespace fw
