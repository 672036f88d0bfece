// The state several windows and sprites share: the random source, the player,
// the hall of fame, the running total, difficulty, and the one saved game.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "framework/Ref.h"
#include "framework/Values.h"

namespace globals {

inline constexpr int kFameRows = 10;

extern fw::Ref<fw::Random> gR;
extern std::string gCurPlayer;
extern std::array<std::string, kFameRows> FameList;  // index 0 the best row
extern int gTotScore;
extern int gAddedLine;  // row just added to FameList, -1 for none
extern bool gIsNewPlayer;
extern bool gNoShowBScrn;
extern int gDiffFactor;  // 0 Easy, 1 Medium, 2 Hard
extern int gSpeed;       // always set together with gDiffFactor
extern int gPadWidth;    // paddle width in pixels: 64, 72, 80 or 90

// A random yes or no, equally likely.
bool maybe();

// Every variable back to its value at process start.
void Reset();

// The running total is held within 0 to this: nine digits fit the status window's
// total field and the hall of fame's score column, the sum of a total and a round's
// points cannot overflow on the way, and no game played comes near it.
inline constexpr int kMaxTotScore = 999'999'999;
// total + points, held within 0 to kMaxTotScore.
int addToTotal(int total, std::int64_t points);

// The index of the row a total would take in the hall of fame, walking up from the
// tenth row past each row that scores less than it (with tiesAbove, no more than it);
// none when it does not beat the tenth row. Scores compare as real numbers, so a row
// of any size stays where it is.
std::optional<int> famePlace(int total, bool tiesAbove);

// Longest player name the name field takes, in characters; with the widest score
// and date a row then still fits the data file's 255-byte strings.
inline constexpr int kMaxNameChars = 40;

}  // namespace globals

// One hall-of-fame row: name, score and date joined by commas.
struct FameRow {
  std::string name;
  std::string score;  // as written: decimal digits, or the literal text of a default row
  std::string date;

  static FameRow Parse(std::string_view row);
  // A row for a player's total. A comma in the name would split the row, so it
  // becomes a single low quotation mark, which reads the same; the name is cut
  // so that the row fits 255 bytes.
  static FameRow For(std::string_view player, int total, std::string_view date);
  std::string Text() const { return name + "," + score + "," + date; }
  // The score as the game compares it: 0 when the field is not a number.
  double Score() const;
  bool operator==(const FameRow&) const = default;
};

// The first bytes of s that are at most maxBytes long and end on a whole UTF-8 character.
std::string CutUtf8(std::string_view s, std::size_t maxBytes);

namespace savedInfo {
extern bool isSavedGame;
extern int svRound;
extern int svTotScore;
extern int svBltCt;
extern int svBallCt;
extern int svDiffLev;
// No saved game, as at process start.
void Reset();
}  // namespace savedInfo
