// The picture button every window uses: a face stretched to the button, a bold
// caption over a black shadow, and a pressed look two pixels down and right.
#pragma once

#include <string>
#include <string_view>

#include "framework/Picture.h"
#include "framework/Window.h"

class CnvBtn : public fw::Canvas {
 public:
  using fw::Canvas::Canvas;

  void Event_Paint(fw::Graphics& g) override;
  // Moves the button by the pressed offset; the owner's MouseUp moves it back.
  bool Event_MouseDown(int x, int y) override;
  void Event_MouseEnter() override;
  void Event_MouseExit() override;

  void setParams(std::string_view title, fw::Ref<fw::Picture> pict, fw::Color textColor, int textSize);
  void setColor(fw::Color c) { myTextColor = c; }
  const std::string& getTitle() const { return myTitle; }
  void chgCaption(std::string_view title);

  // The owner's MouseUp handler starts with this.
  void Unpress();

  // Where the caption's shadow goes for a button of this size and caption width.
  static int BaselineFor(int height);
  static int CaptionXFor(int width, double captionWidth);

  static constexpr int kPressOffset = 2;  // pixels right and down while held

 private:
  std::string myTitle;
  fw::Ref<fw::Picture> myPict;
  fw::Color myTextColor{};
  int myTextSize = 0;
};
