#include "shell/app.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <string_view>

#include "shell/globals.h"

namespace {

// The ten default rows, each followed by the date it was made.
constexpr std::array<std::string_view, globals::kFameRows> kDefaultRows = {
    "Marlo,25000,",  "Kip Fenwold,22500,", "Dorran,20000,", "Zuzzie,17500,", "Terminator,15000,",
    "Punk,12500,",   "Tresk,10000,",       "XXX,7500,",     "Vostrel,5000,", "De. Zedod,2500,"};
constexpr std::string_view kDefaultPlayer = "Anon";
constexpr std::string_view kFileType = "text/plain";
// A temporary younger than this may belong to another copy of the game that is writing right now.
constexpr std::chrono::seconds kStaleTemporaryAge{60};

// Totals above 65535 do not fit the 16-bit field. Their high bits follow the
// saved-game block, marked so that stray bytes left there by other writers are
// not taken for them: marker, high word, and a check of both words.
constexpr std::string_view kHighWordMark = "ZT";
constexpr int kHighWordCheck = 0x5A5A;

std::string DefaultRow(int i, const std::string& date) { return std::string(kDefaultRows[static_cast<std::size_t>(i)]) + date; }

}  // namespace

app& App() { return static_cast<app&>(*fw::CurrentApp()); }

std::optional<fw::FolderItem> datafile::Location() {
  auto folder = fw::SpecialFolder::Preferences();
  return folder ? folder->Child(kFileName) : std::nullopt;
}

void app::Event_Open() {
  globals::gR = fw::New<fw::Random>();
  // A write killed between making its temporary and renaming it leaves the temporary behind.
  if (auto file = datafile::Location()) file->RemoveStaleTemporaries(kStaleTemporaryAge);
  readFile();
}

void app::Event_Close() {
  if (isDirty) writeFile();
}

bool app::writeFile() {
  if (keepOffFile_) return false;  // said once, when the file was read
  auto file = datafile::Location();
  auto out = file ? file->CreateBinaryFile(kFileType) : nullptr;
  if (!out) {
    std::fprintf(stderr, "zembo: the data file could not be written\n");
    return false;
  }
  out->WritePString(globals::gCurPlayer);
  for (const std::string& row : globals::FameList) out->WritePString(row);
  // A total is never negative; read back unsigned, 16 bits hold up to 65535.
  unsigned total = static_cast<unsigned>(std::max(savedInfo::svTotScore, 0));
  out->WriteBoolean(savedInfo::isSavedGame);
  out->WriteShort(savedInfo::svRound);
  out->WriteShort(static_cast<int>(total & 0xFFFF));
  out->WriteShort(savedInfo::svBltCt);
  out->WriteShort(savedInfo::svBallCt);
  out->WriteShort(savedInfo::svDiffLev);
  if (total > 0xFFFF) {
    int high = static_cast<int>(total >> 16);
    out->WritePString(kHighWordMark);
    out->WriteShort(high);
    out->WriteShort(static_cast<int>((total & 0xFFFF) ^ static_cast<unsigned>(high) ^ kHighWordCheck));
  }
  return out->Close();
}

void app::readFile() {
  auto file = datafile::Location();
  keepOffFile_ = !file;
  if (!file) {
    std::fprintf(stderr, "zembo: there is no home folder for the data file; the data is kept in memory only\n");
    initVars();
    return;
  }
  if (!file->Exists()) {
    initVars();
    return;
  }
  std::string today = fw::Date::Today().ShortDate();
  auto in = file->OpenAsBinaryFile();
  if (!in) {
    // Whatever stands there may hold the player's data, readable again once its
    // permissions are mended: writing the defaults over it would lose that.
    keepOffFile_ = true;
    std::fprintf(stderr, "zembo: the data file %s could not be read; using the defaults and leaving it as it is\n",
                 file->Path().c_str());
  }

  // What was read whole is used; anything missing comes from the defaults. The
  // file itself stays as it is until something writes it.
  auto player = in ? in->ReadPString() : std::nullopt;
  globals::gCurPlayer = player ? *player : std::string(kDefaultPlayer);
  bool damaged = !player;
  for (int i = 0; i < globals::kFameRows; ++i) {
    auto row = in && !damaged ? in->ReadPString() : std::nullopt;
    if (!row) damaged = true;
    globals::FameList[static_cast<std::size_t>(i)] = row ? *row : DefaultRow(i, today);
  }
  if (damaged || in->AtEOF()) return;

  auto flag = in->ReadBoolean();
  auto round = in->ReadShort();
  auto total = in->ReadShort();
  auto bullets = in->ReadShort();
  auto balls = in->ReadShort();
  auto level = in->ReadShort();
  if (!(flag && round && total && bullets && balls && level)) return;  // a partial block: no saved game
  unsigned fullTotal = static_cast<std::uint16_t>(*total);
  if (auto mark = in->ReadPString(); mark && *mark == kHighWordMark) {
    auto high = in->ReadShort();
    auto check = in->ReadShort();
    unsigned h = high ? static_cast<std::uint16_t>(*high) : 0;
    if (high && check && static_cast<std::uint16_t>(*check) == ((fullTotal ^ h ^ kHighWordCheck) & 0xFFFF) &&
        h <= 0x7FFF)
      fullTotal |= h << 16;
  }
  savedInfo::isSavedGame = *flag;
  savedInfo::svRound = *round;
  savedInfo::svTotScore = static_cast<int>(fullTotal);
  savedInfo::svBltCt = *bullets;
  savedInfo::svBallCt = *balls;
  savedInfo::svDiffLev = *level;
}

bool app::initVars() {
  globals::gCurPlayer = kDefaultPlayer;
  std::string today = fw::Date::Today().ShortDate();
  for (int i = 0; i < globals::kFameRows; ++i) globals::FameList[static_cast<std::size_t>(i)] = DefaultRow(i, today);
  return writeFile();
}
