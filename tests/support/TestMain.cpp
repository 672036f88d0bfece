// Every test process starts the framework headless, on the manual clock, and
// every test ends with no window left and no scripted input or answers.
#include <gtest/gtest.h>

#include "framework/TestHooks.h"

namespace {
class ResetAfterEachTest : public testing::EmptyTestEventListener {
  void OnTestEnd(const testing::TestInfo&) override { fw::test::Reset(); }
};
}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  fw::test::StartHeadless();
  testing::UnitTest::GetInstance()->listeners().Append(new ResetAfterEachTest);
  int status = RUN_ALL_TESTS();
  fw::test::StopHeadless();
  return status;
}
