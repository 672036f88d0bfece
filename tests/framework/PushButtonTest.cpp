// Push buttons: clicks, and the keys that the window's handlers leave to its default
// and cancel buttons.
#include "framework/PushButton.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/TestHooks.h"
#include "framework/Window.h"

namespace {

using Log = std::vector<std::string>;

struct Buttons : fw::Window {
  Buttons() {
    SetSize(300, 200);
    ok.SetCaption("Next Round");
    ok.SetDefault(true);
    end.SetCaption("End Game");
    stop.SetCancel(true);
    for (fw::PushButton* b : {&ok, &end, &stop}) b->Action = [this, b] { log.push_back(b->Name()); };
    field.KeyDown = [this](const std::string& key) { return log.push_back("field " + key), fieldTakes; };
  }
  bool Event_KeyDown(const std::string& key) override { return log.push_back("window " + key), windowTakes; }

  Log log;
  bool windowTakes = false, fieldTakes = false;
  fw::PushButton ok{this, "ok", 20, 150, 100, 20};
  fw::PushButton end{this, "end", 160, 150, 100, 20};
  fw::PushButton stop{this, "stop", 20, 20, 80, 20};
  fw::EditField field{this, "field", 20, 80, 120, 22};
};

TEST(PushButton, AClickRunsTheActionOnlyWhileEnabled) {
  Buttons& w = fw::Implicit<Buttons>();
  fw::test::PressMouse(w, 200, 160);
  fw::test::ReleaseMouse(w, 200, 160);
  w.end.SetEnabled(false);
  fw::test::PressMouse(w, 200, 160);
  fw::test::ReleaseMouse(w, 200, 160);
  EXPECT_EQ(w.log, Log{"end"});
}

TEST(PushButton, ReturnAndEnterGoToTheWindowThenToTheEnabledShownDefaultButton) {
  Buttons& w = fw::Implicit<Buttons>();
  fw::test::TypeKey(w, "\r");
  fw::test::TypeKey(w, "\x03");
  fw::test::TypeKey(w, "x");
  EXPECT_EQ(w.log, (Log{"window \r", "ok", "window \x03", "ok", "window x"}));

  // The default moves at run time, as when a lost round makes "End Game" the default.
  w.log.clear();
  w.ok.SetDefault(false);
  w.end.SetDefault(true);
  fw::test::TypeKey(w, "\r");
  w.end.SetEnabled(false);
  fw::test::TypeKey(w, "\r");
  w.end.SetEnabled(true);
  w.end.SetVisible(false);
  fw::test::TypeKey(w, "\r");
  EXPECT_EQ(w.log, (Log{"window \r", "end", "window \r", "window \r"}));

  w.log.clear();
  w.end.SetVisible(true);
  w.end.SetFocus();
  fw::test::TypeKey(w, "\r");
  EXPECT_EQ(w.log, (Log{"window \r", "end"})) << "a focused button passes Return on like any control";
}

TEST(PushButton, AKeyHandlerThatTakesTheKeyKeepsItFromTheButtons) {
  Buttons& w = fw::Implicit<Buttons>();
  w.windowTakes = true;
  fw::test::TypeKey(w, "\r");
  fw::test::TypeKey(w, "\x1b");
  w.windowTakes = false;
  w.field.SetFocus();
  w.fieldTakes = true;
  fw::test::TypeKey(w, "\r");
  w.fieldTakes = false;
  fw::test::TypeKey(w, "\r");
  fw::test::TypeKey(w, "\x1b");
  EXPECT_EQ(w.log, (Log{"window \r", "window \x1b", "field \r", "field \r", "window \r", "ok", "field \x1b",
                        "window \x1b", "stop"}));
}

TEST(PushButton, TheDefaultButtonLooksApart) {
  Buttons& w = fw::Implicit<Buttons>();
  w.end.SetCaption("Next Round");
  auto img = fw::test::Render(w);
  int differ = 0, ink = 0;
  for (int y = 150; y < 170; ++y)
    for (int x = 0; x < 100; ++x) {
      differ += img->Pixel(20 + x, y) != img->Pixel(160 + x, y);
      fw::Color c = img->Pixel(20 + x, y);
      ink += c.r + c.g + c.b < 250;
    }
  EXPECT_GT(ink, 20) << "the caption shows";
  EXPECT_GT(differ, 0) << "the same caption, drawn otherwise on the default button";
}

}  // namespace
