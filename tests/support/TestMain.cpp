// Every test process starts the framework headless, on the manual clock. A test
// fails if it leaves an exception report or an unanswered modal window or dialog
// behind that it did not take; after each test everything is reset.
#include <gtest/gtest.h>

#include "framework/TestHooks.h"
#include "tests/support/ResetAll.h"

namespace {

class HeadlessChecks : public testing::EmptyTestEventListener {
  // Runs before the result printer's OnTestEnd, so a failure added here is the test's own.
  void OnTestEnd(const testing::TestInfo&) override {
    for (const std::string& what : fw::test::TakeUnhandledReports())
      ADD_FAILURE() << "an exception escaped a handler and the test did not take it: " << what;
    for (const std::string& what : fw::test::TakeUnanswered()) ADD_FAILURE() << "unanswered: " << what;
    ResetAll();
  }
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  fw::test::StartHeadless();
  testing::UnitTest::GetInstance()->listeners().Append(new HeadlessChecks);
  int status = RUN_ALL_TESTS();
  fw::test::StopHeadless();
  return status;
}
