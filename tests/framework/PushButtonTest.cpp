// Push buttons: clicks, the default and cancel buttons' keys, and who gets a key first.
#include "framework/PushButton.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/TestHooks.h"
#include "framework/Window.h"

namespace {

struct Buttons : fw::Window {
  Buttons() {
    SetSize(300, 200);
    ok.SetCaption("Next Round");
    ok.SetDefault(true);
    end.SetCaption("End Game");
    stop.SetCaption("Stop");
    stop.SetCancel(true);
    ok.Action = [this] { log.push_back("ok"); };
    end.Action = [this] { log.push_back("end"); };
    stop.Action = [this] { log.push_back("stop"); };
    field.KeyDown = [this](const std::string& key) {
      log.push_back("field " + std::string(key == "\r" ? "return" : key));
      return fieldTakes;
    };
  }
  bool Event_KeyDown(const std::string& key) override {
    log.push_back(key == "\r" ? "window return" : key == "\x03" ? "window enter" : "window " + key);
    return windowTakes;
  }

  std::vector<std::string> log;
  bool windowTakes = false;
  bool fieldTakes = false;
  fw::PushButton ok{this, "ok", 20, 150, 100, 20};
  fw::PushButton end{this, "end", 160, 150, 100, 20};
  fw::PushButton stop{this, "stop", 20, 20, 80, 20};
  fw::EditField field{this, "field", 20, 80, 120, 22};
};

void Click(fw::Window& w, int x, int y) {
  fw::test::PressMouse(w, x, y);
  fw::test::ReleaseMouse(w, x, y);
}

TEST(PushButton, AClickRunsTheActionOnlyWhileEnabled) {
  Buttons& w = fw::Implicit<Buttons>();
  EXPECT_EQ(w.ok.Caption(), "Next Round");
  Click(w, 200, 160);
  EXPECT_EQ(w.log, std::vector<std::string>{"end"});
  w.end.SetEnabled(false);
  EXPECT_FALSE(w.end.Enabled());
  Click(w, 200, 160);
  EXPECT_EQ(w.log.size(), 1u) << "a disabled button ignores clicks";
  w.end.SetCaption("Finish");
  EXPECT_EQ(w.end.Caption(), "Finish");
}

TEST(PushButton, ReturnAndEnterPressTheEnabledDefaultButton) {
  Buttons& w = fw::Implicit<Buttons>();
  fw::test::TypeKey(w, "\r");
  fw::test::TypeKey(w, "\x03");
  EXPECT_EQ(w.log, (std::vector<std::string>{"window return", "ok", "window enter", "ok"}))
      << "the window's own handler hears the key first";

  // The default moves at run time, as when a lost round's window makes "End Game" the default.
  w.log.clear();
  w.ok.SetEnabled(false);
  w.ok.SetDefault(false);
  w.end.SetDefault(true);
  EXPECT_FALSE(w.ok.Default());
  EXPECT_TRUE(w.end.Default());
  fw::test::TypeKey(w, "\r");
  EXPECT_EQ(w.log, (std::vector<std::string>{"window return", "end"}));

  w.log.clear();
  w.end.SetEnabled(false);
  fw::test::TypeKey(w, "\r");
  EXPECT_EQ(w.log, std::vector<std::string>{"window return"}) << "a disabled default button is not pressed";
  w.end.SetEnabled(true);
  w.end.SetVisible(false);
  fw::test::TypeKey(w, "\r");
  EXPECT_EQ(w.log.back(), "window return") << "nor a hidden one";

  w.log.clear();
  w.end.SetVisible(true);
  w.end.SetFocus();
  fw::test::TypeKey(w, "\r");
  EXPECT_EQ(w.log, (std::vector<std::string>{"window return", "end"}))
      << "from a focused button too the window hears Return before its default button";

  w.log.clear();
  fw::test::TypeKey(w, "x");
  EXPECT_EQ(w.log, std::vector<std::string>{"window x"}) << "other keys press nothing";
}

TEST(PushButton, AKeyHandlerThatTakesReturnKeepsItFromTheDefaultButton) {
  Buttons& w = fw::Implicit<Buttons>();
  w.windowTakes = true;
  fw::test::TypeKey(w, "\r");
  EXPECT_EQ(w.log, std::vector<std::string>{"window return"});

  // With the focus in a field, the field hears the key before anyone.
  w.windowTakes = false;
  w.log.clear();
  w.field.SetFocus();
  w.fieldTakes = true;
  fw::test::TypeKey(w, "\r");
  EXPECT_EQ(w.log, std::vector<std::string>{"field return"});
  w.fieldTakes = false;
  w.log.clear();
  fw::test::TypeKey(w, "\r");
  EXPECT_EQ(w.log, (std::vector<std::string>{"field return", "window return", "ok"}))
      << "a field that leaves Return lets it reach the window and then its default button";
}

TEST(PushButton, EscapePressesTheCancelButton) {
  Buttons& w = fw::Implicit<Buttons>();
  EXPECT_TRUE(w.stop.Cancel());
  fw::test::TypeKey(w, "\x1b");
  EXPECT_EQ(w.log, (std::vector<std::string>{"window \x1b", "stop"}));
  w.stop.SetCancel(false);
  w.log.clear();
  fw::test::TypeKey(w, "\x1b");
  EXPECT_EQ(w.log, std::vector<std::string>{"window \x1b"});
}

bool Dark(fw::Color c) { return c.r + c.g + c.b < 250; }

int DarkPixels(const fw::Picture& img, int left, int top, int width, int height) {
  int n = 0;
  for (int y = top; y < top + height; ++y)
    for (int x = left; x < left + width; ++x) n += Dark(img.Pixel(x, y));
  return n;
}

TEST(PushButton, ShowsItsCaptionAndMarksTheDefault) {
  Buttons& w = fw::Implicit<Buttons>();
  auto before = fw::test::Render(w);
  // The caption's ink sits in the middle of the button, away from its frame.
  EXPECT_GT(DarkPixels(*before, 45, 153, 50, 14), 20);
  w.ok.SetCaption("");
  auto blank = fw::test::Render(w);
  EXPECT_LT(DarkPixels(*blank, 45, 153, 50, 14), DarkPixels(*before, 45, 153, 50, 14) / 4);

  // The same caption looks different on the default button.
  w.ok.SetCaption("End Game");
  auto asDefault = fw::test::Render(w);
  w.ok.SetDefault(false);
  auto plain = fw::test::Render(w);
  int differ = 0;
  for (int y = 150; y < 170; ++y)
    for (int x = 20; x < 120; ++x) differ += asDefault->Pixel(x, y) != plain->Pixel(x, y);
  EXPECT_GT(differ, 0);
}

}  // namespace
