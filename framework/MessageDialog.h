// Questions and notices: a dialog with up to three buttons, and the plain box.
#pragma once

#include <string>
#include <string_view>

namespace fw {

class MessageDialog {
 public:
  struct Button {
    std::string Caption;
    bool Visible = false;
    bool Default = false;
  };
  enum class Pressed { None, Action, Alternate, Cancel };

  std::string Message;
  std::string Explanation;
  std::string Title;
  int Icon = 0;  // 0 note, 1 caution, 2 stop, -1 none
  Button ActionButton{"OK", true, true};
  Button AlternateActionButton;
  Button CancelButton{"Cancel"};

  // Waits for the player; None when the dialog was dismissed otherwise.
  Pressed ShowModal();
};

// A notice with one OK button.
void MsgBox(std::string_view text);

}  // namespace fw
