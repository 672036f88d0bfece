#include "shell/globals.h"

#include <gtest/gtest.h>

namespace {

TEST(FameRow, ReadsTheScoreOfEveryKindOfRow) {
  EXPECT_EQ(FameRow::Parse("Marlo,25000,12/9/26").Score(), 25000);
  EXPECT_EQ(FameRow::Parse("Nobody,000,12/9/26").Score(), 0);
  EXPECT_EQ(FameRow::Parse("").Score(), 0);
  EXPECT_EQ(FameRow::Parse("Name only").Score(), 0);
  EXPECT_EQ(FameRow::Parse("A,,d").Score(), 0);
  FameRow r = FameRow::Parse("De. Zedod,2500,2026-12-09");
  EXPECT_EQ(r.name, "De. Zedod");
  EXPECT_EQ(r.score, "2500");
  EXPECT_EQ(r.date, "2026-12-09");
  EXPECT_EQ(r.Text(), "De. Zedod,2500,2026-12-09");
}

TEST(FameRow, ACommaInANameStaysInTheNameField) {
  FameRow r = FameRow::For("Smith, Jo", 4200, "9/12/26");
  FameRow back = FameRow::Parse(r.Text());
  EXPECT_EQ(back.name, "Smith\u201A Jo");
  EXPECT_EQ(back.Score(), 4200);
  EXPECT_EQ(back.date, "9/12/26");
}

TEST(FameRow, LongNamesAreCutSoTheRowFitsAndStaysValidUtf8) {
  std::string name;
  for (int i = 0; i < 200; ++i) name += "\xC3\xA9";  // é, two bytes each
  FameRow r = FameRow::For(name, -2147483647 - 1, "2026-12-09");
  EXPECT_LE(r.Text().size(), 255u);
  EXPECT_EQ(FameRow::Parse(r.Text()).Score(), -2147483648.0);
  EXPECT_EQ(r.name.size() % 2, 0u) << "no character cut in half";
  EXPECT_EQ(r.date, "2026-12-09");

  std::string commas(300, ',');  // each comma grows to three bytes
  EXPECT_LE(FameRow::For(commas, 1, "d").Text().size(), 255u);
  EXPECT_EQ(FameRow::Parse(FameRow::For(commas, 77, "d").Text()).Score(), 77);
}

TEST(FameRow, ANameWithinTheFieldLimitIsKeptWhole) {
  std::string name;
  for (int i = 0; i < globals::kMaxNameChars; ++i) name += "\xE2\x82\xAC";  // €, three bytes
  FameRow r = FameRow::For(name, 2147483647, "31/12/2026");
  EXPECT_EQ(r.name, name);
}

TEST(Maybe, IsTrueAboutHalfTheTime) {
  globals::gR = fw::New<fw::Random>();
  int yes = 0;
  for (int i = 0; i < 4000; ++i) yes += globals::maybe();
  EXPECT_GT(yes, 1800);
  EXPECT_LT(yes, 2200);
  globals::gR = nullptr;
  EXPECT_THROW(globals::maybe(), fw::NilObjectException);
}

TEST(FameList, HasTenEmptyRowsBeforeTheFileIsRead) {
  for (const auto& row : globals::FameList) {
    EXPECT_EQ(row, "");
    EXPECT_EQ(FameRow::Parse(row).Score(), 0);
  }
}

}  // namespace
