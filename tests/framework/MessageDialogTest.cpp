// Message dialogs as the real platform shows them: in a loop of their own, titled with
// the game's name, above the window they were asked from.
#include <gtest/gtest.h>

#include <functional>

#include "framework/MessageDialog.h"
#include "framework/TestHooks.h"
#include "framework/Window.h"

namespace {

using fw::MessageDialog;

struct Play : fw::Window {
  Play() { SetSize(300, 200); }
};

struct Status : fw::Window {
  Status() { SetSize(200, 100); }
  ~Status() override {
    if (onDestroy) onDestroy();
  }
  std::function<void()> onDestroy;
};

MessageDialog Question() {
  MessageDialog d;
  d.Message = "Save the current game before quitting?";
  d.ActionButton.Caption = "Save Game";
  d.CancelButton.Visible = true;
  return d;
}

TEST(MessageDialog, AWindowClosedBeforeTheQuestionOutlivesTheQuestionsLoop) {
  fw::test::UseRealDialogs();
  fw::test::OnDialog([](const MessageDialog&) { return MessageDialog::Pressed::Action; });
  fw::Implicit<Play>();
  Status& status = fw::Implicit<Status>();
  bool destroyed = false;
  status.onDestroy = [&] { destroyed = true; };
  // As a button's handler does: close its window, then ask.
  status.Close();
  EXPECT_EQ(Question().ShowModal(), MessageDialog::Pressed::Action);
  EXPECT_FALSE(destroyed) << "the handler that closed it is still running";
  fw::test::Advance(1);
  EXPECT_TRUE(destroyed) << "gone once that handler has returned";
}

TEST(MessageDialog, TheBoxBearsTheGamesNameAndStaysAboveTheWindowItWasAskedFrom) {
  fw::test::UseRealDialogs();
  fw::test::OnDialog([](const MessageDialog&) { return MessageDialog::Pressed::Cancel; });
  Play& play = fw::Implicit<Play>();
  fw::test::Advance(1);
  EXPECT_EQ(Question().ShowModal(), MessageDialog::Pressed::Cancel);
  ASSERT_EQ(fw::test::RealBoxesShown().size(), 1u);
  EXPECT_EQ(fw::test::RealBoxesShown()[0].title, "Zembo");
  EXPECT_EQ(fw::test::RealBoxesShown()[0].above, &play);
}

}  // namespace
