#include "framework/Values.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <limits>
#include <string>

namespace {

// Switches the C locale to one that writes decimal commas, and back at the end.
class CommaLocale : public testing::Test {
 protected:
  void SetUp() override {
    saved_ = std::setlocale(LC_ALL, nullptr);
    for (const char* name : {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE.utf8", "fr_FR.utf8"})
      if (std::setlocale(LC_ALL, name)) return;
    GTEST_SKIP() << "no locale with decimal commas is installed";
  }
  void TearDown() override { std::setlocale(LC_ALL, saved_.c_str()); }

 private:
  std::string saved_;
};

TEST_F(CommaLocale, ValAndFormatStillUseThePoint) {
  // The locale really is in force: the C library now writes a comma.
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 2.5);
  ASSERT_STREQ(probe, "2,5");

  EXPECT_EQ(fw::Val("2.2"), 2.2);
  EXPECT_EQ(fw::Val("2.2\tA remark"), 2.2);
  EXPECT_EQ(fw::Val("2,2"), 2.0);
  EXPECT_EQ(fw::Val("-0.75"), -0.75);
  EXPECT_EQ(fw::Format(2.2, "#.00"), "2.20");
  EXPECT_EQ(fw::Format(2.126, "#.##"), "2.13");
  EXPECT_EQ(fw::Format(-3.0, "0.0"), "-3.0");
}

TEST(Val, NonFiniteNumbersCountAsZero) {
  EXPECT_EQ(fw::Val("nan"), 0.0);
  EXPECT_EQ(fw::Val("NaN\tremark"), 0.0);
  EXPECT_EQ(fw::Val("inf"), 0.0);
  EXPECT_EQ(fw::Val("-infinity"), 0.0);
  EXPECT_EQ(fw::Val("1e999"), 0.0);
  EXPECT_EQ(fw::Val("-1e999"), 0.0);
  EXPECT_EQ(fw::Val("1e308"), 1e308);
}

TEST(Val, SkipsAByteOrderMarkBeforeTheNumber) {
  EXPECT_EQ(fw::Val("\xEF\xBB\xBF" "2.2\tremark"), 2.2);
  EXPECT_EQ(fw::Val("\xEF\xBB\xBF" "  3"), 3.0);
  EXPECT_EQ(fw::Val("\xEF\xBB\xBF"), 0.0);
}

TEST(Format, WritesZeroForNonFiniteValues) {
  EXPECT_EQ(fw::Format(std::numeric_limits<double>::infinity(), "#.00"), ".00");
  EXPECT_EQ(fw::Format(std::numeric_limits<double>::quiet_NaN(), "0.0"), "0.0");
  EXPECT_EQ(fw::Format(2.2, "#.00"), "2.20");
}

TEST(NthField, CountsFromOneAndIsEmptyPastTheEnd) {
  EXPECT_EQ(fw::NthField("Marlo,25000,12/9/26", ",", 1), "Marlo");
  EXPECT_EQ(fw::NthField("Marlo,25000,12/9/26", ",", 2), "25000");
  EXPECT_EQ(fw::NthField("Marlo,25000,12/9/26", ",", 3), "12/9/26");
  EXPECT_EQ(fw::NthField("Marlo,25000,12/9/26", ",", 4), "");
  EXPECT_EQ(fw::NthField("Marlo,25000", ",", 0), "");
  EXPECT_EQ(fw::NthField("a,,b", ",", 2), "");
  EXPECT_EQ(fw::NthField("a,,b", ",", 3), "b");
  EXPECT_EQ(fw::NthField("2.1\tremark", "\t", 2), "remark");
  EXPECT_EQ(fw::CountFields("a,,b", ","), 3);
}

TEST(Val, ReadsTheLeadingNumberAndZeroForNone) {
  EXPECT_EQ(fw::Val("25000"), 25000.0);
  EXPECT_EQ(fw::Val("  -12.5xyz"), -12.5);
  EXPECT_EQ(fw::Val("2.1\tNew"), 2.1);
  EXPECT_EQ(fw::Val("000"), 0.0);
  EXPECT_EQ(fw::Val(""), 0.0);
  EXPECT_EQ(fw::Val("abc"), 0.0);
  EXPECT_EQ(fw::Val("."), 0.0);
  EXPECT_EQ(fw::Val("1e3"), 1000.0);
  EXPECT_EQ(fw::Val("7e"), 7.0);
}

TEST(Format, FollowsDigitPatterns) {
  EXPECT_EQ(fw::Format(2.1, "0.0"), "2.1");
  EXPECT_EQ(fw::Format(2.0, "#.##"), "2");
  EXPECT_EQ(fw::Format(2.126, "#.##"), "2.13");
  EXPECT_EQ(fw::Format(0.5, "0.00"), "0.50");
  EXPECT_EQ(fw::Format(-3.0, "0.0"), "-3.0");
  EXPECT_EQ(fw::Format(7.0, "000"), "007");
}

TEST(Text, ChrTrimAndStr) {
  EXPECT_EQ(fw::Chr(9), "\t");
  EXPECT_EQ(fw::Chr(0xE9), "\xC3\xA9");
  EXPECT_EQ(fw::Chr(0x201A), "\xE2\x80\x9A");
  EXPECT_EQ(fw::LTrim("  \tx y "), "x y ");
  EXPECT_EQ(fw::Trim("  x y \n"), "x y");
  EXPECT_EQ(fw::Str(-2147483648LL), "-2147483648");
}

TEST(ShortDate, NeverHoldsAComma) {
  for (int month = 1; month <= 12; ++month) {
    std::string d = fw::Date(2026, month, 28).ShortDate();
    EXPECT_FALSE(d.empty());
    EXPECT_EQ(d.find(','), std::string::npos) << d;
  }
}

TEST(Random, InRangeIsInclusiveAndSeedsRepeat) {
  fw::random_hooks::SetSeed(42);
  fw::Random a;
  fw::random_hooks::SetSeed(42);
  fw::Random b;
  bool sawLo = false, sawHi = false;
  for (int i = 0; i < 2000; ++i) {
    int x = a.InRange(0, 3);
    EXPECT_EQ(x, b.InRange(0, 3));
    ASSERT_GE(x, 0);
    ASSERT_LE(x, 3);
    sawLo |= x == 0;
    sawHi |= x == 3;
  }
  EXPECT_TRUE(sawLo && sawHi);
  EXPECT_EQ(a.InRange(5, 5), 5);
}

}  // namespace
