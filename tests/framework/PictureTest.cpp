#include "framework/Picture.h"

#include <gtest/gtest.h>

#include "framework/ImageCodecs.h"

namespace {

TEST(Picture, NewPicturesAreWhiteAndOpaque) {
  fw::Picture p(4, 3);
  EXPECT_EQ(p.Width(), 4);
  EXPECT_EQ(p.Height(), 3);
  EXPECT_EQ(p.Pixel(3, 2), fw::RGB(255, 255, 255));
  EXPECT_EQ(p.Opacity(3, 2), 255);
  EXPECT_FALSE(p.HasMask());
}

TEST(Picture, MaskIsBlackOpaqueWhiteTransparentGreysBetween) {
  fw::Picture face(3, 1);
  face.Graphics().SetForeColor(fw::RGB(0, 128, 255));
  face.Graphics().FillRect(0, 0, 3, 1);

  fw::Picture* mask = face.Mask(true);
  ASSERT_NE(mask, nullptr);
  EXPECT_EQ(face.Mask(false), mask);
  EXPECT_EQ(face.Opacity(0, 0), 255) << "a new mask keeps the picture opaque";

  mask->Graphics().SetForeColor(fw::RGB(255, 255, 255));
  mask->Graphics().FillRect(1, 0, 1, 1);
  mask->Graphics().SetForeColor(fw::RGB(128, 128, 128));
  mask->Graphics().FillRect(2, 0, 1, 1);
  EXPECT_EQ(face.Opacity(0, 0), 255);
  EXPECT_EQ(face.Opacity(1, 0), 0);
  EXPECT_NEAR(face.Opacity(2, 0), 127, 1);
  EXPECT_EQ(face.Pixel(1, 0), fw::RGB(0, 128, 255)) << "the mask leaves the colours alone";
}

TEST(Picture, DrawingAMaskedPictureBlendsByTheMask) {
  fw::Picture face(2, 1);
  face.Graphics().SetForeColor(fw::RGB(0, 0, 0));
  face.Graphics().FillRect(0, 0, 2, 1);
  face.Mask(true)->Graphics().SetForeColor(fw::RGB(255, 255, 255));
  face.Mask(false)->Graphics().FillRect(1, 0, 1, 1);

  fw::Picture target(2, 1);  // white
  target.Graphics().DrawPicture(&face, 0, 0);
  EXPECT_EQ(target.Pixel(0, 0), fw::RGB(0, 0, 0));
  EXPECT_EQ(target.Pixel(1, 0), fw::RGB(255, 255, 255));
}

TEST(Picture, ScaledDrawingFillsTheDestination) {
  fw::Picture src(2, 2);
  src.Graphics().SetForeColor(fw::RGB(200, 0, 0));
  src.Graphics().FillRect(0, 0, 2, 2);
  fw::Picture target(10, 6);
  target.Graphics().DrawPicture(&src, 0, 0, 10, 6, 0, 0, 2, 2);
  EXPECT_EQ(target.Pixel(0, 0), fw::RGB(200, 0, 0));
  EXPECT_EQ(target.Pixel(9, 5), fw::RGB(200, 0, 0));
  target.Graphics().DrawPicture(nullptr, 0, 0);  // nothing to draw is no failure
}

TEST(Picture, FromRGBAKeepsPixelsAndRefusesBadSizes) {
  fw::codec::RGBAImage img{2, 1, {0xFFFF0000u, 0x00000000u}};
  auto pic = fw::Picture::FromRGBA(img);
  ASSERT_TRUE(pic);
  EXPECT_EQ(pic->Pixel(0, 0), fw::RGB(255, 0, 0));
  EXPECT_EQ(pic->Opacity(1, 0), 0);
  EXPECT_FALSE(fw::Picture::FromRGBA({2, 2, {0xFF000000u}}));
  EXPECT_FALSE(fw::Picture::FromRGBA({0, 0, {}}));
}

TEST(Picture, NilReferencesRaiseInsteadOfCrashing) {
  fw::Ref<fw::Picture> none;
  EXPECT_THROW(none->Width(), fw::NilObjectException);
}

TEST(Graphics, TextMeasuresGrowWithSizeAndBold) {
  fw::Picture p(200, 40);
  fw::Graphics& g = p.Graphics();
  g.SetTextSize(10);
  double small = g.StringWidth("New Game");
  g.SetTextSize(14);
  double large = g.StringWidth("New Game");
  g.SetBold(true);
  double bold = g.StringWidth("New Game");
  EXPECT_GT(small, 0);
  EXPECT_GT(large, small);
  EXPECT_GE(bold, large);
  EXPECT_EQ(g.StringWidth(""), 0);
}

TEST(Graphics, ControlCharactersDrawNothingAndTakeNoWidth) {
  fw::Picture plain(200, 30), marked(200, 30);
  for (fw::Picture* p : {&plain, &marked}) p->Graphics().SetTextSize(12);
  plain.Graphics().DrawString("free to", 5, 20);
  marked.Graphics().DrawString(std::string("free") + '\x17' + " to", 5, 20);
  EXPECT_EQ(plain.Graphics().StringWidth("free to"), marked.Graphics().StringWidth(std::string("free\x17 to")));
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(plain.Pixel(x, y), marked.Pixel(x, y)) << x << "," << y;

  // Nor do the other controls and the format characters, which would turn text around.
  for (const char* text : {"free\x7F to", "free\u0085 to", "free\u202E to", "free\u2067 to\u2069", "free\u200B to",
                           "free\U000E0001 to"}) {
    SCOPED_TRACE(text);
    fw::Picture other(200, 30);
    other.Graphics().SetTextSize(12);
    other.Graphics().DrawString(text, 5, 20);
    EXPECT_EQ(plain.Graphics().StringWidth("free to"), other.Graphics().StringWidth(text));
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 200; ++x) ASSERT_EQ(plain.Pixel(x, y), other.Pixel(x, y)) << x << "," << y;
  }
}

}  // namespace
