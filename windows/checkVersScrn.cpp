#include "windows/checkVersScrn.h"

#include <string_view>

#include "framework/Application.h"
#include "framework/Values.h"
#include "shell/app.h"
#include "shell/maker.h"

namespace {

constexpr fw::Color kPurple = fw::RGB(143, 0, 255);
constexpr fw::Color kBlack = fw::RGB(0, 0, 0);
constexpr int kTextSize = 12;       // pixels
constexpr int kSmallTextSize = 10;  // pixels: the free-upgrades line

constexpr int kStatusOK = 200;
constexpr int kStatusForbidden = 403;
constexpr int kStatusNotFound = 404;

void SetUpLabel(fw::StaticText& t, std::string_view text, fw::Color color, int size, bool bold, int align,
                bool multiline) {
  t.SetText(text);
  t.SetTextFont("System");
  t.SetTextColor(color);
  t.SetTextSize(size);
  t.SetBold(bold);
  t.SetTextAlign(align);
  t.SetMultiline(multiline);
}

void SetUpButton(fw::PushButton& b, std::string_view caption) {
  b.SetCaption(caption);
  b.SetTextSize(kTextSize);
}

}  // namespace

checkVersScrn::checkVersScrn() {
  Layout();
  CreateControls();
}

void checkVersScrn::Layout() {
  SetResizeable(false);
  SetSize(kWidth, kLaidOutHeight);
  SetTitle("Check Version");
  SetCloseButton(true);
}

void checkVersScrn::CreateControls() {
  using fw::StaticText;
  SetUpLabel(StaticText1, "Your current version of Zembo is:", kPurple, kTextSize, true, StaticText::kCenter, false);
  SetUpLabel(StaticText2, "", kPurple, kTextSize, false, StaticText::kCenter, false);
  StaticText2.Open = [this] { StaticText2_Open(); };
  SetUpLabel(StaticText3,
             "To check as to whether a more recent version exists:\r"
             "   1) Connect to the internet as you normally do.\r"
             "   2) Click the button to check with the Tarrow site.",
             kBlack, kTextSize, false, StaticText::kLeft, true);
  SetUpButton(checkBtn, "Check for Update");
  checkBtn.SetDefault(true);
  checkBtn.Action = [this] { checkBtn_Action(); };
  SetUpButton(closeBtn, "Close");
  closeBtn.Action = [this] { closeBtn_Action(); };
  mySocket.Error = [this](int code) { mySocket_Error(code); };
  mySocket.PageReceived = [this](const std::string& address, int status, const fw::InternetHeaders& headers,
                                 const std::string& body) { mySocket_PageReceived(address, status, headers, body); };
  SetUpLabel(ResultTxt, "", kBlack, kTextSize, false, StaticText::kLeft, true);
  SetUpButton(downloadBtn, "Go to 'Tarrow' Site");
  downloadBtn.Action = [this] { downloadBtn_Action(); };
  SetUpLabel(StaticText4,
             "Click the button to visit the <Tarrow Software> web site for more information about the recent "
             "version.",
             kPurple, kTextSize, false, StaticText::kCenter, true);
  SetUpLabel(StaticText5, "** All upgrades to" + fw::Chr(0x17) + "Zembo are free!!! **", kBlack, kSmallTextSize,
             false, StaticText::kCenter, false);
  progArrows.SetVisible(false);
}

void checkVersScrn::Event_Open() { SetSize(kWidth, kOpeningHeight); }

void checkVersScrn::Event_Close() { mySocket.Close(); }

void checkVersScrn::StaticText2_Open() { StaticText2.SetText(App().LongVersion()); }

void checkVersScrn::checkBtn_Action() {
  mySocket.Get(maker::kVersionFileAddress);
  progArrows.SetVisible(true);
}

void checkVersScrn::closeBtn_Action() { Close(); }

void checkVersScrn::mySocket_Error(int code) {
  if (code == fw::HTTPSocket::kErrHostNotFound)
    ResultTxt.SetText("ERROR: No internet connection found.");
  else
    ResultTxt.SetText("An error occurred. Type: " + fw::Str(code));
  progArrows.SetVisible(false);
}

// Any page ends the exchange for the life of the window, whatever its status.
void checkVersScrn::mySocket_PageReceived(const std::string&, int status, const fw::InternetHeaders&,
                                          const std::string& body) {
  std::string result;
  std::string remark;
  if (status == kStatusOK) {
    const std::string tab = fw::Chr(9);
    double newest = fw::Val(fw::NthField(body, tab, 1));
    remark = fw::NthField(body, tab, 2);
    double running = fw::Val(App().ShortVersion());
    if (newest > running) {
      result = "Zembo version " + fw::Format(newest, "#.00") + " is available.";
      SetSize(kWidth, kNewerHeight);
    } else {
      result = "You have the latest version";
      SetSize(kWidth, kLatestHeight);
    }
  } else if (status == kStatusNotFound) {
    result = "File Not Found";
  } else if (status == kStatusForbidden) {
    result = "Path is Forbidden";
  } else {
    result = "There was an error in getting the information.";
  }
  ResultTxt.SetText(result + fw::EndOfLine + remark);
  checkBtn.SetEnabled(false);
  progArrows.SetVisible(false);
  mySocket.Close();
}

void checkVersScrn::downloadBtn_Action() { fw::ShowURL(maker::kProductPageAddress); }
