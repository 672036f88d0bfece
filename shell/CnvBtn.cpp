#include "shell/CnvBtn.h"

#include "framework/Application.h"

void CnvBtn::setParams(std::string_view title, fw::Ref<fw::Picture> pict, fw::Color textColor, int textSize) {
  myTitle = title;
  myPict = std::move(pict);
  myTextColor = textColor;
  myTextSize = textSize;
}

void CnvBtn::chgCaption(std::string_view title) { setParams(title, myPict, myTextColor, myTextSize); }

int CnvBtn::BaselineFor(int height) { return height > 24 ? height - height / 3 : height - height / 4; }

// The caption's width is truncated, as the integer conversion of the measurement does.
int CnvBtn::CaptionXFor(int width, double captionWidth) { return (width - static_cast<int>(captionWidth)) / 2; }

void CnvBtn::Event_Paint(fw::Graphics& g) {
  fw::Graphics& own = Graphics();
  if (myPict) {
    own.DrawPicture(myPict.get(), 0, 0, Width(), Height(), 0, 0, myPict->Width(), myPict->Height());
  } else {
    // No face could be loaded: a plain one, so the button still reads as a button.
    own.SetForeColor(fw::RGB(70, 120, 200));
    own.FillRect(0, 0, Width(), Height());
    own.SetForeColor(fw::RGB(30, 60, 120));
    own.DrawRect(0, 0, Width(), Height());
  }
  g.SetTextSize(myTextSize);
  int y = BaselineFor(Height());
  g.SetTextFont("System");
  g.SetBold(true);
  int x = CaptionXFor(Width(), g.StringWidth(myTitle));
  g.SetForeColor(fw::RGB(0, 0, 0));
  g.DrawString(myTitle, x, y);
  g.SetForeColor(myTextColor);
  g.DrawString(myTitle, x - kPressOffset, y - kPressOffset);
}

bool CnvBtn::Event_MouseDown(int, int) {
  SetLeft(Left() + kPressOffset);
  SetTop(Top() + kPressOffset);
  return true;
}

void CnvBtn::Unpress() {
  SetLeft(Left() - kPressOffset);
  SetTop(Top() - kPressOffset);
}

void CnvBtn::Event_MouseEnter() { SetMouseCursor(fw::Cursors::FingerPointer()); }
void CnvBtn::Event_MouseExit() { SetMouseCursor(fw::Cursors::StandardPointer()); }
