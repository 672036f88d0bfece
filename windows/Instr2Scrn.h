// The instructions window: three pages of how to play, paged with arrow pictures.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "framework/PagePanel.h"
#include "framework/Window.h"

// The seven pictures of the first page: a backdrop and a help tag each.
class showCnv : public fw::Canvas {
 public:
  using fw::Canvas::Canvas;
};

// The "Next" and "Prev." labels under the arrows.
class DirTxt : public fw::StaticText {
 public:
  using fw::StaticText::StaticText;
};

class Instr2Scrn : public fw::Window {
 public:
  Instr2Scrn();
  static Instr2Scrn& Instance() { return fw::Implicit<Instr2Scrn>(); }

  void Event_Open() override;
  // Return closes the window; no key is ever reported as taken.
  bool Event_KeyDown(const std::string& key) override;

  static constexpr int kLastPage = 2;
  // The page shown, 0 to kLastPage; always the page panel's value.
  int curPage = 0;

  // Controls, in creation order.
  fw::PagePanel PagePanel1{this, "PagePanel1", 3, 31, 634, 340};
  fw::StaticText StaticText2{this, "StaticText2", 75, 50, 550, 274};
  fw::ControlArray<::showCnv, 7> showCnv{this,
                                     "showCnv",
                                     {{{27, 140, 20, 20},
                                       {27, 214, 20, 20},
                                       {75, 336, 20, 20},
                                       {125, 336, 20, 20},
                                       {175, 336, 20, 20},
                                       {225, 336, 20, 20},
                                       {275, 336, 20, 20}}}};
  fw::StaticText StaticText3{this, "StaticText3", 70, 48, 550, 306};
  fw::StaticText StaticText4{this, "StaticText4", 75, 50, 540, 260};
  fw::StaticText StaticText1{this, "StaticText1", 155, 4, 340, 20};
  fw::Canvas PrevCnv{this, "PrevCnv", 243, 390, 26, 20};
  fw::Canvas ExitCnv{this, "ExitCnv", 281, 390, 80, 20};
  fw::Canvas nextCnv{this, "nextCnv", 373, 390, 26, 20};
  fw::ControlArray<::DirTxt, 2> DirTxt{this, "DirTxt", {{{373, 413, 60, 20}, {243, 413, 60, 20}}}};

 private:
  void Layout();
  void CreateControls();
  void PrevCnv_MouseUp(int x, int y);
  bool PrevCnv_MouseDown(int x, int y);
  void ExitCnv_MouseUp(int x, int y);
  bool ExitCnv_MouseDown(int x, int y);
  bool nextCnv_MouseDown(int x, int y);
  void nextCnv_MouseUp(int x, int y);
};
