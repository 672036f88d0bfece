#include "windows/getCurPl.h"

#include "game/GameScrn.h"
#include "shell/app.h"
#include "shell/globals.h"
#include "shell/media.h"

namespace {

constexpr int kSelectAll = 255;  // characters: longer than any name the field takes
constexpr char kReturn = '\r';
constexpr char kEnter = '\x03';

}  // namespace

getCurPl::getCurPl() { Layout(); }

void getCurPl::Layout() {
  SetSize(320, 135);
  SetResizeable(false);
  SetTitle("Current Player");
  SetCloseButton(false);
  SetMaximizeButton(false);

  StaticText1.SetText("Current Player");
  StaticText1.SetTextAlign(fw::StaticText::kCenter);
  StaticText1.SetTextColor(fw::RGB(172, 0, 225));
  StaticText1.SetTextSize(12);

  EditField1.SetTextSize(12);
  EditField1.SetAlignment(fw::EditField::kLeft);
  // A row of the hall of fame and the data file's name both hold at most 255 bytes.
  EditField1.SetMaxLength(globals::kMaxNameChars);
  EditField1.Open = [this] { EditField1_Open(); };
  EditField1.KeyDown = [this](const std::string& key) { return EditField1_KeyDown(key); };

  acceptBtn.Open = [this] { acceptBtn_Open(); };
  acceptBtn.MouseUp = [this](int x, int y) { acceptBtn_MouseUp(x, y); };
}

// The name field is the one control that takes the keyboard, so typing goes there
// from the start and replaces the selected name.
void getCurPl::Event_Activate() { EditField1.SetFocus(); }

void getCurPl::EditField1_Open() {
  EditField1.SetText(globals::gCurPlayer);
  EditField1.SetSelStart(0);
  EditField1.SetSelLength(kSelectAll);
}

bool getCurPl::EditField1_KeyDown(const std::string& key) {
  bool acceptKey = key.size() == 1 && (key[0] == kReturn || key[0] == kEnter);
  if (!acceptKey) newName();
  return false;
}

void getCurPl::newName() {
  App().isDirty = true;
  globals::gIsNewPlayer = true;
}

void getCurPl::acceptBtn_Open() {
  acceptBtn.setParams("Accept", picHolder::gAquaLg, fw::RGB(240, 240, 240), 14);
}

void getCurPl::acceptBtn_MouseUp(int, int) {
  acceptBtn.Unpress();
  // A name pasted or edited with the keyboard's shortcuts is no key typed, but a new name all the same.
  if (EditField1.Text() != globals::gCurPlayer) newName();
  globals::gCurPlayer = EditField1.Text();
  Close();
  GameScrn::Instance().gameStart(true);
}
