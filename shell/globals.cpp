#include "shell/globals.h"

#include <algorithm>

namespace globals {

fw::Ref<fw::Random> gR;
std::string gCurPlayer;
std::array<std::string, kFameRows> FameList;
int gTotScore = 0;
int gAddedLine = 0;
bool gIsNewPlayer = false;
bool gNoShowBScrn = false;
int gDiffFactor = 0;
int gSpeed = 0;
int gPadWidth = 0;

bool maybe() { return gR->InRange(0, 1) > 0; }

int addToTotal(int total, std::int64_t points) {
  return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{total} + points, 0, kMaxTotScore));
}

void Reset() {
  gR = nullptr;
  gCurPlayer.clear();
  FameList = {};
  gTotScore = 0;
  gAddedLine = 0;
  gIsNewPlayer = false;
  gNoShowBScrn = false;
  gDiffFactor = 0;
  gSpeed = 0;
  gPadWidth = 0;
}

}  // namespace globals

namespace {
constexpr std::size_t kMaxRowBytes = 255;     // one length byte in the data file
constexpr std::string_view kCommaStandIn = "\u201A";  // SINGLE LOW-9 QUOTATION MARK
}  // namespace

std::string CutUtf8(std::string_view s, std::size_t maxBytes) {
  if (s.size() <= maxBytes) return std::string(s);
  std::size_t end = maxBytes;
  // Step back over continuation bytes so no character is split.
  while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
  return std::string(s.substr(0, end));
}

FameRow FameRow::Parse(std::string_view row) {
  return {fw::NthField(row, ",", 1), fw::NthField(row, ",", 2),
          // The date is everything after the second comma.
          [&] {
            auto first = row.find(',');
            auto second = first == row.npos ? row.npos : row.find(',', first + 1);
            return second == row.npos ? std::string() : std::string(row.substr(second + 1));
          }()};
}

FameRow FameRow::For(std::string_view player, int total, std::string_view date) {
  std::string name;
  for (char c : player) {
    if (c == ',') name += kCommaStandIn;
    else name += c;
  }
  FameRow row{std::move(name), fw::Str(total), CutUtf8(date, kMaxRowBytes / 4)};
  std::size_t room = kMaxRowBytes - row.score.size() - row.date.size() - 2;
  row.name = CutUtf8(row.name, room);
  return row;
}

double FameRow::Score() const { return fw::Val(score); }

std::optional<int> globals::famePlace(int total, bool tiesAbove) {
  const double t = total;
  auto score = [](int i) { return FameRow::Parse(FameList[static_cast<std::size_t>(i)]).Score(); };
  auto passes = [&](int i) { return tiesAbove ? !(t < score(i)) : score(i) < t; };
  if (!(score(kFameRows - 1) < t)) return std::nullopt;
  int i = kFameRows - 1;
  while (i > 0 && passes(i - 1)) --i;
  return i;
}

namespace savedInfo {
bool isSavedGame = false;
int svRound = 0;
int svTotScore = 0;
int svBltCt = 0;
int svBallCt = 0;
int svDiffLev = 0;

void Reset() {
  isSavedGame = false;
  svRound = 0;
  svTotScore = 0;
  svBltCt = 0;
  svBallCt = 0;
  svDiffLev = 0;
}
}  // namespace savedInfo
