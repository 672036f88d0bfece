// The side panels' paint handlers and the run button.
#include "game/GameScrn.h"

#include <algorithm>

#include "shell/globals.h"
#include "shell/media.h"

namespace {

constexpr int kGaugeRowsPerBullet = 10;
constexpr int kGaugeHeight = 200;     // pixels

int Channel(double v) { return std::clamp(static_cast<int>(v), 0, 255); }

}  // namespace

void GameScrn::ScoreCnv_Paint(fw::Graphics&) {
  fw::Graphics& g = ScoreCnv.Graphics();
  int r = globals::gR->InRange(0, 255);
  int gr = globals::gR->InRange(0, 255);
  int b = globals::gR->InRange(0, 255);
  std::string text = fw::Format(curScore, "000");
  g.SetItalic(true);
  g.SetTextSize(24);
  g.SetForeColor(fw::RGB(0, 0, 0));
  g.DrawString(text, 22, 42);
  g.SetForeColor(fw::RGB(r, gr, b));
  g.DrawString(text, 20, 40);
}

void GameScrn::ballCnv_Paint(fw::Canvas& canvas, fw::Graphics&) {
  fw::Graphics& g = canvas.Graphics();
  if (canvas.Index() < ballCt) {
    fw::Ref<fw::Picture> pic = redSprite();
    g.DrawPicture(pic.get(), 0, 0);
  } else {
    g.SetForeColor(game::kPanelBack);
    g.FillRect(0, 0, canvas.Width(), canvas.Height());
  }
}

void GameScrn::timeCnv_Paint(fw::Graphics&) {
  fw::Graphics& g = timeCnv.Graphics();
  g.SetTextSize(24);
  g.SetForeColor(fw::RGB(0, 0, 255));
  g.DrawString(fw::Str(lastTime), 20, 20);
}

void GameScrn::BltCnv_Paint(fw::Graphics&) {
  fw::Graphics& g = BltCnv.Graphics();
  g.SetTextSize(24);
  g.SetForeColor(fw::RGB(255, 0, 0));
  g.DrawString(fw::Str(bltCt), 20, 20);
}

void GameScrn::dblCnv_Paint(fw::Graphics&) {
  fw::Graphics& g = dblCnv.Graphics();
  if (doDbl) {
    g.SetTextSize(24);
    g.SetForeColor(fw::RGB(255, 0, 255));
    g.DrawString("X2", 6, 20);
  } else {
    g.SetForeColor(game::kPanelBack);
    g.FillRect(0, 0, dblCnv.Width(), dblCnv.Height());
  }
}

void GameScrn::BltCtCnv_Paint(fw::Graphics& g) {
  constexpr fw::Color kBottom = fw::RGB(0, 0, 255), kTop = fw::RGB(255, 0, 0);
  int last = g.Height() - 1;
  // Rows outside the canvas are never drawn, whatever a damaged saved game holds.
  int first = std::max(0, kGaugeHeight - kGaugeRowsPerBullet * bltCt);
  for (int y = first; y <= last; ++y) {
    double p = static_cast<double>(y) / last;
    g.SetForeColor(fw::RGB(Channel(kBottom.r * p + kTop.r * (1 - p)), Channel(kBottom.g * p + kTop.g * (1 - p)),
                           Channel(kBottom.b * p + kTop.b * (1 - p))));
    g.DrawLine(0, y, g.Width(), y);
  }
}

void GameScrn::runBtn_Open() {
  runBtn.setParams("New Game", picHolder::gAquaLg, fw::RGB(240, 240, 240), 14);
}

void GameScrn::runBtn_MouseUp(int, int) {
  runBtn.Unpress();
  hndlRunAction();
}
