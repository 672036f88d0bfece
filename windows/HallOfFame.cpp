#include "windows/HallOfFame.h"

#include "framework/Values.h"
#include "game/GameScrn.h"
#include "shell/globals.h"
#include "shell/media.h"

namespace {

constexpr fw::Color kTitleColor = fw::RGB(255, 6, 235);
constexpr fw::Color kCaptionColor = fw::RGB(240, 240, 240);
constexpr int kTextSize = 12;     // points
constexpr int kCaptionSize = 14;  // points
constexpr int kColumns = 3;       // name, score, date

}  // namespace

HallOfFame::HallOfFame() {
  Layout();
  _CreateControls0();
}

void HallOfFame::Layout() {
  SetSize(360, 290);
  SetResizeable(false);
  SetTitle("Hall of Fame");
  SetCloseButton(false);
  SetMaximizeButton(false);
}

void HallOfFame::_CreateControls0() {
  ListBox1.SetColumnCount(kColumns);
  ListBox1.SetColumnWidths("50%, 20%, 30%");
  ListBox1.SetHasHeading(true);
  ListBox1.SetHeading(0, "Name");
  ListBox1.SetHeading(1, "Score");
  ListBox1.SetHeading(2, "Date");
  ListBox1.SetTextSize(kTextSize);
  ListBox1.Open = [this] { ListBox1_Open(); };
  StaticText1.SetText("** Zembo ** High Scores");
  StaticText1.SetTextAlign(fw::StaticText::kCenter);
  StaticText1.SetTextColor(kTitleColor);
  StaticText1.SetTextFont("System");
  StaticText1.SetTextSize(kTextSize);
  closeBtn.Open = [this] { closeBtn_Open(); };
  closeBtn.MouseUp = [this](int x, int y) { closeBtn_MouseUp(x, y); };
}

// The cells show the rows as stored: nothing is sorted, parsed or reformatted.
void HallOfFame::ListBox1_Open() {
  ListBox1.DeleteAllRows();
  for (const std::string& r : globals::FameList) {
    ListBox1.AddRow(fw::NthField(r, ",", 1));
    ListBox1.SetCell(ListBox1.LastIndex(), 1, fw::NthField(r, ",", 2));
    ListBox1.SetCell(ListBox1.LastIndex(), 2, fw::NthField(r, ",", 3));
  }
  ListBox1.SetListIndex(-1);
  if (globals::gAddedLine != -1) {
    ListBox1.SetListIndex(globals::gAddedLine);
    globals::gAddedLine = -1;
  }
}

bool HallOfFame::isStale() const {
  if (globals::gAddedLine != -1) return true;
  for (int i = 0; i < globals::kFameRows; ++i) {
    const std::string& r = globals::FameList[static_cast<std::size_t>(i)];
    for (int c = 0; c < kColumns; ++c)
      if (ListBox1.Cell(i, c) != fw::NthField(r, ",", c + 1)) return true;
  }
  return false;
}

void HallOfFame::Show() {
  if (isStale()) ListBox1_Open();
  fw::Window::Show();
}

void HallOfFame::closeBtn_Open() {
  closeBtn.setParams("Close", picHolder::gAquaLg, kCaptionColor, kCaptionSize);
}

void HallOfFame::closeBtn_MouseUp(int, int) {
  closeBtn.Unpress();
  closeAndStartGame();
}

bool HallOfFame::Event_KeyDown(const std::string& key) {
  if (key != "\r" && key != "\x03") return false;
  closeAndStartGame();
  // The window may be gone by now (a modal window the new game showed let it be
  // destroyed): nothing else may act on the key in its name.
  return true;
}

void HallOfFame::closeAndStartGame() {
  Close();
  GameScrn& g = GameScrn::Instance();
  if (!g.gameUnderway()) g.gameStart(false);
}
