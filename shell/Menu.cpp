#include "shell/Menu.h"

#include <string_view>

namespace {

std::unique_ptr<Menu> gMenu;

// One row of the tree: the item's parent path is given by name, top menu first.
struct ItemSpec {
  std::string_view name, text, shortcut;
  bool autoEnable;
  fw::MenuItem::Kind kind = fw::MenuItem::Kind::Plain;
  std::string_view submenu = {};  // the item goes inside this item of the top menu
  bool setShortcut = true;
};

std::unique_ptr<fw::MenuItem> Make(fw::MenuItem::Kind kind) {
  switch (kind) {
    case fw::MenuItem::Kind::Quit: return std::make_unique<fw::QuitMenuItem>();
    case fw::MenuItem::Kind::AppleMenu: return std::make_unique<fw::AppleMenuItem>();
    case fw::MenuItem::Kind::Plain: break;
  }
  return std::make_unique<fw::MenuItem>();
}

void AddTop(fw::MenuBar& bar, std::string_view name, std::string_view text) {
  auto top = std::make_unique<fw::MenuItem>();
  top->SetName(name);
  top->SetAutoEnable(false);
  top->SetText(text);
  top->SetKeyboardShortcut("");
  bar.Append(std::move(top));
}

void AddItems(fw::MenuBar& bar, std::string_view topName, std::initializer_list<ItemSpec> items) {
  for (const ItemSpec& spec : items) {
    auto item = Make(spec.kind);
    item->SetName(spec.name);
    item->SetAutoEnable(spec.autoEnable);
    item->SetText(spec.text);
    if (spec.setShortcut) item->SetKeyboardShortcut(spec.shortcut);
    fw::MenuItem* parent = bar.Child(topName);
    if (!spec.submenu.empty()) parent = parent->Child(spec.submenu);
    parent->Append(std::move(item));
  }
}

}  // namespace

Menu& Menu::Instance() {
  if (!gMenu) {
    gMenu.reset(new Menu);
    gMenu->Constructor();
  }
  return *gMenu;
}

void Menu::Release() { gMenu.reset(); }

void Menu::Constructor() {
  Untitled1();
  Untitled2();
  Untitled3();
}

void Menu::Untitled1() {
  AddTop(*this, "UntitledMenu2", "File");
  AddItems(*this, "UntitledMenu2",
           {
               {"FileNewPlayer", "New Player", "Cmd+N", true},
               {"FileSaveGame", "Save Game", "Cmd+S", false},
               {"FileAbortGame", "Abort Game", "", true},
               {"FileQuit", "&Quit", "Cmd+Cmd+Q", true, fw::MenuItem::Kind::Quit},
           });
}

void Menu::Untitled2() {
  AddTop(*this, "UntitledMenu0", "Edit");
  AddItems(*this, "UntitledMenu0",
           {
               {"EditUndo", "Undo", "Cmd+Z", false},
               {"UntitledMenu1", "-", "", false, fw::MenuItem::Kind::Plain, {}, false},
               {"EditCut", "Cut", "Cmd+X", false},
               {"EditCopy", "Copy", "Cmd+C", false},
               {"EditPaste", "Paste", "Cmd+V", false},
               {"EditClear", "Clear", "", false},
           });
}

void Menu::Untitled3() {
  using K = fw::MenuItem::Kind;
  AddTop(*this, "HallOfFameMenu", "Information");
  AddItems(*this, "HallOfFameMenu",
           {
               {"InformationShow", "Show High Scores", "", true},
               {"InformationClear", "Clear High Scores", "", true},
               {"InformationInstructions", "Instructions...", "", true},
               {"InformationPractice", "Practice", "", true, K::Plain, {}, false},
               {"PracticeBonus1", "Bonus 1", "", true, K::Plain, "InformationPractice"},
               {"PracticeBonus2", "Bonus 2", "", true, K::Plain, "InformationPractice"},
               {"PracticeRound7", "Round 7", "", true, K::Plain, "InformationPractice"},
               {"InformationGameSpeed", "Difficulty", "", true, K::Plain, {}, false},
               {"GameSpeedFast", "Hard", "", true, K::Plain, "InformationGameSpeed"},
               {"GameSpeedMedium", "Medium", "", true, K::Plain, "InformationGameSpeed"},
               {"GameSpeedSlow", "Easy", "", true, K::Plain, "InformationGameSpeed"},
               {"InformationCheckVersion", "Check Version...", "", true},
               {"AppleAboutZembo", "About Zembo", "", true, K::AppleMenu},
           });
}

namespace FileTypes {

std::unique_ptr<fw::FileType> pTextPlain;

void Initialize() {
  pTextPlain = std::make_unique<fw::FileType>();
  pTextPlain->Name = "text/plain";
  pTextPlain->Extensions = ".asc;.ascii;.bas;.c;.class;.cp;.cpp;.h;.hp;.hpp;.i3;.java;.m2;.m3;.mak;.text;.txt";
  pTextPlain->MacType = "TEXT";
  pTextPlain->MacCreator = "bst*";
}

}  // namespace FileTypes
