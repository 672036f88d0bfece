#include "framework/Values.h"

#include <gtest/gtest.h>

namespace {

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
