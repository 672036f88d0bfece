// The version check: asks the maker's host for the newest version over HTTP, says
// whether it is newer than the running one, and opens the product page.
#pragma once

#include <string>

#include "framework/Controls.h"
#include "framework/HTTPSocket.h"
#include "framework/ProgressWheel.h"
#include "framework/PushButton.h"
#include "framework/Window.h"

class checkVersScrn : public fw::Window {
 public:
  // Window heights in pixels. As laid out everything shows; it opens with the result
  // area cut to its top strip, and a reply from the host opens as much as it needs.
  static constexpr int kWidth = 442;
  static constexpr int kLaidOutHeight = 364;
  static constexpr int kOpeningHeight = 230;
  static constexpr int kLatestHeight = 300;  // down to the "Go to 'Tarrow' Site" button
  static constexpr int kNewerHeight = kLaidOutHeight;

  checkVersScrn();
  static checkVersScrn& Instance() { return fw::Implicit<checkVersScrn>(); }

  void Event_Open() override;
  // A request still pending when the window closes never reports.
  void Event_Close() override;

  fw::StaticText StaticText1{this, "StaticText1", 40, 14, 360, 20};
  fw::StaticText StaticText2{this, "StaticText2", 40, 35, 360, 20};
  fw::StaticText StaticText3{this, "StaticText3", 40, 74, 354, 55};
  fw::PushButton checkBtn{this, "checkBtn", 140, 145, 160, 20};
  fw::PushButton closeBtn{this, "closeBtn", 180, 180, 80, 20};
  fw::Separator Separator1{this, "Separator1", 50, 60, 340, 4};
  fw::HTTPSocket mySocket;
  fw::StaticText ResultTxt{this, "ResultTxt", 40, 214, 360, 48};
  fw::PushButton downloadBtn{this, "downloadBtn", 120, 273, 200, 20};
  fw::StaticText StaticText4{this, "StaticText4", 40, 305, 354, 36};
  fw::StaticText StaticText5{this, "StaticText5", 40, 338, 354, 20};
  fw::ProgressWheel progArrows{this, "progArrows", 350, 147, 16, 16};

 private:
  void Layout();
  void CreateControls();
  void StaticText2_Open();
  void checkBtn_Action();
  void closeBtn_Action();
  void mySocket_Error(int code);
  void mySocket_PageReceived(const std::string& address, int status, const fw::InternetHeaders& headers,
                             const std::string& body);
  void downloadBtn_Action();
};
