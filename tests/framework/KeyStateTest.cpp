// The key state the game reads: held from the platform's press to its release,
// and never left held once another application has the focus.
#include <gtest/gtest.h>

#include "framework/Application.h"
#include "framework/TestHooks.h"
#include "framework/Window.h"

namespace {

constexpr int kP = 35, kSpace = 49, kC = 8;

struct Field : fw::Window {
  Field() { SetTitle("Field"); }
};

TEST(KeyState, APlatformKeyIsDownFromItsPressToItsRelease) {
  Field& w = fw::Implicit<Field>();
  fw::test::PressKey(w, kSpace);
  EXPECT_TRUE(fw::AsyncKeyDown(kSpace));
  EXPECT_FALSE(fw::AsyncKeyDown(kP));
  fw::test::PressKey(w, kP);
  fw::test::ReleaseKey(w, kSpace);
  EXPECT_FALSE(fw::AsyncKeyDown(kSpace));
  EXPECT_TRUE(fw::AsyncKeyDown(kP));
  fw::test::ReleaseKey(w, kP);
  EXPECT_FALSE(fw::AsyncKeyDown(kP));
}

TEST(KeyState, TheGamesKeysAreReadByTheirPlaceOnTheKeyboardWhateverTheLayout) {
  Field& w = fw::Implicit<Field>();
  // X keycodes: P 33, C 54, space 65; R 27, where a Dvorak layout puts its P.
  constexpr int kAtP = 33, kAtC = 54, kAtSpace = 65, kAtR = 27;
  // Cyrillic ze and es: what the P and C keys type under a Russian layout.
  fw::test::PressKeyAt(w, kAtP, "\u0437");
  fw::test::PressKeyAt(w, kAtC, "\u0441");
  fw::test::PressKeyAt(w, kAtSpace, " ");
  EXPECT_TRUE(fw::AsyncKeyDown(kP));
  EXPECT_TRUE(fw::AsyncKeyDown(kC));
  EXPECT_TRUE(fw::AsyncKeyDown(kSpace));
  fw::test::ReleaseKeyAt(w, kAtP, "\u0437");
  fw::test::ReleaseKeyAt(w, kAtC, "\u0441");
  EXPECT_FALSE(fw::AsyncKeyDown(kP));
  EXPECT_FALSE(fw::AsyncKeyDown(kC));

  fw::test::PressKeyAt(w, kAtR, "p");
  EXPECT_FALSE(fw::AsyncKeyDown(kP)) << "the letter P elsewhere on the keyboard";
}

TEST(KeyState, KeysHeldWhenAnotherApplicationTakesTheFocusAreReleased) {
  Field& w = fw::Implicit<Field>();
  fw::test::PressKey(w, kSpace);
  fw::test::PressKey(w, kC);
  fw::test::SetOptionKey(true);
  fw::test::FocusOtherApplication();
  EXPECT_FALSE(fw::AsyncKeyDown(kSpace)) << "its release went to the other application";
  EXPECT_FALSE(fw::AsyncKeyDown(kC));
  EXPECT_FALSE(fw::AsyncOptionKey());
  // Pressed again once back, it is down again.
  fw::test::PressKey(w, kSpace);
  EXPECT_TRUE(fw::AsyncKeyDown(kSpace));
}

TEST(KeyState, ScriptedKeysAndPlatformKeysShareOneStore) {
  Field& w = fw::Implicit<Field>();
  fw::test::SetKey(kSpace, true);
  fw::test::ReleaseKey(w, kSpace);
  EXPECT_FALSE(fw::AsyncKeyDown(kSpace)) << "a platform release lets a scripted press go";
  fw::test::PressKey(w, kP);
  fw::test::SetKey(kP, false);
  EXPECT_FALSE(fw::AsyncKeyDown(kP));
}

}  // namespace
